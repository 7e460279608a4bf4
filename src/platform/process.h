#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace zpak {

class CancelFlag;

// What tells, even after this process has died, whether a program it
// started or anything that program started still runs: on Linux the
// program's process group; on Windows its process id with its creation time
// (ids are given out again once a process has ended), its children being
// ended with it through a job object.
struct ProcessTag {
    long id = 0;
    std::uint64_t created = 0;  // Windows: the creation time as a FILETIME; 0 on Linux
};

struct ProcessResult {
    bool started = false;
    int exitCode = -1;  // the exit status; on Linux 128 + signal when it was killed
    bool cancelled = false;
    std::string startError;  // why it did not start
};

struct ProcessOptions {
    // Where the program runs; empty: this process's current directory.
    std::filesystem::path workingDirectory;
    // When set, standard output and error go here (in pieces as they come,
    // on the waiting thread) instead of this process's own.
    std::function<void(std::string_view)> output;
    // Checked while the program runs: when set, the program and everything
    // it started are ended. On Linux its process group gets SIGTERM, and
    // SIGKILL when it is still there 5 seconds later; on Windows its process
    // group gets Ctrl-Break, and its job object is ended 5 seconds later.
    const CancelFlag* cancel = nullptr;
    // Called about ten times a second while the program runs.
    std::function<void()> whileWaiting;
    // Called once the program has been created, before it runs its first
    // instruction: it waits until this returns.
    std::function<void(const ProcessTag&)> started;
};

// Starts `program` with `args` (an argument vector: no shell is involved; on
// Windows the arguments are quoted so that the program's C runtime gives them
// back as they are) with this process's environment, on its own (a process
// group, and on Windows a job object), and waits for it without a time limit.
ProcessResult RunProcess(const std::filesystem::path& program, const std::vector<std::string>& args,
                         const ProcessOptions& options = {});

// True when the program of the tag, or on Linux any process of its group,
// still runs (zombies, which do nothing any more, do not count).
bool ProcessStillRuns(const ProcessTag& tag);

// "process group 123" on Linux, "process 123" on Windows: for messages.
std::string DescribeProcess(const ProcessTag& tag);

// Runs a Windows program of the game. On Windows it runs directly. On Linux a
// native executable (an ELF binary or a script with a "#!" line) runs
// directly; anything else runs through Wine: $WINE when set, else `wine` from
// the PATH. A program that cannot be read does not start.
ProcessResult RunGameProgram(const std::filesystem::path& program, const std::vector<std::string>& args,
                             const ProcessOptions& options = {});

}  // namespace zpak
