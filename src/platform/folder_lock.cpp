#include "platform/folder_lock.h"

#include <cerrno>
#include <cstring>

#include <fcntl.h>
#include <unistd.h>

namespace zpak {

bool TryLockFile(int fd)
{
    // An open-file-description lock on byte 0: unlike a classic POSIX lock it
    // is not shared by every descriptor of the process, and unlike flock it
    // works on network file systems.
    struct flock lock {};
    lock.l_type = F_WRLCK;
    lock.l_whence = SEEK_SET;
    lock.l_start = 0;
    lock.l_len = 1;
    return ::fcntl(fd, F_OFD_SETLK, &lock) == 0;
}

FolderLock::~FolderLock()
{
    Release();
}

void FolderLock::Release()
{
    if (fd_ >= 0) {
        ::close(fd_);
        fd_ = -1;
    }
}

FolderLock::Result FolderLock::Acquire(const std::filesystem::path& lockFile)
{
    Release();
    error_.clear();
    // O_NOFOLLOW: a link placed at the lock file's name must not make us
    // create or lock a file elsewhere.
    const int fd = ::open(lockFile.c_str(), O_RDWR | O_CREAT | O_NOFOLLOW | O_CLOEXEC, 0644);
    if (fd < 0) {
        error_ = std::strerror(errno);
        return Result::Failed;
    }
    if (!TryLockFile(fd)) {
        const int code = errno;
        ::close(fd);
        if (code == EAGAIN || code == EACCES)
            return Result::Busy;
        error_ = std::strerror(code);
        return Result::Failed;
    }
    fd_ = fd;
    return Result::Locked;
}

}  // namespace zpak
