#include "platform/folder_lock.h"

#include "platform/lock_file_steps.h"

namespace zpak {

namespace {

// Attempts before giving up on a lock file that keeps being replaced.
constexpr int kAttempts = 100;

}  // namespace

FolderLock::~FolderLock()
{
    Release();
}

FolderLock::Result FolderLock::Acquire(const std::filesystem::path& lockFile)
{
    Release();
    error_.clear();
    path_ = lockFile;
    for (int attempt = 0; attempt < kAttempts; ++attempt) {
        if (const auto result = TryOnce())
            return *result;
    }
    if (error_.empty())
        error_ = "the lock file keeps being removed or replaced";
    return Result::Failed;
}

bool FolderLock::Release()
{
    if (!file_.IsOpen())
        return true;
    // Removed while still locked: whoever opened it meanwhile finds, once it
    // gets the lock, that the path no longer names it. One that is no longer
    // ours stays.
    const bool ours = StillHeld();
    std::string error = "it was removed or replaced while the lock was held";
    const bool removed = ours && lock_steps::RemoveOpenFile(path_, file_.Get(), error);
    file_.Close();
    if (!removed) {
        error_ = error;
        return false;
    }
    // The folder stays while other files of ours, or another run's lock, are in it.
    return lock_steps::RemoveFolderIfEmpty(path_.parent_path(), error_);
}

bool FolderLock::StillHeld() const
{
    return file_.IsOpen() && lock_steps::NamesFile(path_, file_.Get());
}

std::optional<FolderLock::Result> FolderLock::TryOnce()
{
    using lock_steps::Step;
    const auto resultOf = [](Step step) -> std::optional<Result> {
        if (step == Step::Again)
            return std::nullopt;
        return step == Step::Busy ? Result::Busy : Result::Failed;
    };
    if (!lock_steps::MakeFolder(path_.parent_path(), error_))
        return Result::Failed;
    FileHandle file;
    if (const Step opened = lock_steps::OpenLockFile(path_, file, error_); opened != Step::Done)
        return resultOf(opened);
    if (const Step locked = lock_steps::LockOpenFile(file.Get(), error_); locked != Step::Done)
        return resultOf(locked);
    file_ = std::move(file);
    if (StillHeld())
        return Result::Locked;
    file_.Close();
    return std::nullopt;
}

}  // namespace zpak
