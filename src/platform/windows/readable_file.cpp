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

std::optional<std::uint64_t> ReadableFile::Size() const
{
    LARGE_INTEGER size{};
    if (!IsOpen() || !::GetFileSizeEx(file_.Get(), &size))
        return std::nullopt;
    return static_cast<std::uint64_t>(size.QuadPart);
}

namespace {

// Reads until `size` bytes are in or the file ends: from where the file is,
// or with `offset` from there, which moves the file's position too.
std::optional<std::size_t> FillBuffer(HANDLE file, char* buffer, std::size_t size,
                                      std::optional<std::uint64_t> offset)
{
    constexpr std::size_t kLargestRead = 1U << 30;
    std::size_t got = 0;
    while (got < size) {
        DWORD n = 0;
        const auto wanted = static_cast<DWORD>(std::min(size - got, kLargestRead));
        OVERLAPPED where{};
        if (offset) {
            const std::uint64_t at = *offset + got;
            where.Offset = static_cast<DWORD>(at);
            where.OffsetHigh = static_cast<DWORD>(at >> 32);
        }
        if (!::ReadFile(file, buffer + got, wanted, &n, offset ? &where : nullptr))
            return ::GetLastError() == ERROR_HANDLE_EOF ? std::optional<std::size_t>(got) : std::nullopt;
        if (n == 0)
            break;
        got += n;
    }
    return got;
}

}  // namespace

std::optional<std::size_t> ReadableFile::ReadFull(char* buffer, std::size_t size)
{
    return FillBuffer(file_.Get(), buffer, size, std::nullopt);
}

// A handle opened without FILE_FLAG_OVERLAPPED takes one read at a time, each
// at its own offset, so threads may share it.
std::optional<std::size_t> ReadableFile::ReadFullAt(char* buffer, std::size_t size,
                                                    std::uint64_t offset) const
{
    return FillBuffer(file_.Get(), buffer, size, offset);
}

}  // namespace zpak
