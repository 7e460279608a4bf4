#include "platform/atomic_file.h"

#include "platform/folder_lock.h"

#include <cerrno>
#include <cstring>
#include <random>

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace zpak {

namespace {

namespace fs = std::filesystem;

constexpr std::string_view kTempMarker = ".tmp-";

// Writes all of `data` to `fd`, going on after interrupted and partial
// writes. 0, or the errno of the failure.
int WriteAll(int fd, std::string_view data)
{
    while (!data.empty()) {
        const ssize_t written = ::write(fd, data.data(), data.size());
        if (written < 0) {
            if (errno == EINTR)
                continue;
            return errno;
        }
        data.remove_prefix(static_cast<std::size_t>(written));
    }
    return 0;
}

// Follows a chain of symlinks to the path that finally names a file (which may
// not exist yet). Relative links are resolved against the link's own folder.
int ResolveLinks(fs::path path, fs::path& resolved)
{
    for (int hops = 0; hops < 40; ++hops) {
        std::error_code ec;
        if (!fs::is_symlink(fs::symlink_status(path, ec))) {
            resolved = path;
            return 0;
        }
        fs::path link = fs::read_symlink(path, ec);
        if (ec)
            return ec.value();
        path = link.is_absolute() ? link : path.parent_path() / link;
    }
    return ELOOP;
}

fs::path FolderOf(const fs::path& file)
{
    return file.has_parent_path() ? file.parent_path() : fs::path(".");
}

std::string TempPrefix(const fs::path& target)
{
    return "." + target.filename().string() + std::string(kTempMarker);
}

void SyncFolder(const fs::path& folder)
{
    const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        ::fsync(fd);  // best effort: the rename itself has already happened
        ::close(fd);
    }
}

// A temporary file whose lock can be taken has no writer any more.
bool RemoveIfAbandoned(const fs::path& file)
{
    const FileHandle handle(::open(file.c_str(), O_RDWR | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC));
    struct stat info {};
    return handle.IsOpen() && ::fstat(handle.Get(), &info) == 0 && S_ISREG(info.st_mode)
        && TryLockFile(handle.Get()) && ::unlink(file.c_str()) == 0;  // still holding the lock
}

}  // namespace

bool AtomicFile::Fail(int code)
{
    error_ = std::strerror(code);
    Discard();
    return false;
}

void AtomicFile::Discard()
{
    if (file_.IsOpen()) {
        ::unlink(tempPath_.c_str());
        file_.Close();
    }
}

bool AtomicFile::Open(const fs::path& target, const AtomicFileOptions& options)
{
    Discard();
    error_.clear();
    if (!options.followLinks)
        resolved_ = target;
    else if (const int code = ResolveLinks(target, resolved_))
        return Fail(code);

    RemoveStaleTempFiles(resolved_);
    return CreateTemp(options);
}

bool AtomicFile::CreateTemp(const AtomicFileOptions& options)
{
    struct stat existing {};
    // Without following links, a link at the target counts as no file: it is replaced.
    const bool exists = ::lstat(resolved_.c_str(), &existing) == 0 && !S_ISLNK(existing.st_mode);
    if (exists && !S_ISREG(existing.st_mode))
        return Fail(S_ISDIR(existing.st_mode) ? EISDIR : EINVAL);

    std::random_device seed;
    std::mt19937_64 random(seed());
    const std::string prefix = TempPrefix(resolved_);
    const auto mode = static_cast<mode_t>(options.newFileMode & 07777);
    for (int attempt = 0; attempt < 100 && !file_.IsOpen(); ++attempt) {
        tempPath_ = FolderOf(resolved_) / (prefix + std::to_string(random() % 100000000));
        FileHandle file(::open(tempPath_.c_str(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, mode));
        if (!file.IsOpen()) {
            if (errno != EEXIST)
                return Fail(errno);
            continue;
        }
        // A cleaner may have taken the new file for an abandoned one between
        // its creation and our lock; then it is gone (no links) or still
        // locked by the cleaner, and we try another name.
        struct stat info {};
        if (!TryLockFile(file.Get())) {
            const int code = errno;
            if (code == EAGAIN || code == EACCES)
                continue;  // a cleaner holds it, and removes it
            ::unlink(tempPath_.c_str());
            return Fail(code);
        }
        if (::fstat(file.Get(), &info) != 0) {
            const int code = errno;
            ::unlink(tempPath_.c_str());
            return Fail(code);
        }
        if (info.st_nlink > 0)  // else a cleaner removed it
            file_ = std::move(file);
    }
    if (!file_.IsOpen())
        return Fail(EEXIST);
    if (exists) {
        const mode_t runBits = mode & 0111 & ~existing.st_mode;
        ::fchmod(file_.Get(), (existing.st_mode & 07777) | runBits);
    }
    return true;
}

bool AtomicFile::Write(std::string_view data)
{
    if (!file_.IsOpen())
        return false;
    if (const int code = WriteAll(file_.Get(), data))
        return Fail(code);
    return true;
}

bool AtomicFile::Commit()
{
    if (!file_.IsOpen()) {
        if (error_.empty())
            error_ = std::strerror(EBADF);
        return false;
    }
    // Renamed while still open and locked: a cleaner never sees it unlocked
    // under its temporary name.
    if (::fsync(file_.Get()) != 0 || ::rename(tempPath_.c_str(), resolved_.c_str()) != 0)
        return Fail(errno);
    if (!file_.Close()) {
        error_ = std::strerror(errno);
        return false;
    }
    SyncFolder(FolderOf(resolved_));
    return true;
}

int RemoveStaleTempFiles(const fs::path& target)
{
    const fs::path folder = FolderOf(target);
    const std::string prefix = TempPrefix(target);
    DIR* dir = ::opendir(folder.c_str());
    if (!dir)
        return 0;
    std::vector<std::string> candidates;
    while (const dirent* entry = ::readdir(dir)) {
        if (std::string_view(entry->d_name).starts_with(prefix))
            candidates.emplace_back(entry->d_name);
    }
    ::closedir(dir);
    int removed = 0;
    for (const std::string& name : candidates)
        removed += RemoveIfAbandoned(folder / name) ? 1 : 0;
    return removed;
}

}  // namespace zpak
