#include "platform/folder_lock.h"

#include "platform/windows/windows_error.h"

#include <windows.h>

namespace zpak {

namespace {

constexpr DWORD kShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;

bool IdentityOf(HANDLE file, BY_HANDLE_FILE_INFORMATION& info)
{
    return ::GetFileInformationByHandle(file, &info) != 0;
}

bool SameFile(const BY_HANDLE_FILE_INFORMATION& a, const BY_HANDLE_FILE_INFORMATION& b)
{
    return a.dwVolumeSerialNumber == b.dwVolumeSerialNumber && a.nFileIndexHigh == b.nFileIndexHigh
        && a.nFileIndexLow == b.nFileIndexLow;
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
    FILE_DISPOSITION_INFO dispose{TRUE};  // gone when the handle, and with it the lock, closes
    ::SetFileInformationByHandle(file.Get(), FileDispositionInfo, &dispose, sizeof dispose);
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
    // Deleted while still locked: whoever opened it meanwhile finds, once it
    // gets the lock, that the path no longer names it. Closing the handle
    // drops the lock. One that is no longer ours stays.
    const bool ours = StillHeld();
    FILE_DISPOSITION_INFO dispose{TRUE};
    const bool removed =
        ours && ::SetFileInformationByHandle(file_.Get(), FileDispositionInfo, &dispose, sizeof dispose);
    const DWORD code = ::GetLastError();
    file_.Close();
    if (!removed) {
        error_ = ours ? WindowsErrorText(code) : "it was removed or replaced while the lock was held";
        return false;
    }
    // The folder stays while other files of ours, or another run's lock, are in it.
    if (!::RemoveDirectoryW(path_.parent_path().c_str())) {
        const DWORD folderCode = ::GetLastError();
        if (folderCode != ERROR_DIR_NOT_EMPTY && folderCode != ERROR_FILE_NOT_FOUND
            && folderCode != ERROR_PATH_NOT_FOUND && folderCode != ERROR_SHARING_VIOLATION) {
            error_ = WindowsErrorText(folderCode);
            return false;
        }
    }
    return true;
}

bool FolderLock::StillHeld() const
{
    if (!file_.IsOpen())
        return false;
    const FileHandle named(::CreateFileW(path_.c_str(), FILE_READ_ATTRIBUTES, kShareAll, nullptr,
                                         OPEN_EXISTING, FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
    BY_HANDLE_FILE_INFORMATION held{};
    BY_HANDLE_FILE_INFORMATION found{};
    return named.IsOpen() && IdentityOf(file_.Get(), held) && IdentityOf(named.Get(), found)
        && SameFile(held, found);
}

std::optional<FolderLock::Result> FolderLock::TryOnce()
{
    if (!::CreateDirectoryW(path_.parent_path().c_str(), nullptr)
        && ::GetLastError() != ERROR_ALREADY_EXISTS) {
        error_ = WindowsErrorText(::GetLastError());
        return Result::Failed;
    }
    // Shared for reading, writing and deleting, so that other runs can open
    // the file and find it locked, and the holder can delete it;
    // FILE_FLAG_OPEN_REPARSE_POINT: a link placed at the lock file's name
    // must not make us lock a file elsewhere.
    FileHandle file(::CreateFileW(path_.c_str(), GENERIC_READ | GENERIC_WRITE | DELETE, kShareAll, nullptr,
                                  OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT,
                                  nullptr));
    if (!file.IsOpen()) {
        const DWORD code = ::GetLastError();
        // The folder was removed, or the file is being deleted, by a run that let go.
        error_ = WindowsErrorText(code);
        if (code == ERROR_PATH_NOT_FOUND || code == ERROR_ACCESS_DENIED || code == ERROR_DELETE_PENDING)
            return std::nullopt;
        return Result::Failed;
    }
    if (!TryLockFile(file.Get())) {
        const DWORD code = ::GetLastError();
        if (code == ERROR_LOCK_VIOLATION || code == ERROR_SHARING_VIOLATION || code == ERROR_IO_PENDING)
            return Result::Busy;
        error_ = WindowsErrorText(code);
        return Result::Failed;
    }
    file_ = std::move(file);
    if (StillHeld())
        return Result::Locked;
    file_.Close();
    return std::nullopt;
}

}  // namespace zpak
