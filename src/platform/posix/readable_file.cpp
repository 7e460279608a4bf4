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

std::optional<std::uint64_t> ReadableFile::Size() const
{
    struct stat info {};
    if (!IsOpen() || ::fstat(file_.Get(), &info) != 0)
        return std::nullopt;
    return static_cast<std::uint64_t>(info.st_size);
}

namespace {

// Calls `read(at, count, got)` until `size` bytes are in or the file ends.
template <typename Read> std::optional<std::size_t> FillBuffer(char* buffer, std::size_t size, Read read)
{
    std::size_t got = 0;
    while (got < size) {
        const ssize_t n = read(buffer + got, size - got, got);
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

}  // namespace

std::optional<std::size_t> ReadableFile::ReadFull(char* buffer, std::size_t size)
{
    return FillBuffer(buffer, size, [this](char* at, std::size_t count, std::size_t) {
        return ::read(file_.Get(), at, count);
    });
}

std::optional<std::size_t> ReadableFile::ReadFullAt(char* buffer, std::size_t size,
                                                    std::uint64_t offset) const
{
    return FillBuffer(buffer, size, [this, offset](char* at, std::size_t count, std::size_t got) {
        return ::pread(file_.Get(), at, count, static_cast<off_t>(offset + got));
    });
}

}  // namespace zpak
