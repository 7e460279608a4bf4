// zpakbuild as a separate process, killed or interrupted at the worst
// moments; the next run must leave the game folder exactly as a clean run
// does.
#include "platform/folder_lock.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>

extern char** environ;

namespace zpak {
namespace {

namespace fs = std::filesystem;

// The game's tool stand-in: leaves its own manifest files in two letter
// cases, as the real one may; with SLOW set it waits for a "go" file.
constexpr const char* kTool = R"SH(#!/bin/sh
echo "tool's own" > manifest.ini
echo "tool's own" > MANIFEST.INT
if [ -n "$SLOW" ]; then
  : > started
  while [ ! -e go ]; do sleep 0.05; done
fi
echo built > Frontier.zpack2
)SH";

pid_t Start(const std::vector<std::string>& args, const std::vector<std::string>& extraEnv)
{
    std::vector<std::string> texts{ZPAK_ZPAKBUILD};
    texts.insert(texts.end(), args.begin(), args.end());
    std::vector<char*> argv;
    for (auto& text : texts)
        argv.push_back(text.data());
    argv.push_back(nullptr);
    std::vector<std::string> envTexts(extraEnv);
    for (char** e = environ; *e; ++e)
        envTexts.emplace_back(*e);
    std::vector<char*> envp;
    for (auto& text : envTexts)
        envp.push_back(text.data());
    envp.push_back(nullptr);

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    pid_t pid = -1;
    posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), envp.data());
    posix_spawn_file_actions_destroy(&actions);
    return pid;
}

int Wait(pid_t pid)
{
    int status = 0;
    ::waitpid(pid, &status, 0);
    return status;
}

class InterruptedBuildTest : public ::testing::Test {
protected:
    fs::path FreshGame(const std::string& name)
    {
        fs::path game = dir / name;
        fs::copy(ZPAK_EXAMPLES_DIR "/demo-game", game, fs::copy_options::recursive);
        const fs::path tool = game / "System/MKR.exe";
        fs::remove(tool);
        dir.Write(name + "/System/MKR.exe", kTool);
        fs::permissions(tool, fs::perms::owner_all);
        return game;
    }

    std::vector<std::string> Build(const fs::path& game, const char* choice) const
    {
        const std::string project = ZPAK_EXAMPLES_DIR "/frontier.zproj";
        return {"build", project, "--game-folder", game.string(), choice};
    }

    // What the game folder holds after a clean run: the names in the folder
    // and in System, and the game's manifest pair byte for byte.
    struct State {
        std::vector<std::string> root;
        std::vector<std::string> system;
        std::string manifest;
        std::string localized;
        bool operator==(const State&) const = default;
    };

    // A kill as the tool starts can leave it holding the game folder's lock a
    // moment longer; until it lets go, the next run is rightly refused.
    static void WaitForTheLock(const fs::path& game)
    {
        FolderLock lock;
        for (int i = 0; i < 100 && lock.Acquire(game / ".zpak_build/lock") == FolderLock::Result::Busy; ++i)
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }

    static State StateOf(const fs::path& game)
    {
        return {test::FolderNames(game), test::FolderNames(game / "System"),
                test::ReadFile(game / "System/Manifest.ini"), test::ReadFile(game / "System/Manifest.int")};
    }

    test::TempDir dir;
};

// Kills zpakbuild before each of its file operations in turn; after each
// kill, one more run must succeed and leave what a clean run leaves.
TEST_F(InterruptedBuildTest, KilledAtEveryFileOperationTheNextRunRecovers)
{
    for (const char* choice : {"--package", "--zip"}) {
        const fs::path reference = FreshGame(std::string("reference") + choice);
        ASSERT_EQ(Wait(Start(Build(reference, choice), {})), 0) << choice;
        const State clean = StateOf(reference);

        bool finished = false;
        int kills = 0;
        for (int n = 0; n < 500 && !finished; ++n) {
            const fs::path game = FreshGame(std::string("run") + choice + std::to_string(n));
            // In a sanitizer build the sanitizer's runtime must let the shim go first.
            const int status =
                Wait(Start(Build(game, choice),
                           {"LD_PRELOAD=" ZPAK_CRASH_SHIM, "ZPAK_CRASH_AFTER=" + std::to_string(n),
                            "ASAN_OPTIONS=verify_asan_link_order=0:detect_leaks=0"}));
            finished = WIFEXITED(status);
            if (!finished) {
                ASSERT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL) << n;
                ++kills;
            }
            WaitForTheLock(game);
            ASSERT_EQ(Wait(Start(Build(game, choice), {})), 0) << choice << " after a kill at " << n;
            EXPECT_EQ(StateOf(game), clean) << choice << " after a kill at " << n;
            fs::remove_all(game);
        }
        EXPECT_TRUE(finished) << choice;
        EXPECT_GT(kills, 5) << choice;
    }
}

// Killed while the tool runs, which then finishes on its own and leaves its
// files: the next run is refused while the tool lives, then recovers.
TEST_F(InterruptedBuildTest, KilledWhileTheToolRuns)
{
    const fs::path reference = FreshGame("reference");
    ASSERT_EQ(Wait(Start(Build(reference, "--package"), {})), 0);
    const fs::path game = FreshGame("game");
    const pid_t build = Start(Build(game, "--package"), {"SLOW=1"});
    for (int i = 0; i < 200 && !fs::exists(game / "System/started"); ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    ASSERT_TRUE(fs::exists(game / "System/started"));
    ::kill(build, SIGKILL);
    Wait(build);

    EXPECT_EQ(WEXITSTATUS(Wait(Start(Build(game, "--package"), {}))), 1);  // the tool still runs
    EXPECT_TRUE(fs::exists(game / "System/zpak_manifest_backup.ini"));

    dir.Write("game/System/go", "");
    for (int i = 0; i < 200 && !fs::exists(game / "System/Frontier.zpack2"); ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
    fs::remove(game / "System/go");
    fs::remove(game / "System/started");
    ASSERT_EQ(Wait(Start(Build(game, "--package"), {})), 0);
    EXPECT_EQ(StateOf(game), StateOf(reference));
}

// SIGINT and SIGTERM cancel: the tool is ended, the game's manifest put back,
// and the exit status tells which signal it was.
TEST_F(InterruptedBuildTest, InterruptCancelsTheBuild)
{
    const fs::path reference = FreshGame("reference");
    ASSERT_EQ(Wait(Start(Build(reference, "--manifest"), {})), 0);
    for (int signal : {SIGINT, SIGTERM}) {
        const fs::path game = FreshGame("game" + std::to_string(signal));
        const pid_t build = Start(Build(game, "--package"), {"SLOW=1"});
        for (int i = 0; i < 200 && !fs::exists(game / "System/started"); ++i)
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        ::kill(build, signal);
        const int status = Wait(build);
        ASSERT_TRUE(WIFEXITED(status)) << signal;
        EXPECT_EQ(WEXITSTATUS(status), 128 + signal);
        fs::remove(game / "System/started");
        EXPECT_EQ(StateOf(game), StateOf(reference)) << signal;
    }
}

}  // namespace
}  // namespace zpak
