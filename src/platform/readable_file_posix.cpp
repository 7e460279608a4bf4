#include "platform/readable_file.h"

#include <cerrno>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace zpak {

ReadableFile::ReadableFile(const std::filesystem::path& file)
    : file_(::open(file.c_str(), O_RDONLY | O_CLOEXEC))
{
}

bool ReadableFile::IsRegular() const
{
    // A folder opens for reading here; on Windows it never opens as a file.
    struct stat info {};
    return IsOpen() && ::fstat(file_.Get(), &info) == 0 && S_ISREG(info.st_mode);
}

std::int64_t ReadableFile::Size() const
{
    struct stat info {};
    return IsOpen() && ::fstat(file_.Get(), &info) == 0 ? static_cast<std::int64_t>(info.st_size) : -1;
}

std::optional<std::size_t> ReadableFile::ReadFull(char* buffer, std::size_t size)
{
    std::size_t got = 0;
    while (got < size) {
        const ssize_t n = ::read(file_.Get(), buffer + got, size - got);
        if (n == 0)
            break;
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return std::nullopt;
        }
        got += static_cast<std::size_t>(n);
    }
    return got;
}

}  // namespace zpak
