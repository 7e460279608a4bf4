#pragma once

#include "generate/project_check.h"

#include <cstdio>
#include <string>
#include <vector>

// What a fuzz target says before it stops on a fault, for whoever replays
// the input.
namespace zpak::fuzz {

[[noreturn]] inline void Fail(const char* what, const std::string& detail)
{
    std::fprintf(stderr, "%s\n%s\n", what, detail.c_str());
    __builtin_trap();
}

inline std::string Told(const std::vector<Diagnostic>& diagnostics)
{
    std::string text;
    for (const Diagnostic& d : diagnostics)
        text += d.file + ":" + std::to_string(d.line) + ": " + d.code + " " + d.text + "\n";
    return text;
}

}  // namespace zpak::fuzz
