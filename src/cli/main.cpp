#include "cli/zpakbuild.h"
#include "platform/command_line.h"
#include "platform/running_marker.h"

#include <iostream>

#ifdef _WIN32
#include <cstdio>

#include <io.h>
#include <windows.h>
#else
#include <unistd.h>
#endif

int main(int argc, char** argv)
{
    const zpak::RunningMarker running;
#ifdef _WIN32
    // Every message in UTF-8, which the console shows as such.
    ::SetConsoleOutputCP(CP_UTF8);
    const bool terminal = ::_isatty(::_fileno(stderr)) != 0;
#else
    const bool terminal = ::isatty(STDERR_FILENO) != 0;
#endif
    return zpak::RunZpakbuild(zpak::ProgramArguments(argc, argv), std::cout, std::cerr, terminal);
}
