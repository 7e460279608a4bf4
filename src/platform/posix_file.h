#pragma once

#include <filesystem>
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
    int fd() const { return fd_; }

    // Fills as much of the buffer as the file still holds: a short count is
    // the end of the file. -1 on a read error.
    long ReadFull(char* buffer, std::size_t size);

private:
    int fd_;
};

// Writes all of `data` to `fd`, going on after interrupted and partial
// writes. 0, or the errno of the failure.
int WriteAll(int fd, std::string_view data);

}  // namespace zpak
