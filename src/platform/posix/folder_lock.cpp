#include "platform/folder_lock.h"

#include <cerrno>
#include <cstring>

#include <fcntl.h>
#include <unistd.h>

namespace zpak {

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

FolderLock::~FolderLock()
{
    Release();
}

void FolderLock::Release()
{
    file_.Close();
}

FolderLock::Result FolderLock::Acquire(const std::filesystem::path& lockFile)
{
    Release();
    error_.clear();
    // O_NOFOLLOW: a link placed at the lock file's name must not make us
    // create or lock a file elsewhere.
    FileHandle file(::open(lockFile.c_str(), O_RDWR | O_CREAT | O_NOFOLLOW | O_CLOEXEC, 0644));
    if (!file.IsOpen()) {
        error_ = std::strerror(errno);
        return Result::Failed;
    }
    if (!TryLockFile(file.Get())) {
        const int code = errno;
        if (code == EAGAIN || code == EACCES)
            return Result::Busy;
        error_ = std::strerror(code);
        return Result::Failed;
    }
    file_ = std::move(file);
    return Result::Locked;
}

}  // namespace zpak
