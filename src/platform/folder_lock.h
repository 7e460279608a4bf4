#pragma once

#include <filesystem>
#include <string>

namespace zpak {

// An exclusive lock on a folder, held through a lock file of ours in it for
// as long as the object lives. The lock belongs to the open file, not to the
// process: a second lock in the same process conflicts too, and the kernel
// drops it when the holder dies, however it dies. The lock file stays: it is
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

    bool Held() const { return fd_ >= 0; }
    const std::string& Error() const { return error_; }

private:
    int fd_ = -1;
    std::string error_;
};

// Takes an exclusive lock on an open file without waiting; false when
// somebody else holds one (or locking fails).
bool TryLockFile(int fd);

}  // namespace zpak
