#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>

namespace zpak {

// A file opened for reading, closed on destruction.
class ReadableFile {
public:
    explicit ReadableFile(const std::filesystem::path& file);
    ReadableFile(const ReadableFile&) = delete;
    ReadableFile& operator=(const ReadableFile&) = delete;
    ~ReadableFile();

    bool IsOpen() const { return fd_ >= 0; }
    bool IsRegular() const;
    // What fstat says; 0 when it fails.
    std::uint64_t Size() const;
    int fd() const { return fd_; }

    // Fills as much of the buffer as the file still holds: a short count is
    // the end of the file. -1 on a read error.
    long ReadFull(char* buffer, std::size_t size);
    // The same from `offset`, leaving the file position alone: threads may
    // read parts of one file at once.
    long ReadFullAt(char* buffer, std::size_t size, std::uint64_t offset) const;

private:
    int fd_;
};

// Reads a whole file; false when it cannot be opened or read (a folder
// included), with errno saying why.
bool ReadWholeFile(const std::filesystem::path& file, std::string& content);

// True when `file` is a regular file that opens for reading. On Windows a
// folder never opens as a file; here it would, so it is ruled out.
bool IsReadableFile(const std::filesystem::path& file);

}  // namespace zpak
