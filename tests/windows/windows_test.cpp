// Under Wine, what only Windows has: the registry's 32-bit and 64-bit views,
// a Windows program as the packaging tool, Ctrl-C at a console, the build
// lock against the Linux build's, file names in UTF-16 found without regard
// to letter case, projects in the ANSI code page (1252 here: see
// tests/CMakeLists.txt) and the version resource.
#include "generate/generate_fixture.h"
#include "generate/generation_run.h"
#include "platform/cancel_flag.h"
#include "platform/file_handle.h"
#include "platform/folder_lock.h"
#include "platform/game_path.h"
#include "platform/process.h"
#include "platform/text_encoding.h"
#include "support/temp_dir.h"
#include "zpak/version.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdint>
#include <fstream>
#include <optional>
#include <sstream>
#include <thread>
#include <vector>

#include <windows.h>

#include <winver.h>

namespace zpak {
namespace {

namespace fs = std::filesystem;

struct Started {
    ProcessResult result;
    std::string output;
};

Started Start(const fs::path& program, const std::vector<std::string>& args, const fs::path& folder = {},
              const CancelFlag* cancel = nullptr)
{
    Started run;
    ProcessOptions options;
    options.workingDirectory = folder;
    options.cancel = cancel;
    options.output = [&](std::string_view chunk) { run.output += chunk; };
    run.result = RunProcess(program, args, options);
    return run;
}

std::vector<std::string> Lines(const fs::path& file)
{
    std::vector<std::string> lines;
    std::istringstream in(test::ReadFile(file));
    for (std::string line; std::getline(in, line);)
        lines.push_back(line);
    return lines;
}

// The names in a zip's central directory, each with its general-purpose flags.
std::vector<std::pair<std::string, unsigned>> ZipNames(const fs::path& archive)
{
    const std::string zip = test::ReadFile(archive);
    const auto number = [&](std::size_t at, int bytes) {
        std::uint32_t value = 0;
        for (int i = bytes - 1; i >= 0; --i)
            value = (value << 8) | static_cast<unsigned char>(zip[at + static_cast<std::size_t>(i)]);
        return value;
    };
    std::vector<std::pair<std::string, unsigned>> names;
    const std::size_t end = zip.rfind("PK\x05\x06");
    if (end == std::string::npos)
        return names;
    std::size_t at = number(end + 16, 4);
    for (std::uint32_t i = 0; i < number(end + 10, 2); ++i) {
        const std::uint32_t nameLength = number(at + 28, 2);
        names.emplace_back(zip.substr(at + 46, nameLength), number(at + 8, 2));
        at += 46 + nameLength + number(at + 30, 2) + number(at + 32, 2);
    }
    return names;
}

// Arguments reach the program as they were given, whatever blanks, quotes
// and backslashes they hold, in whatever characters.
TEST(WindowsProcessTest, ArgumentsArriveAsGiven)
{
    test::TempDir dir;
    const std::vector<std::string> args{
        "master",    "two words", "say \"hi\"", "trailing\\",
        "C:\\a b\\", "\\\\\"",    "",           "\xd0\x9a\xd0\xb0\xd1\x80\xd1\x82\xd0\xb0"};
    const Started run = Start(ZPAK_MKR_STAND_IN, args, dir.path());
    ASSERT_TRUE(run.result.started) << run.result.startError;
    EXPECT_EQ(run.result.exitCode, 0);
    EXPECT_EQ(run.output.rfind("MKR stand-in", 0), 0u) << run.output;
    std::vector<std::string> expected = args;
    expected.emplace_back("manifest:aside");
    EXPECT_EQ(Lines(dir / "arguments.txt"), expected);

    EXPECT_FALSE(Start(dir / "missing.exe", {}).result.started);
}

// Cancel ends the program and what it started, through its job object.
TEST(WindowsProcessTest, CancelEndsTheProgramAndItsChildren)
{
    test::TempDir dir;
    CancelFlag cancel;
    std::thread canceller([&] {
        for (int i = 0; i < 500 && !fs::exists(dir / "child.txt"); ++i)
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        cancel.Set();
    });
    const Started run = Start(ZPAK_MKR_STAND_IN, {"wait"}, dir.path(), &cancel);
    canceller.join();
    EXPECT_TRUE(run.result.cancelled);
    const ProcessTag child{std::stol(test::ReadFile(dir / "child.txt")), 0};
    for (int i = 0; i < 100 && ProcessStillRuns(child); ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    EXPECT_FALSE(ProcessStillRuns(child));
}

// The demo game in a folder with blanks in its name, with a Windows program
// as its packaging tool.
fs::path DemoGame(const test::TempDir& dir)
{
    const fs::path game = dir / "My Games (demo)" / "Vantor";
    fs::create_directories(game.parent_path());
    fs::copy(ZPAK_EXAMPLES_DIR "/demo-game", game, fs::copy_options::recursive);
    fs::copy_file(ZPAK_MKR_STAND_IN, game / "System/MKR.exe", fs::copy_options::overwrite_existing);
    return game;
}

// zpakbuild.exe builds the package, running the tool, and the zip.
TEST(WindowsBuildTest, PackageRunsTheToolAndZipHoldsTheGroups)
{
    test::TempDir dir;
    const fs::path game = DemoGame(dir);
    const std::string manifest = test::ReadFile(game / "System/Manifest.ini");

    const auto build = [&](const char* choice) {
        return Start(
            ZPAK_ZPAKBUILD,
            {"build", ZPAK_EXAMPLES_DIR "/frontier.zproj", choice, "--game-folder", TextFromPath(game)});
    };
    Started run = build("--package");
    ASSERT_EQ(run.result.exitCode, 0) << run.output;
    EXPECT_EQ(Lines(game / "System/arguments.txt"),
              (std::vector<std::string>{"master", "FrontierMOD", "manifest:aside"}));
    EXPECT_EQ(test::ReadFile(game / "System/Frontier.zpack2"), "package of FrontierMOD");
    EXPECT_EQ(test::ReadFile(game / "System/Manifest.ini"), manifest);  // the tool's own one is gone
    EXPECT_FALSE(fs::exists(game / ".zpak_build"));                     // neither lock nor journal stays
    EXPECT_FALSE(fs::exists(game / "System/zpak_manifest_backup.ini"));

    run = build("--zip");
    ASSERT_EQ(run.result.exitCode, 0) << run.output;
    std::vector<std::string> names;
    for (const auto& [name, flags] : ZipNames(game / "FrontierMOD.zip"))
        names.push_back(name);
    EXPECT_EQ(names,
              (std::vector<std::string>{
                  "System/Frontier.u", "System/Frontier.int", "Maps/FR-Canyon.map", "Maps/FR-Landing.map",
                  "Help/Frontier.txt", "Frontier/Classes/Campaign.uc", "Frontier/Classes/Spawner.uc",
                  "System/Frontier.ini", "System/Frontier.sh", "System/Frontier_mac.sh"}));
}

// Ctrl-C at the console zpakbuild.exe runs in cancels the build as SIGINT
// does on Linux: the tool is ended, the game's manifest put back, and the
// exit status is 130.
TEST(WindowsInterruptTest, CtrlCCancelsTheBuild)
{
    test::TempDir dir;
    const fs::path game = DemoGame(dir);
    const std::string manifest = test::ReadFile(game / "System/Manifest.ini");

    // A console of its own, where Ctrl-C is pressed below; what it writes
    // goes to a file.
    SECURITY_ATTRIBUTES inherited{sizeof inherited, nullptr, TRUE};
    const fs::path log = dir / "zpakbuild.log";
    const FileHandle output(::CreateFileW(log.c_str(), GENERIC_WRITE, FILE_SHARE_READ, &inherited,
                                          CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    ASSERT_TRUE(output.IsOpen());
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdOutput = output.Get();
    startup.hStdError = output.Get();
    const auto quoted = [](const fs::path& path) { return L"\"" + path.native() + L"\""; };
    std::wstring line = quoted(PathFromText(ZPAK_ZPAKBUILD)) + L" build "
        + quoted(PathFromText(ZPAK_EXAMPLES_DIR "/frontier.zproj")) + L" --package --game-folder "
        + quoted(game);
    PROCESS_INFORMATION process{};
    ::SetEnvironmentVariableW(L"MKR_STAND_IN_HOLD", L"1");
    const BOOL created = ::CreateProcessW(nullptr, line.data(), nullptr, nullptr, TRUE, CREATE_NEW_CONSOLE,
                                          nullptr, nullptr, &startup, &process);
    ::SetEnvironmentVariableW(L"MKR_STAND_IN_HOLD", nullptr);
    ASSERT_TRUE(created) << ::GetLastError();
    const FileHandle processHandle(process.hProcess);
    const FileHandle threadHandle(process.hThread);
    for (int i = 0; i < 500 && !fs::exists(game / "System/started"); ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    EXPECT_TRUE(fs::exists(game / "System/started")) << "the tool never ran";

    // This program joins that console for the moment, ignoring Ctrl-C itself.
    // (Wine sends a Ctrl-C to the presser's process group only, which
    // zpakbuild.exe shares with this program; Windows sends it to every
    // program at the console but those, like the tool, that run in a group
    // of their own.)
    ::FreeConsole();
    const BOOL attached = ::AttachConsole(process.dwProcessId);
    ::SetConsoleCtrlHandler(nullptr, TRUE);
    const BOOL pressed = attached && ::GenerateConsoleCtrlEvent(CTRL_C_EVENT, 0);
    const DWORD waited = ::WaitForSingleObject(process.hProcess, 60000);
    ::FreeConsole();
    ::SetConsoleCtrlHandler(nullptr, FALSE);
    EXPECT_TRUE(pressed) << ::GetLastError();
    ASSERT_EQ(waited, WAIT_OBJECT_0);

    DWORD code = 0;
    ::GetExitCodeProcess(process.hProcess, &code);
    EXPECT_EQ(code, 130u) << test::ReadFile(log);
    EXPECT_NE(test::ReadFile(log).find("The package build was cancelled."), std::string::npos)
        << test::ReadFile(log);
    EXPECT_EQ(test::ReadFile(game / "System/Manifest.ini"), manifest);
    EXPECT_FALSE(fs::exists(game / "System/Frontier.zpack2"));
    EXPECT_FALSE(fs::exists(game / ".zpak_build"));  // neither lock nor journal stays
    EXPECT_FALSE(fs::exists(game / "System/zpak_manifest_backup.ini"));
}

// The build lock is one lock whichever system takes it: LockFileEx under Wine
// and the Linux build's open-file-description lock on the same file keep each
// other out (Wine's server takes a POSIX lock for each Windows one).
TEST(WindowsLockTest, LinuxAndWindowsLocksExcludeEachOther)
{
    // Wine's own functions, between its names of files and Linux's.
    const auto wineFunction = [](const char* name) {
        // Through void (*)(): the one cast between function types that says
        // the type is known elsewhere.
        return reinterpret_cast<void (*)()>(::GetProcAddress(::GetModuleHandleW(L"kernel32.dll"), name));
    };
    const auto unixName =
        reinterpret_cast<char*(CDECL*)(const wchar_t*)>(wineFunction("wine_get_unix_file_name"));
    const auto dosName =
        reinterpret_cast<wchar_t*(CDECL*)(const char*)>(wineFunction("wine_get_dos_file_name"));
    if (!unixName || !dosName)
        GTEST_SKIP() << "needs Wine: the other lock is taken by a Linux program";
    const auto unix = [&](const fs::path& path) {
        char* name = unixName(path.c_str());
        std::string text = name ? name : "";
        ::HeapFree(::GetProcessHeap(), 0, name);
        return text;
    };
    wchar_t* pythonName = dosName("/usr/bin/python3");
    ASSERT_NE(pythonName, nullptr);
    const fs::path python(pythonName);
    ::HeapFree(::GetProcessHeap(), 0, pythonName);

    // A Linux program that Wine starts runs beside it, not as a Windows
    // process that could be waited for: ofd_lock.py says in `report` what it
    // did, and this waits to read something new there.
    test::TempDir dir;
    const fs::path lockFile = dir / "lock";
    const fs::path report = dir / "report";
    const auto linuxLock = [&](std::vector<std::string> more) {
        fs::remove(report);
        more.insert(more.begin(), {ZPAK_OFD_LOCK_SCRIPT, unix(lockFile), unix(report)});
        RunProcess(python, more, {});
    };
    const auto reportAfter = [&](const std::string& before) {
        for (int i = 0; i < 500; ++i) {
            const std::string now = test::ReadFile(report);
            if (!now.empty() && now != before)
                return now;
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
        return std::string("nothing");
    };

    // Linux holds it: Windows is kept out until Linux lets go.
    linuxLock({unix(dir / "release")});
    ASSERT_EQ(reportAfter(""), "locked");
    FolderLock windows;
    EXPECT_EQ(windows.Acquire(lockFile), FolderLock::Result::Busy);
    dir.Write("release", "");
    ASSERT_EQ(reportAfter("locked"), "released");
    EXPECT_EQ(windows.Acquire(lockFile), FolderLock::Result::Locked);

    // Windows holds it: Linux is kept out until Windows lets go.
    linuxLock({});
    EXPECT_EQ(reportAfter(""), "busy");
    windows.Release();
    linuxLock({});
    EXPECT_EQ(reportAfter(""), "locked");
}

class WindowsGenerateTest : public test::GenerateFixture {};

// Names are found whatever their letter case, and used as the disk has them.
TEST_F(WindowsGenerateTest, LookupsIgnoreCaseAndTakeTheNamesOnDisk)
{
    EXPECT_EQ(GamePathToNative(TextFromPath(game) + "\\maps\\fr-CANYON.MAP", {}), Game("Maps/FR-Canyon.map"));
    doc.groups[1]->files.clear();
    doc.groups[1]->AddFile("MAPS\\fr-canyon.map");
    ASSERT_EQ(RunGeneration(doc, GenerationChoice::Zip, sink), GenerationOutcome::Done) << sink.messages[0];
    EXPECT_EQ(ZipNames(Game("FrontierMOD.zip"))[1].first, "Maps/FR-Canyon.map");
}

// A project made on Windows holds its names in the ANSI code page: the file
// is found, and zipped under its name in UTF-8, marked as such.
TEST_F(WindowsGenerateTest, AnsiNamesAreFoundAndZippedInUtf8)
{
    ASSERT_EQ(AnsiCodePage(), 1252u);
    const std::string ansi = "Maps\\Caf\xe9 \xc9t\xe9.map";  // "Café Été" in code page 1252
    const fs::path onDisk = game / L"Maps" / L"Caf\u00e9 \u00c9t\u00e9.map";
    ASSERT_TRUE(::CopyFileW(Game("Maps/FR-Canyon.map").c_str(), onDisk.c_str(), TRUE));
    doc.groups[1]->files.clear();
    doc.groups[1]->AddFile(ansi);
    ASSERT_EQ(RunGeneration(doc, GenerationChoice::Zip, sink), GenerationOutcome::Done) << sink.messages[0];
    const auto names = ZipNames(Game("FrontierMOD.zip"));
    ASSERT_GE(names.size(), 2u);
    EXPECT_EQ(names[1].first, "Maps/Caf\xc3\xa9 \xc3\x89t\xc3\xa9.map");
    EXPECT_EQ(names[1].second & 0x800, 0x800u);
}

// The programs of the wizard.
struct Program {
    const char* path;
    const char* name;
};
std::vector<Program> Programs()
{
    std::vector<Program> programs{{ZPAK_ZPAKBUILD, "zpakbuild.exe"}};
#ifdef ZPAK_ZPAKWIZARD
    programs.push_back({ZPAK_ZPAKWIZARD, "zpakwizard.exe"});
#endif
    return programs;
}

// Each program tells what it is, and its version, in its file, with the
// wizard's icon: what Explorer shows.
class WindowsResourceTest : public ::testing::TestWithParam<Program> {};

TEST_P(WindowsResourceTest, CarriesItsVersionAndIcon)
{
    const fs::path program = PathFromText(GetParam().path);
    DWORD ignored = 0;
    const DWORD size = ::GetFileVersionInfoSizeW(program.c_str(), &ignored);
    ASSERT_GT(size, 0u) << "no version resource";
    std::vector<char> data(size);
    ASSERT_TRUE(::GetFileVersionInfoW(program.c_str(), 0, size, data.data()));
    const auto text = [&](const std::wstring& name) {
        void* value = nullptr;
        UINT length = 0;
        const std::wstring key = L"\\StringFileInfo\\040904B0\\" + name;
        return ::VerQueryValueW(data.data(), key.c_str(), &value, &length) && length > 0
            ? Utf8FromWide(static_cast<const wchar_t*>(value))
            : std::string();
    };
    EXPECT_EQ(text(L"FileVersion"), kVersion);
    EXPECT_EQ(text(L"ProductVersion"), kVersion);
    EXPECT_EQ(text(L"OriginalFilename"), GetParam().name);
    EXPECT_EQ(text(L"ProductName"), "ZPAK Wizard");

    void* fixed = nullptr;
    UINT length = 0;
    ASSERT_TRUE(::VerQueryValueW(data.data(), L"\\", &fixed, &length));
    const auto* info = static_cast<const VS_FIXEDFILEINFO*>(fixed);
    EXPECT_EQ(std::to_string(HIWORD(info->dwFileVersionMS)) + "."
                  + std::to_string(LOWORD(info->dwFileVersionMS)),
              kVersion);

    // The icon at 64 pixels as src/ui/resources/zpakwizard.svg draws it (a
    // quarter of its size): a pixel of each colour, the right way up and
    // the right way round.
    const HMODULE module =
        ::LoadLibraryExW(program.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
    ASSERT_NE(module, nullptr);
    const auto icon = static_cast<HICON>(::LoadImageW(module, MAKEINTRESOURCEW(1), IMAGE_ICON, 64, 64, 0));
    ::FreeLibrary(module);
    ASSERT_NE(icon, nullptr) << "no icon";
    ICONINFO parts{};
    ASSERT_TRUE(::GetIconInfo(icon, &parts));
    BITMAPINFO format{};
    format.bmiHeader.biSize = sizeof format.bmiHeader;
    format.bmiHeader.biWidth = 64;
    format.bmiHeader.biHeight = -64;  // top row first
    format.bmiHeader.biPlanes = 1;
    format.bmiHeader.biBitCount = 32;
    std::vector<std::uint32_t> pixels(64 * 64);
    const HDC screen = ::GetDC(nullptr);
    const int rows = ::GetDIBits(screen, parts.hbmColor, 0, 64, pixels.data(), &format, DIB_RGB_COLORS);
    ::ReleaseDC(nullptr, screen);
    ::DeleteObject(parts.hbmColor);
    ::DeleteObject(parts.hbmMask);
    ::DestroyIcon(icon);
    ASSERT_EQ(rows, 64);
    const auto at = [&](int x, int y) { return pixels[static_cast<std::size_t>(y * 64 + x)]; };
    EXPECT_EQ(at(0, 0) >> 24, 0u);       // a transparent corner
    EXPECT_EQ(at(32, 4), 0xff5b2a86u);   // purple at the top
    EXPECT_EQ(at(32, 60), 0xff3d1a5cu);  // the darker lip at the bottom
    EXPECT_EQ(at(32, 20), 0xffffffffu);  // the Z's upper bar
    EXPECT_EQ(at(49, 14), 0xfff2c14eu);  // the star, top right
}

INSTANTIATE_TEST_SUITE_P(Programs, WindowsResourceTest, ::testing::ValuesIn(Programs()),
                         [](const auto& param_info) {
                             const std::string name = param_info.param.name;
                             return name.substr(0, name.find('.'));
                         });

#ifdef ZPAK_ZPAKWIZARD
// The window's manifest asks Windows for the controls' own look and for
// sharp drawing at each monitor's scale.
TEST(WindowsManifestTest, WizardDeclaresItsLookAndScaling)
{
    const HMODULE module = ::LoadLibraryExW(PathFromText(ZPAK_ZPAKWIZARD).c_str(), nullptr,
                                            LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
    ASSERT_NE(module, nullptr);
    const HRSRC found = ::FindResourceW(module, MAKEINTRESOURCEW(1), MAKEINTRESOURCEW(24));  // RT_MANIFEST
    ASSERT_NE(found, nullptr) << "no manifest";
    const auto* data = static_cast<const char*>(::LockResource(::LoadResource(module, found)));
    const std::string manifest(data, ::SizeofResource(module, found));
    ::FreeLibrary(module);
    EXPECT_NE(manifest.find("Microsoft.Windows.Common-Controls"), std::string::npos);
    EXPECT_NE(manifest.find(">PerMonitorV2"), std::string::npos);
    EXPECT_NE(manifest.find("level=\"asInvoker\""), std::string::npos);
}
#endif

}  // namespace
}  // namespace zpak
