#include "platform/file_read.h"

#include <cerrno>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace zpak {

namespace {

class FileHandle {
public:
    explicit FileHandle(const std::filesystem::path& file)
        : fd_(::open(file.c_str(), O_RDONLY | O_CLOEXEC))
    {
    }
    FileHandle(const FileHandle&) = delete;
    FileHandle& operator=(const FileHandle&) = delete;
    ~FileHandle()
    {
        if (fd_ >= 0)
            ::close(fd_);
    }

    int fd() const { return fd_; }

    bool IsRegular(struct stat& info) const
    {
        return fd_ >= 0 && ::fstat(fd_, &info) == 0 && S_ISREG(info.st_mode);
    }

private:
    int fd_;
};

}  // namespace

bool ReadWholeFile(const std::filesystem::path& file, std::string& content)
{
    FileHandle handle(file);
    struct stat info {};
    if (!handle.IsRegular(info))
        return false;

    // Read straight into the string; keep going past the size seen by fstat in
    // case the file grew meanwhile.
    std::size_t used = 0;
    content.resize(static_cast<std::size_t>(info.st_size) + 1);
    for (;;) {
        if (used == content.size())
            content.resize(content.size() * 2);
        const ssize_t got = ::read(handle.fd(), content.data() + used, content.size() - used);
        if (got == 0)
            break;
        if (got < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        used += static_cast<std::size_t>(got);
    }
    content.resize(used);
    return true;
}

bool IsReadableFile(const std::filesystem::path& file)
{
    struct stat info {};
    return FileHandle(file).IsRegular(info);
}

}  // namespace zpak
