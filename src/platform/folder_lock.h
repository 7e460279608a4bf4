#pragma once

#include "platform/file_handle.h"

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>

namespace zpak {

// An exclusive lock on a folder, held through a lock file of ours for as long
// as the object lives. Taken on the file's first byte as an
// open-file-description lock (Linux) or with LockFileEx (Windows), which
// conflict with each other when both run on one folder under Wine; on Linux
// also with flock(2), which scripts and other tools take. The lock belongs to
// the open file, not to the process: a second lock in the same process
// conflicts too, and the system drops it when the holder dies, however it
// dies.
//
// The lock file and its folder, which holds only files of ours, are made
// when the lock is taken and removed when it is let go, so that nothing of
// ours stays behind. Removing a lock
// file that somebody else has opened and waits to lock is safe because every
// taker checks, once it holds its lock, that the path still names the file it
// locked, and starts again when it does not.
class FolderLock {
public:
    enum class Result { Locked, Busy, Failed };

    FolderLock() = default;
    FolderLock(const FolderLock&) = delete;
    FolderLock& operator=(const FolderLock&) = delete;
    ~FolderLock();

    // Takes the lock without waiting, making the lock file's folder when it
    // is missing. Busy: somebody else holds it. Failed: the lock cannot be
    // taken (Error says why).
    Result Acquire(const std::filesystem::path& lockFile);
    // Removes the lock file, then its folder when nothing else is left in
    // it, and lets go. False when the lock file, or its folder, had to stay
    // (Error says why).
    bool Release();

    bool Held() const { return file_.IsOpen(); }
    // False when the lock file was removed or replaced while it was held:
    // somebody else may then hold a lock of their own.
    bool StillHeld() const;
    const std::string& Error() const { return error_; }

private:
    // One attempt: Busy, Failed, Locked, or nothing when the path no longer
    // names the file that was locked (try again).
    std::optional<Result> TryOnce();

    std::filesystem::path path_;
    FileHandle file_;
    std::string error_;
};

// Removes a lock file that nobody holds a lock on; false when somebody does.
bool RemoveAbandonedLockFile(const std::filesystem::path& lockFile);

// Takes an exclusive lock on one byte of an open file without waiting; false
// when somebody else holds one (or locking fails).
bool TryLockFile(FileHandle::Native file, std::uint64_t offset = 0);

}  // namespace zpak
