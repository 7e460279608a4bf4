// A Windows console program in the place of the game's packaging tool. It
// writes its arguments, one to a line in UTF-8, and what it found into
// arguments.txt in its working directory, leaves a manifest of its own behind
// as the real tool may, and for "master NAME" writes the archive that NAME.ini
// names on its Archive= line. "wait" starts a copy of itself that writes its
// process id to child.txt, then both wait to be ended. With
// MKR_STAND_IN_HOLD set it writes "started" once it has written its
// arguments, then waits to be ended; with MKR_STAND_IN_WAIT_FOR_GO set it
// says what it packs, writes "started" and waits (20 s at most) for a file
// "go" before it goes on, writing "went-on".
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

#include <windows.h>

#include <shellapi.h>

namespace {

std::string Utf8(const wchar_t* text)
{
    const int length = ::WideCharToMultiByte(CP_UTF8, 0, text, -1, nullptr, 0, nullptr, nullptr);
    std::string out(static_cast<std::size_t>(length), '\0');
    ::WideCharToMultiByte(CP_UTF8, 0, text, -1, out.data(), length, nullptr, nullptr);
    out.resize(out.size() - 1);
    return out;
}

int Wait(bool child)
{
    if (child) {
        std::ofstream("child.txt") << ::GetCurrentProcessId();
    } else {
        STARTUPINFOW startup{};
        startup.cb = sizeof startup;
        PROCESS_INFORMATION process{};
        std::wstring line = L"mkr_stand_in child";
        wchar_t self[MAX_PATH];
        ::GetModuleFileNameW(nullptr, self, MAX_PATH);
        if (!::CreateProcessW(self, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                              &process))
            return 3;
    }
    ::Sleep(60000);
    return 0;
}

}  // namespace

int main()
{
    int count = 0;
    wchar_t** args = ::CommandLineToArgvW(::GetCommandLineW(), &count);
    if (count == 2 && std::wstring(args[1]) == L"wait")
        return Wait(false);
    if (count == 2 && std::wstring(args[1]) == L"child")
        return Wait(true);

    {
        std::ofstream log("arguments.txt", std::ios::binary);
        for (int i = 1; i < count; ++i)
            log << Utf8(args[i]) << '\n';
        log << "manifest:"
            << (::GetFileAttributesW(L"Manifest.ini") == INVALID_FILE_ATTRIBUTES ? "aside" : "present")
            << '\n';
    }
    if (::GetEnvironmentVariableW(L"MKR_STAND_IN_HOLD", nullptr, 0) != 0) {
        std::ofstream("started").close();
        ::Sleep(60000);
        return 1;
    }
    if (::GetEnvironmentVariableW(L"MKR_STAND_IN_WAIT_FOR_GO", nullptr, 0) != 0) {
        std::puts("packing the maps");
        std::fflush(stdout);
        std::ofstream("started").close();
        for (int i = 0; i < 400 && ::GetFileAttributesW(L"go") == INVALID_FILE_ATTRIBUTES; ++i)
            ::Sleep(50);
        std::ofstream("went-on").close();
    }
    std::ofstream("manifest.ini") << "tool's own";
    std::puts("MKR stand-in: arguments written");
    if (count == 3 && std::wstring(args[1]) == L"master") {
        std::ifstream manifest(std::filesystem::path(std::wstring(args[2]) + L".ini"));
        for (std::string line; std::getline(manifest, line);) {
            if (line.rfind("Archive=", 0) == 0) {
                while (!line.empty() && line.back() == '\r')
                    line.pop_back();
                std::ofstream(line.substr(8), std::ios::binary) << "package of " << Utf8(args[2]);
            }
        }
    }
    ::LocalFree(args);
    return 0;
}
