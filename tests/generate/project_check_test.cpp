#include "generate/generation_run.h"
#include "generate/install_preview.h"
#include "generate/project_check.h"
#include "model/project_document.h"
#include "model/project_reader.h"
#include "model/record_lines.h"
#include "platform/message_sink.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

namespace zpak {
namespace {

namespace fs = std::filesystem;

// A small game and a project read from disk with the lines of its records.
class ProjectCheckTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        dir.Write("Game/System/MKR.exe", "tool");
        dir.Write("Game/System/Game.ini", "[Engine]\nDetail=Low\nPaths=a\n[Keys]\nF1=Help\n");
        dir.Write("Game/Maps/A.map", "a");
        dir.Write("Game/Maps/B.map", "bb");
        dir.Write("Game/Extra/B.map", "other");
        dir.Write("Game/logo.png", "\x89PNG");
    }

    std::vector<Diagnostic> Check(const std::string& body,
                                  GenerationChoice choice = GenerationChoice::Package)
    {
        const fs::path file = dir.Write("p.zproj", (dir / "Game").string() + "\n0.8\n" + body);
        RecordingSink sink;
        EXPECT_EQ(OpenProject(file, doc, sink, {}, {nullptr, &lines, nullptr}), OpenResult::Opened);
        return CheckProject(doc, choice, {}, &lines);
    }

    test::TempDir dir;
    ProjectDocument doc;
    RecordLines lines;
};

const char* const kProduct = "[Product]\nproduct=M\n";

// Every kind of problem at once, each with its code, line, page and record.
TEST_F(ProjectCheckTest, ReportsEveryProblemInProjectOrder)
{
    const auto found = Check(std::string("[Group]\nname=Main\n")  // 3
                             + "Maps\\A.map\n"                    // 5
                             + "Maps\\Gone.map\n"                 // 6: missing
                             + "Maps\\*.map\n"                    // 7: lists A.map again
                             + "Maps\\*.none\n"                   // 8: matches nothing
                             + "..\\outside.txt\n"                // 9
                             + "Extra\\B.map\n"                   // 10: same destination as Maps\B.map
                             + "src=Maps\\B.map\n"                // 11
                             + "maps\\Lower\\x.txt\n"             // 12: missing, folder case
                             + "[Group]\nname=Empty\n"            // 13
                             + "[INI]\nname=Game.ini\n"           // 15
                             + "Engine,Detail,High,FALSE\n"       // 17: fine
                             + "Engine,Gone,1,FALSE\n"            // 18: no key
                             + "Nowhere,K,1,FALSE\n"              // 19: no section
                             + "Nowhere,K,1,TRUE\n"               // 20: a new line needs nothing
                             + "[INI]\nname=Missing.ini\n"        // 21
                             + "A,B,C,FALSE\n"                    // 23
                             + kProduct + "logo=logo.png\n");     // 24
    struct Expected {
        const char* code;
        int line;
        ProjectPage page;
        RecordRef record;
    };
    const Expected expected[] = {
        {"Z105", 6, ProjectPage::Groups, RecordRef::Entry(0, 1)},
        {"Z205", 7, ProjectPage::Groups, RecordRef::Entry(0, 2)},
        {"Z106", 8, ProjectPage::Groups, RecordRef::Entry(0, 3)},
        {"Z103", 9, ProjectPage::Groups, RecordRef::Entry(0, 4)},
        {"Z204", 10, ProjectPage::Groups, RecordRef::Entry(0, 5)},
        {"Z105", 12, ProjectPage::Groups, RecordRef::Entry(0, 6)},
        {"Z206", 12, ProjectPage::Groups, RecordRef::Entry(0, 6)},
        {"Z203", 13, ProjectPage::Groups, RecordRef::Group(1)},
        {"Z209", 18, ProjectPage::IniChanges, RecordRef::IniChange(0, 1)},
        {"Z208", 19, ProjectPage::IniChanges, RecordRef::IniChange(0, 2)},
        {"Z207", 21, ProjectPage::IniChanges, RecordRef::IniFile(1)},
        {"Z211", 26, ProjectPage::Packaging, RecordRef::Product("logo")},
    };
    ASSERT_EQ(found.size(), std::size(expected));
    for (std::size_t i = 0; i < found.size(); ++i) {
        SCOPED_TRACE(found[i].text);
        EXPECT_EQ(found[i].code, expected[i].code);
        EXPECT_EQ(found[i].line, expected[i].line);
        EXPECT_EQ(found[i].page, expected[i].page);
        EXPECT_EQ(found[i].record, expected[i].record);
        EXPECT_EQ(found[i].severity, found[i].code[1] == '1' ? Severity::Error : Severity::Warning);
    }
    // Errors keep the words generation refuses with.
    EXPECT_EQ(found[0].text,
              "The file [" + (dir / "Game/Maps/Gone.map").make_preferred().string()
                  + "] does not exist. Cannot continue generating the product.");
    EXPECT_TRUE(HasError(found));
}

TEST_F(ProjectCheckTest, FilesAreCheckedWithoutAProductAndTheToolByChoice)
{
    fs::remove(dir / "Game/System/MKR.exe");
    auto found = Check("[Group]\nname=Main\nMaps\\Gone.map\n", GenerationChoice::Zip);
    ASSERT_EQ(found.size(), 3u);
    EXPECT_EQ(found[0].code, "Z201");  // a warning: the zip needs no tool
    EXPECT_EQ(found[1].code, "Z105");
    EXPECT_EQ(found[2].code, "Z101");  // no product: no line to name
    EXPECT_EQ(found[2].line, 0);
    EXPECT_EQ(found[2].page, ProjectPage::Product);

    doc = {};
    lines = {};
    found = Check(std::string(kProduct), GenerationChoice::Package);
    ASSERT_EQ(found.size(), 1u);
    EXPECT_EQ(found[0].code, "Z112");
    EXPECT_EQ(found[0].severity, Severity::Error);
    EXPECT_EQ(found[0].line, 1);
}

// Values generation writes as they are but the installer reads otherwise:
// warned about, for the record they belong to.
TEST_F(ProjectCheckTest, ValuesTheInstallerMisreadsAreWarnedAbout)
{
    const auto found = Check(std::string("[Group]\nname=Shown\nVisible=True\nMaps\\A.map\n")  // 3
                             + "[Group]\nname=Named\nVisible=True\ncaption=Maps\nMaps\\B.map\n"
                             + "[Requirement]\nproduct=Vantor\nversion=v1.1\n"  // 12
                             + "[Requirement]\nproduct=Base\nversion=1100\n"
                             + "[Requirement]\nproduct=Any\nversion=\n" + kProduct);
    ASSERT_EQ(found.size(), 2u);
    EXPECT_EQ(found[0].code, "Z216");
    EXPECT_EQ(found[0].record, RecordRef::Group(0));
    EXPECT_EQ(found[0].line, 3);
    EXPECT_EQ(found[1].code, "Z215");
    EXPECT_EQ(found[1].record, RecordRef::Requirement(0));
    EXPECT_EQ(found[1].severity, Severity::Warning);
    EXPECT_EQ(found[1].text,
              "The version [v1.1] of the required product [Vantor] is not a whole number; the installer "
              "reads it as 0.");
    EXPECT_FALSE(HasError(found));
}

// Windows folds letter case: two files bound for one place in other letters
// leave the player one of them.
TEST_F(ProjectCheckTest, DestinationsThatDifferInLetterCaseClash)
{
    const auto found =
        Check(std::string("[Group]\nname=Main\nMaps\\A.map\nsrc=New\\X.map\nMaps\\B.map\nsrc=New\\x.MAP\n")
              + kProduct);
    ASSERT_EQ(found.size(), 1u);
    EXPECT_EQ(found[0].code, "Z204");
    EXPECT_EQ(found[0].record, RecordRef::Entry(0, 1));
}

// A wildcard may match folders, whose files it does not take: one that
// matches folders only installs nothing, which is told; files beside them are fine.
TEST_F(ProjectCheckTest, AWildcardOfFoldersOnlyInstallsNothing)
{
    const auto found = Check(std::string("[Group]\nname=Main\nMa*\nMaps\\*\nl*\n") + kProduct);
    ASSERT_EQ(found.size(), 1u);
    EXPECT_EQ(found[0].code, "Z214");
    EXPECT_EQ(found[0].severity, Severity::Warning);
    EXPECT_EQ(found[0].record, RecordRef::Entry(0, 0));
    EXPECT_EQ(found[0].line, 5);
    EXPECT_EQ(found[0].text,
              "The wildcard [" + (dir / "Game/Ma*").make_preferred().string()
                  + "] matches 1 folder and no file: the entry installs nothing.");
}

// Nothing else is told about a game folder that is gone: not each file, the
// tool or the INI files.
TEST_F(ProjectCheckTest, MissingGameFolderIsTheOneProblem)
{
    fs::rename(dir / "Game", dir / "Moved");
    const auto found =
        Check(std::string("[Group]\nname=Main\nMaps\\A.map\nMaps\\*.map\n[INI]\nname=Game.ini\n"
                          "Engine,Detail,High,FALSE\n")
              + kProduct + "logo=logo.png\n");
    ASSERT_EQ(found.size(), 1u);
    EXPECT_EQ(found[0].code, "Z114");
    EXPECT_EQ(found[0].line, 1);
    EXPECT_NE(found[0].text.find((dir / "Game").string()), std::string::npos);
}

TEST_F(ProjectCheckTest, AWellMadeProjectHasNoProblem)
{
    EXPECT_TRUE(Check(std::string("[Group]\nname=Main\nMaps\\*.map\n[INI]\nname=game.INI\nkeys,f1,x,FALSE\n")
                      + kProduct)
                    .empty());
}

// The example project on the demo game: what each choice of groups installs.
class InstallPreviewTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        fs::copy(ZPAK_EXAMPLES_DIR "/demo-game", game, fs::copy_options::recursive);
        const std::string folder = game.string();
        RecordingSink sink;
        ASSERT_EQ(
            OpenProject(ZPAK_EXAMPLES_DIR "/frontier.zproj", doc, sink, {}, {&folder, nullptr, nullptr}),
            OpenResult::Opened);
        run = ResolveGeneration(doc, GenerationChoice::ManifestOnly, {});
        ASSERT_EQ(run.FirstError(), nullptr);
    }

    std::vector<std::string> Files(const InstallPreview& preview) const
    {
        std::vector<std::string> files;
        for (const PreviewFile& file : preview.files)
            files.push_back(file.source + " -> " + file.destination + " " + std::to_string(file.size));
        return files;
    }

    std::vector<std::string> IniLines(const InstallPreview& preview) const
    {
        std::vector<std::string> changes;
        for (const PreviewIniChange& c : preview.iniChanges)
            changes.push_back(c.file + " [" + c.section + "] " + (c.before ? c.key + '=' + *c.before : "-")
                              + " => " + c.key + '=' + c.after + (c.addsLine ? " +" : ""));
        return changes;
    }

    // The size of a launch script the run would write.
    std::string Script(const std::string& name) const
    {
        for (const TextOutput& text : run.texts) {
            if (text.path.filename() == name)
                return std::to_string(text.content.size());
        }
        return "none";
    }

    test::TempDir dir;
    fs::path game = dir / "Vantor";
    ProjectDocument doc;
    ResolvedRun run;
};

TEST_F(InstallPreviewTest, ChosenGroupsInstallTheirFiles)
{
    const InstallPreview preview = PreviewInstall(doc, run, DefaultGroups(doc), {});
    EXPECT_EQ(preview.groups, std::vector<std::string>{"Frontier"});
    EXPECT_EQ(Files(preview),
              (std::vector<std::string>{
                  "System/Frontier.u -> System/Frontier.u 63",
                  "System/Frontier.int -> System/Frontier.int 81",
                  "Maps/FR-Canyon.map -> Maps/FR-Canyon.map 20000",
                  "Maps/FR-Landing.map -> Maps/FR-Landing.map 20000",
                  "Help/Frontier.txt -> Help/Frontier.txt 64",
                  "System/Frontier.sh -> System/Frontier.sh " + Script("Frontier.sh"),
                  "System/Frontier_mac.sh -> System/Frontier_mac.sh " + Script("Frontier_mac.sh"),
              }));
    EXPECT_EQ(preview.totalSize,
              63u + 81 + 20000 + 20000 + 64 + std::stoul(Script("Frontier.sh"))
                  + std::stoul(Script("Frontier_mac.sh")));
    EXPECT_EQ(IniLines(preview),
              (std::vector<std::string>{
                  "Vantor.ini [Game.Options] ExtraPackages= => ExtraPackages=Frontier +",
                  "Vantor.ini [Engine.GameEngine] ServerActors=Engine.UdpBeacon => "
                  "ServerActors=(Class=Frontier.Spawner,Count=2) +",
                  "Vantor.ini [URL] Map=Index.map => Map=FR-Landing.map",
                  "User.ini [Game.Keys] F7= => F7=open FR-Canyon",
              }));
    EXPECT_EQ(preview.requirements, std::vector<std::string>{"Vantor 1100 (Corvex Technology)"});
    ASSERT_EQ(preview.launchers.size(), 3u);
    EXPECT_EQ(preview.launchers[0], "Shortcut \"Play Frontier\" runs FR-Landing.map?Game=Frontier.Campaign");

    // Chosen groups add their files; required ones stay.
    const GroupChoice choice = ChooseGroups(doc, {"frontiersource"});
    ASSERT_FALSE(choice.unknown);
    const InstallPreview chosen = PreviewInstall(doc, run, choice.groups, {});
    EXPECT_EQ(chosen.groups, (std::vector<std::string>{"Frontier", "FrontierSource"}));
    const auto files = Files(chosen);
    ASSERT_EQ(files.size(), 10u);
    EXPECT_EQ(files[5], "Frontier/Classes/Campaign.uc -> Frontier/Classes/Campaign.uc 33");
    EXPECT_EQ(files[7], "System/FrontierDefault.ini -> System/Frontier.ini 55");
    EXPECT_EQ(ChooseGroups(doc, {"Frontier", "Nope"}).unknown, "Nope");

    // A required group is installed whether or not it is marked selected.
    doc.groups[0]->Selected = 0;
    EXPECT_EQ(DefaultGroups(doc), std::vector<std::size_t>{0});
}

}  // namespace
}  // namespace zpak
