#include "cli/zpakbuild.h"
#include "platform/sha256.h"
#include "support/manifest_round_trip.h"
#include "support/platform_skip.h"
#include "support/scoped_env.h"
#include "support/temp_dir.h"
#include "zpak/version.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <functional>
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

TEST(ZpakbuildTest, CheckReportsEveryProblemAtItsLine)
{
    test::TempDir dir;
    // It reads, with a message of the reader; build would refuse it: it has
    // no product, and the game folder has no packaging tool.
    const auto nowhere = (dir / "Empty").make_preferred();
    std::filesystem::create_directory(nowhere);
    const auto good = dir.Write("good.zproj", nowhere.string() + "\n0.8\n[INI]\nname=a\nA,B,C,(X,Y\n");
    const std::string name = good.string();
    Outcome run = Zpakbuild({"check", name});
    EXPECT_EQ(run.code, 1);
    EXPECT_EQ(
        run.err,
        name
            + ":5: warning: Invalid Expression: Expected the expression (X,Y to contain an equal "
              "number of opening/closing braces. [Z003]\n"
            + name
            + ":1: error: Could not start MKR: the packaging tool System\\MKR.exe is not in the game folder "
            + nowhere.string() + ". [Z112]\n" + name
            + ":3: warning: The INI file [a] is not in the game's System folder "
            + (nowhere / "System").string() + "; its changes modify nothing there. [Z207]\n" + name
            + ": error: You must complete the product field. [Z101]\n");
    run = Zpakbuild({"check", name, "--quiet", "--manifest"});
    EXPECT_EQ(run.err, name + ": error: You must complete the product field. [Z101]\n");

    const auto bad = dir.Write("bad.zproj", "\n0.8\n[Product]\nproduct=a\n[Product]\n");
    run = Zpakbuild({"check", bad.string()});
    EXPECT_EQ(run.code, 1);
    EXPECT_EQ(run.err, bad.string() + ":5: error: Error: More than one mod product is defined. [Z001]\n");
    run = Zpakbuild({"check", bad.string(), "--format", "github"});
    std::string property;  // a colon (of a drive letter) would end the value
    for (const char c : bad.string())
        property += c == ':' ? std::string("%3A") : std::string(1, c);
    EXPECT_EQ(run.err,
              "::error file=" + property
                  + ",line=5,title=Z001::Error: More than one mod product is defined.\n");

    run = Zpakbuild({"check", (dir / "missing.zproj").string()});
    EXPECT_EQ(run.code, 1);
    EXPECT_NE(run.err.find("cannot open " + (dir / "missing.zproj").string() + ": No such file or directory"),
              std::string::npos)
        << run.err;
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
    const Outcome dash = Zpakbuild({"check", "a", "-x"});
    EXPECT_EQ(dash.code, 2);
    EXPECT_NE(dash.err.find("unknown option '-x'"), std::string::npos) << dash.err;
    EXPECT_EQ(Zpakbuild({"format", "a", "-o"}).code, 2);
    for (const char* threads : {"0", "-1", "2x", ""})
        EXPECT_EQ(Zpakbuild({"build", "a", "--zip", "--threads", threads}).code, 2) << threads;
    // Each command refuses the options it does not take, before it does anything.
    const std::pair<std::vector<std::string>, std::string> refusals[] = {
        {{"format", "a", "--game-folder", "d"}, "--game-folder"},
        {{"format", "a", "--zip"}, "--zip"},
        {{"check", "a", "--cleanup"}, "--cleanup"},
        {{"check", "a", "-o", "b"}, "-o"},
        {{"check", "a", "--threads", "2"}, "--threads"},
        {{"games", "--zip"}, "--zip"},
        {{"preview", "a", "--zip"}, "--zip"},
        {{"check", "a", "--groups", "x"}, "--groups"},
        {{"build", "a", "--werror"}, "--werror"}};
    for (const auto& [args, option] : refusals) {
        const Outcome refused = Zpakbuild(args);
        EXPECT_EQ(refused.code, 2) << args[0] << ' ' << option;
        EXPECT_NE(refused.err.find(args[0] + " does not take " + option), std::string::npos) << refused.err;
    }

    EXPECT_EQ(Zpakbuild({"build", "a", "-o", "b"}).code, 2);  // a file of its own only for the zip
    EXPECT_EQ(Zpakbuild({"check", "a", "--format", "xml"}).code, 2);

    const Outcome help = Zpakbuild({"--help"});
    EXPECT_NE(help.out.find("130  build interrupted"), std::string::npos);
    EXPECT_EQ(help.code, 0);
    EXPECT_NE(help.out.find("format PROJECT.zproj"), std::string::npos);
    EXPECT_EQ(Zpakbuild({"--version"}).out, std::string("zpakbuild ") + kVersion + "\n");
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

    // Every manifest pair a build leaves imports into a project that builds it again.
    void TearDown() override { test::ExpectManifestsRoundTrip(game); }

    bool Has(const char* relative) const { return std::filesystem::exists(game / relative); }

    test::TempDir dir;
    std::filesystem::path game = dir / "Vantor";
};

TEST_F(DemoGameTest, ChecksAgainstTheDemoGame)
{
    Outcome run = Zpakbuild({"check", ZPAK_EXAMPLES_DIR "/frontier.zproj", "--game-folder", game.string()});
    EXPECT_EQ(run.code, 0) << run.err;
    EXPECT_EQ(run.err, "");
    // C:\Games\Vantor is not here: said once, at the game folder's line, not as every file missing.
    run = Zpakbuild({"check", ZPAK_EXAMPLES_DIR "/frontier.zproj"});
    EXPECT_EQ(run.code, 1);
    EXPECT_TRUE(run.err.starts_with(ZPAK_EXAMPLES_DIR "/frontier.zproj:1: error: The game folder "))
        << run.err;
    EXPECT_TRUE(run.err.ends_with(" does not exist. [Z114]\n")) << run.err;
    EXPECT_EQ(std::ranges::count(run.err, '\n'), 1) << run.err;
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
        EXPECT_EQ(build.err, check.err);
    }
    EXPECT_FALSE(Has("FrontierMOD.zip"));
    EXPECT_FALSE(Has("System/FrontierMOD.ini"));

    // The archive among its own inputs is a warning: exit 0, one line.
    const auto root = dir.Write("root.zproj", project + "[Group]\nname=Root\n*.zip\n");
    ASSERT_EQ(Build({"--zip"}).code, 0);
    const Outcome warned = Zpakbuild({"check", root.string(), "--game-folder", game.string(), "--zip"});
    EXPECT_EQ(warned.code, 0) << warned.err;
    EXPECT_EQ(warned.err,
              root.string() + ":58: warning: The zip file " + (game / "FrontierMOD.zip").string()
                  + " is not packed into itself. [Z202]\n");
    EXPECT_EQ(Zpakbuild({"check", root.string(), "--game-folder", game.string(), "--zip", "--werror"}).code,
              1);
}

// Only the zip holds the readme: the package and the manifest pair are built
// without it.
TEST_F(DemoGameTest, AMissingReadmeStopsOnlyTheZip)
{
    std::string project = test::ReadFile(ZPAK_EXAMPLES_DIR "/frontier.zproj");
    project.replace(project.find("readme=Help\\Frontier.txt"), 24, "readme=Help\\Gone.txt");
    const auto file = dir.Write("gone.zproj", project);
    for (const char* choice : {"--package", "--manifest"}) {
        const Outcome check = Zpakbuild({"check", file.string(), "--game-folder", game.string(), choice});
        EXPECT_EQ(check.code, 0) << choice << check.err;
    }
    EXPECT_EQ(Zpakbuild({"build", file.string(), "--game-folder", game.string(), "--manifest"}).code, 0);
    EXPECT_TRUE(Has("System/FrontierMOD.ini"));
    const Outcome zip = Zpakbuild({"check", file.string(), "--game-folder", game.string(), "--zip"});
    EXPECT_EQ(zip.code, 1);
    EXPECT_NE(zip.err.find("[Z109]"), std::string::npos) << zip.err;
}

// A group the player cannot leave out is installed also when the project
// does not mark it selected.
TEST_F(DemoGameTest, DefaultPreviewInstallsRequiredGroups)
{
    std::string project = test::ReadFile(ZPAK_EXAMPLES_DIR "/frontier.zproj");
    project.erase(project.find("Selected=true\n"), 14);
    const auto file = dir.Write("required.zproj", project);
    const Outcome preview = Zpakbuild({"preview", file.string(), "--game-folder", game.string()});
    ASSERT_EQ(preview.code, 0) << preview.err;
    EXPECT_TRUE(preview.out.starts_with("Groups installed: Frontier\n\nFiles copied (7,")) << preview.out;
}

TEST_F(DemoGameTest, BuildsThePackageByDefault)
{
    SKIP_ON_WINDOWS("runs the demo game's #!/bin/sh packaging tool");
    const Outcome run = Build({"--checksums"});
    ASSERT_EQ(run.code, 0) << run.err;
    // The tool's own output passes through, then the package is named with its checksum.
    EXPECT_NE(run.err.find("MKR: wrote System/Frontier.zpack2"), std::string::npos) << run.err;
    const auto package = game / "System/Frontier.zpack2";
    const std::string digest = Sha256OfFile(package).value_or("none");
    EXPECT_EQ(run.out, "The packaging tool built " + package.string() + ".\nSHA-256: " + digest + "\n");
    EXPECT_EQ(test::ReadFile(game / "System/Frontier.zpack2.sha256"), digest + "  Frontier.zpack2\n");
    EXPECT_EQ(
        std::system(("cd '" + (game / "System").string() + "' && sha256sum --quiet -c Frontier.zpack2.sha256")
                        .c_str()),
        0);
    EXPECT_TRUE(Has("System/Frontier.zpack2"));
    EXPECT_TRUE(Has("System/FrontierMOD.ini"));
    EXPECT_EQ(test::ReadFile(game / "System/Manifest.ini"),
              test::ReadFile(ZPAK_EXAMPLES_DIR "/demo-game/System/Manifest.ini"));

    ASSERT_EQ(Build({"--package", "--cleanup"}).code, 0);
    EXPECT_FALSE(Has("System/FrontierMOD.ini"));
    EXPECT_FALSE(Has("System/Frontier.sh"));
}

// verify of the package: the manifest pair and the scripts byte for byte,
// the package itself against the checksum written beside it; what --cleanup
// deleted is looked for only when verify is not told of it.
TEST_F(DemoGameTest, VerifyChecksThePackageAndTheFilesBesideIt)
{
    SKIP_ON_WINDOWS("runs the demo game's #!/bin/sh packaging tool");
    const std::string name = ZPAK_EXAMPLES_DIR "/frontier.zproj";
    const auto verify = [&](std::vector<std::string> options) {
        std::vector<std::string> args{"verify", name, "--game-folder", game.string()};
        args.insert(args.end(), options.begin(), options.end());
        return Zpakbuild(args);
    };
    const auto notBuilt = [](const Outcome& run) { return std::ranges::count(run.err, '\n'); };
    const auto package = game / "System/Frontier.zpack2";

    Outcome run = verify({});
    EXPECT_EQ(run.code, 1);
    EXPECT_EQ(notBuilt(run), 5) << run.err;  // the manifest pair, two scripts, the package
    ASSERT_EQ(Build({"--checksums"}).code, 0);
    run = verify({"--package"});
    EXPECT_EQ(run.code, 0) << run.err;
    EXPECT_EQ(run.out, "The 5 outputs are what the project gives now.\n");

    const std::string script = test::ReadFile(game / "System/Frontier.sh");
    dir.Write("Vantor/System/Frontier.sh", script.substr(0, script.size() - 1));
    run = verify({});
    EXPECT_EQ(run.err,
              name + ":52: error: The file " + (game / "System/Frontier.sh").string()
                  + " differs from what the project gives now, from its line 3 on. [Z402]\n");
    dir.Write("Vantor/System/Frontier.sh", script);

    const std::string built = test::ReadFile(package);
    dir.Write("Vantor/System/Frontier.zpack2", built + "!");
    run = verify({});
    EXPECT_EQ(run.err,
              name + ":55: error: The package " + package.string() + " is not the file its checksum file "
                  + package.string() + ".sha256 describes. [Z410]\n");
    std::filesystem::remove(package.string() + ".sha256");
    EXPECT_EQ(verify({}).code, 0);  // without its checksum, that it is there is all that can be told
    std::filesystem::remove(package);
    run = verify({});
    EXPECT_EQ(run.err, name + ":55: error: The package " + package.string() + " is not built yet. [Z401]\n");

    ASSERT_EQ(Build({"--cleanup"}).code, 0);
    run = verify({});
    EXPECT_EQ(run.code, 1);
    EXPECT_EQ(notBuilt(run), 3) << run.err;  // the manifest pair and the Linux script
    run = verify({"--cleanup"});
    EXPECT_EQ(run.code, 0) << run.err;
    EXPECT_EQ(run.out, "The 2 outputs are what the project gives now.\n");
}

TEST_F(DemoGameTest, BuildsTheManifestOrTheZip)
{
    SKIP_ON_WINDOWS("runs the demo game's #!/bin/sh packaging tool");
    Outcome run = Build({"--manifest"});
    ASSERT_EQ(run.code, 0) << run.err;
    EXPECT_EQ(run.out.rfind("Successfully generated ", 0), 0u) << run.out;
    EXPECT_EQ(run.err, "");
    EXPECT_FALSE(Has("System/Frontier.zpack2"));

    // The launch scripts are dated when written; with SOURCE_DATE_EPOCH the two
    // archives below do not depend on the second each run falls in.
    const test::ScopedEnv epoch("SOURCE_DATE_EPOCH", "1700000000");
    run = Build({"--zip", "--threads", "3"});
    ASSERT_EQ(run.code, 0) << run.err;
    EXPECT_EQ(run.out,
              "The files have been compressed into " + (game / "FrontierMOD.zip").string() + " within the "
                  + game.string()
                  + " folder\nSHA-256: " + Sha256OfFile(game / "FrontierMOD.zip").value_or("none") + "\n");
    EXPECT_EQ(Build({"--zip", "--manifest"}).code, 2);

    // Elsewhere than the game folder; --quiet keeps the success line back.
    const auto elsewhere = dir / "out/Frontier.zip";
    std::filesystem::create_directory(dir / "out");
    run = Build({"--zip", "--output", elsewhere.string(), "--quiet"});
    ASSERT_EQ(run.code, 0) << run.err;
    EXPECT_EQ(run.out + run.err, "");
    EXPECT_EQ(test::ReadFile(elsewhere), test::ReadFile(game / "FrontierMOD.zip"));
}

TEST_F(DemoGameTest, ImportGivesBackTheProjectThatBuildsThePair)
{
    ASSERT_EQ(Build({"--manifest"}).code, 0);
    const auto manifest = game / "System/FrontierMOD.ini";
    const std::string pair = test::ReadFile(manifest) + test::ReadFile(game / "System/FrontierMOD.int");
    const auto project = dir / "imported.zproj";
    Outcome run = Zpakbuild({"import", manifest.string(), "-o", project.string()});
    ASSERT_EQ(run.code, 0) << run.err;
    EXPECT_EQ(run.err, "");
    EXPECT_EQ(run.out,
              "Imported " + manifest.string() + " into " + project.string()
                  + ": 2 groups, 6 file entries, 4 INI changes, 1 requirement\n");
    // The example project itself, but for the game folder it was built in.
    std::string example = test::ReadFile(ZPAK_EXAMPLES_DIR "/frontier.zproj");
    example.replace(0, example.find('\n'), std::filesystem::absolute(game).string());
    EXPECT_EQ(test::ReadFile(project), example);
    std::filesystem::remove(manifest);
    ASSERT_EQ(Zpakbuild({"build", project.string(), "--manifest"}).code, 0);
    EXPECT_EQ(test::ReadFile(manifest) + test::ReadFile(game / "System/FrontierMOD.int"), pair);

    // To standard output; without -o into the current folder, never over a file.
    EXPECT_EQ(Zpakbuild({"import", manifest.string(), "-o", "-"}).out, example);
    const auto here = std::filesystem::current_path();
    std::filesystem::current_path(dir.path());
    run = Zpakbuild({"import", manifest.string(), "--quiet"});
    EXPECT_EQ(run.code, 0) << run.err;
    EXPECT_EQ(run.out, "");
    run = Zpakbuild({"import", manifest.string()});
    std::filesystem::current_path(here);
    EXPECT_EQ(run.code, 1);
    EXPECT_EQ(run.err, "zpakbuild: Frontier.zproj exists already; name the project with -o to replace it\n");
    EXPECT_EQ(test::ReadFile(dir / "Frontier.zproj"), example);
}

TEST_F(DemoGameTest, ImportTellsWhatItLeavesOutAsCheckDoes)
{
    ASSERT_EQ(Build({"--manifest"}).code, 0);
    const auto manifest = game / "System/FrontierMOD.ini";
    std::ofstream(manifest, std::ios::app) << "\r\n[Extra]\r\nA=1\r\n";
    std::ofstream(game / "System/FrontierMOD.int", std::ios::app) << "Colour=blue\r\n";
    const std::string name = manifest.string();
    Outcome run = Zpakbuild({"import", name, "-o", (dir / "p.zproj").string()});
    EXPECT_EQ(run.code, 0);
    EXPECT_EQ(run.err,
              name
                  + ":73: warning: The section [Extra] is named by no line of [Setup] or [SetupGroup]; "
                    "it is not imported, nor its 1 line. [Z305]\n"
                  + (manifest.parent_path() / "FrontierMOD.int").string()
                  + ":35: warning: The line Colour=blue of [DocumentationShortcut] has no place in a "
                    "project; it is not imported. [Z304]\n");
    run = Zpakbuild({"import", name, "--format", "github", "-o", (dir / "p.zproj").string()});
    EXPECT_NE(run.err.find(",line=73,title=Z305::The section [Extra]"), std::string::npos) << run.err;

    std::filesystem::remove(manifest);
    run = Zpakbuild({"import", name, "--format", "json", "-o", (dir / "p.zproj").string()});
    EXPECT_EQ(run.code, 1);
    EXPECT_NE(run.err.find("{\"severity\":\"error\",\"code\":\"Z301\""), std::string::npos) << run.err;
    EXPECT_EQ(Zpakbuild({"import", name, "--game-folder", "x"}).code, 2);
}

// The offset of the data of the archive's entry `name`, from its local header.
std::size_t DataOf(const std::string& zip, const std::string& name)
{
    for (std::size_t at = zip.find("PK\x03\x04"); at != std::string::npos;
         at = zip.find("PK\x03\x04", at + 1)) {
        const auto u16 = [&](std::size_t i) {
            return std::size_t(std::uint8_t(zip[i])) | std::uint8_t(zip[i + 1]) << 8;
        };
        if (zip.compare(at + 30, name.size(), name) == 0 && u16(at + 26) == name.size())
            return at + 30 + u16(at + 26) + u16(at + 28);
    }
    return std::string::npos;
}

// verify finds each fault planted in what build wrote, with its code and
// where the project makes it; only what build would write now passes.
TEST_F(DemoGameTest, VerifyFindsEveryDifference)
{
    const std::string project = test::ReadFile(ZPAK_EXAMPLES_DIR "/frontier.zproj");
    const auto variant = [&](const std::string& from, const std::string& to) {
        std::string text = project;
        text.replace(text.find(from), from.size(), to);
        return dir.Write("variant.zproj", text).string();
    };
    const std::string name = ZPAK_EXAMPLES_DIR "/frontier.zproj";
    const auto verify = [&](const std::string& choice) {
        return Zpakbuild({"verify", name, "--game-folder", game.string(), choice});
    };
    const auto build = [&](const std::string& file, const std::string& choice) {
        return Zpakbuild({"build", file, "--game-folder", game.string(), choice}).code;
    };
    const auto zip = game / "FrontierMOD.zip";

    Outcome run = verify("--zip");
    EXPECT_EQ(run.code, 1);
    EXPECT_EQ(run.err, name + ":40: error: The zip file " + zip.string() + " is not built yet. [Z401]\n");
    ASSERT_EQ(build(name, "--zip"), 0);
    run = verify("--zip");
    EXPECT_EQ(run.code, 0) << run.err;
    EXPECT_EQ(run.out, "The 1 output is what the project gives now.\n");
    const std::string built = test::ReadFile(zip);
    // The readme is also a group's file; its name is in one local header and
    // one central record, not in two of each.
    std::size_t readmeNames = 0;
    for (std::size_t at = built.find("Help/Frontier.txt"); at != std::string::npos;
         at = built.find("Help/Frontier.txt", at + 1))
        ++readmeNames;
    EXPECT_EQ(readmeNames, 2u);

    struct Fault {
        const char* what;
        std::function<void()> plant;
        const char* line;  // of the diagnostic, in the project
        const char* code;
    };
    const auto write = [&](const std::string& bytes) { dir.Write("Vantor/FrontierMOD.zip", bytes); };
    const Fault faults[] = {
        {"a flipped byte",
         [&] {
             std::string b = built;
             b[DataOf(b, "Maps/FR-Canyon.map") + 100] ^= 1;
             write(b);
         },
         ":12:", "Z408"},
        {"a wrong CRC",
         [&] {
             std::string b = built;
             const std::size_t central = b.find("PK\x01\x02");  // the first entry's record
             b[central + 16] ^= 1;
             write(b);
         },
         ":10:", "Z409"},
        {"a file changed", [&] { dir.Write("Vantor/Help/Frontier.txt", "Other notes."); }, ":13:", "Z407"},
        {"an entry removed", [&] { ASSERT_EQ(build(variant("System\\Frontier.int\n", ""), "--zip"), 0); },
         ":11:", "Z404"},
        {"an extra entry",
         [&] {
             ASSERT_EQ(
                 build(variant("Help\\Frontier.txt\n", "Help\\Frontier.txt\nMaps\\Index.map\n"), "--zip"), 0);
         },
         ": error", "Z405"},
        {"entries swapped",
         [&] {
             ASSERT_EQ(build(variant("System\\Frontier.u\nSystem\\Frontier.int\n",
                                     "System\\Frontier.int\nSystem\\Frontier.u\n"),
                             "--zip"),
                       0);
         },
         ":11:", "Z406"},
        {"a truncated archive", [&] { write(built.substr(0, built.size() - 30)); }, ": error", "Z403"},
    };
    const std::string notes = test::ReadFile(game / "Help/Frontier.txt");
    for (const Fault& fault : faults) {
        fault.plant();
        run = verify("--zip");
        EXPECT_EQ(run.code, 1) << fault.what;
        EXPECT_TRUE(run.err.starts_with(name + fault.line)) << fault.what << ": " << run.err;
        EXPECT_NE(run.err.find(std::string("[") + fault.code + "]\n"), std::string::npos)
            << fault.what << ": " << run.err;
        write(built);
        dir.Write("Vantor/Help/Frontier.txt", notes);
    }
    EXPECT_EQ(verify("--zip").code, 0);

    // The manifest pair and the scripts, byte for byte.
    ASSERT_EQ(build(variant("version=1\n", "version=2\n"), "--manifest"), 0);
    run = verify("--manifest");
    EXPECT_EQ(run.code, 1);
    EXPECT_EQ(run.err,
              name + ":40: error: The file " + (game / "System/FrontierMOD.ini").make_preferred().string()
                  + " differs from what the project gives now, from its line 4 on. [Z402]\n");
    ASSERT_EQ(build(name, "--manifest"), 0);
    EXPECT_EQ(verify("--manifest").code, 0);
}

TEST_F(DemoGameTest, FailingToolFailsTheBuild)
{
    std::filesystem::remove(game / "System/MKR.exe");
    const Outcome run = Build({});
    EXPECT_EQ(run.code, 1);
    EXPECT_NE(run.err.find("Could not start MKR"), std::string::npos);
    EXPECT_EQ(run.out, "");
}

}  // namespace
}  // namespace zpak

namespace zpak {
namespace {

// Runs a Python snippet on `input`, read as strict UTF-8 whose every JSON
// string is strict UTF-8 too (Python's parser lets lone surrogates through);
// its standard output.
std::string Python(const test::TempDir& dir, const std::string& input, const std::string& script)
{
    const auto in = dir.Write("in.json", input);
    const auto code = dir.Write("read.py",
                                "import json, sys\n"
                                "def strict(value):\n"
                                "    if isinstance(value, str): value.encode('utf-8')\n"
                                "    for v in value.values() if isinstance(value, dict) else "
                                "value if isinstance(value, list) else []: strict(v)\n"
                                "    return value\n"
                                "lines = open(sys.argv[1], 'rb').read().decode('utf-8').splitlines()\n"
                                "for line in lines: strict(json.loads(line))\n"
                                    + script);
    const auto out = dir / "out.txt";
    const std::string command = "python3 " + code.string() + ' ' + in.string() + " > " + out.string();
    EXPECT_EQ(std::system(command.c_str()), 0) << input;
    return test::ReadFile(out);
}

TEST_F(DemoGameTest, JsonReadsBackWithEveryField)
{
    SKIP_ON_WINDOWS("reads the JSON with Python");
    // A Latin-1 name, as older projects hold them, in a missing file's entry.
    const std::string project = test::ReadFile(ZPAK_EXAMPLES_DIR "/frontier.zproj");
    const auto file = dir.Write("latin.zproj", project + "[Group]\nname=Caf\xe9\nMaps\\Caf\xe9.map\n");
    const Outcome check =
        Zpakbuild({"check", file.string(), "--game-folder", game.string(), "--format", "json"});
    EXPECT_EQ(check.code, 1);
    EXPECT_EQ(Python(dir, check.err,
                     "d = json.loads(lines[0])\n"
                     "print(d['severity'], d['code'], d['line'], d['page'], d['record']['kind'],\n"
                     "      d['record']['index'], d['record']['child'], d['file'].endswith('latin.zproj'))\n"
                     "print(hex(ord(d['text'][d['text'].index('Caf') + 3])))\n"
                     "print(bytes.fromhex(d['textHex']).find(b'Caf\\xe9.map') > 0, 'fileHex' in d)\n"),
              "error Z105 58 groups entry 2 0 True\n0xfffd\nTrue False\n");

    const std::string frontier = ZPAK_EXAMPLES_DIR "/frontier.zproj";
    const Outcome preview = Zpakbuild({"preview", frontier, "--game-folder", game.string(), "--groups",
                                       "FrontierSource", "--format", "json"});
    ASSERT_EQ(preview.code, 0) << preview.err;
    EXPECT_EQ(
        Python(dir, preview.out,
               "d = json.loads(lines[0])\n"
               "print(d['groups'], len(d['files']), d['totalSize'] == sum(f['size'] for f in d['files']))\n"
               "c = d['iniChanges'][2]\n"
               "print(c['file'], c['section'], c['key'], c['before'], c['after'], c['addsLine'])\n"),
        "['Frontier', 'FrontierSource'] 10 True\nVantor.ini URL Map Index.map FR-Landing.map False\n");
    EXPECT_EQ(Zpakbuild({"preview", frontier, "--groups", "Nope"}).code, 2);
}

}  // namespace
}  // namespace zpak
