#pragma once

#include <filesystem>
#include <string>
#include <string_view>

namespace zpak {

// Replaces a file so that readers see either the old file or the whole new
// one, never a part: the content goes to a new file in the same folder, is
// flushed to disk and renamed over the target. A symlinked target is followed
// (the link stays); an existing file's mode is kept. Until Commit succeeds
// the old file is untouched, and a writer that is not committed removes its
// temporary file.
class AtomicFile {
public:
    AtomicFile() = default;
    AtomicFile(const AtomicFile&) = delete;
    AtomicFile& operator=(const AtomicFile&) = delete;
    ~AtomicFile();

    bool Open(const std::filesystem::path& target);
    // After the first failure further writes are ignored; Commit reports it.
    bool Write(std::string_view data);
    bool Commit();

    // Why the last operation failed.
    const std::string& Error() const { return error_; }

private:
    bool Fail(int code);
    void Discard();

    std::filesystem::path resolved_;
    std::filesystem::path tempPath_;
    int fd_ = -1;
    std::string error_;
};

// Writes `content` to `target` through an AtomicFile; on failure `error` says why.
bool WriteFileAtomically(const std::filesystem::path& target, std::string_view content,
                         std::string& error);

}  // namespace zpak
