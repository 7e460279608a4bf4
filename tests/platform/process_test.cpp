#include "platform/cancel_flag.h"
#include "platform/process.h"
#include "support/platform_skip.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <chrono>
#include <thread>

namespace zpak {
namespace {

namespace fs = std::filesystem;

TEST(ProcessTest, RunsInTheGivenFolderWithItsOutputCaptured)
{
    SKIP_ON_WINDOWS("runs /bin/sh (the Windows tests start real Windows programs)");
    test::TempDir dir;
    std::string output;
    ProcessOptions options;
    options.workingDirectory = dir.path();
    options.output = [&](std::string_view chunk) { output += chunk; };
    long startedAs = 0;
    options.started = [&](const ProcessTag& tag) { startedAs = tag.id; };
    const ProcessResult result = RunProcess("/bin/sh", {"-c", "pwd; echo oops >&2; exit 4"}, options);
    EXPECT_TRUE(result.started);
    EXPECT_EQ(result.exitCode, 4);
    EXPECT_EQ(output, dir.path().string() + "\noops\n");
    EXPECT_GT(startedAs, 0);

    const ProcessResult missing = RunProcess(dir / "no-such-program", {}, options);
    EXPECT_FALSE(missing.started);
    EXPECT_FALSE(missing.startError.empty());
}

// Cancelling ends the whole group: a program that shrugs off SIGTERM gets
// SIGKILL five seconds later, and so does what it started.
TEST(ProcessTest, CancelEndsTheWholeGroup)
{
    SKIP_ON_WINDOWS("runs /bin/sh (the Windows tests start real Windows programs)");
    test::TempDir dir;
    CancelFlag cancel;
    ProcessOptions options;
    options.cancel = &cancel;
    options.workingDirectory = dir.path();
    std::thread canceller([&] {
        for (int i = 0; i < 200 && !fs::exists(dir / "child"); ++i)
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        cancel.Set();
    });
    ProcessTag group;
    options.started = [&](const ProcessTag& tag) { group = tag; };
    const ProcessResult result = RunProcess(
        "/bin/sh", {"-c", "trap '' TERM; (trap '' TERM; echo $$ > child; sleep 30) & sleep 30"}, options);
    canceller.join();
    EXPECT_TRUE(result.cancelled);
    EXPECT_EQ(result.exitCode, 128 + 9);  // SIGTERM was ignored
    // Nothing of the group is left, once the kernel has finished them off.
    for (int i = 0; i < 100 && ProcessStillRuns(group); ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    EXPECT_FALSE(ProcessStillRuns(group));
}

}  // namespace
}  // namespace zpak
