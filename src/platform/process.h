#pragma once

#include <filesystem>
#include <functional>
#include <string>
#include <vector>

namespace zpak {

struct ProcessResult {
    bool started = false;
    int exitCode = -1;  // the exit status, or 128 + signal when it was killed
};

// Starts `program` with `args` (an argument vector; no shell is involved) in
// the current directory with this process's environment, and waits for it
// without a time limit. `whileWaiting`, when given, is called about ten times
// a second until the program ends, so a window can repaint.
ProcessResult RunProcess(const std::filesystem::path& program, const std::vector<std::string>& args,
                         const std::function<void()>& whileWaiting = {});

// Runs a Windows program of the game. A native executable (an ELF binary or a
// script with a "#!" line, with its run bit) runs directly; anything else runs
// through Wine: $WINE when set, else `wine` from the PATH.
ProcessResult RunGameProgram(const std::filesystem::path& program,
                             const std::vector<std::string>& args,
                             const std::function<void()>& whileWaiting = {});

}  // namespace zpak
