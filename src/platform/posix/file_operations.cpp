#include "platform/file_operations.h"

#include <cerrno>
#include <cstdio>
#include <string>

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>

namespace zpak {

bool MoveFileNoReplace(const std::filesystem::path& from, const std::filesystem::path& to)
{
#if defined(SYS_renameat2)
    constexpr unsigned kNoReplace = 1;  // RENAME_NOREPLACE
    if (::syscall(SYS_renameat2, AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), kNoReplace) == 0)
        return true;
    if (errno != EINVAL && errno != ENOSYS)
        return false;
#endif
    // File systems without renameat2: a hard link fails when the target exists.
    if (::link(from.c_str(), to.c_str()) != 0)
        return false;
    ::unlink(from.c_str());
    return true;
}

bool DeleteFileAt(const std::filesystem::path& file)
{
    struct stat info {};
    if (::lstat(file.c_str(), &info) != 0 || S_ISDIR(info.st_mode))
        return false;
    return ::unlink(file.c_str()) == 0;
}

bool PathExists(const std::filesystem::path& path)
{
    struct stat info {};
    return ::lstat(path.c_str(), &info) == 0;
}

PathState StateOfPath(const std::filesystem::path& path)
{
    struct stat info {};
    if (::lstat(path.c_str(), &info) == 0)
        return PathState::Present;
    return errno == ENOENT || errno == ENOTDIR ? PathState::Absent : PathState::Unknown;
}

std::string FolderIdentity(const std::filesystem::path& folder)
{
    struct stat info {};
    if (::stat(folder.c_str(), &info) != 0 || !S_ISDIR(info.st_mode))
        return {};
    return std::to_string(info.st_dev) + ":" + std::to_string(info.st_ino);
}

}  // namespace zpak
