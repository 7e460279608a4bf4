#include "platform/readable_file.h"

#include <algorithm>
#include <cerrno>

#include <windows.h>

namespace zpak {

// Others may read, write, rename or delete the file meanwhile, as they may on
// Linux. Without FILE_FLAG_BACKUP_SEMANTICS a folder does not open. When the
// file does not open, errno says why, as open() leaves it on Linux.
ReadableFile::ReadableFile(const std::filesystem::path& file)
    : file_(::CreateFileW(file.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                          nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL | FILE_FLAG_SEQUENTIAL_SCAN, nullptr))
{
    if (IsOpen())
        return;
    switch (::GetLastError()) {
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
    case ERROR_INVALID_NAME:
        errno = ENOENT;
        break;
    case ERROR_ACCESS_DENIED: {
        const DWORD attributes = ::GetFileAttributesW(file.c_str());
        const bool folder = attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
        errno = folder ? EISDIR : EACCES;
        break;
    }
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION:
        errno = EBUSY;
        break;
    default:
        errno = EIO;
        break;
    }
}

bool ReadableFile::IsRegular() const
{
    return IsOpen() && ::GetFileType(file_.Get()) == FILE_TYPE_DISK;
}

std::int64_t ReadableFile::Size() const
{
    LARGE_INTEGER size{};
    return IsOpen() && ::GetFileSizeEx(file_.Get(), &size) ? size.QuadPart : -1;
}

std::optional<std::size_t> ReadableFile::ReadFull(char* buffer, std::size_t size)
{
    std::size_t got = 0;
    while (got < size) {
        constexpr std::size_t kLargestRead = 1U << 30;
        DWORD n = 0;
        const auto wanted = static_cast<DWORD>(std::min(size - got, kLargestRead));
        if (!::ReadFile(file_.Get(), buffer + got, wanted, &n, nullptr))
            return std::nullopt;
        if (n == 0)
            break;
        got += n;
    }
    return got;
}

}  // namespace zpak
