#pragma once

#include "platform/file_handle.h"

#include <cstdint>
#include <filesystem>
#include <string>

namespace zpak {

// An exclusive lock on a folder, held through a lock file of ours in it for
// as long as the object lives: a lock on its first byte, which Linux (an
// open-file-description lock) and Windows (LockFileEx) both take, and which
// conflict with each other when both run on one folder under Wine. The lock
// belongs to the open file, not to the process: a second lock in the same
// process conflicts too, and the system drops it when the holder dies,
// however it dies. The lock file stays: it is
// removed by nobody, since removing a lock file while somebody waits on it
// is what makes lock files unsafe.
class FolderLock {
public:
    enum class Result { Locked, Busy, Failed };

    FolderLock() = default;
    FolderLock(const FolderLock&) = delete;
    FolderLock& operator=(const FolderLock&) = delete;
    ~FolderLock();

    // Takes the lock without waiting. Busy: somebody else holds it. Failed:
    // the lock file cannot be opened (Error says why).
    Result Acquire(const std::filesystem::path& lockFile);
    void Release();

    bool Held() const { return file_.IsOpen(); }
    const std::string& Error() const { return error_; }

private:
    FileHandle file_;
    std::string error_;
};

// Takes an exclusive lock on one byte of an open file without waiting; false
// when somebody else holds one (or locking fails).
bool TryLockFile(FileHandle::Native file, std::uint64_t offset = 0);

}  // namespace zpak
