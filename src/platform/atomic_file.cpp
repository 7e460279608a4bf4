#include "platform/atomic_file.h"

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
bool ResolveLinks(fs::path path, fs::path& resolved, std::string& error)
{
    for (int hops = 0; hops < 40; ++hops) {
        std::error_code ec;
        if (!fs::is_symlink(fs::symlink_status(path, ec))) {
            resolved = path;
            return true;
        }
        fs::path link = fs::read_symlink(path, ec);
        if (ec) {
            error = ec.message();
            return false;
        }
        path = link.is_absolute() ? link : path.parent_path() / link;
    }
    error = std::strerror(ELOOP);
    return false;
}

int CreateExclusive(const fs::path& folder, const std::string& name, fs::path& tempPath)
{
    std::random_device seed;
    std::mt19937_64 random(seed());
    for (int attempt = 0; attempt < 100; ++attempt) {
        tempPath = folder / ("." + name + ".tmp-" + std::to_string(random() % 100000000));
        // 0666 lets the umask decide, as for any new file.
        const int fd = ::open(tempPath.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd >= 0 || errno != EEXIST)
            return fd;
    }
    return -1;
}

bool WriteAll(int fd, std::string_view content)
{
    const char* data = content.data();
    std::size_t left = content.size();
    while (left > 0) {
        const ssize_t written = ::write(fd, data, left);
        if (written < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        data += written;
        left -= static_cast<std::size_t>(written);
    }
    return true;
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

bool WriteFileAtomically(const fs::path& target, std::string_view content, std::string& error)
{
    fs::path resolved;
    if (!ResolveLinks(target, resolved, error))
        return false;

    const fs::path folder = resolved.has_parent_path() ? resolved.parent_path() : fs::path(".");
    fs::path tempPath;
    const int fd = CreateExclusive(folder, resolved.filename().string(), tempPath);
    if (fd < 0) {
        error = std::strerror(errno);
        return false;
    }

    auto fail = [&](int code) {
        ::close(fd);
        ::unlink(tempPath.c_str());
        error = std::strerror(code);
        return false;
    };

    struct stat existing {};
    if (::stat(resolved.c_str(), &existing) == 0) {
        if (!S_ISREG(existing.st_mode))
            return fail(S_ISDIR(existing.st_mode) ? EISDIR : EINVAL);
        ::fchmod(fd, existing.st_mode & 07777);
    }

    if (!WriteAll(fd, content) || ::fsync(fd) != 0)
        return fail(errno);
    if (::close(fd) != 0) {
        const int code = errno;
        ::unlink(tempPath.c_str());
        error = std::strerror(code);
        return false;
    }
    if (::rename(tempPath.c_str(), resolved.c_str()) != 0) {
        const int code = errno;
        ::unlink(tempPath.c_str());
        error = std::strerror(code);
        return false;
    }
    SyncFolder(folder);
    return true;
}

}  // namespace zpak
