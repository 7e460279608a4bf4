#pragma once

#include <string>
#include <vector>

namespace zpak {

// The program's arguments after its own name, as the user typed them: on
// Windows read from the UTF-16 command line and given in UTF-8, so that a
// name survives whatever the ANSI code page holds; on Linux the bytes given.
std::vector<std::string> ProgramArguments(int argc, char** argv);

}  // namespace zpak
