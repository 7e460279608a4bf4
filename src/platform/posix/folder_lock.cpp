#include "platform/folder_lock.h"
#include "platform/lock_file_steps.h"

#include <cerrno>
#include <cstring>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
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

namespace lock_steps {

bool MakeFolder(const std::filesystem::path& folder, std::string& error)
{
    if (::mkdir(folder.c_str(), 0777) == 0 || errno == EEXIST)
        return true;
    error = std::strerror(errno);
    return false;
}

Step OpenLockFile(const std::filesystem::path& path, FileHandle& file, std::string& error)
{
    file = FileHandle(::open(path.c_str(), O_RDWR | O_CREAT | O_NOFOLLOW | O_CLOEXEC, 0644));
    if (file.IsOpen())
        return Step::Done;
    const int code = errno;
    error = std::strerror(code);
    return code == ENOENT ? Step::Again : Step::Failed;
}

Step LockOpenFile(FileHandle::Native file, std::string& error)
{
    // Ours, then the one that scripts and other tools take.
    if (!TryLockFile(file)) {
        const int code = errno;
        if (code == EAGAIN || code == EACCES)
            return Step::Busy;
        error = std::strerror(code);
        return Step::Failed;
    }
    if (::flock(file, LOCK_EX | LOCK_NB) != 0) {
        const int code = errno;
        if (code == EWOULDBLOCK)
            return Step::Busy;
        error = std::strerror(code);
        return Step::Failed;
    }
    return Step::Done;
}

bool NamesFile(const std::filesystem::path& path, FileHandle::Native file)
{
    struct stat held {};
    struct stat named {};
    return ::fstat(file, &held) == 0 && ::lstat(path.c_str(), &named) == 0 && held.st_dev == named.st_dev
        && held.st_ino == named.st_ino;
}

bool RemoveOpenFile(const std::filesystem::path& path, FileHandle::Native /*file*/, std::string& error)
{
    if (::unlink(path.c_str()) == 0)
        return true;
    error = std::strerror(errno);
    return false;
}

bool RemoveFolderIfEmpty(const std::filesystem::path& folder, std::string& error)
{
    if (::rmdir(folder.c_str()) == 0 || errno == ENOTEMPTY || errno == EEXIST || errno == ENOENT)
        return true;
    error = std::strerror(errno);
    return false;
}

}  // namespace lock_steps

}  // namespace zpak
