#include "platform/atomic_file.h"

#include "platform/posix_file.h"

#include <cerrno>
#include <cstring>
#include <random>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace zpak {

namespace {

namespace fs = std::filesystem;

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

void SyncFolder(const fs::path& folder)
{
    const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        ::fsync(fd);  // best effort: the rename itself has already happened
        ::close(fd);
    }
}

}  // namespace

AtomicFile::~AtomicFile()
{
    Discard();
}

bool AtomicFile::Fail(int code)
{
    error_ = std::strerror(code);
    Discard();
    return false;
}

void AtomicFile::Discard()
{
    if (fd_ >= 0) {
        ::close(fd_);
        ::unlink(tempPath_.c_str());
        fd_ = -1;
    }
}

bool AtomicFile::Open(const fs::path& target)
{
    Discard();
    error_.clear();
    if (const int code = ResolveLinks(target, resolved_))
        return Fail(code);

    struct stat existing {};
    const bool exists = ::stat(resolved_.c_str(), &existing) == 0;
    if (exists && !S_ISREG(existing.st_mode))
        return Fail(S_ISDIR(existing.st_mode) ? EISDIR : EINVAL);

    std::random_device seed;
    std::mt19937_64 random(seed());
    const std::string name = resolved_.filename().string();
    for (int attempt = 0; attempt < 100 && fd_ < 0; ++attempt) {
        tempPath_ = FolderOf(resolved_) / ("." + name + ".tmp-" + std::to_string(random() % 100000000));
        // 0666 lets the umask decide, as for any new file.
        fd_ = ::open(tempPath_.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd_ < 0 && errno != EEXIST)
            return Fail(errno);
    }
    if (fd_ < 0)
        return Fail(EEXIST);
    if (exists)
        ::fchmod(fd_, existing.st_mode & 07777);
    return true;
}

bool AtomicFile::Write(std::string_view data)
{
    if (fd_ < 0)
        return false;
    if (const int code = WriteAll(fd_, data))
        return Fail(code);
    return true;
}

bool AtomicFile::Commit()
{
    if (fd_ < 0) {
        if (error_.empty())
            error_ = std::strerror(EBADF);
        return false;
    }
    if (::fsync(fd_) != 0)
        return Fail(errno);
    const int fd = fd_;
    fd_ = -1;
    if (::close(fd) != 0 || ::rename(tempPath_.c_str(), resolved_.c_str()) != 0) {
        const int code = errno;
        ::unlink(tempPath_.c_str());
        error_ = std::strerror(code);
        return false;
    }
    SyncFolder(FolderOf(resolved_));
    return true;
}

bool WriteFileAtomically(const fs::path& target, std::string_view content, std::string& error)
{
    AtomicFile file;
    const bool ok = file.Open(target) && file.Write(content) && file.Commit();
    error = file.Error();
    return ok;
}

}  // namespace zpak
