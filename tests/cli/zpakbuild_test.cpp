#include "cli/zpakbuild.h"
#include "support/platform_skip.h"
#include "support/scoped_env.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <cstdlib>
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
    const auto good = dir.Write("good.zproj", "/nowhere\n0.8\n[INI]\nname=a\nA,B,C,(X,Y\n");
    const std::string name = good.string();
    // As the system names it: on Windows on the current drive.
    const auto nowhere = std::filesystem::absolute("/nowhere").make_preferred();
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
    // Every missing file, each at its line.
    EXPECT_NE(run.err.find("frontier.zproj:10: error: The file ["), std::string::npos) << run.err;
    EXPECT_NE(run.err.find("frontier.zproj:11: error: The file ["), std::string::npos) << run.err;
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

TEST_F(DemoGameTest, BuildsThePackageByDefault)
{
    SKIP_ON_WINDOWS("runs the demo game's #!/bin/sh packaging tool");
    const Outcome run = Build({});
    ASSERT_EQ(run.code, 0) << run.err;
    // The tool's own output passes through, then the package is named.
    EXPECT_NE(run.err.find("MKR: wrote System/Frontier.zpack2"), std::string::npos) << run.err;
    EXPECT_EQ(run.out, "The packaging tool built " + (game / "System/Frontier.zpack2").string() + ".\n");
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
    EXPECT_EQ(run.out.rfind("Successfully generated ", 0), 0u) << run.out;
    EXPECT_EQ(run.err, "");
    EXPECT_FALSE(Has("System/Frontier.zpack2"));

    run = Build({"--zip", "--threads", "3"});
    ASSERT_EQ(run.code, 0) << run.err;
    EXPECT_EQ(run.out,
              "The files have been compressed into " + (game / "FrontierMOD.zip").string() + " within the "
                  + game.string() + " folder\n");
    EXPECT_EQ(Build({"--zip", "--manifest"}).code, 2);

    // Elsewhere than the game folder; --quiet keeps the success line back.
    const auto elsewhere = dir / "out/Frontier.zip";
    std::filesystem::create_directory(dir / "out");
    run = Build({"--zip", "--output", elsewhere.string(), "--quiet"});
    ASSERT_EQ(run.code, 0) << run.err;
    EXPECT_EQ(run.out + run.err, "");
    EXPECT_EQ(test::ReadFile(elsewhere), test::ReadFile(game / "FrontierMOD.zip"));
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
