#include "generate/generation_run.h"
#include "generate/launch_scripts.h"
#include "generate/manifest_writer.h"
#include "generate/product_paths.h"
#include "generate_fixture.h"
#include "support/manifest_round_trip.h"
#include "support/platform_skip.h"

#ifndef _WIN32
#include <sys/stat.h>
#endif

namespace zpak {
namespace {

std::string CrLf(std::string_view text)
{
    std::string out;
    for (char c : text) {
        if (c == '\n')
            out += '\r';
        out += c;
    }
    return out;
}

const char* const kExampleIni = R"([Setup]
Product=Frontier
Language=int
Version=1.2
Archive=Frontier.zpack2
SrcPath=.
MasterPath=..
MasterPathCorvexGameContent=..
Requires=VantorRequirement
Group=SetupGroup
Group=Core
Group=Maps
Tree=True
Visible=true

[VantorRequirement]
Product=Vantor
Version=1100

[SetupGroup]
Copy=(Src=System\Manifest.*,Flags=3)
File=(Src="Help\Frontier\Readme.txt")
Shortcut=PlayShortcut
Shortcut=UninstallShortcut
Shortcut=DocumentationShortcut
Copy=(Src="System\Frontier.sh")
Ini=System\Player.ini,Game.Keys.F7=open FR-Canyon

[Core]
Visible=False
Optional=False
Selected=True
Selectable=False
File=(Src="System\Frontier.pkg")

[Maps]
Visible=True
Optional=True
Selected=True
Selectable=True
File=(Src="Maps\FR-Canyon.map")
File=(Src="System\Frontier.ini",          Master="System\FrontierDefault.ini")

[PlayShortcut]
Template=%CommonProgramsPath%\%LocalProduct%\%Caption%.lnk
WorkingDirectory=%DestPath%\System
Command=%DestPath%\System\Vantor.exe
Parameters=-log
Icon=%DestPath%\Help\Corvex.ico

[UninstallShortcut]
Template=%CommonProgramsPath%\%LocalProduct%\%Caption%.lnk
WorkingDirectory=%DestPath%\System
Command=%DestPath%\System\Setup.exe
Parameters=uninstall "%Product%"
Icon=%DestPath%\System\Setup.exe,0

[DocumentationShortcut]
Template=%CommonProgramsPath%\%LocalProduct%\%Caption%.lnk
WorkingDirectory=%DestPath%\Help\Frontier
Command=%DestPath%\Help\Frontier\Readme.txt
Parameters=
Icon=
)";

const char* const kExampleInt = R"([Setup]
LocalProduct=Frontier
ReadMe=Help\Frontier\Readme.txt
SetupWindowTitle=Frontier
AutoplayWindowTitle=Frontier
ProductURL=
VersionURL=
Developer=Ace Team
DeveloperURL=

[VantorRequirement]
LocalProduct=Vantor
ProductURL=
VersionURL=
Developer=
DeveloperURL=

[PlayShortcut]
Caption="Play Frontier"

[Maps]
Caption=Frontier maps
Description=Two new maps

[UninstallShortcut]
Caption="UnInstall Frontier"

[DocumentationShortcut]
Caption="Release Notes"
)";

using ManifestTest = test::GenerateFixture;

TEST_F(ManifestTest, WorkedExampleComesOutByteForByte)
{
#ifdef _WIN32
    GTEST_SKIP() << "needs file modes";
#else
    ASSERT_TRUE(WriteManifest(doc, false, sink));
    EXPECT_EQ(Read("System/FrontierMOD.ini"), CrLf(kExampleIni));
    EXPECT_EQ(Read("System/FrontierMOD.int"), CrLf(kExampleInt));
    EXPECT_EQ(Read("System/Frontier.sh"), "#!/bin/sh\n\nvantor -log");
    EXPECT_EQ(doc.product->archive, "Frontier.zpack2");
    EXPECT_EQ(sink.messages,
              std::vector<std::string>{"Successfully generated " + Game("System/FrontierMOD.ini").string()
                                       + ", " + Game("System/FrontierMOD.int").string()});

    struct stat info {};
    ASSERT_EQ(::stat(Game("System/Frontier.sh").c_str(), &info), 0);
    EXPECT_TRUE(info.st_mode & S_IXUSR);
#endif
}

TEST_F(ManifestTest, BareProjectAndFlagDependentLines)
{
    ProjectDocument bare;
    bare.gameFolder = game.string();
    bare.product = std::make_unique<ProductData>();
    bare.product->product = "My Mod";
    bare.product->license = "";
    const ManifestTexts texts = BuildManifest(bare);
    EXPECT_EQ(texts.ini,
              CrLf("[Setup]\nProduct=My Mod\nLanguage=int\nVersion=\n"
                   "Archive=My Mod.zpack2\nSrcPath=.\nMasterPath=..\n"
                   "MasterPathCorvexGameContent=..\nGroup=SetupGroup\n\n[SetupGroup]\n"
                   "Copy=(Src=System\\Manifest.*,Flags=3)\nCopy=(Src=\"System\\\")\n"));
    EXPECT_EQ(texts.localized,
              CrLf("[Setup]\nLocalProduct=My Mod\nSetupWindowTitle=My Mod\n"
                   "AutoplayWindowTitle=My Mod\nProductURL=\nVersionURL=\nDeveloper=\n"
                   "DeveloperURL=\n"));
    EXPECT_EQ(ManifestBaseName(bare), "My ModMOD");
    EXPECT_TRUE(test::ManifestRoundTrips(bare));

    // No visible group: no tree lines and no group captions in the .int file.
    doc.groups[1]->Visible = 0;
    doc.product->windows = 0;  // scripts still come, shortcuts do not
    doc.product->mac = 1;
    doc.product->readme = "Readme.txt";
    doc.product->license = "Docs\\Frontier.int";
    const ManifestTexts second = BuildManifest(doc);
    EXPECT_EQ(second.ini.find("Tree=True"), std::string::npos);
    EXPECT_EQ(second.ini.find("Optional="), std::string::npos);
    EXPECT_EQ(second.ini.find("Shortcut="), std::string::npos);
    EXPECT_NE(second.ini.find("License=Frontier.int\r\n"), std::string::npos);
    EXPECT_NE(second.ini.find("Copy=(Src=\"System\\Docs\\Frontier.int\")"), std::string::npos);
    EXPECT_NE(second.ini.find("Copy=(Src=\"System\\Frontier_mac.sh\")"), std::string::npos);
    EXPECT_EQ(second.localized.find("[Maps]"), std::string::npos);
    EXPECT_NE(second.localized.find("License=Docs\\Frontier.int\r\n"), std::string::npos);
    EXPECT_TRUE(test::ManifestRoundTrips(doc));

    // A readme without a folder, a visible group with a caption, an added INI line.
    doc.product->windows = 1;
    doc.groups[0]->Visible = 1;
    doc.groups[0]->caption = "Core files";
    doc.iniFiles[0]->entries[0]->addNewLine = 1;
    doc.iniFiles[0]->group = doc.groups[0].get();
    const ManifestTexts third = BuildManifest(doc);
    EXPECT_NE(third.ini.find("WorkingDirectory=%DestPath%\r\nCommand=%DestPath%\\Readme.txt\r\n"),
              std::string::npos);
    EXPECT_NE(third.ini.find("File=(Src=\"System\\Frontier.pkg\")\r\n"
                             "AddIni=System\\Player.ini,Game.Keys.F7=open FR-Canyon\r\n"),
              std::string::npos);
    EXPECT_NE(third.localized.find("[Core]\r\nCaption=Core files\r\nDescription=\r\n"), std::string::npos);
    EXPECT_TRUE(test::ManifestRoundTrips(doc));
}

TEST_F(ManifestTest, FileCheckNamesTheMissingFileAndWritesNothing)
{
    doc.groups[1]->AddFile("maps\\fr-*.MAP");  // matches ignoring case
    doc.groups[1]->AddFile("Maps\\*.umx");
    ASSERT_FALSE(WriteManifest(doc, false, sink));
    ASSERT_EQ(sink.messages.size(), 1u);
    EXPECT_EQ(sink.messages[0],
              "The wildcard [" + Game("Maps/*.umx").string()
                  + "] is not valid (No files were found). Cannot continue "
                    "generating the product.");
    EXPECT_FALSE(std::filesystem::exists(Game("System/FrontierMOD.ini")));

    // The check stops at the first problem; the resolution collects them all.
    doc.groups[1]->files.pop_back();
    doc.groups[0]->AddFile("Help");  // a folder is not a file
    doc.groups[0]->AddFile("Missing\\Two.map");
    sink.messages.clear();
    EXPECT_FALSE(CheckProductFiles(doc, sink));
    EXPECT_EQ(sink.messages,
              std::vector<std::string>{"The file [" + Game("Help").string()
                                       + "] does not exist. Cannot continue generating the product."});
    EXPECT_EQ(ResolveGeneration(doc, GenerationChoice::Package, {}).problems.size(), 2u);

    doc.groups[0]->files.resize(1);
    doc.groups[0]->AddFile("help\\frontier\\README.TXT");
    doc.product->logo = "Help\\Logo.bmp";
    sink.messages.clear();
    EXPECT_FALSE(CheckProductFiles(doc, sink));
    EXPECT_EQ(sink.messages.at(0),
              "The bitmap file [" + Game("Help/Logo.bmp").string()
                  + "] does not exist. Cannot continue generating the "
                    "product.");
}

TEST_F(ManifestTest, ProductNamesThatLeaveSystemAreRefused)
{
    for (const char* name : {"", "..", "a/b", "..\\Frontier", "C:Frontier"}) {
        doc.product->product = name;
        sink.messages.clear();
        EXPECT_FALSE(WriteManifest(doc, false, sink)) << name;
        EXPECT_EQ(sink.messages.size(), 1u) << name;
    }
    doc.product.reset();
    sink.messages.clear();
    EXPECT_FALSE(WriteManifest(doc, false, sink));
    EXPECT_EQ(sink.messages, std::vector<std::string>{"You must complete the product field."});
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(Game("System")),
                            std::filesystem::directory_iterator()),
              3);
}

TEST(GameExecutableNameTest, TakesTheLastRealComponent)
{
    for (const char* folder :
         {"C:\\Games\\Vantor", "C:\\Games\\Vantor\\", "/games/Vantor/", "/games/Vantor", "Vantor"})
        EXPECT_EQ(GameExecutableName(folder), "Vantor") << folder;

    ProjectDocument doc;
    doc.gameFolder = "/games/Vantor/";
    doc.product = std::make_unique<ProductData>();
    doc.product->shortcut = "";
    EXPECT_EQ(LaunchScriptText(doc, " "), "#!/bin/sh\n\nvantor ");
    EXPECT_EQ(LaunchScriptText(doc, "-bin "), "#!/bin/sh\n\nvantor-bin ");
}

// The manifest names the script, so a script that cannot be written fails
// the run, and the pair is not written either.
TEST_F(ManifestTest, ScriptThatCannotBeCreatedFailsTheRun)
{
    doc.product->mac = 1;
    std::filesystem::create_directory(Game("System/Frontier.sh"));
    EXPECT_FALSE(WriteManifest(doc, true, sink));
    EXPECT_EQ(sink.messages,
              std::vector<std::string>{"Could not create the linux shell script "
                                       + Game("System/Frontier.sh").string()});
    EXPECT_FALSE(std::filesystem::exists(Game("System/FrontierMOD.ini")));

    std::filesystem::remove(Game("System/Frontier.sh"));
    sink.messages.clear();
    ASSERT_TRUE(WriteManifest(doc, true, sink));
    EXPECT_TRUE(sink.messages.empty());
    EXPECT_EQ(Read("System/Frontier_mac.sh"), "#!/bin/sh\n\nvantor-bin -log");
}

}  // namespace
}  // namespace zpak
