#include "platform/atomic_file.h"
#include "platform/folder_lock.h"
#include "support/platform_skip.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

#ifndef _WIN32
#include <csignal>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace zpak {
namespace {

namespace fs = std::filesystem;

int FileCount(const fs::path& folder)
{
    int count = 0;
    for ([[maybe_unused]] const auto& entry : fs::directory_iterator(folder))
        ++count;
    return count;
}

#ifndef _WIN32
mode_t ModeOf(const fs::path& file)
{
    struct stat info {};
    ::stat(file.c_str(), &info);
    return info.st_mode & 07777;
}
#endif

TEST(AtomicFileTest, ReplacesContentKeepingModeAndFollowingLinks)
{
#ifdef _WIN32
    GTEST_SKIP() << "needs file modes and symbolic links";
#else
    test::TempDir dir;
    const fs::path real = dir.Write("real.zproj", "old content that is longer");
    ::chmod(real.c_str(), 0640);
    fs::create_symlink("real.zproj", dir / "link.zproj");

    std::string error;
    ASSERT_TRUE(WriteFileAtomically(dir / "link.zproj", "new", error)) << error;

    EXPECT_EQ(test::ReadFile(real), "new");
    EXPECT_TRUE(fs::is_symlink(dir / "link.zproj"));
    EXPECT_EQ(ModeOf(real), 0640u);
    EXPECT_EQ(FileCount(dir.path()), 2);
#endif
}

// A new file is written whole; a failed create leaves nothing behind.
TEST(AtomicFileTest, CreatesANewFileOrNothing)
{
    test::TempDir dir;
    std::string error;
    ASSERT_TRUE(WriteFileAtomically(dir / "new.zproj", std::string(100000, 'x'), error));
    EXPECT_EQ(test::ReadFile(dir / "new.zproj").size(), 100000u);
    EXPECT_EQ(FileCount(dir.path()), 1);

    EXPECT_FALSE(WriteFileAtomically(dir / "missing/new.zproj", "x", error));
    EXPECT_FALSE(error.empty());
    fs::create_directory(dir / "folder.zproj");
    EXPECT_FALSE(WriteFileAtomically(dir / "folder.zproj", "x", error));
    EXPECT_TRUE(fs::is_directory(dir / "folder.zproj"));
    EXPECT_EQ(test::FolderNames(dir.path()), (std::vector<std::string>{"folder.zproj", "new.zproj"}));
}

// A file size limit makes the write fail part of the way through, as a full
// disk would.
TEST(AtomicFileTest, WriteThatFailsHalfWayKeepsTheOldFile)
{
#ifdef _WIN32
    GTEST_SKIP() << "needs a file size limit (setrlimit)";
#else
    test::TempDir dir;
    const fs::path file = dir.Write("p.zproj", "the old project");

    rlimit saved{};
    ::getrlimit(RLIMIT_FSIZE, &saved);
    rlimit small = saved;
    small.rlim_cur = 4096;
    const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);

    std::string error;
    const bool written = WriteFileAtomically(file, std::string(1 << 20, 'y'), error);

    ::setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, oldHandler);

    EXPECT_FALSE(written);
    EXPECT_FALSE(error.empty());
    EXPECT_EQ(test::ReadFile(file), "the old project");
    EXPECT_EQ(FileCount(dir.path()), 1);
#endif
}

// A save removes the temporary files that killed saves of the same file
// left, and only those: a writer at work holds a lock on its own, so that a
// cleaner never takes it for an abandoned one.
TEST(AtomicFileTest, TemporaryFilesOfKilledWritersGoOthersStay)
{
    test::TempDir dir;
    const fs::path file = dir.Write("p.zproj", "old");
    AtomicFile live;  // a save at work
    ASSERT_TRUE(live.Open(file));
    dir.Write(".p.zproj.tmp-1234", "left by a killed save");
    dir.Write(".other.zproj.tmp-99", "another file's");

    std::string error;
    ASSERT_TRUE(WriteFileAtomically(file, "new", error)) << error;
    EXPECT_EQ(
        test::FolderNames(dir.path()),
        (std::vector<std::string>{".other.zproj.tmp-99", live.TempPath().filename().string(), "p.zproj"}));

    AtomicFile out;
    ASSERT_TRUE(out.Open(dir / "p.zproj"));
    EXPECT_EQ(RemoveStaleTempFiles(dir / "p.zproj"), 0);
    EXPECT_TRUE(fs::exists(out.TempPath()));
    out.Discard();
    EXPECT_EQ(FileCount(dir.path()), 3);
}

// One build per game folder: the lock is refused at once while another
// holder has it, even in the same process, and free again once it is
// released; letting go leaves neither the lock file nor its folder.
TEST(FolderLockTest, SecondHolderIsRefusedUntilTheFirstReleases)
{
    test::TempDir dir;
    const fs::path lockFile = dir / "ours/lock";
    FolderLock first;
    FolderLock second;
    ASSERT_EQ(first.Acquire(lockFile), FolderLock::Result::Locked);
    EXPECT_EQ(second.Acquire(lockFile), FolderLock::Result::Busy);
    first.Release();
    EXPECT_FALSE(fs::exists(dir / "ours"));
    EXPECT_EQ(second.Acquire(lockFile), FolderLock::Result::Locked);
    second.Release();
    EXPECT_EQ(FileCount(dir.path()), 0);

    // Where no lock file can be: a file in place of its folder, a folder in
    // place of the file, a link at its name.
    dir.Write("file", "");
    fs::create_directories(dir / "folder/lock");
    EXPECT_EQ(first.Acquire(dir / "file/lock"), FolderLock::Result::Failed);
    EXPECT_FALSE(first.Error().empty());
    EXPECT_EQ(first.Acquire(dir / "folder/lock"), FolderLock::Result::Failed);
#ifndef _WIN32
    fs::create_directories(dir / "linked");
    fs::create_symlink(dir / "elsewhere", dir / "linked/lock");
    EXPECT_EQ(first.Acquire(dir / "linked/lock"), FolderLock::Result::Failed);
    EXPECT_FALSE(fs::exists(dir / "elsewhere"));
#endif
}

// A lock file removed or replaced under its holder: the holder can tell, and
// a file that is no longer the held one is not removed on letting go.
// Where removing an open file waits for its last handle (Windows under
// Wine), the name stays the held file's meanwhile, and no second taker gets
// a lock of its own.
TEST(FolderLockTest, ReplacedLockFileIsNoticed)
{
    test::TempDir dir;
    const fs::path lockFile = dir / "ours/lock";
    FolderLock holder;
    ASSERT_EQ(holder.Acquire(lockFile), FolderLock::Result::Locked);
    EXPECT_TRUE(holder.StillHeld());
    std::error_code ec;
    fs::remove(lockFile, ec);
    FolderLock second;
    if (fs::exists(lockFile)) {
        EXPECT_TRUE(holder.StillHeld());
        EXPECT_NE(second.Acquire(lockFile), FolderLock::Result::Locked);
        EXPECT_TRUE(holder.Release());
        EXPECT_EQ(second.Acquire(lockFile), FolderLock::Result::Locked);
        return;
    }
    EXPECT_FALSE(holder.StillHeld());
    dir.Write("ours/lock", "somebody else's");
    EXPECT_FALSE(holder.StillHeld());
    EXPECT_FALSE(holder.Release());
    EXPECT_EQ(test::ReadFile(lockFile), "somebody else's");  // not ours to remove
}

#ifndef _WIN32
// Scripts lock with flock(2): a holder of that kind keeps a run out too.
TEST(FolderLockTest, FlockHolderIsNoticed)
{
    test::TempDir dir;
    const fs::path lockFile = dir.Write("ours/lock", "");
    const int fd = ::open(lockFile.c_str(), O_RDONLY | O_CLOEXEC);
    ASSERT_GE(fd, 0);
    ASSERT_EQ(::flock(fd, LOCK_EX), 0);
    FolderLock lock;
    EXPECT_EQ(lock.Acquire(lockFile), FolderLock::Result::Busy);
    ::close(fd);
    EXPECT_EQ(lock.Acquire(lockFile), FolderLock::Result::Locked);
}
#endif

}  // namespace
}  // namespace zpak
