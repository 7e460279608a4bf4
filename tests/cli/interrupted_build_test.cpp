// zpakbuild as a separate process, killed or interrupted at the worst
// moments, or meeting a failing call; the next run must leave the game
// folder exactly as a clean run does.
#include "platform/folder_lock.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <map>
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

pid_t Start(const std::vector<std::string>& args, const std::vector<std::string>& extraEnv,
            const std::string& output = "/dev/null")
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
    posix_spawn_file_actions_addopen(&actions, 1, output.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    posix_spawn_file_actions_adddup2(&actions, 1, 2);
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

    // What of ours a game folder holds that no finished run leaves there:
    // temporary files, the folder of the lock and the journal, the game's
    // manifest under its backup name.
    static std::vector<std::string> LeftOfOurs(const fs::path& game)
    {
        std::vector<std::string> found;
        for (const fs::path& folder : {game, game / "System"}) {
            for (const std::string& name : test::FolderNames(folder)) {
                if (name.find(".tmp-") != std::string::npos || name == ".zpak_build"
                    || name.starts_with("zpak_"))
                    found.push_back(name);
            }
        }
        return found;
    }

    // The environment that kills zpakbuild before its file operation number `n`.
    // In a sanitizer build the sanitizer's runtime must let the shim go first.
    static std::vector<std::string> KilledAt(int n)
    {
        return {"LD_PRELOAD=" ZPAK_CRASH_SHIM, "ZPAK_CRASH_AFTER=" + std::to_string(n),
                "ASAN_OPTIONS=verify_asan_link_order=0:detect_leaks=0"};
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
            const int status = Wait(Start(Build(game, choice), KilledAt(n)));
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

// Everything a game folder holds, each file by its bytes; a zip by what
// Python's own reader finds in it, every entry checked (entry times follow
// the files', and the scripts are written anew by every run).
std::map<std::string, std::string> Contents(const fs::path& game)
{
    std::map<std::string, std::string> contents;
    for (const auto& entry : fs::recursive_directory_iterator(game)) {
        const std::string name = fs::relative(entry.path(), game).string();
        if (entry.is_directory()) {
            contents[name + "/"] = "";
        } else if (entry.path().extension() == ".zip") {
            const std::string command = "python3 -c \"import zipfile,sys; z=zipfile.ZipFile(sys.argv[1]); "
                                        "print(z.testzip(), [(i.filename, i.CRC, i.file_size) for i in "
                                        "z.infolist()])\" '"
                + entry.path().string() + "' 2>&1";
            std::string listing;
            FILE* pipe = ::popen(command.c_str(), "r");
            for (char buffer[4096]; pipe && std::fgets(buffer, sizeof buffer, pipe);)
                listing += buffer;
            if (pipe)
                ::pclose(pipe);
            contents[name] = listing;
        } else {
            contents[name] = test::ReadFile(entry.path());
        }
    }
    return contents;
}

// The names whose contents differ, or that only one side has.
std::string Differences(const std::map<std::string, std::string>& found,
                        const std::map<std::string, std::string>& expected)
{
    std::string names;
    for (const auto& [name, content] : found) {
        const auto other = expected.find(name);
        if (other == expected.end())
            names += " +" + name;
        else if (other->second != content)
            names += " ~" + name;
    }
    for (const auto& [name, content] : expected) {
        if (!found.count(name))
            names += " -" + name;
    }
    return names;
}

// The environment that makes call number `n` on `under` fail, naming the
// call in `report`.
std::vector<std::string> FailingCall(int n, const fs::path& under, const fs::path& report)
{
    return {std::string("LD_PRELOAD=") + ZPAK_CRASH_SHIM, "ZPAK_FAIL_AT=" + std::to_string(n),
            "ZPAK_FAIL_UNDER=" + under.string(), "ZPAK_FAIL_REPORT=" + report.string(),
            "ASAN_OPTIONS=verify_asan_link_order=0:detect_leaks=0"};
}

// A build of a choice whose calls fail one at a time.
struct FaultScenario {
    const char* name;
    std::string project;
    std::vector<std::string> args;  // after the game folder
    bool killedRunFirst;            // a package run killed while its tool ran
};

class FailingCallTest : public InterruptedBuildTest {
protected:
    std::vector<std::string> Command(const FaultScenario& scenario, const fs::path& game) const
    {
        std::vector<std::string> args{"build", scenario.project, "--game-folder", game.string()};
        args.insert(args.end(), scenario.args.begin(), scenario.args.end());
        return args;
    }

    // A game folder in `name`/Game (every one has the same name: the launch
    // scripts name it), with what a package run killed while its tool ran
    // leaves when the scenario asks for it.
    fs::path Prepare(const FaultScenario& scenario, const std::string& name)
    {
        fs::create_directories(dir / name);
        fs::path game = FreshGame(name + "/Game");
        if (!scenario.killedRunFirst)
            return game;
        const pid_t build = Start(Build(game, "--package"), {"SLOW=1"});
        for (int i = 0; i < 200 && !fs::exists(game / "System/started"); ++i)
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        ::kill(build, SIGKILL);
        Wait(build);
        dir.Write(name + "/Game/System/go", "");
        for (int i = 0; i < 200 && !fs::exists(game / "System/Frontier.zpack2"); ++i)
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        WaitForTheLock(game);
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
        fs::remove(game / "System/go");
        fs::remove(game / "System/started");
        return game;
    }

    // Makes every `stride`-th call fail in turn; counts the faults made.
    void Sweep(const FaultScenario& scenario, const std::string& tag, int stride, int& faults)
    {
        const fs::path reference = Prepare(scenario, "reference-" + tag);
        ASSERT_EQ(Wait(Start(Command(scenario, reference), {})), 0) << scenario.name;
        const auto clean = Contents(reference);
        bool finished = false;
        const int from = std::getenv("ZPAK_FROM_CALL") ? std::atoi(std::getenv("ZPAK_FROM_CALL")) : 1;
        for (int n = from; n < 5000 && !finished; n += stride) {
            const std::string name = "fault-" + tag + "-" + std::to_string(n);
            const fs::path game = Prepare(scenario, name);
            const fs::path report = dir / (name + ".report");
            const fs::path output = dir / (name + ".out");
            const int status =
                Wait(Start(Command(scenario, game), FailingCall(n, game, report), output.string()));
            finished = !fs::exists(report);
            const std::string said = test::ReadFile(output);
            const std::string where = std::string(scenario.name) + ", call " + std::to_string(n) + " ("
                + (finished ? "none" : test::ReadFile(report)) + ")";
            ASSERT_TRUE(WIFEXITED(status)) << where << ": " << said;
            if (WEXITSTATUS(status) == 0)
                EXPECT_EQ(Differences(Contents(game), clean), "") << where << " succeeded: " << said;
            else
                EXPECT_FALSE(said.empty()) << where << " failed silently";
            faults += finished ? 0 : 1;
            WaitForTheLock(game);
            const std::string again = dir.path().string() + "/" + name + ".again";
            EXPECT_EQ(Wait(Start(Command(scenario, game), {}, again)), 0)
                << where << ": " << test::ReadFile(again);
            EXPECT_EQ(Differences(Contents(game), clean), "") << where << ", run again";
            fs::remove_all(game.parent_path());
        }
        EXPECT_TRUE(finished) << scenario.name;
    }
};

// Killed at each file operation and followed by a run of another choice,
// which writes none of the files the killed run was writing: that run still
// leaves nothing of the killed one behind.
TEST_F(InterruptedBuildTest, KilledRunIsSweptByARunOfAnotherChoice)
{
    const std::string gameManifest = test::ReadFile(ZPAK_EXAMPLES_DIR "/demo-game/System/Manifest.ini");
    for (const auto& [killed, next] : {std::pair{"--package", "--zip"}, std::pair{"--zip", "--manifest"}}) {
        const std::string pair = std::string(killed) + " then " + next;
        bool finished = false;
        int littered = 0;  // kills that left something of ours behind
        for (int n = 0; n < 500 && !finished; ++n) {
            const fs::path game = FreshGame(std::string("swept") + killed + std::to_string(n));
            finished = WIFEXITED(Wait(Start(Build(game, killed), KilledAt(n))));
            WaitForTheLock(game);
            littered += LeftOfOurs(game).empty() ? 0 : 1;
            ASSERT_EQ(Wait(Start(Build(game, next), {})), 0) << pair << " after a kill at " << n;
            EXPECT_EQ(LeftOfOurs(game), std::vector<std::string>{}) << pair << " after a kill at " << n;
            EXPECT_EQ(test::ReadFile(game / "System/Manifest.ini"), gameManifest)
                << pair << " after a kill at " << n;
            fs::remove_all(game);
        }
        EXPECT_TRUE(finished) << pair;
        EXPECT_GT(littered, 5) << pair;
    }
}

// Makes each counted call of zpakbuild in the game folder fail in turn, for
// every choice, with the cleanup, and with a journal of a killed run to
// recover from. After each fault the run either fails with a message and a
// non-zero exit, or succeeds having made everything; either way one more run
// leaves what a clean run leaves.
TEST_F(FailingCallTest, EveryFailingCallIsAFailureOrHarmless)
{
    const std::string example = ZPAK_EXAMPLES_DIR "/frontier.zproj";
    const std::string cleanup =
        dir.Write("cleanup.zproj", test::ReadFile(example) + "cleanup=True\n").string();
    // Every n-th call: the whole sweep with ZPAK_EVERY_CALL set (one
    // scenario with ZPAK_SCENARIO=index, from a call with ZPAK_FROM_CALL).
#if defined(__SANITIZE_ADDRESS__)
    constexpr int kSample = 29;  // each run is slower there
#else
    constexpr int kSample = 13;
#endif
    const int stride = std::getenv("ZPAK_EVERY_CALL") ? 1 : kSample;
    const std::vector<FaultScenario> scenarios{
        {"package", example, {"--package"}, false},
        {"package with cleanup", cleanup, {"--package"}, false},
        {"zip with cleanup", cleanup, {"--zip", "--threads", "1"}, false},
        {"manifest", example, {"--manifest"}, false},
        {"recovery", example, {"--manifest"}, true},
    };
    const char* only = std::getenv("ZPAK_SCENARIO");
    int faults = 0;
    for (std::size_t s = 0; s < scenarios.size(); ++s) {
        if (!only || std::to_string(s) == only)
            Sweep(scenarios[s], std::to_string(s), stride, faults);
    }
    EXPECT_GT(faults * stride, only ? 0 : 1300);  // the calls the faults were drawn from
}

// `check` meeting a failing call: a file it could not list, examine or read
// is an error naming it, never a report as clean as a run without the fault.
TEST_F(InterruptedBuildTest, CheckNeverPassesOverAFailingCall)
{
    const fs::path game = FreshGame("Game");
    const std::vector<std::string> check{"check", ZPAK_EXAMPLES_DIR "/frontier.zproj", "--game-folder",
                                         game.string()};
    const fs::path clean = dir / "clean.out";
    ASSERT_EQ(Wait(Start(check, {}, clean.string())), 0);
    bool finished = false;
    int failures = 0;
    for (int n = 1; n < 2000 && !finished; ++n) {
        const fs::path report = dir / "call.report";
        const fs::path output = dir / "call.out";
        fs::remove(report);
        const int status = Wait(Start(check, FailingCall(n, game, report), output.string()));
        finished = !fs::exists(report);
        if (finished)
            break;
        const std::string where = "call " + std::to_string(n) + " (" + test::ReadFile(report) + ")";
        ASSERT_TRUE(WIFEXITED(status)) << where;
        const std::string said = test::ReadFile(output);
        if (WEXITSTATUS(status) == 0)
            EXPECT_EQ(said, test::ReadFile(clean)) << where << " passed";
        else
            EXPECT_NE(said.find(game.string()), std::string::npos) << where << ": " << said;
        failures += WEXITSTATUS(status) != 0 ? 1 : 0;
    }
    EXPECT_TRUE(finished);
    EXPECT_GT(failures, 10);  // the files of the project were looked at under the fault
}

// Every call on the packaging tool fails in turn, the read that tells a
// program of this system from a Windows one included: the run either fails
// with a message or runs the tool itself, never through Wine on a guess.
TEST_F(InterruptedBuildTest, ToolThatCannotBeReadIsNeverRunThroughWine)
{
    const fs::path wine = dir.Write("wine", "#!/bin/sh\n: > \"$0.ran\"\n");
    fs::permissions(wine, fs::perms::owner_all);
    int faults = 0;
    for (bool finished = false; !finished && faults < 100;) {
        const fs::path game = FreshGame("tool-fault");
        const fs::path report = dir / "tool-fault.report";
        fs::remove(report);
        fs::remove(dir / "wine.ran");
        std::vector<std::string> env = FailingCall(faults + 1, game / "System/MKR.exe", report);
        env.push_back("WINE=" + wine.string());
        const int status = Wait(Start(Build(game, "--package"), env, (dir / "tool-fault.out").string()));
        finished = !fs::exists(report);
        const std::string where = finished ? "no fault" : test::ReadFile(report);
        EXPECT_FALSE(fs::exists(dir / "wine.ran")) << where;
        ASSERT_TRUE(WIFEXITED(status)) << where;
        if (WEXITSTATUS(status) == 0)
            EXPECT_TRUE(fs::exists(game / "System/Frontier.zpack2")) << where;
        else
            EXPECT_NE(test::ReadFile(dir / "tool-fault.out"), "") << where;
        EXPECT_EQ(test::ReadFile(game / "System/Manifest.ini"),
                  test::ReadFile(ZPAK_EXAMPLES_DIR "/demo-game/System/Manifest.ini"))
            << where;
        faults += finished ? 0 : 1;
        fs::remove_all(game);
    }
    EXPECT_GT(faults, 2);
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
