#include "platform/folder_lock.h"

#include <cerrno>
#include <cstring>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace zpak {

namespace {

bool SameFile(const struct stat& a, const struct stat& b)
{
    return a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

}  // namespace

bool TryLockFile(FileHandle::Native file, std::uint64_t offset)
{
    // An open-file-description lock: unlike a classic POSIX lock it
    // is not shared by every descriptor of the process, and unlike flock it
    // works on network file systems.
    struct flock lock {};
    lock.l_type = F_WRLCK;
    lock.l_whence = SEEK_SET;
    lock.l_start = static_cast<off_t>(offset);
    lock.l_len = 1;
    return ::fcntl(file, F_OFD_SETLK, &lock) == 0;
}

bool RemoveAbandonedLockFile(const std::filesystem::path& lockFile)
{
    const FileHandle file(::open(lockFile.c_str(), O_RDWR | O_NOFOLLOW | O_CLOEXEC));
    if (!file.IsOpen())
        return true;
    if (!TryLockFile(file.Get()) || ::flock(file.Get(), LOCK_EX | LOCK_NB) != 0)
        return false;
    ::unlink(lockFile.c_str());  // still holding the lock
    return true;
}

FolderLock::~FolderLock()
{
    Release();
}

bool FolderLock::Release()
{
    if (!file_.IsOpen())
        return true;
    // Removed while still locked: whoever opened it meanwhile finds, once it
    // gets the lock, that the path no longer names it. One that is no longer
    // ours stays.
    const bool ours = StillHeld();
    const bool removed = ours && ::unlink(path_.c_str()) == 0;
    const int code = errno;
    file_.Close();
    if (!removed) {
        error_ = ours ? std::strerror(code) : "it was removed or replaced while the lock was held";
        return false;
    }
    // The folder stays while other files of ours, or another run's lock, are in it.
    if (::rmdir(path_.parent_path().c_str()) != 0 && errno != ENOTEMPTY && errno != EEXIST
        && errno != ENOENT) {
        error_ = std::strerror(errno);
        return false;
    }
    return true;
}

bool FolderLock::StillHeld() const
{
    struct stat held {};
    struct stat named {};
    return file_.IsOpen() && ::fstat(file_.Get(), &held) == 0 && ::lstat(path_.c_str(), &named) == 0
        && SameFile(held, named);
}

std::optional<FolderLock::Result> FolderLock::TryOnce()
{
    if (::mkdir(path_.parent_path().c_str(), 0777) != 0 && errno != EEXIST) {
        error_ = std::strerror(errno);
        return Result::Failed;
    }
    // O_NOFOLLOW: a link placed at the lock file's name must not make us
    // create or lock a file elsewhere.
    FileHandle file(::open(path_.c_str(), O_RDWR | O_CREAT | O_NOFOLLOW | O_CLOEXEC, 0644));
    if (!file.IsOpen()) {
        const int code = errno;
        error_ = std::strerror(code);
        if (code == ENOENT)
            return std::nullopt;  // the folder was removed by a run that let go
        return Result::Failed;
    }
    if (!TryLockFile(file.Get())) {
        const int code = errno;
        if (code == EAGAIN || code == EACCES)
            return Result::Busy;
        error_ = std::strerror(code);
        return Result::Failed;
    }
    if (::flock(file.Get(), LOCK_EX | LOCK_NB) != 0) {
        const int code = errno;
        if (code == EWOULDBLOCK)
            return Result::Busy;
        error_ = std::strerror(code);
        return Result::Failed;
    }
    file_ = std::move(file);
    if (StillHeld())
        return Result::Locked;
    file_.Close();
    return std::nullopt;
}

}  // namespace zpak
