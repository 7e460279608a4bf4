#pragma once

#include "platform/file_handle.h"

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace zpak {

// A file opened for reading, closed on destruction.
class ReadableFile {
public:
    explicit ReadableFile(const std::filesystem::path& file);
    ReadableFile(const ReadableFile&) = delete;
    ReadableFile& operator=(const ReadableFile&) = delete;
    ~ReadableFile() = default;

    bool IsOpen() const { return file_.IsOpen(); }
    bool IsRegular() const;
    // The size the file has now; nothing when it cannot be told.
    std::optional<std::uint64_t> Size() const;

    // Fills as much of the buffer as the file still holds and returns the
    // count: a short count is the end of the file. Nothing on a read error.
    std::optional<std::size_t> ReadFull(char* buffer, std::size_t size);
    // The same from `offset`, for threads that read parts of one file at
    // once. It leaves the position of ReadFull alone on Linux only, so the
    // two are not mixed on one file.
    std::optional<std::size_t> ReadFullAt(char* buffer, std::size_t size, std::uint64_t offset) const;

private:
    FileHandle file_;
};

// Reads a whole file; false when it cannot be opened or read (a folder
// included), with errno saying why.
bool ReadWholeFile(const std::filesystem::path& file, std::string& content);

// True when `file` is a regular file that opens for reading (a folder is not).
bool IsReadableFile(const std::filesystem::path& file);

}  // namespace zpak
