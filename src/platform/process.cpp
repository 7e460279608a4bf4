#include "platform/process.h"

#include "platform/file_read.h"

#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <thread>

#include <fcntl.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace zpak {

namespace {

bool IsNativeExecutable(const std::filesystem::path& program)
{
    if (::access(program.c_str(), X_OK) != 0)
        return false;
    const int fd = ::open(program.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return false;
    char magic[4] = {};
    const ssize_t got = ::read(fd, magic, sizeof magic);
    ::close(fd);
    return (got >= 2 && magic[0] == '#' && magic[1] == '!')
        || (got == 4 && std::memcmp(magic, "\x7f" "ELF", 4) == 0);
}

int WaitFor(pid_t pid, const std::function<void()>& whileWaiting)
{
    int status = 0;
    for (;;) {
        const pid_t done = ::waitpid(pid, &status, whileWaiting ? WNOHANG : 0);
        if (done == pid)
            break;
        if (done < 0 && errno != EINTR)
            return -1;
        if (done == 0) {
            whileWaiting();
            std::this_thread::sleep_for(std::chrono::milliseconds(100));
        }
    }
    if (WIFEXITED(status))
        return WEXITSTATUS(status);
    if (WIFSIGNALED(status))
        return 128 + WTERMSIG(status);
    return -1;
}

}  // namespace

ProcessResult RunProcess(const std::filesystem::path& program, const std::vector<std::string>& args,
                         const std::function<void()>& whileWaiting)
{
    std::vector<std::string> texts;
    texts.reserve(args.size() + 1);
    texts.push_back(program.string());
    texts.insert(texts.end(), args.begin(), args.end());
    std::vector<char*> argv;
    for (auto& text : texts)
        argv.push_back(text.data());
    argv.push_back(nullptr);

    pid_t pid = 0;
    // A program name without a folder is looked up in the PATH, as a shell would.
    const bool search = program.native().find('/') == std::string::npos;
    const int error = search ? ::posix_spawnp(&pid, argv[0], nullptr, nullptr, argv.data(), environ)
                             : ::posix_spawn(&pid, argv[0], nullptr, nullptr, argv.data(), environ);
    if (error != 0)
        return {};
    return {true, WaitFor(pid, whileWaiting)};
}

ProcessResult RunGameProgram(const std::filesystem::path& program,
                             const std::vector<std::string>& args,
                             const std::function<void()>& whileWaiting)
{
    if (!IsReadableFile(program))
        return {};
    if (IsNativeExecutable(program))
        return RunProcess(program, args, whileWaiting);

    const char* wine = std::getenv("WINE");
    std::vector<std::string> wineArgs{program.string()};
    wineArgs.insert(wineArgs.end(), args.begin(), args.end());
    return RunProcess(wine && *wine ? wine : "wine", wineArgs, whileWaiting);
}

}  // namespace zpak
