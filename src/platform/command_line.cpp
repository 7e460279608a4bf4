#include "platform/command_line.h"

#ifdef _WIN32
#include "platform/text_encoding.h"

#include <windows.h>

#include <shellapi.h>
#endif

namespace zpak {

#ifdef _WIN32
// argv holds the arguments in the ANSI code page, with "?" for what it
// cannot hold; the command line itself has them all.
std::vector<std::string> ProgramArguments(int, char**)
{
    int count = 0;
    wchar_t** wide = ::CommandLineToArgvW(::GetCommandLineW(), &count);
    std::vector<std::string> args;
    for (int i = 1; wide && i < count; ++i)
        args.push_back(Utf8FromWide(wide[i]));
    ::LocalFree(wide);
    return args;
}
#else
std::vector<std::string> ProgramArguments(int argc, char** argv)
{
    return argc > 1 ? std::vector<std::string>(argv + 1, argv + argc) : std::vector<std::string>{};
}
#endif

}  // namespace zpak
