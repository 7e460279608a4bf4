#include "platform/readable_file.h"

#include <cerrno>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace zpak {

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

long ReadableFile::ReadFull(char* buffer, std::size_t size)
{
    std::size_t got = 0;
    while (got < size) {
        const ssize_t n = ::read(fd_, buffer + got, size - got);
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
