#include "platform/output_file.h"

#include "platform/posix_file.h"

#include <cerrno>
#include <cstring>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace zpak {

OutputFile::~OutputFile()
{
    if (fd_ >= 0)
        ::close(fd_);
}

bool OutputFile::Fail(int code)
{
    if (!failed_)
        error_ = std::strerror(code);
    failed_ = true;
    return false;
}

bool OutputFile::Create(const std::filesystem::path& file, unsigned mode)
{
    fd_ = ::open(file.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, static_cast<mode_t>(mode));
    if (fd_ < 0)
        return Fail(errno);
    struct stat info {};
    if (::fstat(fd_, &info) == 0 && !S_ISREG(info.st_mode))
        return Fail(EISDIR);
    const mode_t missing = static_cast<mode_t>(mode) & 0111 & ~info.st_mode;
    if (missing)
        ::fchmod(fd_, (info.st_mode & 07777) | missing);
    return true;
}

bool OutputFile::Write(std::string_view data)
{
    if (failed_ || fd_ < 0)
        return false;
    if (const int code = WriteAll(fd_, data))
        return Fail(code);
    return true;
}

bool OutputFile::Close()
{
    if (fd_ < 0)
        return false;
    const int fd = fd_;
    fd_ = -1;
    if (::close(fd) != 0)
        Fail(errno);
    return !failed_;
}

}  // namespace zpak
