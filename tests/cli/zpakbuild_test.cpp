#include "cli/zpakbuild.h"
#include "support/platform_skip.h"
#include "support/scoped_env.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <sstream>

namespace zpak {
namespace {

struct Outcome {
    int code;
    std::string out;
    std::string err;
};

Outcome Zpakbuild(const std::vector<std::string>& args)
{
    std::ostringstream out;
    std::ostringstream err;
    const int code = RunZpakbuild(args, out, err);
    return {code, out.str(), err.str()};
}

TEST(ZpakbuildTest, CheckReportsAsTheWizardWould)
{
    test::TempDir dir;
    // It reads, but build would refuse it: it has no product.
    const auto good = dir.Write("good.zproj", "/nowhere\n0.8\n[INI]\nname=a\nA,B,C,(X,Y\n");
    Outcome run = Zpakbuild({"check", good.string()});
    EXPECT_EQ(run.code, 1);
    EXPECT_EQ(run.err,
              "Invalid Expression: Expected the expression (X,Y to contain an equal number of "
              "opening/closing braces.\n"
              "The game path referenced by the project is invalid. Please update the path.\n"
              "You must complete the product field.\n");

    const auto bad = dir.Write("bad.zproj", "\n0.8\nstray\n");
    run = Zpakbuild({"check", bad.string()});
    EXPECT_EQ(run.code, 1);
    EXPECT_EQ(run.err, "Error reading file at line: 3\n");

    run = Zpakbuild({"check", (dir / "missing.zproj").string()});
    EXPECT_EQ(run.code, 1);
    EXPECT_NE(run.err.find("cannot open"), std::string::npos);
}

TEST(ZpakbuildTest, FormatRewritesAsSaveWould)
{
    SKIP_ON_WINDOWS("runs the demo game's #!/bin/sh packaging tool");
    test::TempDir dir;
    const auto file = dir.Write("p.zproj", "C:\\G\r\nold version\r\n[Product]\r\nproduct=M\r\n");
    Outcome run = Zpakbuild({"format", file.string(), "-o", (dir / "out.zproj").string()});
    ASSERT_EQ(run.code, 0) << run.err;
    const std::string formatted = "C:\\G\n0.8\n[Product]\nproduct=M\nversion=\ndeveloper=\n"
                                  "productURL=\nversionURL=\ndeveloperURL=\ntitle=M\n"
                                  "archive=M.zpack2\n";
    EXPECT_EQ(test::ReadFile(dir / "out.zproj"), formatted);
    EXPECT_NE(test::ReadFile(file), formatted);

    run = Zpakbuild({"format", file.string()});
    ASSERT_EQ(run.code, 0) << run.err;
    EXPECT_EQ(test::ReadFile(file), formatted);

    const auto bad = dir.Write("bad.zproj", "\n0.8\nstray\n");
    EXPECT_EQ(Zpakbuild({"format", bad.string()}).code, 1);
    EXPECT_EQ(test::ReadFile(bad), "\n0.8\nstray\n");
}

TEST(ZpakbuildTest, GamesShowsWhatDetectionFinds)
{
    SKIP_ON_WINDOWS("needs symbolic links (a Wine prefix's drive letters)");
    test::TempDir dir;
    const std::filesystem::path prefix = dir / "home/.wine";
    dir.Write("home/.wine/system.reg",
              "WINE REGISTRY Version 2\n"
              "[Software\\\\Wow6432Node\\\\Corvex Technology\\\\Installed Apps\\\\Vantor] 1\n"
              "\"Folder\"=\"C:\\\\Games\\\\Vantor\"\n"
              "[Software\\\\Corvex Technology\\\\Installed Apps\\\\Broken] 1\n"
              "\"Folder\"=dword:00000001\n");
    dir.Write("home/.wine/drive_c/Games/Vantor/System/MKR.exe", "tool");
    std::filesystem::create_directories(prefix / "dosdevices");
    std::filesystem::create_directory_symlink("../drive_c", prefix / "dosdevices/c:");
    const test::ScopedEnv home("HOME", (dir / "home").string());
    const test::ScopedEnv winePrefix("WINEPREFIX", std::nullopt);

    const Outcome run = Zpakbuild({"games"});
    EXPECT_EQ(run.code, 0);
    EXPECT_EQ(run.out,
              "Wine prefixes searched, in order:\n  " + prefix.string()
                  + "\n\n"
                    "Broken\n  no \"Folder\" string value: the wizard cannot use this game\n\n"
                    "Vantor (the default game)\n"
                    "  Folder as stored: C:\\Games\\Vantor\n"
                    "  Folder used:      "
                  + (prefix / "drive_c/Games/Vantor").string()
                  + "\n"
                    "  Wine prefix:      "
                  + prefix.string()
                  + "\n"
                    "  Packaging tool:   System\\MKR.exe found\n");
}

TEST(ZpakbuildTest, UsageHelpAndVersion)
{
    EXPECT_EQ(Zpakbuild({}).code, 2);
    EXPECT_EQ(Zpakbuild({"frobnicate"}).code, 2);
    EXPECT_EQ(Zpakbuild({"check"}).code, 2);
    EXPECT_EQ(Zpakbuild({"check", "a", "--bogus"}).code, 2);
    EXPECT_EQ(Zpakbuild({"format", "a", "-o"}).code, 2);
    // Each command refuses the options it does not take, before it does anything.
    const std::pair<std::vector<std::string>, std::string> refusals[] = {
        {{"format", "a", "--game-folder", "d"}, "--game-folder"},
        {{"format", "a", "--zip"}, "--zip"},
        {{"check", "a", "--cleanup"}, "--cleanup"},
        {{"check", "a", "-o", "b"}, "-o"},
        {{"games", "--zip"}, "--zip"},
        {{"build", "a", "-o", "b"}, "-o"}};
    for (const auto& [args, option] : refusals) {
        const Outcome refused = Zpakbuild(args);
        EXPECT_EQ(refused.code, 2) << args[0] << ' ' << option;
        EXPECT_NE(refused.err.find(args[0] + " does not take " + option), std::string::npos) << refused.err;
    }

    const Outcome help = Zpakbuild({"--help"});
    EXPECT_EQ(help.code, 0);
    EXPECT_NE(help.out.find("format PROJECT.zproj"), std::string::npos);
    EXPECT_EQ(Zpakbuild({"--version"}).out, "zpakbuild 2.36\n");
}

// The example project against a copy of the demo game, all three choices.
class DemoGameTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        std::filesystem::copy(ZPAK_EXAMPLES_DIR "/demo-game", game, std::filesystem::copy_options::recursive);
    }

    Outcome Build(std::vector<std::string> options)
    {
        std::vector<std::string> args{"build", ZPAK_EXAMPLES_DIR "/frontier.zproj", "--game-folder",
                                      game.string()};
        args.insert(args.end(), options.begin(), options.end());
        return Zpakbuild(args);
    }

    bool Has(const char* relative) const { return std::filesystem::exists(game / relative); }

    test::TempDir dir;
    std::filesystem::path game = dir / "Vantor";
};

TEST_F(DemoGameTest, ChecksAgainstTheDemoGame)
{
    Outcome run = Zpakbuild({"check", ZPAK_EXAMPLES_DIR "/frontier.zproj", "--game-folder", game.string()});
    EXPECT_EQ(run.code, 0) << run.err;
    EXPECT_EQ(run.err, "");
    run = Zpakbuild({"check", ZPAK_EXAMPLES_DIR "/frontier.zproj"});
    EXPECT_EQ(run.code, 1);  // C:\Games\Vantor holds none of the files here
    EXPECT_NE(run.err.find("The game path referenced by the project is invalid."), std::string::npos);
    EXPECT_NE(run.err.find("Cannot continue generating the product."), std::string::npos);
}

// check runs the resolution of build with the same choice: what build would
// refuse, check refuses; warnings do not fail it.
TEST_F(DemoGameTest, CheckRefusesWhatBuildWouldRefuse)
{
    const std::string project = test::ReadFile(ZPAK_EXAMPLES_DIR "/frontier.zproj");
    const std::string outside = project + "[Group]\nname=Stolen\n..\\..\\secret.txt\n";
    const auto file = dir.Write("outside.zproj", outside);
    for (const char* choice : {"--package", "--manifest", "--zip"}) {
        const Outcome check = Zpakbuild({"check", file.string(), "--game-folder", game.string(), choice});
        EXPECT_EQ(check.code, 1) << choice;
        EXPECT_NE(check.err.find("[..\\..\\secret.txt] lies outside the game folder"), std::string::npos)
            << check.err;
        const Outcome build = Zpakbuild({"build", file.string(), "--game-folder", game.string(), choice});
        EXPECT_EQ(build.code, 1) << choice;
        EXPECT_EQ(build.err, check.err.substr(check.err.find("The file [")));
    }
    EXPECT_FALSE(Has("FrontierMOD.zip"));
    EXPECT_FALSE(Has("System/FrontierMOD.ini"));

    // The archive among its own inputs is a warning: exit 0, one line.
    const auto root = dir.Write("root.zproj", project + "[Group]\nname=Root\n*.zip\n");
    ASSERT_EQ(Build({"--zip"}).code, 0);
    const Outcome warned = Zpakbuild({"check", root.string(), "--game-folder", game.string(), "--zip"});
    EXPECT_EQ(warned.code, 0) << warned.err;
    EXPECT_TRUE(warned.err.ends_with("Warning: The zip file " + (game / "FrontierMOD.zip").string()
                                     + " is not packed into itself.\n"))
        << warned.err;
}

TEST_F(DemoGameTest, BuildsThePackageByDefault)
{
    SKIP_ON_WINDOWS("runs the demo game's #!/bin/sh packaging tool");
    const Outcome run = Build({});
    ASSERT_EQ(run.code, 0) << run.err;
    // The tool's own output passes through, then the package is named.
    EXPECT_NE(run.err.find("MKR: wrote System/Frontier.zpack2"), std::string::npos) << run.err;
    EXPECT_TRUE(
        run.err.ends_with("The packaging tool built " + (game / "System/Frontier.zpack2").string() + ".\n"))
        << run.err;
    EXPECT_TRUE(Has("System/Frontier.zpack2"));
    EXPECT_TRUE(Has("System/FrontierMOD.ini"));
    EXPECT_EQ(test::ReadFile(game / "System/Manifest.ini"),
              test::ReadFile(ZPAK_EXAMPLES_DIR "/demo-game/System/Manifest.ini"));

    ASSERT_EQ(Build({"--package", "--cleanup"}).code, 0);
    EXPECT_FALSE(Has("System/FrontierMOD.ini"));
    EXPECT_FALSE(Has("System/Frontier.sh"));
}

TEST_F(DemoGameTest, BuildsTheManifestOrTheZip)
{
    SKIP_ON_WINDOWS("runs the demo game's #!/bin/sh packaging tool");
    Outcome run = Build({"--manifest"});
    ASSERT_EQ(run.code, 0) << run.err;
    EXPECT_EQ(run.err.rfind("Successfully generated ", 0), 0u) << run.err;
    EXPECT_FALSE(Has("System/Frontier.zpack2"));

    run = Build({"--zip"});
    ASSERT_EQ(run.code, 0) << run.err;
    EXPECT_EQ(run.err,
              "The files have been compressed into " + (game / "FrontierMOD.zip").string() + " within the "
                  + game.string() + " folder\n");
    EXPECT_EQ(Build({"--zip", "--manifest"}).code, 2);
}

TEST_F(DemoGameTest, FailingToolFailsTheBuild)
{
    std::filesystem::remove(game / "System/MKR.exe");
    const Outcome run = Build({});
    EXPECT_EQ(run.code, 1);
    EXPECT_NE(run.err.find("Could not start MKR"), std::string::npos);
}

}  // namespace
}  // namespace zpak
