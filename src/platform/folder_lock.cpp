#include "platform/folder_lock.h"

namespace zpak {

namespace {

// Attempts before giving up on a lock file that keeps being replaced.
constexpr int kAttempts = 100;

}  // namespace

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

}  // namespace zpak
