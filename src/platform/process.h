#pragma once

#include <filesystem>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace zpak {

class CancelFlag;

struct ProcessResult {
    bool started = false;
    int exitCode = -1;  // the exit status, or 128 + signal when it was killed
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
    // it started (its own process group) get SIGTERM, and SIGKILL when they
    // are still there 5 seconds later.
    const CancelFlag* cancel = nullptr;
    // Called about ten times a second while the program runs.
    std::function<void()> whileWaiting;
    // Called once the program has started, with its process (and group) id.
    std::function<void(int)> started;
};

// Starts `program` with `args` (an argument vector; no shell is involved) in
// a process group of its own with this process's environment, and waits for
// it without a time limit.
ProcessResult RunProcess(const std::filesystem::path& program, const std::vector<std::string>& args,
                         const ProcessOptions& options = {});

// True when a process of the group still runs (zombies, which do nothing
// any more, do not count).
bool ProcessGroupAlive(long group);

// Runs a Windows program of the game. A native executable (an ELF binary or a
// script with a "#!" line, with its run bit) runs directly; anything else runs
// through Wine: $WINE when set, else `wine` from the PATH.
ProcessResult RunGameProgram(const std::filesystem::path& program, const std::vector<std::string>& args,
                             const ProcessOptions& options = {});

}  // namespace zpak
