#include "platform/process.h"

#include "platform/file_handle.h"
#include "platform/program_watch.h"
#include "platform/readable_file.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <optional>

#include <dirent.h>
#include <fcntl.h>
#include <poll.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace zpak {

namespace {

// True when the program is one of this system: an ELF binary or a script
// with a "#!" line, whatever its mode (without a run bit it fails to start,
// as it would through Wine). Nothing, with errno telling why, when that
// cannot be told: a program that cannot be read is not run through Wine on
// a guess.
std::optional<bool> IsNativeExecutable(const std::filesystem::path& program)
{
    const FileHandle file(::open(program.c_str(), O_RDONLY | O_CLOEXEC));
    if (!file.IsOpen())
        return std::nullopt;
    char magic[4] = {};
    ssize_t got = 0;
    do {
        got = ::read(file.Get(), magic, sizeof magic);
    } while (got < 0 && errno == EINTR);
    if (got < 0)
        return std::nullopt;
    return (got >= 2 && magic[0] == '#' && magic[1] == '!')
        || (got == 4
            && std::memcmp(magic,
                           "\x7f"
                           "ELF",
                           4)
                == 0);
}

// A pipe whose ends close with it.
class Pipe {
public:
    Pipe() = default;
    Pipe(const Pipe&) = delete;
    Pipe& operator=(const Pipe&) = delete;
    ~Pipe()
    {
        CloseRead();
        CloseWrite();
    }

    bool Open() { return ::pipe2(fds_, O_CLOEXEC) == 0; }
    int Read() const { return fds_[0]; }
    int Write() const { return fds_[1]; }
    void CloseRead() { Close(fds_[0]); }
    void CloseWrite() { Close(fds_[1]); }

private:
    static void Close(int& fd)
    {
        if (fd >= 0)
            ::close(fd);
        fd = -1;
    }

    int fds_[2] = {-1, -1};
};

// A program name without a folder is looked up in the PATH, as a shell
// would; done before forking, where only the simplest calls are safe.
std::string FindProgram(const std::filesystem::path& program)
{
    if (program.native().find('/') != std::string::npos)
        return program.native();
    const char* path = std::getenv("PATH");
    std::string_view folders = path ? path : "/usr/local/bin:/usr/bin:/bin";
    while (true) {
        const std::size_t cut = folders.find(':');
        const std::string_view folder = folders.substr(0, cut);
        std::string candidate = std::string(folder.empty() ? "." : folder) + "/" + program.native();
        if (::access(candidate.c_str(), X_OK) == 0)
            return candidate;
        if (cut == std::string_view::npos)
            return program.native();
        folders.remove_prefix(cut + 1);
    }
}

// Closes every descriptor above standard error except the three given
// (-1 for none).
void CloseAllBut(std::array<int, 3> keep)
{
    std::ranges::sort(keep);
    unsigned first = STDERR_FILENO + 1;
    for (int fd : keep) {
        if (fd < static_cast<int>(first))
            continue;
        if (static_cast<unsigned>(fd) > first)
            ::close_range(first, static_cast<unsigned>(fd) - 1, 0);
        first = static_cast<unsigned>(fd) + 1;
    }
    ::close_range(first, ~0U, 0);
}

// In the child between fork and exec: only async-signal-safe calls. It waits
// at the gate until the parent has recorded it, and reports a failure to
// start through `report`.
[[noreturn]] void RunChild(const char* path, char* const* argv, const char* directory, int output, int gate,
                           int report, std::initializer_list<int> parentEnds)
{
    ::setpgid(0, 0);
    // Without the parent's ends, the gate reads end-of-file when the parent
    // dies; and nothing else of the parent stays open here (its lock on the
    // game folder above all), even while the child waits at the gate.
    for (int fd : parentEnds) {
        if (fd >= 0)
            ::close(fd);
    }
    CloseAllBut({output, gate, report});
    sigset_t none;
    ::sigemptyset(&none);
    ::sigprocmask(SIG_SETMASK, &none, nullptr);
    if (gate >= 0) {
        char go = 0;
        ssize_t got = 0;
        do {
            got = ::read(gate, &go, 1);
        } while (got < 0 && errno == EINTR);
        if (got != 1)
            ::_exit(126);  // the parent died before it recorded us: do nothing
    }
    int error = 0;
    if (directory && ::chdir(directory) != 0)
        error = errno;
    if (!error && output >= 0) {
        const int input = ::open("/dev/null", O_RDONLY | O_CLOEXEC);
        if (input < 0 || ::dup2(input, STDIN_FILENO) < 0 || ::dup2(output, STDOUT_FILENO) < 0
            || ::dup2(output, STDERR_FILENO) < 0)
            error = errno;
    }
    if (!error) {
        ::execve(path, argv, environ);
        error = errno;
    }
    [[maybe_unused]] const ssize_t written = ::write(report, &error, sizeof error);
    ::_exit(127);
}

// The child as WatchProgram sees it.
class Child final : public RunningProgram {
public:
    Child(pid_t pid, int outputFd, const ProcessOptions& options)
        : pid_(pid), outputFd_(outputFd), options_(options)
    {
    }

    State Wait(std::chrono::milliseconds tick) override
    {
        const pid_t done = ::waitpid(pid_, &status_, WNOHANG);
        if (done == pid_)
            return State::Ended;
        if (done < 0 && errno != EINTR)
            return State::Lost;
        Pump(tick);
        return State::Running;
    }

    void PassOnRest() override { Pump(std::chrono::milliseconds(0)); }

    int ExitCode() const override
    {
        if (WIFEXITED(status_))
            return WEXITSTATUS(status_);
        if (WIFSIGNALED(status_))
            return 128 + WTERMSIG(status_);
        return -1;
    }

    // The whole process group: Wine's loader and the Windows program under it.
    void AskToEnd() override { ::kill(-pid_, SIGTERM); }
    void ForceToEnd() override { ::kill(-pid_, SIGKILL); }

private:
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
    int status_ = 0;
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
    const std::string path = FindProgram(program);
    const char* directory = options.workingDirectory.empty() ? nullptr : options.workingDirectory.c_str();

    Pipe output;
    Pipe gate;
    Pipe report;
    if ((options.output && !output.Open()) || (options.started && !gate.Open()) || !report.Open())
        return {false, -1, false, std::strerror(errno)};

    // A group of its own: cancelling reaches whatever the program starts
    // (Wine's loader and the Windows program under it), and a Ctrl-C in our
    // terminal reaches only us, so that we cancel in order.
    const pid_t pid = ::fork();
    if (pid < 0)
        return {false, -1, false, std::strerror(errno)};
    if (pid == 0)
        RunChild(path.c_str(), argv.data(), directory, output.Write(), gate.Read(), report.Write(),
                 {output.Read(), gate.Write(), report.Read()});
    ::setpgid(pid, pid);
    output.CloseWrite();
    report.CloseWrite();
    gate.CloseRead();

    // The child waits until whoever needs to know of it has written it down.
    if (options.started) {
        options.started(ProcessTag{pid, 0});
        const char go = 1;
        [[maybe_unused]] const ssize_t written = ::write(gate.Write(), &go, 1);
        gate.CloseWrite();
    }
    int error = 0;
    ssize_t got = 0;
    do {
        got = ::read(report.Read(), &error, sizeof error);
    } while (got < 0 && errno == EINTR);
    if (got > 0) {
        ::waitpid(pid, nullptr, 0);
        return {false, -1, false, std::strerror(error)};
    }
    Child child(pid, output.Read(), options);
    return WatchProgram(child, options);
}

bool ProcessStillRuns(const ProcessTag& tag)
{
    const long group = tag.id;
    if (group <= 0)
        return false;
    DIR* proc = ::opendir("/proc");
    if (!proc)
        return ::kill(static_cast<pid_t>(-group), 0) == 0 || errno == EPERM;
    bool alive = false;
    while (const dirent* entry = ::readdir(proc)) {
        if (entry->d_name[0] < '1' || entry->d_name[0] > '9')
            continue;
        std::string stat;
        if (!ReadWholeFile(std::string("/proc/") + entry->d_name + "/stat", stat))
            continue;
        // "pid (name) state ppid pgrp ...": the name may hold anything, so
        // the fields are counted from its closing parenthesis.
        const std::size_t close = stat.rfind(')');
        char state = 0;
        long ppid = 0;
        long pgrp = 0;
        if (close == std::string::npos
            || std::sscanf(stat.c_str() + close + 1, " %c %ld %ld", &state, &ppid, &pgrp) != 3)
            continue;
        if (pgrp == group && state != 'Z' && state != 'X') {
            alive = true;
            break;
        }
    }
    ::closedir(proc);
    return alive;
}

std::string DescribeProcess(const ProcessTag& tag)
{
    return "process group " + std::to_string(tag.id);
}

ProcessResult RunGameProgram(const std::filesystem::path& program, const std::vector<std::string>& args,
                             const ProcessOptions& options)
{
    if (!IsReadableFile(program))
        return {false, -1, false, "no such file"};
    const std::optional<bool> native = IsNativeExecutable(program);
    if (!native)
        return {false, -1, false, std::string("it cannot be read: ") + std::strerror(errno)};
    if (*native)
        return RunProcess(program, args, options);

    const char* wine = std::getenv("WINE");
    std::vector<std::string> wineArgs{program.string()};
    wineArgs.insert(wineArgs.end(), args.begin(), args.end());
    return RunProcess(wine && *wine ? wine : "wine", wineArgs, options);
}

}  // namespace zpak
