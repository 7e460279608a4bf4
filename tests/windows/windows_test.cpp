// Under Wine, what only Windows has: the registry's 32-bit and 64-bit views,
// a Windows program as the packaging tool, file names in UTF-16 found without
// regard to letter case, and projects in the ANSI code page (1252 here: see
// CMakeLists.txt).
#include "generate/generate_fixture.h"
#include "generate/generation_run.h"
#include "platform/cancel_flag.h"
#include "platform/game_path.h"
#include "platform/process.h"
#include "platform/text_encoding.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdint>
#include <fstream>
#include <sstream>
#include <thread>

#include <windows.h>

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

// The demo game in a folder with blanks in its name, a Windows program as its
// packaging tool, built by zpakbuild.exe.
TEST(WindowsBuildTest, PackageRunsTheToolAndPutsTheManifestBack)
{
    test::TempDir dir;
    const fs::path game = dir / "My Games (demo)" / "Vantor";
    fs::create_directories(game.parent_path());
    fs::copy(ZPAK_EXAMPLES_DIR "/demo-game", game, fs::copy_options::recursive);
    fs::copy_file(ZPAK_MKR_STAND_IN, game / "System/MKR.exe", fs::copy_options::overwrite_existing);
    const std::string manifest = test::ReadFile(game / "System/Manifest.ini");

    const Started run = Start(
        ZPAK_ZPAKBUILD, {"build", ZPAK_EXAMPLES_DIR "/frontier.zproj", "--game-folder", TextFromPath(game)});
    ASSERT_EQ(run.result.exitCode, 0) << run.output;
    EXPECT_EQ(Lines(game / "System/arguments.txt"),
              (std::vector<std::string>{"master", "FrontierMOD", "manifest:aside"}));
    EXPECT_EQ(test::ReadFile(game / "System/Frontier.zpack2"), "package of FrontierMOD");
    EXPECT_EQ(test::ReadFile(game / "System/Manifest.ini"), manifest);  // the tool's own one is gone
    EXPECT_FALSE(fs::exists(game / "System/zpak_build.journal"));
    EXPECT_FALSE(fs::exists(game / "System/zpak_manifest_backup.ini"));
}

// Games registered in either view of the registry are listed by zpakbuild.exe.
TEST(WindowsRegistryTest, GamesOfBothViewsAreListed)
{
    const std::string key = "HKLM\\Software\\Corvex Technology\\Installed Apps\\";
    const auto reg = [&](const std::vector<std::string>& args) {
        return Start("reg.exe", args).result.exitCode;
    };
    ASSERT_EQ(reg({"add", key + "Zeta32", "/v", "Folder", "/d", "C:\\Games\\Zeta", "/reg:32", "/f"}), 0);
    ASSERT_EQ(reg({"add", key + "Alpha64", "/v", "Folder", "/d", "D:\\Alpha Game", "/reg:64", "/f"}), 0);

    const Started run = Start(ZPAK_ZPAKBUILD, {"games"});
    reg({"delete", key + "Zeta32", "/reg:32", "/f"});
    reg({"delete", key + "Alpha64", "/reg:64", "/f"});
    EXPECT_EQ(run.result.exitCode, 0);
    const std::size_t alpha = run.output.find("Alpha64\r\n  Folder:           D:\\Alpha Game");
    const std::size_t zeta = run.output.find("Zeta32\r\n  Folder:           C:\\Games\\Zeta");
    EXPECT_NE(alpha, std::string::npos) << run.output;
    EXPECT_NE(zeta, std::string::npos) << run.output;
    EXPECT_LT(alpha, zeta);  // sorted, whatever the view
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

}  // namespace
}  // namespace zpak
