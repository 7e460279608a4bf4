#include "generate/generate_fixture.h"
#include "generate/manifest_writer.h"
#include "generate/problem_codes.h"
#include "import/manifest_forms.h"
#include "import/manifest_import.h"
#include "import/manifest_text.h"
#include "model/project_reader.h"
#include "model/project_writer.h"
#include "platform/message_sink.h"
#include "platform/text_encoding.h"
#include "support/manifest_round_trip.h"
#include "support/temp_dir.h"

#include <functional>

namespace zpak {
namespace {

using test::ManifestRoundTrips;

// Where a diagnostic was told: "<file>:<line> <code>".
std::vector<std::string> Places(const ImportResult& result)
{
    std::vector<std::string> places;
    for (const Diagnostic& d : result.diagnostics)
        places.push_back(d.file + ":" + std::to_string(d.line) + " " + d.code);
    return places;
}

std::string Texts(const ImportResult& result)
{
    std::string texts;
    for (const Diagnostic& d : result.diagnostics)
        texts += d.file + ":" + std::to_string(d.line) + ": " + d.code + " " + d.text + "\n";
    return texts;
}

ImportResult Import(std::string ini, std::optional<std::string> localized,
                    const std::map<std::string, std::string>& scripts = {})
{
    ManifestPair pair;
    pair.gameFolder = "C:\\Games\\Vantor";
    pair.baseName = "FrontierMOD";
    pair.manifest = {"M.ini", std::move(ini)};
    if (localized)
        pair.localized = ManifestSource{"M.int", std::move(*localized)};
    pair.systemFile = [scripts](const std::string& name) -> std::optional<ManifestSource> {
        const auto found = scripts.find(name);
        if (found == scripts.end())
            return std::nullopt;
        return ManifestSource{name, found->second};
    };
    return ImportManifestPair(pair);
}

class ManifestImportTest : public test::GenerateFixture {
protected:
    GroupInfo& Core() { return *doc.groups[0]; }
    GroupInfo& Maps() { return *doc.groups[1]; }
    ProductData& Product() { return *doc.product; }
};

// The projects the wizard can make, each a change of the worked example.
TEST_F(ManifestImportTest, GeneratingTheImportWritesThePairAgain)
{
    const std::vector<std::pair<const char*, std::function<void()>>> variants = {
        {"the worked example", [] {}},
        {"no tree: no group is visible",
         [this] {
             Maps().Visible = 0;
             Core().caption = "Core caption";
         }},
        {"scripts only, a game folder with a blank, every product text",
         [this] {
             doc.gameFolder = "C:\\Games\\My Vantor";
             Product().windows = 0;
             Product().mac = 1;
             Product().shortcut = "-log -ini=My Vantor.ini";
             Product().license = "Licences\\Frontier.txt";
             Product().logo = "Help\\Logo.bmp";
             Product().title = "Frontier Setup";
             Product().productURL = "http://frontier.example";
             Product().versionURL = "http://frontier.example/1.2";
             Product().developerURL = "http://ace.example";
             Product().archive = "Frontier-1.2.zpack2";
         }},
        {"an empty licence, a readme without a folder, a documentation caption",
         [this] {
             Product().license = "";
             Product().readme = "Readme.txt";
             Product().documentationCaption = "Notes";
             Product().shortcutCaption.reset();
         }},
        {"shortcuts on but for no system, and no readme",
         [this] {
             Product().windows = Product().linux = 0;
             Product().readme.reset();
         }},
        {"Windows shortcuts without a readme", [this] { Product().readme.reset(); }},
        {"a requirement whose section a group is named like, and two groups in two letter cases",
         [this] {
             doc.requirements.emplace_back(std::make_unique<RequirementInfo>())->product = "Maps";
             doc.groups.emplace_back(std::make_unique<GroupInfo>("MapsRequirement"))->AddFile("a.txt");
             doc.groups.emplace_back(std::make_unique<GroupInfo>("maps"))->AddFile("b.txt");
         }},
        {"INI changes of one file apart, and texts with dots, commas and equals signs",
         [this] {
             auto& a = *doc.iniFiles.emplace_back(std::make_unique<INIGroup>("A.ini"));
             a.group = &Core();
             a.AddEntry("Engine.Game.Sub", "Key.With.Dots", "x=1", 1);
             a.AddEntry("S", "K", "(X=1,Y=2)", 0);
             a.AddEntry("S", "T.(", "v", 0);
             doc.iniFiles.emplace_back(std::make_unique<INIGroup>("B.ini"))->group = &Core();
             doc.iniFiles.back()->AddEntry("S", "K", "", 1);
             doc.iniFiles.emplace_back(std::make_unique<INIGroup>("A.ini"))->group = &Core();
             doc.iniFiles.back()->AddEntry("S", "K", " spaced ", 0);
             // A file changed with a group and without one.
             doc.iniFiles.emplace_back(std::make_unique<INIGroup>("Player.ini"))->group = &Maps();
             doc.iniFiles.back()->AddEntry("S", "K", "v", 0);
         }},
        {"entries with blanks, commas, parentheses and wildcards; a destination like the name",
         [this] {
             Core().AddFile("Maps\\A, B (1).map").src = "Maps\\A, B (1).map";
             Core().AddFile("Maps\\*.map");
             Core().AddFile(" Lead\\trail ").src = "x;y";
         }},
        {"no groups, no requirements, no shortcuts",
         [this] {
             doc.groups.clear();
             doc.iniFiles.clear();
             doc.requirements.clear();
             Product().shortcut.reset();
         }},
    };
    for (const auto& [name, change] : variants) {
        doc = ProjectDocument();
        SetUp();
        change();
        EXPECT_TRUE(ManifestRoundTrips(doc)) << name;
    }
}

TEST_F(ManifestImportTest, TheImportIsTheProjectWhereThePairSaysAll)
{
    std::string imported;
    ASSERT_TRUE(ManifestRoundTrips(doc, &imported));
    EXPECT_EQ(imported, SerializeProject(doc));

    // The example project says everything the pair can say.
    ProjectDocument example;
    ASSERT_TRUE(ParseProject(test::ReadFile(ZPAK_EXAMPLES_DIR "/frontier.zproj"), example, sink));
    ASSERT_TRUE(ManifestRoundTrips(example, &imported));
    EXPECT_EQ(imported, SerializeProject(example));
}

TEST_F(ManifestImportTest, WhatThePairCannotSayTakesDefaultsWithOneNote)
{
    Maps().Visible = 0;
    Core().AddFile("x.txt");
    const ManifestTexts pair = BuildManifest(doc);
    ImportResult result = Import(pair.ini, pair.localized, {{"Frontier.sh", "#!/bin/sh\n\nvantor -log"}});
    ASSERT_TRUE(result.imported);
    EXPECT_EQ(Places(result), std::vector<std::string>{"M.ini:0 Z308"}) << Texts(result);
    EXPECT_EQ(result.diagnostics[0].severity, Severity::Note);
    EXPECT_EQ(result.diagnostics[0].page, ProjectPage::Groups);
    for (const auto& group : result.document.groups)
        EXPECT_FALSE(group->Required || group->Selected || group->Visible || group->Selectable
                     || group->caption);

    // In tree mode, groups that leave flags out: one note, at the first of them.
    result = Import("[Setup]\nProduct=Frontier\nTree=True\nGroup=A\nGroup=B\nGroup=C\n"
                    "[A]\nVisible=True\nOptional=True\nSelectable=True\n"
                    "[B]\nVisible=True\n"
                    "[C]\nSelected=True\n",
                    "");
    ASSERT_TRUE(result.imported);
    EXPECT_EQ(Places(result), std::vector<std::string>{"M.ini:11 Z308"}) << Texts(result);
    EXPECT_NE(result.diagnostics[0].text.find("[B] and 1 more group leave"), std::string::npos);
    const GroupInfo& c = *result.document.groups[2];
    EXPECT_TRUE(c.Selected && !c.Visible && !c.Selectable && !c.Required);
}

// A manifest written by hand: a byte-order mark, CR LF, comments, blank
// lines, spaced and lower-case keys, sections in another order.
TEST(ManifestImportText, HandWrittenPairReadsWithEveryLossTold)
{
    const std::string ini = "\xEF\xBB\xBF; Frontier, by hand\r\n"
                            "\r\n"
                            "[Frontier]\r\n"
                            "  file = (Src=\"Maps\\FR-Canyon.map\")\r\n"
                            "FILE=(src=Maps\\FR-Landing.map, Size=20000)\r\n"
                            "visible=true\r\n"
                            "Optional = FALSE\r\n"
                            "Selectable=True\r\n"
                            "AddIni=System\\Vantor.ini,Game.Options.ExtraPackages=Frontier\r\n"
                            "Sound=loud\r\n"
                            "\r\n"
                            "[setup]\r\n"
                            "Product = Frontier\r\n"
                            "version=1\r\n"
                            "Group=SetupGroup\r\n"
                            "group=Frontier\r\n"
                            "Group=Extras\r\n"
                            "Tree=true\r\n"
                            "Colour=blue\r\n"
                            "Product=Other\r\n"
                            "Requires=VantorRequirement\r\n"
                            "\r\n"
                            "[SetupGroup]\r\n"
                            "Copy=(Src=System\\Manifest.*,Flags=3)\r\n"
                            "File=(Src=\"Help\\Frontier.txt\")\r\n"
                            "File=(Src=\"System\\Frontier.u\")\r\n"
                            "Ini=Player.ini,Keys.F7=x\r\n"
                            "\r\n"
                            "[Leftovers]\r\n"
                            "A=1\r\n"
                            "[VantorRequirement]\r\n"
                            "Product=Vantor\r\n"
                            "Version=1100\r\n"
                            "stray line\r\n";
    const std::string localized = "[Frontier]\n"
                                  "Caption=Frontier\n"
                                  "; the description\n"
                                  "Description=The campaign\n"
                                  "[Setup]\n"
                                  "ReadMe=Help\\Frontier.txt\n"
                                  "Developer=Lakeside\n"
                                  "LocalProduct=Frontier\n";
    ImportResult result = Import(ini, localized);
    ASSERT_TRUE(result.imported);
    EXPECT_EQ(Places(result),
              (std::vector<std::string>{
                  "M.ini:5 Z306",   // Size=20000 dropped
                  "M.ini:10 Z304",  // Sound=loud
                  "M.ini:17 Z309",  // Group=Extras has no section
                  "M.ini:19 Z304",  // Colour=blue
                  "M.ini:20 Z304",  // Product repeated
                  "M.ini:26 Z311",  // System\Frontier.u of [SetupGroup]
                  "M.ini:27 Z307",  // outside System
                  "M.ini:29 Z305",  // [Leftovers]
                  "M.ini:34 Z304",  // stray line
              }))
        << Texts(result);
    EXPECT_EQ(result.diagnostics[0].record, RecordRef::Entry(0, 1));  // the entry that lost its size
    EXPECT_EQ(test::ReopenedText(result),
              "C:\\Games\\Vantor\n0.8\n"
              "[Group]\nname=Frontier\nRequired=true\nSelectable=true\nVisible=true\ncaption=Frontier\n"
              "description=The campaign\nMaps\\FR-Canyon.map\nMaps\\FR-Landing.map\n"
              "[Group]\nname=Extras\n"
              "[Group]\nname=SetupFiles\nRequired=true\nSelected=true\nSystem\\Frontier.u\n"
              "[INI]\nname=Vantor.ini\nGame.Options,ExtraPackages,Frontier,TRUE\ngroup=Frontier\n"
              "[Requirement]\nproduct=Vantor\nversion=1100\ndeveloper=\nproductURL=\nversionURL=\n"
              "developerURL=\n"
              "[Product]\nproduct=Frontier\nversion=1\ndeveloper=Lakeside\nproductURL=\nversionURL=\n"
              "developerURL=\nreadme=Help\\Frontier.txt\ntitle=Frontier\narchive=Frontier.zpack2\n");
}

// Latin-1 text in UTF-16 with its byte-order mark, as Windows editors save it.
std::string Utf16(std::string_view latin1)
{
    std::string out = "\xFF\xFE";
    for (const char c : latin1) {
        out += c;
        out += '\0';
    }
    return out;
}

struct LossCase {
    const char* name;
    std::string ini;
    std::optional<std::string> localized;
    std::map<std::string, std::string> scripts;
    std::vector<std::string> places;
};

TEST(ManifestImportText, EachLossIsToldAtItsLineWithItsCode)
{
    const std::string setup = "[Setup]\nProduct=Frontier\n";
    const std::string setupGroup = setup + "Group=SetupGroup\n[SetupGroup]\n";
    const LossCase cases[] = {
        {"not a manifest", "[Other]\nA=1\n", "", {}, {"M.ini:0 Z302"}},
        {"no localized manifest", setup, std::nullopt, {}, {"M.ini:0 Z303"}},
        {"file lines",
         setup + "Group=G\n[G]\nFile=Maps\\A.map\nFile=(Src=\"a=b\")\nCopy=(Src=\"c\")\nFile=(Src=\"open)\n",
         "",
         {},
         {"M.ini:0 Z308", "M.ini:5 Z306", "M.ini:6 Z307", "M.ini:7 Z306", "M.ini:8 Z306"}},
        {"INI change lines",
         setupGroup
             + "Ini=System\\A.ini\nAddIni=System\\A.ini,S.K\nIni=System\\A.ini,NoDot=1\n"
               "Ini=System\\A.ini,S.K=a,b\n",
         "",
         {},
         {"M.ini:5 Z306", "M.ini:6 Z306", "M.ini:7 Z306", "M.ini:8 Z307"}},
        {"shortcuts",
         setupGroup
             + "Shortcut=PlayShortcut\nShortcut=DesktopShortcut\nCopy=(Src=\"System\\Frontier.sh\")\n"
               "[DesktopShortcut]\nA=1\n[UninstallShortcut]\nCommand=%DestPath%\\System\\Other.exe\n",
         "[DesktopShortcut]\nCaption=x\n",
         {{"Frontier.sh", "#!/bin/sh\n\nother -x"}},
         {"M.ini:5 Z309", "M.ini:6 Z304", "M.ini:11 Z307", "Frontier.sh:3 Z307"}},
        {"launch scripts missing or unread",
         setupGroup
             + "Copy=(Src=\"System\\Frontier.sh\")\nCopy=(Src=\"System\\Frontier_mac.sh\")\n"
               "Copy=(Src=\"System\\Other.txt\",Master=\"x\")\n",
         "",
         {{"Frontier_mac.sh", "not a script"}},
         {"M.ini:5 Z310", "M.ini:7 Z306", "Frontier_mac.sh:0 Z310"}},
        {"requirements",
         setup + "Requires=Vantor\nRequires=GoneRequirement\n[Vantor]\nProduct=Vantor\n",
         "",
         {},
         {"M.ini:3 Z307", "M.ini:4 Z309"}},
        {"derived lines and flags",
         setup + "Language=de\nTree=True\nGroup=G\n[G]\nVisible=False\nOptional=maybe\nSelectable=False\n",
         "",
         {},
         {"M.ini:3 Z307", "M.ini:4 Z307", "M.ini:8 Z307"}},
        {"texts that end with a carriage return inside a line",
         setup
             + "Requires=A\rRequirement\nGroup=G\n[G]\nFile=(Src=\"d\r\",Master=\"m\")\nIni=System\\a\r,S.K="
               "v\n",
         "",
         {},
         {"M.ini:0 Z308", "M.ini:3 Z307", "M.ini:6 Z307", "M.ini:7 Z307"}},
        {"a group named twice",
         setup + "Group=G\nGroup=G\n[G]\n[G]\n",
         "",
         {},
         {"M.ini:0 Z308", "M.ini:4 Z304", "M.ini:6 Z305"}},
        {"a group named like a section of the manifest's own",
         setup + "Group=UninstallShortcut\n[UninstallShortcut]\nFile=(Src=\"a.txt\")\n",
         "",
         {},
         {"M.ini:0 Z308", "M.ini:3 Z307"}},
        {"flags outside tree mode",
         setup + "Group=G\n[G]\nVisible=True\n",
         "",
         {},
         {"M.ini:0 Z308", "M.ini:5 Z304"}},
        {"no product", "[Setup]\nVersion=1\n", "", {}, {"M.ini:1 Z307"}},
        {"a product the file is not named after", "[Setup]\nProduct=Other\n", "", {}, {"M.ini:2 Z307"}},
        {"localized sections and titles",
         setup,
         "[Setup]\nSetupWindowTitle=A\nAutoplayWindowTitle=B\n[Nothing]\nA=1\n",
         {},
         {"M.int:3 Z307", "M.int:4 Z305"}},
        {"a UTF-16 localized manifest", setup, Utf16("[Setup]\nDeveloper=Zo\xEB"), {}, {"M.int:0 Z312"}},
    };
    for (const LossCase& c : cases) {
        const ImportResult result = Import(c.ini, c.localized, c.scripts);
        EXPECT_EQ(Places(result), c.places) << c.name << "\n" << Texts(result);
        EXPECT_EQ(result.imported, c.places != std::vector<std::string>{"M.ini:0 Z302"}) << c.name;
    }
    const ImportResult reserved =
        Import(setup + "Group=Setup\nGroup=Setup2\n[Setup]\nFile=(Src=\"a\")\n", "");
    ASSERT_EQ(reserved.document.groups.size(), 2u);
    EXPECT_EQ(reserved.document.groups[0]->NameText(), "Setup3");
    EXPECT_EQ(reserved.document.groups[0]->files.size(), 1u);
    const ImportResult utf16 = Import(setup, Utf16("[Setup]\nDeveloper=Zo\xEB"));
    EXPECT_EQ(utf16.document.product->developer, "Zo\xC3\xAB");
}

// A manifest in UTF-16 of either byte order reads as UTF-8: a surrogate pair
// as its character, a unit that pairs with none as U+FFFD (the project keeps
// only valid UTF-8), a last odd byte dropped; a UTF-8 mark is passed over.
TEST(ManifestImportText, EveryEncodingReadsAsUtf8)
{
    using namespace std::string_literals;
    const std::string lineLE = "D\0=\0\x3C\xD8\x2E\xDF\0\xD8!\0"s;
    const std::string lineBE = "\0D\0=\xD8\x3C\xDF\x2E\xD8\0\0!"s;
    const std::string header = "[\0S\0]\0\n\0"s;
    std::string headerBE;
    for (std::size_t i = 0; i < header.size(); i += 2)
        headerBE += std::string{header[i + 1], header[i]};
    const std::pair<std::string, std::string> files[] = {
        {"UTF-16LE", "\xFF\xFE" + header + lineLE + "x"},
        {"UTF-16BE", "\xFE\xFF" + headerBE + lineBE},
    };
    for (const auto& [name, bytes] : files) {
        const ManifestText text = ParseManifestText(bytes);
        EXPECT_TRUE(text.wasUtf16) << name;
        ASSERT_EQ(text.sections.size(), 1u) << name;
        ASSERT_EQ(text.sections[0].entries.size(), 1u) << name;
        EXPECT_EQ(text.sections[0].entries[0].value, "\xF0\x9F\x8C\xAE\xEF\xBF\xBD!") << name;
    }
    const ManifestText utf8 = ParseManifestText("\xEF\xBB\xBF[S]\nD=1\n");
    EXPECT_FALSE(utf8.wasUtf16);
    ASSERT_EQ(utf8.sections.size(), 1u);
    EXPECT_EQ(utf8.sections[0].name, "S");
}

TEST(ManifestImportForms, ValuesComeApartAsWritten)
{
    using namespace manifest;
    auto form = ParseFileForm("(Src=\"Maps\\A, B (1).map\",          Master=\"Maps\\x.map\")");
    ASSERT_TRUE(form);
    EXPECT_EQ(form->src, "Maps\\A, B (1).map");
    EXPECT_EQ(form->master, "Maps\\x.map");
    form = ParseFileForm(" ( src = bare name , Flags=3 ,Size = 2)");
    ASSERT_TRUE(form);
    EXPECT_EQ(form->src, "bare name");
    EXPECT_EQ(form->otherAttributes, (std::vector<std::string>{"Flags=3", "Size = 2"}));
    for (const char* broken : {"(Src=\"open)", "(Master=\"m\")", "Src=\"x\"", "(Src=\"a\"b)", "(Src)"})
        EXPECT_FALSE(ParseFileForm(broken)) << broken;

    IniChangeForm change;
    ASSERT_EQ(ParseIniChange("system\\Player.ini,Game.Keys.F7=open=now", change), IniChangeFault::None);
    EXPECT_EQ(std::tie(change.file, change.section, change.key, change.value),
              std::tie("Player.ini", "Game.Keys", "F7", "open=now"));
    EXPECT_EQ(ParseIniChange("System\\P.ini,Key=a.b", change), IniChangeFault::NoDot);

    // The executable may hold the separator; a script edited on Windows reads too.
    auto command = ParseLaunchScript("#!/bin/sh\r\n\r\nmy vantor -log x\r\n", " ", "my vantor");
    ASSERT_TRUE(command);
    EXPECT_EQ(std::tie(command->executable, command->parameters), std::tie("my vantor", "-log x"));
    command = ParseLaunchScript("#!/bin/sh\n\nother-bin ", "-bin ", "vantor");
    ASSERT_TRUE(command);
    EXPECT_EQ(std::tie(command->executable, command->parameters), std::tie("other", ""));
    EXPECT_FALSE(ParseLaunchScript("#!/bin/sh\nvantor -log", " ", "vantor"));
}

TEST(ManifestImportFiles, ThePairIsFoundBesideTheManifest)
{
    test::TempDir dir;
    const auto manifest = dir.Write("Game/System/FrontierMOD.ini",
                                    "[Setup]\r\nProduct=Frontier\r\nGroup=SetupGroup\r\n[SetupGroup]\r\n"
                                    "Copy=(Src=\"System\\Frontier.sh\")\r\n");
    dir.Write("Game/System/frontiermod.INT", "[Setup]\r\nDeveloper=Lakeside\r\n");
    dir.Write("Game/System/FRONTIER.SH", "#!/bin/sh\n\ngame -log");
    ImportResult result = ImportManifest(manifest);
    ASSERT_TRUE(result.imported) << Texts(result);
    EXPECT_EQ(Texts(result), "");
    EXPECT_EQ(result.document.GameFolderText(), TextFromPath(std::filesystem::absolute(dir / "Game")));
    EXPECT_EQ(result.document.product->developer, "Lakeside");
    EXPECT_EQ(result.document.product->shortcut, "-log");

    std::filesystem::remove(dir / "Game/System/frontiermod.INT");
    const auto elsewhere = dir.Write("Elsewhere/FrontierMOD.ini", test::ReadFile(manifest));
    result = ImportManifest(elsewhere);
    EXPECT_EQ(Places(result),
              (std::vector<std::string>{elsewhere.string() + ":0 Z307", elsewhere.string() + ":0 Z303",
                                        elsewhere.string() + ":5 Z310"}))
        << Texts(result);

    result = ImportManifest(dir / "Game/System/MissingMOD.ini");
    EXPECT_FALSE(result.imported);
    EXPECT_EQ(Places(result),
              std::vector<std::string>{(dir / "Game/System/MissingMOD.ini").string() + ":0 Z301"});
}

}  // namespace
}  // namespace zpak
