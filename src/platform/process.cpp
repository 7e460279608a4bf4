#include "platform/process.h"

#include "platform/cancel_flag.h"
#include "platform/file_read.h"

#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <cstring>

#include <fcntl.h>
#include <poll.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace zpak {

namespace {

using Clock = std::chrono::steady_clock;
constexpr auto kTick = std::chrono::milliseconds(100);
constexpr auto kGraceBeforeKill = std::chrono::seconds(5);

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

// posix_spawn's attributes and file actions, released on every path.
class SpawnSetup {
public:
    SpawnSetup()
    {
        ::posix_spawnattr_init(&attr_);
        ::posix_spawn_file_actions_init(&actions_);
    }
    ~SpawnSetup()
    {
        ::posix_spawn_file_actions_destroy(&actions_);
        ::posix_spawnattr_destroy(&attr_);
    }
    SpawnSetup(const SpawnSetup&) = delete;
    SpawnSetup& operator=(const SpawnSetup&) = delete;

    posix_spawnattr_t attr_;
    posix_spawn_file_actions_t actions_;
};

// Waits for the child, passing its output on and cancelling it on request.
class ChildWatch {
public:
    ChildWatch(pid_t pid, int outputFd, const ProcessOptions& options)
        : pid_(pid), outputFd_(outputFd), options_(options)
    {
    }

    ProcessResult Wait()
    {
        ProcessResult result;
        result.started = true;
        int status = 0;
        for (;;) {
            const pid_t done = ::waitpid(pid_, &status, WNOHANG);
            if (done == pid_)
                break;
            if (done < 0 && errno != EINTR) {
                result.exitCode = -1;
                return result;
            }
            Pump(kTick);
            if (options_.cancel && options_.cancel->IsSet())
                Cancel(result);
            if (options_.whileWaiting)
                options_.whileWaiting();
        }
        // What the program wrote last; the pipe may stay open in a helper it
        // left running (Wine's server), so nothing waits for its end.
        Pump(std::chrono::milliseconds(0));
        if (WIFEXITED(status))
            result.exitCode = WEXITSTATUS(status);
        else if (WIFSIGNALED(status))
            result.exitCode = 128 + WTERMSIG(status);
        return result;
    }

private:
    void Cancel(ProcessResult& result)
    {
        const auto now = Clock::now();
        if (!result.cancelled) {
            result.cancelled = true;
            termSent_ = now;
            ::kill(-pid_, SIGTERM);
        } else if (!killSent_ && now - termSent_ >= kGraceBeforeKill) {
            killSent_ = true;
            ::kill(-pid_, SIGKILL);
        }
    }

    // Reads what the program wrote, waiting at most `timeout` for it.
    void Pump(std::chrono::milliseconds timeout)
    {
        if (outputFd_ < 0) {
            if (timeout.count() > 0)
                ::poll(nullptr, 0, static_cast<int>(timeout.count()));
            return;
        }
        pollfd poller{outputFd_, POLLIN, 0};
        int wait = static_cast<int>(timeout.count());
        while (::poll(&poller, 1, wait) > 0) {
            char buffer[4096];
            const ssize_t got = ::read(outputFd_, buffer, sizeof buffer);
            if (got <= 0) {
                if (got < 0 && errno == EINTR)
                    continue;
                ::poll(nullptr, 0, wait);  // at its end: sleep out the tick instead
                return;
            }
            options_.output(std::string_view(buffer, static_cast<std::size_t>(got)));
            wait = 0;
        }
    }

    pid_t pid_;
    int outputFd_;
    const ProcessOptions& options_;
    Clock::time_point termSent_;
    bool killSent_ = false;
};

}  // namespace

ProcessResult RunProcess(const std::filesystem::path& program, const std::vector<std::string>& args,
                         const ProcessOptions& options)
{
    std::vector<std::string> texts;
    texts.reserve(args.size() + 1);
    texts.push_back(program.string());
    texts.insert(texts.end(), args.begin(), args.end());
    std::vector<char*> argv;
    for (auto& text : texts)
        argv.push_back(text.data());
    argv.push_back(nullptr);

    SpawnSetup setup;
    // A group of its own: cancelling reaches whatever the program starts
    // (Wine's loader and the Windows program under it), and a Ctrl-C in our
    // terminal reaches only us, so that we cancel in order.
    ::posix_spawnattr_setflags(&setup.attr_, POSIX_SPAWN_SETPGROUP);
    ::posix_spawnattr_setpgroup(&setup.attr_, 0);
    if (!options.workingDirectory.empty())
        ::posix_spawn_file_actions_addchdir_np(&setup.actions_, options.workingDirectory.c_str());

    int pipeFds[2] = {-1, -1};
    if (options.output) {
        if (::pipe2(pipeFds, O_CLOEXEC) != 0)
            return {false, -1, false, std::strerror(errno)};
        ::posix_spawn_file_actions_adddup2(&setup.actions_, pipeFds[1], STDOUT_FILENO);
        ::posix_spawn_file_actions_adddup2(&setup.actions_, pipeFds[1], STDERR_FILENO);
        ::posix_spawn_file_actions_addopen(&setup.actions_, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
    }

    pid_t pid = 0;
    // A program name without a folder is looked up in the PATH, as a shell would.
    const bool search = program.native().find('/') == std::string::npos;
    const int error = search ? ::posix_spawnp(&pid, argv[0], &setup.actions_, &setup.attr_, argv.data(), environ)
                             : ::posix_spawn(&pid, argv[0], &setup.actions_, &setup.attr_, argv.data(), environ);
    if (pipeFds[1] >= 0)
        ::close(pipeFds[1]);
    ProcessResult result;
    if (error != 0) {
        result.startError = std::strerror(error);
    } else {
        result = ChildWatch(pid, pipeFds[0], options).Wait();
    }
    if (pipeFds[0] >= 0)
        ::close(pipeFds[0]);
    return result;
}

ProcessResult RunGameProgram(const std::filesystem::path& program,
                             const std::vector<std::string>& args, const ProcessOptions& options)
{
    if (!IsReadableFile(program))
        return {false, -1, false, "no such file"};
    if (IsNativeExecutable(program))
        return RunProcess(program, args, options);

    const char* wine = std::getenv("WINE");
    std::vector<std::string> wineArgs{program.string()};
    wineArgs.insert(wineArgs.end(), args.begin(), args.end());
    return RunProcess(wine && *wine ? wine : "wine", wineArgs, options);
}

}  // namespace zpak
