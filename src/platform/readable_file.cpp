#include "platform/readable_file.h"

#include <cerrno>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace zpak {

namespace {

// Calls `read(at, count, got)` until `size` bytes are in or the file ends;
// the count read, or -1 on an error.
template <typename Read> long FillBuffer(char* buffer, std::size_t size, Read read)
{
    std::size_t got = 0;
    while (got < size) {
        const ssize_t n = read(buffer + got, size - got, got);
        if (n == 0)
            break;
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return -1;
        }
        got += static_cast<std::size_t>(n);
    }
    return static_cast<long>(got);
}

}  // namespace

ReadableFile::ReadableFile(const std::filesystem::path& file)
    : fd_(::open(file.c_str(), O_RDONLY | O_CLOEXEC))
{
}

ReadableFile::~ReadableFile()
{
    if (fd_ >= 0)
        ::close(fd_);
}

bool ReadableFile::IsRegular() const
{
    struct stat info {};
    return fd_ >= 0 && ::fstat(fd_, &info) == 0 && S_ISREG(info.st_mode);
}

std::uint64_t ReadableFile::Size() const
{
    struct stat info {};
    return fd_ >= 0 && ::fstat(fd_, &info) == 0 ? static_cast<std::uint64_t>(info.st_size) : 0;
}

long ReadableFile::ReadFull(char* buffer, std::size_t size)
{
    return FillBuffer(buffer, size,
                      [this](char* at, std::size_t count, std::size_t) { return ::read(fd_, at, count); });
}

long ReadableFile::ReadFullAt(char* buffer, std::size_t size, std::uint64_t offset) const
{
    return FillBuffer(buffer, size, [this, offset](char* at, std::size_t count, std::size_t got) {
        return ::pread(fd_, at, count, static_cast<off_t>(offset + got));
    });
}

bool ReadWholeFile(const std::filesystem::path& file, std::string& content)
{
    ReadableFile input(file);
    struct stat info {};
    if (!input.IsOpen() || ::fstat(input.fd(), &info) != 0)
        return false;
    if (!S_ISREG(info.st_mode)) {
        errno = S_ISDIR(info.st_mode) ? EISDIR : EINVAL;
        return false;
    }

    // Read straight into the string; keep going past the size seen by fstat in
    // case the file grew meanwhile.
    std::size_t used = 0;
    content.resize(static_cast<std::size_t>(info.st_size) + 1);
    for (;;) {
        const long got = input.ReadFull(content.data() + used, content.size() - used);
        if (got < 0)
            return false;
        used += static_cast<std::size_t>(got);
        if (used < content.size())
            break;
        content.resize(content.size() * 2);
    }
    content.resize(used);
    return true;
}

bool IsReadableFile(const std::filesystem::path& file)
{
    return ReadableFile(file).IsRegular();
}

}  // namespace zpak
