#include "platform/folder_lock.h"
#include "platform/lock_file_steps.h"

#include "platform/windows/windows_error.h"

#include <windows.h>

namespace zpak {

namespace {

constexpr DWORD kShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;

bool IdentityOf(HANDLE file, BY_HANDLE_FILE_INFORMATION& info)
{
    return ::GetFileInformationByHandle(file, &info) != 0;
}

// Marks the open file to go when its last handle, and with it the lock, closes.
bool DeleteOnClose(HANDLE file)
{
    FILE_DISPOSITION_INFO dispose{TRUE};
    return ::SetFileInformationByHandle(file, FileDispositionInfo, &dispose, sizeof dispose) != 0;
}

}  // namespace

bool TryLockFile(FileHandle::Native file, std::uint64_t offset)
{
    OVERLAPPED where{};
    where.Offset = static_cast<DWORD>(offset);
    where.OffsetHigh = static_cast<DWORD>(offset >> 32);
    return ::LockFileEx(file, LOCKFILE_EXCLUSIVE_LOCK | LOCKFILE_FAIL_IMMEDIATELY, 0, 1, 0, &where) != 0;
}

bool RemoveAbandonedLockFile(const std::filesystem::path& lockFile)
{
    const FileHandle file(::CreateFileW(lockFile.c_str(), GENERIC_READ | GENERIC_WRITE | DELETE, kShareAll,
                                        nullptr, OPEN_EXISTING, FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
    if (!file.IsOpen())
        return true;
    if (!TryLockFile(file.Get()))
        return false;
    DeleteOnClose(file.Get());
    return true;
}

namespace lock_steps {

bool MakeFolder(const std::filesystem::path& folder, std::string& error)
{
    if (::CreateDirectoryW(folder.c_str(), nullptr) || ::GetLastError() == ERROR_ALREADY_EXISTS)
        return true;
    error = WindowsErrorText(::GetLastError());
    return false;
}

Step OpenLockFile(const std::filesystem::path& path, FileHandle& file, std::string& error)
{
    // Shared for deleting too, so that the holder can delete it while others
    // have it open; FILE_FLAG_OPEN_REPARSE_POINT: a link is not followed.
    file =
        FileHandle(::CreateFileW(path.c_str(), GENERIC_READ | GENERIC_WRITE | DELETE, kShareAll, nullptr,
                                 OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
    if (file.IsOpen())
        return Step::Done;
    const DWORD code = ::GetLastError();
    error = WindowsErrorText(code);
    // The folder was removed, or the file is being deleted, by a run that let go.
    if (code == ERROR_PATH_NOT_FOUND || code == ERROR_ACCESS_DENIED || code == ERROR_DELETE_PENDING)
        return Step::Again;
    return Step::Failed;
}

Step LockOpenFile(FileHandle::Native file, std::string& error)
{
    if (TryLockFile(file))
        return Step::Done;
    const DWORD code = ::GetLastError();
    if (code == ERROR_LOCK_VIOLATION || code == ERROR_SHARING_VIOLATION || code == ERROR_IO_PENDING)
        return Step::Busy;
    error = WindowsErrorText(code);
    return Step::Failed;
}

bool NamesFile(const std::filesystem::path& path, FileHandle::Native file)
{
    const FileHandle named(::CreateFileW(path.c_str(), FILE_READ_ATTRIBUTES, kShareAll, nullptr,
                                         OPEN_EXISTING, FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
    BY_HANDLE_FILE_INFORMATION held{};
    BY_HANDLE_FILE_INFORMATION found{};
    return named.IsOpen() && IdentityOf(file, held) && IdentityOf(named.Get(), found)
        && held.dwVolumeSerialNumber == found.dwVolumeSerialNumber
        && held.nFileIndexHigh == found.nFileIndexHigh && held.nFileIndexLow == found.nFileIndexLow;
}

bool RemoveOpenFile(const std::filesystem::path& /*path*/, FileHandle::Native file, std::string& error)
{
    // Deleted when the handle closes, which drops the lock.
    if (DeleteOnClose(file))
        return true;
    error = WindowsErrorText(::GetLastError());
    return false;
}

bool RemoveFolderIfEmpty(const std::filesystem::path& folder, std::string& error)
{
    if (::RemoveDirectoryW(folder.c_str()))
        return true;
    const DWORD code = ::GetLastError();
    if (code == ERROR_DIR_NOT_EMPTY || code == ERROR_FILE_NOT_FOUND || code == ERROR_PATH_NOT_FOUND
        || code == ERROR_SHARING_VIOLATION)
        return true;
    error = WindowsErrorText(code);
    return false;
}

}  // namespace lock_steps

}  // namespace zpak
