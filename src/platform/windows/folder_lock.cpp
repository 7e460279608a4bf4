#include "platform/folder_lock.h"

#include "platform/windows/windows_error.h"

#include <windows.h>

namespace zpak {

bool TryLockFile(FileHandle::Native file, std::uint64_t offset)
{
    OVERLAPPED where{};
    where.Offset = static_cast<DWORD>(offset);
    where.OffsetHigh = static_cast<DWORD>(offset >> 32);
    return ::LockFileEx(file, LOCKFILE_EXCLUSIVE_LOCK | LOCKFILE_FAIL_IMMEDIATELY, 0, 1, 0, &where) != 0;
}

FolderLock::~FolderLock()
{
    Release();
}

void FolderLock::Release()
{
    // Closing the handle drops the lock.
    file_.Close();
}

FolderLock::Result FolderLock::Acquire(const std::filesystem::path& lockFile)
{
    Release();
    error_.clear();
    // Shared for reading and writing, so that other runs can open the file
    // and find it locked; FILE_FLAG_OPEN_REPARSE_POINT: a link placed at the
    // lock file's name must not make us lock a file elsewhere.
    FileHandle file(::CreateFileW(lockFile.c_str(), GENERIC_READ | GENERIC_WRITE,
                                  FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                  OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT,
                                  nullptr));
    if (!file.IsOpen()) {
        error_ = WindowsErrorText(::GetLastError());
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
    return Result::Locked;
}

}  // namespace zpak
