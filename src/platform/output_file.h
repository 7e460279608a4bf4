#pragma once

#include <filesystem>
#include <string>
#include <string_view>

namespace zpak {

// A file created anew (or truncated) and written in place. Every write is
// checked; after the first failure further writes are ignored and Close
// reports it.
class OutputFile {
public:
    OutputFile() = default;
    OutputFile(const OutputFile&) = delete;
    OutputFile& operator=(const OutputFile&) = delete;
    ~OutputFile();

    // `mode` is the mode of a new file before the umask; an existing file
    // that lacks bits of it gets them added (a script keeps its run bit).
    bool Create(const std::filesystem::path& file, unsigned mode = 0666);
    bool Write(std::string_view data);
    bool Close();

    const std::string& Error() const { return error_; }

private:
    bool Fail(int code);

    int fd_ = -1;
    bool failed_ = false;
    std::string error_;
};

}  // namespace zpak
