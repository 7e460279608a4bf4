#include "generate/build_files.h"
#include "generate/generation_run.h"
#include "generate/output_verifier.h"
#include "generate/zip_packer.h"
#include "generate_fixture.h"

#include <algorithm>

namespace zpak {
namespace {

namespace fs = std::filesystem;

class ResolverTest : public test::GenerateFixture {
protected:
    std::string FirstError(GenerationChoice choice)
    {
        const ResolvedRun run = ResolveGeneration(doc, choice, {});
        const Problem* error = run.FirstError();
        return error ? error->text : std::string();
    }

    std::vector<std::string> EntryNames()
    {
        const ResolvedRun run = ResolveGeneration(doc, GenerationChoice::Zip, {});
        std::vector<std::string> names;
        for (const PackEntry& entry : run.pack.entries)
            names.push_back(entry.name);
        return names;
    }
};

// Every place of the project that names a file: the path must stay inside
// the game folder, however it leaves it.
struct OutsideCase {
    const char* name;
    void (*place)(ProjectDocument&, const char*);
};

class OutsideTest : public ResolverTest, public ::testing::WithParamInterface<OutsideCase> {};

TEST_P(OutsideTest, IsRefusedByEveryChoice)
{
    dir.Write("secret.txt", "the neighbour's file");
    for (const char* path : {"..\\secret.txt", "Maps\\..\\..\\secret.txt", "/etc/passwd",
                             "\\Windows\\win.ini", "C:\\x.txt", "c:x.txt"}) {
        GetParam().place(doc, path);
        for (GenerationChoice choice :
             {GenerationChoice::Package, GenerationChoice::ManifestOnly, GenerationChoice::Zip}) {
            const std::string error = FirstError(choice);
            EXPECT_NE(error.find("lies outside the game folder"), std::string::npos) << path << ": " << error;
            EXPECT_NE(error.find(path), std::string::npos) << error;
        }
    }
}

INSTANTIATE_TEST_SUITE_P(
    Places, OutsideTest,
    ::testing::Values(
        OutsideCase{"Entry", [](ProjectDocument& d, const char* p) { d.groups[0]->files[0]->SetName(p); }},
        OutsideCase{
            "Wildcard",
            [](ProjectDocument& d, const char* p) { d.groups[0]->files[0]->SetName(std::string(p) + "*"); }},
        OutsideCase{"Destination", [](ProjectDocument& d, const char* p) { d.groups[1]->files[1]->src = p; }},
        OutsideCase{"WildcardDestination",
                    [](ProjectDocument& d, const char* p) {
                        d.groups[1]->files[0]->SetName("Maps\\*.map");
                        d.groups[1]->files[0]->src = p;
                    }},
        OutsideCase{"Readme", [](ProjectDocument& d, const char* p) { d.product->readme = p; }},
        OutsideCase{"Logo", [](ProjectDocument& d, const char* p) { d.product->logo = p; }},
        OutsideCase{"Licence",
                    [](ProjectDocument& d, const char* p) {
                        // A licence lies in System: one more ".." is needed to leave.
                        const std::string text = p;
                        const bool absolute = text[0] == '/' || text[0] == '\\' || text[1] == ':';
                        d.product->license = absolute ? text : "..\\" + text;
                    }}),
    [](const auto& param) { return std::string(param.param.name); });

TEST_F(ResolverTest, PathsThatComeBackInsideAreFine)
{
    doc.groups[0]->files[0]->SetName("Maps\\..\\System\\.\\Frontier.pkg");
    EXPECT_EQ(FirstError(GenerationChoice::Zip), "");
    EXPECT_EQ(EntryNames().at(0), "System/Frontier.pkg");
}

TEST_F(ResolverTest, EmptyGameFolderIsRefused)
{
    doc.gameFolder = "";
    EXPECT_NE(FirstError(GenerationChoice::Zip).find("names no game folder"), std::string::npos);
    doc.gameFolder.reset();
    EXPECT_NE(FirstError(GenerationChoice::Package).find("names no game folder"), std::string::npos);
}

// A NUL would cut a file name short ("Manifest.ini<NUL>x" would replace the
// game's manifest); a line break would split a manifest line.
TEST_F(ResolverTest, ControlCharactersInNamesAreRefused)
{
    for (const std::string& name : {std::string("Manifest.ini\0x", 14), std::string("MKR.exe\0", 8),
                                    std::string("Front\tier"), std::string("Front\r\nier")}) {
        doc.product->product = name;
        const std::string error = FirstError(GenerationChoice::Zip);
        EXPECT_TRUE(error.starts_with("The product name [")) << error;
        EXPECT_NE(error.find("holds a control character"), std::string::npos) << error;
        EXPECT_EQ(error.find('\0'), std::string::npos);
    }
    doc.product->product = "Frontier";
    doc.product->archive = std::string("Frontier.zpack2\0.exe", 20);
    EXPECT_NE(FirstError(GenerationChoice::Package).find("[Frontier.zpack2\\x00.exe]"), std::string::npos);
    EXPECT_EQ(FirstError(GenerationChoice::Zip), "");  // the zip does not name a package
    doc.groups[0]->files[0]->SetName(std::string("System\\Frontier.pkg\0.txt", 24));
    EXPECT_NE(FirstError(GenerationChoice::Zip).find("holds a control character"), std::string::npos);
}

// The packaging tool writes the package into System under its name, over
// whatever stands there: a name that leaves System, or names a file the run
// itself uses or installs, is refused in every choice that names the package.
TEST_F(ResolverTest, PackageNameIsAPlainNameOfNoFileTheRunUses)
{
    dir.Write("Vantor/System/Vantor.ini", "[Engine]");
    dir.Write("Vantor/System/Old.zpak", "an earlier package");
    for (const char* name : {"..\\README.txt",
                             "../../evil.pkg",
                             "Help\\Frontier.txt",
                             "..",
                             "C:evil.pkg",
                             "",
                             "Frontier.pkg.",
                             "nul.zpack2",
                             "MKR.exe",
                             "mkr.EXE",
                             "Manifest.ini",
                             "MANIFEST.INT",
                             "zpak_manifest_backup.ini",
                             "FrontierMOD.ini",
                             "frontiermod.int",
                             "Frontier.sh",
                             "Frontier_mac.sh",
                             ".zpak_build",
                             "zpak_build.journal",
                             "Frontier.pkg"}) {
        doc.product->archive = name;
        for (GenerationChoice choice : {GenerationChoice::Package, GenerationChoice::ManifestOnly}) {
            const ResolvedRun run = ResolveGeneration(doc, choice, {});
            const Problem* error = run.FirstError();
            ASSERT_NE(error, nullptr) << name;
            EXPECT_EQ(error->code, "Z116") << name << ": " << error->text;
            EXPECT_EQ(error->record, RecordRef::Product("archive")) << name;
        }
        EXPECT_EQ(FirstError(GenerationChoice::Zip), "") << name;
    }
    // An existing file that is not a package: told, not refused.
    for (const char* name : {"Vantor.ini", "vantor.INI", "Old.zpak", "Frontier.zpack2"}) {
        doc.product->archive = name;
        const ResolvedRun run = ResolveGeneration(doc, GenerationChoice::Package, {});
        EXPECT_EQ(run.FirstError(), nullptr) << name;
        const bool told =
            std::ranges::any_of(run.problems, [](const Problem& p) { return p.code == "Z213"; });
        EXPECT_EQ(told, std::string_view(name).ends_with("INI") || std::string_view(name).ends_with("ini"))
            << name;
    }
}

// The manifest names the archive, and from then on the product keeps that
// name; a run that stops before the manifest, or the zip, leaves it to follow
// the product name.
TEST_F(ResolverTest, OnlyARunThatNamesTheArchiveKeepsItsName)
{
    ASSERT_FALSE(doc.product->archive);
    KeepArchiveName(doc, GenerationChoice::Zip);
    doc.product->product = "";
    KeepArchiveName(doc, GenerationChoice::Package);
    doc.product->product = "Frontier";
    doc.gameFolder = "";
    KeepArchiveName(doc, GenerationChoice::ManifestOnly);
    EXPECT_FALSE(doc.product->archive);

    doc.gameFolder = game.string();
    KeepArchiveName(doc, GenerationChoice::ManifestOnly);
    doc.product->product = "Renamed";
    const ResolvedRun run = ResolveGeneration(doc, GenerationChoice::Package, {});
    EXPECT_EQ(run.packageName, "Frontier.zpack2");
}

// A zip of the game folder's root must not read the archive it replaces, nor
// any run's own files: temporary files, the lock, a killed run's journal, in
// our folder or where earlier versions kept them, whatever wildcard matches them.
TEST_F(ResolverTest, TheRunsOwnFilesAreNeverInputs)
{
    doc.groups[0]->AddFile("*");
    doc.groups[0]->AddFile("System\\*");
    doc.groups[0]->AddFile(std::string(kWorkFolderName) + "\\*");
    dir.Write("Vantor/FrontierMOD.zip", "the previous archive");
    dir.Write("Vantor/.FrontierMOD.zip.tmp-12", "a killed run's");
    dir.Write("Vantor/notes.txt", "notes");
    const std::string work = "Vantor/" + std::string(kWorkFolderName) + "/";
    dir.Write(work + std::string(kJournalFileName), "a killed run's journal");
    dir.Write(work + std::string(kLockFileName), "");
    dir.Write("Vantor/System/" + std::string(kOldJournalFileName), "an earlier version's journal");
    dir.Write("Vantor/System/" + std::string(kOldLockFileName), "");
    EXPECT_EQ(ResolveGeneration(doc, GenerationChoice::Zip, {}).Warnings(),
              std::vector<std::string>{"The zip file " + Game("FrontierMOD.zip").string()
                                       + " is not packed into itself."});
    const std::vector<std::string> names = EntryNames();
    EXPECT_NE(std::ranges::find(names, "notes.txt"), names.end());
    EXPECT_NE(std::ranges::find(names, "System/Frontier.pkg"), names.end());
    const ResolvedRun manifest = ResolveGeneration(doc, GenerationChoice::ManifestOnly, {});
    std::vector<std::string> inputs;
    for (const ResolvedInput& input : manifest.inputs)
        inputs.push_back(input.destination);
    EXPECT_EQ(std::ranges::find(names, "FrontierMOD.zip"), names.end());
    for (const auto& found : {names, inputs}) {
        for (const char* own : {".FrontierMOD.zip.tmp-12", ".zpak_build/journal", ".zpak_build/lock",
                                "System/zpak_build.journal", "System/zpak_build.lock"})
            EXPECT_EQ(std::ranges::find(found, own), found.end()) << own;
    }
}

// A destination is a file name for a single file, and a folder for a
// wildcard or when it ends in "\"; one that names the game folder itself
// names no file and is refused. A wildcard's destination that looks like a
// file name is still a folder, and the run says so.
TEST_F(ResolverTest, DestinationNamesAFileOrAFolder)
{
    struct Case {
        const char* entry;
        const char* destination;
        const char* names;  // the zip's entries, or the problem's code
    };
    const Case cases[] = {
        {"System\\Frontier.pkg", "NewDir\\Game.pkg", "NewDir/Game.pkg"},
        {"System\\Frontier.pkg", "NewDir\\", "NewDir/Frontier.pkg"},
        {"System\\Frontier.pkg", "NewDir/", "NewDir/Frontier.pkg"},
        {"System\\Frontier.pkg", ".", "Z113"},
        {"System\\Frontier.pkg", ".\\", "Z113"},
        {"System\\Frontier.pkg", "Maps\\..", "Z113"},
        {"maps\\*.map", "NewMaps", "NewMaps/FR-Canyon.map"},
        {"maps\\*.map", "NewMaps\\", "NewMaps/FR-Canyon.map"},
        {"maps\\*.map", "NewMaps\\*.map", "NewMaps/FR-Canyon.map"},
        {"maps\\*.map", ".", "Z113"},
        {"maps\\*.map", "Maps\\Only.map", "Maps/Only.map/FR-Canyon.map Z212"},
    };
    doc.groups.resize(1);
    doc.product->readme.reset();
    doc.product->shortcut.reset();
    for (const Case& c : cases) {
        doc.groups[0]->files.clear();
        doc.groups[0]->AddFile(c.entry).src = c.destination;
        std::string names;
        for (GenerationChoice choice :
             {GenerationChoice::Zip, GenerationChoice::Package, GenerationChoice::ManifestOnly}) {
            const ResolvedRun run = ResolveGeneration(doc, choice, {});
            std::string seen;
            for (const ResolvedInput& input : run.inputs)
                seen += (seen.empty() ? "" : " ") + input.destination;
            for (const Problem& problem : run.problems) {
                seen += (seen.empty() ? "" : " ") + problem.code;
                EXPECT_EQ(problem.record, RecordRef::Entry(0, 0));
            }
            EXPECT_EQ(seen, c.names) << c.entry << " to " << c.destination;
        }
    }
}

// A game folder that is gone is told once, with its path, rather than as
// every file of the project missing.
TEST_F(ResolverTest, MissingGameFolderIsToldOnce)
{
    doc.gameFolder = (dir / "Gone").string();
    doc.product->logo = "Help\\Logo.bmp";
    for (GenerationChoice choice :
         {GenerationChoice::Zip, GenerationChoice::Package, GenerationChoice::ManifestOnly}) {
        const ResolvedRun run = ResolveGeneration(doc, choice, {});
        ASSERT_EQ(run.problems.size(), 1u);
        EXPECT_EQ(run.problems[0].code, "Z114");
        EXPECT_EQ(run.problems[0].text,
                  "The game folder " + (dir / "Gone").string()
                      + " does not exist. Cannot continue generating the product.");
    }
}

// Whatever the choice, the run knows every file of the product and where it goes.
// A zip never holds two entries of one name: a file that is also the readme
// is packed once, and of two files put at one place the later one is packed,
// as the installer leaves it there. Such a zip verifies.
TEST_F(ResolverTest, ZipHoldsOneEntryForEachPlace)
{
    dir.Write("Vantor/System/Other.ini", "[Frontier]\r\nSpeed=3\r\n");
    doc.groups[0]->AddFile("Help\\Frontier\\Readme.txt");
    doc.groups[1]->AddFile("System\\Other.ini").src = "SYSTEM\\frontier.ini";
    ResolvedRun run = ResolveGeneration(doc, GenerationChoice::Zip, {});
    ASSERT_EQ(run.FirstError(), nullptr);
    std::vector<std::string> seen;
    for (const PackEntry& entry : run.pack.entries)
        seen.push_back(entry.source.lexically_relative(game).generic_string() + ">" + entry.name);
    EXPECT_EQ(seen,
              (std::vector<std::string>{"System/Frontier.pkg>System/Frontier.pkg",
                                        "Help/Frontier/Readme.txt>Help/Frontier/Readme.txt",
                                        "Maps/FR-Canyon.map>Maps/FR-Canyon.map",
                                        "System/Other.ini>System/Frontier.ini",
                                        "System/Frontier.sh>System/Frontier.sh"}));
    ASSERT_EQ(ZipPackList(run.pack), kZipOk);
    EXPECT_TRUE(VerifyOutputs(run, 2).problems.empty());
}

TEST_F(ResolverTest, ListsEveryInputWithItsDestination)
{
    dir.Write("Vantor/Help/Logo.bmp", "BM");
    dir.Write("Vantor/System/FrontierLicense.int", "licence");
    doc.product->logo = "help\\logo.bmp";
    doc.product->license = "FrontierLicense.int";
    doc.groups[1]->AddFile("MAPS\\*.map").src = "NewMaps";
    const ResolvedRun run = ResolveGeneration(doc, GenerationChoice::Package, {});
    ASSERT_EQ(run.FirstError(), nullptr);
    std::vector<std::string> seen;
    for (const ResolvedInput& input : run.inputs) {
        seen.push_back(std::to_string(static_cast<int>(input.kind)) + ":" + std::to_string(input.group) + ":"
                       + input.source.lexically_relative(game).generic_string() + ">" + input.destination);
    }
    EXPECT_EQ(seen,
              (std::vector<std::string>{
                  "0:0:System/Frontier.pkg>System/Frontier.pkg", "0:1:Maps/FR-Canyon.map>Maps/FR-Canyon.map",
                  "0:1:System/FrontierDefault.ini>System/Frontier.ini",
                  "0:1:Maps/FR-Canyon.map>NewMaps/FR-Canyon.map", "1:0:Help/Logo.bmp>Help/Logo.bmp",
                  "2:0:System/FrontierLicense.int>System/FrontierLicense.int",
                  "3:0:Help/Frontier/Readme.txt>Help/Frontier/Readme.txt",
                  "4:0:System/Frontier.sh>System/Frontier.sh"}));
    EXPECT_TRUE(run.pack.entries.empty());  // no archive for this choice
}

}  // namespace
}  // namespace zpak
