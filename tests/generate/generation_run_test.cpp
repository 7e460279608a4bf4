#include "generate/generation_run.h"
#include "generate/package_journal.h"
#include "generate_fixture.h"
#include "platform/atomic_file.h"
#include "platform/cancel_flag.h"
#include "platform/file_operations.h"
#include "support/platform_skip.h"
#include "support/scoped_env.h"

#include <chrono>
#include <thread>

#ifndef _WIN32
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace zpak {
namespace {

namespace fs = std::filesystem;

// A stand-in packaging tool: records its arguments, its working directory,
// whether the game's manifest was set aside and any file of ours that a
// wildcard of System or of the game folder would see, and leaves files of
// its own behind as the real tool may.
constexpr const char* kTool = R"SH(#!/bin/sh
here=$(dirname "$0")
{
  echo "args:$#:$1:$2"
  echo "cwd:$(pwd)"
  if [ -e "$here/Manifest.ini" ]; then echo "manifest:present"; else echo "manifest:aside"; fi
  if [ -e "$here/zpak_manifest_backup.ini" ]; then echo "backup:present"; fi
  for f in "$here"/* "$here"/.??* "$here"/../* "$here"/../.??*; do
    case "$f" in *zpak_build*|*lock*|*journal*) [ -f "$f" ] && echo "seen:$f";; esac
  done
} > "$here/tool.log"
echo "tool's own" > "$here/Manifest.ini"
echo "tool's own" > "$here/manifest.int"
exit ${TOOL_EXIT:-0}
)SH";

// A packaging tool that says it has started, then waits until the test lets
// it go.
constexpr const char* kSlowTool = R"SH(#!/bin/sh
echo "tool's own" > manifest.ini
: > started
i=0
while [ ! -e go ] && [ $i -lt 400 ]; do sleep 0.05; i=$((i+1)); done
echo built > Frontier.zpack2
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

    // Waits (up to ten seconds) for the slow tool to start.
    bool ToolStarted() const
    {
        for (int i = 0; i < 200 && !Has("System/started"); ++i)
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        return Has("System/started");
    }
};

// The game's localized manifest in another letter case is set aside and put
// back under its own name; the tool's own files of those names go.
TEST_F(GenerationTest, PackageSetsTheGameManifestAsideAndRestoresIt)
{
    SKIP_ON_WINDOWS("runs a #!/bin/sh stand-in for the packaging tool");
    dir.Write("Vantor/System/manifest.INT", "game localized manifest");
    ASSERT_EQ(Run(GenerationChoice::Package), GenerationOutcome::Done);
    EXPECT_EQ(sink.messages,
              std::vector<std::string>{"The packaging tool finished without an "
                                       "error; it was asked to build Frontier.zpack2."});
    // The game's tool reads the manifest by its bare name: it runs in System.
    EXPECT_EQ(Read("System/tool.log"),
              "args:2:master:FrontierMOD\ncwd:" + Game("System").string()
                  + "\nmanifest:aside\nbackup:present\n");
    EXPECT_EQ(Read("System/Manifest.ini"), "game manifest");
    EXPECT_EQ(Read("System/manifest.INT"), "game localized manifest");
    EXPECT_FALSE(Has("System/manifest.int"));
    EXPECT_FALSE(Has("System/zpak_manifest_backup.ini"));
    EXPECT_FALSE(Has("System/zpak_manifest_backup.int"));
    EXPECT_TRUE(Has("System/FrontierMOD.ini"));
    EXPECT_TRUE(Has("System/Frontier.sh"));
}

// A manifest-only run keeps everything; a package needs neither the pair nor
// the Linux script any more, a zip needs the scripts only for a shortcut.
TEST_F(GenerationTest, CleanupDeletesWhatTheChoiceLeavesUnneeded)
{
    SKIP_ON_WINDOWS("runs a #!/bin/sh stand-in for the packaging tool");
    doc.product->cleanup = 1;
    doc.product->mac = 1;
    ASSERT_EQ(Run(GenerationChoice::ManifestOnly), GenerationOutcome::Done);
    ASSERT_EQ(sink.messages.size(), 1u);
    EXPECT_EQ(sink.messages[0].rfind("Successfully generated ", 0), 0u);
    EXPECT_TRUE(Has("System/FrontierMOD.ini"));
    EXPECT_FALSE(Has("System/tool.log"));

    ASSERT_EQ(Run(GenerationChoice::Package), GenerationOutcome::Done);
    EXPECT_FALSE(Has("System/FrontierMOD.ini"));
    EXPECT_FALSE(Has("System/FrontierMOD.int"));
    EXPECT_FALSE(Has("System/Frontier.sh"));
    EXPECT_TRUE(Has("System/Frontier_mac.sh"));
    EXPECT_EQ(Read("System/Manifest.ini"), "game manifest");

    ASSERT_EQ(Run(GenerationChoice::Zip), GenerationOutcome::Done);
    EXPECT_TRUE(Has("FrontierMOD.zip"));
    EXPECT_FALSE(Has("System/Frontier.sh"));
    EXPECT_FALSE(Has("System/Frontier_mac.sh"));
    dir.Write("Vantor/System/Frontier.sh", "kept");
    doc.product->shortcut.reset();
    ASSERT_EQ(Run(GenerationChoice::Zip), GenerationOutcome::Done);
    EXPECT_TRUE(Has("System/Frontier.sh"));
}

// Without the game's manifest, or with a backup in the way, nothing is set
// aside, overwritten or run.
TEST_F(GenerationTest, ManifestThatCannotBeSetAsideStopsBeforeTheTool)
{
    SKIP_ON_WINDOWS("runs a #!/bin/sh stand-in for the packaging tool");
    dir.Write("Vantor/System/zpak_manifest_backup.ini", "older backup");
    EXPECT_EQ(Run(GenerationChoice::Package), GenerationOutcome::Failed);
    EXPECT_EQ(Read("System/zpak_manifest_backup.ini"), "older backup");
    EXPECT_EQ(Read("System/Manifest.ini"), "game manifest");

    fs::remove(Game("System/zpak_manifest_backup.ini"));
    fs::remove(Game("System/Manifest.ini"));
    EXPECT_EQ(Run(GenerationChoice::Package), GenerationOutcome::Failed);
    EXPECT_EQ(sink.messages, std::vector<std::string>(2, "Could not back the default manifest.ini file."));
    EXPECT_FALSE(Has("System/tool.log"));
    EXPECT_TRUE(Has("System/FrontierMOD.ini"));
}

TEST_F(GenerationTest, ToolThatFailsOrIsMissingIsReportedAndTheManifestRestored)
{
    SKIP_ON_WINDOWS("runs a #!/bin/sh stand-in for the packaging tool");
    InstallTool("#!/bin/sh\nfor i in 1 2 3 4 5 6 7 8 9 10 11 12 13 14; do echo line $i; done\n"
                "echo 'no manifest found' >&2\nexit 3\n");
    EXPECT_EQ(Run(GenerationChoice::Package), GenerationOutcome::ToolFailed);
    ASSERT_EQ(sink.messages.size(), 1u);
    const std::string text = sink.messages[0];
    EXPECT_NE(text.find("failed with exit code 3."), std::string::npos) << text;
    // Only the last twelve lines.
    EXPECT_NE(text.find("wrote:\nline 4\nline 5\n"), std::string::npos) << text;
    EXPECT_TRUE(text.ends_with("line 14\nno manifest found")) << text;
    EXPECT_EQ(Read("System/Manifest.ini"), "game manifest");

    fs::remove(Game("System/MKR.exe"));
    sink.messages.clear();
    EXPECT_EQ(Run(GenerationChoice::Package), GenerationOutcome::ToolFailed);
    EXPECT_EQ(sink.messages, std::vector<std::string>{"Could not start MKR"});
    EXPECT_EQ(Read("System/Manifest.ini"), "game manifest");
    EXPECT_FALSE(Has("System/zpak_manifest_backup.ini"));
}

// A journal that cannot be read, or cannot be trusted, stops the run before
// anything is written or deleted; a run of a wizard that kept no journal left
// the manifest under its backup name.
TEST_F(GenerationTest, InterruptedRunIsRecoveredFirst)
{
    SKIP_ON_WINDOWS("runs a #!/bin/sh stand-in for the packaging tool");
    dir.Write("Vantor/System/Manifest.int", "game localized manifest");
    dir.Write("Vantor/System/Frontier.u", "the mod's code");
    PackageJournal foreign;
    foreign.folder = FolderIdentity(Game("Maps"));  // another folder
    foreign.run = "1";
    foreign.absent = {"Manifest.int"};
    PackageJournal strange;
    strange.folder = FolderIdentity(Game("System"));
    strange.run = "2";
    strange.absent = {"Frontier.u"};
    PackageJournal linked = strange;
    linked.absent.clear();
    linked.aside = {{"Manifest.ini", "outside"}};
    fs::create_symlink(dir / "elsewhere", Game("System/outside"));
    std::string edited = strange.Serialize();
    edited.replace(edited.find("Frontier.u"), 10, "Manifest.i");
    for (const std::string& journal :
         {std::string("half a jour"), foreign.Serialize(), strange.Serialize(), linked.Serialize(), edited}) {
        dir.Write("Vantor/.zpak_build/journal", journal);
        sink.messages.clear();
        EXPECT_EQ(Run(GenerationChoice::Package), GenerationOutcome::Failed) << journal;
        ASSERT_EQ(sink.messages.size(), 1u) << journal;
        EXPECT_NE(sink.messages[0].find(Game(".zpak_build/journal").string()
                                        + ", which an earlier package "
                                          "build left, cannot be used"),
                  std::string::npos)
            << sink.messages[0];
        EXPECT_FALSE(Has("System/FrontierMOD.ini"));
        EXPECT_EQ(Read("System/Manifest.ini"), "game manifest");
        EXPECT_EQ(Read("System/Manifest.int"), "game localized manifest");
        EXPECT_TRUE(Has("System/Frontier.u"));
        EXPECT_TRUE(fs::is_symlink(Game("System/outside")));
    }
    fs::remove_all(Game(".zpak_build"));
    fs::remove(Game("System/outside"));

    sink.messages.clear();
    fs::rename(Game("System/Manifest.ini"), Game("System/zpak_manifest_backup.ini"));
    ASSERT_EQ(Run(GenerationChoice::Package), GenerationOutcome::Done);
    ASSERT_EQ(sink.messages.size(), 2u);
    EXPECT_NE(sink.messages[0].find("restored"), std::string::npos);
    EXPECT_NE(Read("System/tool.log").find("manifest:aside"), std::string::npos);
    EXPECT_EQ(Read("System/Manifest.ini"), "game manifest");
}

// Journals of the first format, in System, carry no folder: one is acted on
// only while a backup it names is there; otherwise it only goes.
TEST_F(GenerationTest, FirstFormatJournalsAreHonoured)
{
    const std::string journal = "zpak build journal 1\naside\tManifest.ini\tzpak_manifest_backup.ini\n"
                                "absent\tManifest.int\ntool\t999999999\n";
    dir.Write("Vantor/System/zpak_build.journal", journal);
    dir.Write("Vantor/System/Manifest.int", "a file of this game");
    ASSERT_EQ(Run(GenerationChoice::ManifestOnly), GenerationOutcome::Done);
    EXPECT_EQ(Read("System/Manifest.int"), "a file of this game");
    EXPECT_FALSE(Has("System/zpak_build.journal"));

    fs::remove(Game("System/Manifest.int"));
    dir.Write("Vantor/System/zpak_build.journal", journal);
    fs::rename(Game("System/Manifest.ini"), Game("System/zpak_manifest_backup.ini"));
    dir.Write("Vantor/System/MANIFEST.INT", "tool's own");
    dir.Write("Vantor/System/manifest.ini", "tool's own");
    ASSERT_EQ(Run(GenerationChoice::ManifestOnly), GenerationOutcome::Done);
    EXPECT_EQ(Read("System/Manifest.ini"), "game manifest");
    EXPECT_EQ(test::FolderNames(Game("System")),
              (std::vector<std::string>{"Frontier.pkg", "Frontier.sh", "FrontierDefault.ini",
                                        "FrontierMOD.ini", "FrontierMOD.int", "MKR.exe", "Manifest.ini"}));
}

TEST_F(GenerationTest, SecondRunOnTheSameGameFolderIsRefused)
{
    SKIP_ON_WINDOWS("runs a #!/bin/sh stand-in for the packaging tool");
    InstallTool(kSlowTool);
    dir.Write("Vantor/System/Manifest.int", "game localized manifest");
    GenerationOutcome first = GenerationOutcome::Failed;
    RecordingSink firstSink;
    std::thread running([&] { first = RunGeneration(doc, GenerationChoice::Package, firstSink); });
    ASSERT_TRUE(ToolStarted());

    for (GenerationChoice choice :
         {GenerationChoice::Package, GenerationChoice::Zip, GenerationChoice::ManifestOnly}) {
        sink.messages.clear();
        EXPECT_EQ(Run(choice), GenerationOutcome::Failed);
        ASSERT_EQ(sink.messages.size(), 1u);
        EXPECT_TRUE(sink.messages[0].starts_with("Another build is using the game folder"));
    }
    EXPECT_FALSE(Has("FrontierMOD.zip"));
    EXPECT_TRUE(Has("System/zpak_manifest_backup.ini"));  // still the first run's

    dir.Write("Vantor/System/go", "");
    running.join();
    EXPECT_EQ(first, GenerationOutcome::Done);
    EXPECT_EQ(Read("System/Manifest.ini"), "game manifest");
    EXPECT_EQ(Read("System/Manifest.int"), "game localized manifest");
    EXPECT_EQ(test::FolderNames(Game("System")),
              (std::vector<std::string>{"Frontier.pkg", "Frontier.sh", "Frontier.zpack2",
                                        "FrontierDefault.ini", "FrontierMOD.ini", "FrontierMOD.int",
                                        "MKR.exe", "Manifest.ini", "Manifest.int", "go", "started"}));
    EXPECT_FALSE(Has(".zpak_build"));
}

// No lock, no run: a lock that cannot be made, or that a script holds with
// flock(2), stops every choice before anything is written. Afterwards
// nothing of ours is left in the game folder, whatever the outcome.
TEST_F(GenerationTest, NoLockNoRun)
{
    SKIP_ON_WINDOWS("runs a #!/bin/sh stand-in for the packaging tool");
    const std::vector<std::string> root = test::FolderNames(game);
    const std::vector<std::string> system = test::FolderNames(Game("System"));
    dir.Write("Vantor/.zpak_build", "a file where our folder goes");
    for (GenerationChoice choice :
         {GenerationChoice::Package, GenerationChoice::Zip, GenerationChoice::ManifestOnly}) {
        sink.messages.clear();
        EXPECT_EQ(Run(choice), GenerationOutcome::Failed);
        ASSERT_EQ(sink.messages.size(), 1u);
        EXPECT_NE(sink.messages[0].find(Game(".zpak_build/lock").string() + " cannot be created or locked"),
                  std::string::npos)
            << sink.messages[0];
        EXPECT_EQ(test::FolderNames(Game("System")), system);
    }
    fs::remove(Game(".zpak_build"));

#ifndef _WIN32
    const fs::path lockFile = dir.Write("Vantor/.zpak_build/lock", "");
    const int fd = ::open(lockFile.c_str(), O_RDONLY | O_CLOEXEC);
    ASSERT_EQ(::flock(fd, LOCK_EX), 0);
    sink.messages.clear();
    EXPECT_EQ(Run(GenerationChoice::Zip), GenerationOutcome::Failed);
    EXPECT_TRUE(sink.messages.at(0).starts_with("Another build is using the game folder"));
    ::close(fd);
    fs::remove_all(Game(".zpak_build"));
#endif

    // An earlier version's lock in System: honoured while held, else removed.
    dir.Write("Vantor/System/zpak_build.lock", "");
    for (GenerationChoice choice :
         {GenerationChoice::Package, GenerationChoice::Zip, GenerationChoice::ManifestOnly})
        EXPECT_EQ(Run(choice), GenerationOutcome::Done);
    const test::ScopedEnv failing("TOOL_EXIT", "3");
    EXPECT_EQ(Run(GenerationChoice::Package), GenerationOutcome::ToolFailed);
    EXPECT_EQ(test::FolderNames(game),
              (std::vector<std::string>{"FrontierMOD.zip", "Help", "Maps", "System"}));
    EXPECT_FALSE(Has("System/zpak_build.lock"));
}

// What a run killed while the tool ran leaves behind: the journal, the game's
// files under their backup names and the tool's own manifest files, in any
// letter case. The next run puts back exactly the game's files.
TEST_F(GenerationTest, KilledRunIsRecoveredOverTheToolsLeftovers)
{
    SKIP_ON_WINDOWS("runs a #!/bin/sh stand-in for the packaging tool");
    dir.Write("Vantor/System/Manifest.int", "game localized manifest");
    dir.Write("Vantor/System/manifest.ini", "game's other manifest");  // not set aside: kept
    PackageJournal journal;
    journal.aside = {{"Manifest.ini", "zpak_manifest_backup.ini"},
                     {"Manifest.int", "zpak_manifest_backup.int"}};
    journal.keep = {"manifest.ini"};
    journal.folder = FolderIdentity(Game("System"));
    journal.run = "1";
    dir.Write("Vantor/.zpak_build/journal", journal.Serialize());
    fs::rename(Game("System/Manifest.ini"), Game("System/zpak_manifest_backup.ini"));
    fs::rename(Game("System/Manifest.int"), Game("System/zpak_manifest_backup.int"));
    dir.Write("Vantor/System/MANIFEST.INI", "tool's own");
    dir.Write("Vantor/System/manifest.int", "tool's own");

    ASSERT_EQ(Run(GenerationChoice::ManifestOnly), GenerationOutcome::Done);
    EXPECT_NE(sink.messages.at(0).find("restored"), std::string::npos);
    EXPECT_EQ(Read("System/Manifest.ini"), "game manifest");
    EXPECT_EQ(Read("System/Manifest.int"), "game localized manifest");
    EXPECT_EQ(Read("System/manifest.ini"), "game's other manifest");
    EXPECT_FALSE(Has("System/MANIFEST.INI"));
    EXPECT_FALSE(Has("System/manifest.int"));
    EXPECT_FALSE(Has(".zpak_build"));
    EXPECT_FALSE(Has("System/zpak_manifest_backup.ini"));

    // Every later package run works again.
    sink.messages.clear();
    EXPECT_EQ(Run(GenerationChoice::Package), GenerationOutcome::Done);
    EXPECT_EQ(Read("System/Manifest.ini"), "game manifest");
    EXPECT_EQ(Read("System/manifest.ini"), "game's other manifest");
}

// A killed run leaves its temporary files beside the outputs it was writing.
// The next run removes those of every output the product has, whichever
// choice and settings left them (here the Mac script is not asked for), and
// keeps those of a writer still at work.
TEST_F(GenerationTest, RunRemovesTemporaryFilesThatKilledRunsOfAnyChoiceLeft)
{
    const std::vector<std::string> leftovers{"System/.FrontierMOD.ini.tmp-1",
                                             "System/.FrontierMOD.int.tmp-22",
                                             "System/.Frontier.sh.tmp-3",
                                             "System/.Frontier_mac.sh.tmp-4",
                                             ".FrontierMOD.zip.tmp-5",
                                             ".FrontierMOD.zip.sha256.tmp-6",
                                             "System/.Frontier.zpack2.sha256.tmp-7",
                                             ".zpak_build/.journal.tmp-8"};
    ASSERT_EQ(Run(GenerationChoice::ManifestOnly), GenerationOutcome::Done);
    const std::vector<std::string> root = test::FolderNames(game);
    const std::vector<std::string> system = test::FolderNames(Game("System"));
    const std::string manifest = Read("System/FrontierMOD.ini");

    for (const std::string& name : leftovers)
        dir.Write("Vantor/" + name, "left by a killed run");
    ASSERT_EQ(Run(GenerationChoice::ManifestOnly), GenerationOutcome::Done);
    EXPECT_EQ(test::FolderNames(game), root);
    EXPECT_EQ(test::FolderNames(Game("System")), system);
    EXPECT_EQ(Read("System/FrontierMOD.ini"), manifest);

    for (const std::string& name : leftovers)
        dir.Write("Vantor/" + name, "left by a killed run");
    AtomicFile live;  // another program saving the manifest meanwhile
    ASSERT_TRUE(live.Open(Game("System/FrontierMOD.ini")));
    std::vector<std::string> withLive = system;
    withLive.push_back(live.TempPath().filename().string());
    std::ranges::sort(withLive);
    ASSERT_EQ(Run(GenerationChoice::Zip), GenerationOutcome::Done);
    std::vector<std::string> withZip = root;
    withZip.emplace_back("FrontierMOD.zip");
    std::ranges::sort(withZip);
    EXPECT_EQ(test::FolderNames(game), withZip);
    EXPECT_EQ(test::FolderNames(Game("System")), withLive);
    EXPECT_EQ(Read("System/FrontierMOD.ini"), manifest);
}

// A link at an output's name is replaced; the file it points to is neither
// written nor made runnable.
TEST_F(GenerationTest, LinksAtOutputNamesAreReplacedNotWrittenThrough)
{
#ifdef _WIN32
    GTEST_SKIP() << "needs file modes and symbolic links";
#else
    const fs::path outside = dir.Write("outside/secret.txt", "keep me");
    ::chmod(outside.c_str(), 0600);
    for (const char* name : {"System/Frontier.sh", "System/FrontierMOD.ini", "FrontierMOD.zip"})
        fs::create_symlink(outside, Game(name));

    ASSERT_EQ(Run(GenerationChoice::ManifestOnly), GenerationOutcome::Done);
    ASSERT_EQ(Run(GenerationChoice::Zip), GenerationOutcome::Done);
    EXPECT_EQ(test::ReadFile(outside), "keep me");
    struct stat info {};
    ::stat(outside.c_str(), &info);
    EXPECT_EQ(info.st_mode & 07777, 0600u);
    for (const char* name : {"System/Frontier.sh", "System/FrontierMOD.ini", "FrontierMOD.zip"})
        EXPECT_FALSE(fs::is_symlink(Game(name))) << name;
    EXPECT_EQ(Read("System/Frontier.sh"), "#!/bin/sh\n\nvantor -log");
#endif
}

// Every failure that shows a message ends the run as failed.
TEST_F(GenerationTest, ReportedFailuresFailTheRun)
{
    SKIP_ON_WINDOWS("needs symbolic links");
    // A launch script that cannot be written: the old one is not packed.
    fs::create_directory(Game("System/Frontier.sh"));
    EXPECT_EQ(Run(GenerationChoice::Zip), GenerationOutcome::Failed);
    EXPECT_EQ(sink.messages,
              std::vector<std::string>{"Could not create the linux shell script "
                                       + Game("System/Frontier.sh").string()});
    EXPECT_FALSE(Has("FrontierMOD.zip"));
    fs::remove(Game("System/Frontier.sh"));

    // A folder that a wildcard must list and that cannot be read.
    fs::create_symlink("Loop", Game("Loop"));
    doc.groups[1]->AddFile("Loop\\*.map");
    sink.messages.clear();
    EXPECT_EQ(Run(GenerationChoice::Zip), GenerationOutcome::Failed);
    ASSERT_EQ(sink.messages.size(), 1u);
    EXPECT_EQ(sink.messages[0].rfind("The folder " + Game("Loop").string() + " cannot be read", 0), 0u)
        << sink.messages[0];
}

TEST_F(GenerationTest, CancelStopsTheToolAndPutsTheManifestBack)
{
    SKIP_ON_WINDOWS("runs a #!/bin/sh stand-in for the packaging tool");
    InstallTool(kSlowTool);
    CancelFlag cancel;
    GenerationHooks hooks;
    hooks.cancel = &cancel;
    GenerationOutcome outcome = GenerationOutcome::Done;
    std::thread running([&] { outcome = RunGeneration(doc, GenerationChoice::Package, sink, hooks); });
    ASSERT_TRUE(ToolStarted());
    cancel.Set();
    running.join();
    EXPECT_EQ(outcome, GenerationOutcome::Cancelled);
    EXPECT_NE(sink.messages.back().find("cancelled"), std::string::npos);
    EXPECT_FALSE(Has("System/Frontier.zpack2"));  // the tool did not get to the end
    EXPECT_FALSE(Has("System/manifest.ini"));
    EXPECT_EQ(Read("System/Manifest.ini"), "game manifest");
    EXPECT_FALSE(Has(".zpak_build"));
}

// Cancelled before the zip starts, or once its workers are packing: the
// half-written archive goes, the previous one stays.
TEST_F(GenerationTest, CancelledZipLeavesThePreviousArchive)
{
    ASSERT_EQ(Run(GenerationChoice::Zip), GenerationOutcome::Done);
    const std::string previous = Read("FrontierMOD.zip");
    const std::vector<std::string> system = test::FolderNames(Game("System"));
    for (const bool midway : {false, true}) {
        CancelFlag cancel;
        GenerationHooks hooks;
        hooks.cancel = &cancel;
        hooks.zipThreads = 2;
        if (midway)
            hooks.zipProgress = [&cancel](const ZipProgress& p) {
                if (p.filesDone > 0)
                    cancel.Set();
            };
        else
            cancel.Set();
        EXPECT_EQ(RunGeneration(doc, GenerationChoice::Zip, sink, hooks), GenerationOutcome::Cancelled)
            << midway;
        EXPECT_TRUE(cancel.IsSet()) << midway;
        EXPECT_EQ(Read("FrontierMOD.zip"), previous) << midway;
        EXPECT_EQ(test::FolderNames(game),
                  (std::vector<std::string>{"FrontierMOD.zip", "Help", "Maps", "System"}))
            << midway;
        EXPECT_EQ(test::FolderNames(Game("System")), system) << midway;
    }
}

}  // namespace
}  // namespace zpak
