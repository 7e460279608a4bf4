#include "cli/zpakbuild.h"

#include <iostream>

#ifdef _WIN32
#include "platform/text_encoding.h"

#include <cstdio>

#include <io.h>
#include <windows.h>

#include <shellapi.h>
#else
#include <unistd.h>
#endif

int main([[maybe_unused]] int argc, [[maybe_unused]] char** argv)
{
#ifdef _WIN32
    // The arguments as typed, whatever the ANSI code page holds, and every
    // message in UTF-8, which the console shows as such.
    int count = 0;
    wchar_t** wide = ::CommandLineToArgvW(::GetCommandLineW(), &count);
    std::vector<std::string> args;
    for (int i = 1; i < count; ++i)
        args.push_back(zpak::Utf8FromWide(wide[i]));
    ::LocalFree(wide);
    ::SetConsoleOutputCP(CP_UTF8);
    const bool terminal = ::_isatty(::_fileno(stderr)) != 0;
#else
    const std::vector<std::string> args(argv + 1, argv + argc);
    const bool terminal = ::isatty(STDERR_FILENO) != 0;
#endif
    return zpak::RunZpakbuild(args, std::cout, std::cerr, terminal);
}
