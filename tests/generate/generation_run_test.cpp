#include "generate/generation_run.h"
#include "generate_fixture.h"

#include <sys/stat.h>

namespace zpak {
namespace {

namespace fs = std::filesystem;

// A stand-in packaging tool: records its arguments, its working directory
// and whether the game's manifest was set aside, and leaves files of its own
// behind as the real tool may.
constexpr const char* kTool = R"SH(#!/bin/sh
here=$(dirname "$0")
{
  echo "args:$#:$1:$2"
  echo "cwd:$(pwd)"
  if [ -e "$here/Manifest.ini" ]; then echo "manifest:present"; else echo "manifest:aside"; fi
  if [ -e "$here/zpak_manifest_backup.ini" ]; then echo "backup:present"; fi
} > "$here/tool.log"
echo "tool's own" > "$here/Manifest.ini"
echo "tool's own" > "$here/manifest.int"
exit ${TOOL_EXIT:-0}
)SH";

class GenerationTest : public test::GenerateFixture {
protected:
    void SetUp() override
    {
        GenerateFixture::SetUp();
        InstallTool(kTool);
    }

    void InstallTool(const char* script)
    {
        const fs::path tool = dir.Write("Vantor/System/MKR.exe", script);
        fs::permissions(tool, fs::perms::owner_all, fs::perm_options::add);
    }

    GenerationOutcome Run(GenerationChoice choice) { return RunGeneration(doc, choice, sink); }
    bool Has(std::string_view relative) const { return fs::exists(Game(relative)); }
};

TEST_F(GenerationTest, PackageSetsTheGameManifestAsideAndRestoresIt)
{
    dir.Write("Vantor/System/Manifest.int", "game localized manifest");
    ASSERT_EQ(Run(GenerationChoice::Package), GenerationOutcome::Done);
    EXPECT_EQ(sink.messages, std::vector<std::string>{"The packaging tool finished without an "
                                                      "error; it was asked to build Frontier.zpack2."});
    // The game's tool reads the manifest by its bare name: it runs in System.
    EXPECT_EQ(Read("System/tool.log"),
              "args:2:master:FrontierMOD\ncwd:" + Game("System").string()
                  + "\nmanifest:aside\nbackup:present\n");
    EXPECT_EQ(Read("System/Manifest.ini"), "game manifest");
    EXPECT_EQ(Read("System/Manifest.int"), "game localized manifest");
    EXPECT_FALSE(Has("System/manifest.int"));
    EXPECT_FALSE(Has("System/zpak_manifest_backup.ini"));
    EXPECT_FALSE(Has("System/zpak_manifest_backup.int"));
    EXPECT_TRUE(Has("System/FrontierMOD.ini"));
    EXPECT_TRUE(Has("System/Frontier.sh"));
}

TEST_F(GenerationTest, CleanupDeletesThePairAndTheLinuxScriptOnly)
{
    doc.product->cleanup = 1;
    doc.product->mac = 1;
    ASSERT_EQ(Run(GenerationChoice::Package), GenerationOutcome::Done);
    EXPECT_FALSE(Has("System/FrontierMOD.ini"));
    EXPECT_FALSE(Has("System/FrontierMOD.int"));
    EXPECT_FALSE(Has("System/Frontier.sh"));
    EXPECT_TRUE(Has("System/Frontier_mac.sh"));
    EXPECT_EQ(Read("System/Manifest.ini"), "game manifest");
}

TEST_F(GenerationTest, ManifestOnlyTouchesNothingElse)
{
    doc.product->cleanup = 1;
    ASSERT_EQ(Run(GenerationChoice::ManifestOnly), GenerationOutcome::Done);
    ASSERT_EQ(sink.messages.size(), 1u);
    EXPECT_EQ(sink.messages[0].rfind("Successfully generated ", 0), 0u);
    EXPECT_TRUE(Has("System/FrontierMOD.ini"));
    EXPECT_FALSE(Has("System/tool.log"));
}

TEST_F(GenerationTest, MissingGameManifestStopsBeforeTheTool)
{
    fs::remove(Game("System/Manifest.ini"));
    EXPECT_EQ(Run(GenerationChoice::Package), GenerationOutcome::Failed);
    EXPECT_EQ(sink.messages, std::vector<std::string>{"Could not back the default manifest.ini file."});
    EXPECT_FALSE(Has("System/tool.log"));
    EXPECT_TRUE(Has("System/FrontierMOD.ini"));
}

TEST_F(GenerationTest, ABackupInTheWayIsNotOverwritten)
{
    dir.Write("Vantor/System/zpak_manifest_backup.ini", "older backup");
    EXPECT_EQ(Run(GenerationChoice::Package), GenerationOutcome::Failed);
    EXPECT_EQ(sink.messages, std::vector<std::string>{"Could not back the default manifest.ini file."});
    EXPECT_EQ(Read("System/zpak_manifest_backup.ini"), "older backup");
    EXPECT_EQ(Read("System/Manifest.ini"), "game manifest");
}

TEST_F(GenerationTest, MissingToolStillRestoresTheManifest)
{
    fs::remove(Game("System/MKR.exe"));
    EXPECT_EQ(Run(GenerationChoice::Package), GenerationOutcome::ToolFailed);
    EXPECT_EQ(sink.messages, std::vector<std::string>{"Could not start MKR"});
    EXPECT_EQ(Read("System/Manifest.ini"), "game manifest");
    EXPECT_FALSE(Has("System/zpak_manifest_backup.ini"));
}

TEST_F(GenerationTest, ToolFailureIsReportedWithItsExitCodeAndLastLines)
{
    InstallTool("#!/bin/sh\nfor i in 1 2 3 4 5 6 7 8 9 10 11 12 13 14; do echo line $i; done\n"
                "echo 'no manifest found' >&2\nexit 3\n");
    EXPECT_EQ(Run(GenerationChoice::Package), GenerationOutcome::ToolFailed);
    ASSERT_EQ(sink.messages.size(), 1u);
    const std::string& text = sink.messages[0];
    EXPECT_NE(text.find("failed with exit code 3."), std::string::npos) << text;
    // Only the last twelve lines.
    EXPECT_NE(text.find("wrote:\nline 4\nline 5\n"), std::string::npos) << text;
    EXPECT_TRUE(text.ends_with("line 14\nno manifest found")) << text;
    EXPECT_EQ(Read("System/Manifest.ini"), "game manifest");
}

TEST_F(GenerationTest, InterruptedRunIsRecoveredFirst)
{
    fs::rename(Game("System/Manifest.ini"), Game("System/zpak_manifest_backup.ini"));
    ASSERT_EQ(Run(GenerationChoice::Package), GenerationOutcome::Done);
    ASSERT_EQ(sink.messages.size(), 2u);
    EXPECT_NE(sink.messages[0].find("restored"), std::string::npos);
    EXPECT_NE(Read("System/tool.log").find("manifest:aside"), std::string::npos);
    EXPECT_EQ(Read("System/Manifest.ini"), "game manifest");
}

TEST_F(GenerationTest, ZipCleanupDeletesScriptsOnlyWithShortcut)
{
    doc.product->cleanup = 1;
    doc.product->mac = 1;
    ASSERT_EQ(Run(GenerationChoice::Zip), GenerationOutcome::Done);
    EXPECT_TRUE(Has("FrontierMOD.zip"));
    EXPECT_FALSE(Has("System/Frontier.sh"));
    EXPECT_FALSE(Has("System/Frontier_mac.sh"));

    dir.Write("Vantor/System/Frontier.sh", "kept");
    doc.product->shortcut.reset();
    ASSERT_EQ(Run(GenerationChoice::Zip), GenerationOutcome::Done);
    EXPECT_TRUE(Has("System/Frontier.sh"));
}

}  // namespace
}  // namespace zpak
