#pragma once

#include "platform/file_handle.h"

#include <filesystem>
#include <string>
#include <string_view>

namespace zpak {

struct AtomicFileOptions {
    // Project files follow a link at their name (the link stays and its
    // target gets the new content). Generated files do not: a link at their
    // name is replaced, so that nothing is ever written through it.
    bool followLinks = true;
    // The mode of a new file before the umask. An existing file keeps its
    // mode and gains the run bits of this one (a script stays runnable).
    unsigned newFileMode = 0666;
};

// Replaces a file so that readers see either the old file or the whole new
// one, never a part: the content goes to a new file in the same folder, is
// flushed to disk and renamed over the target. Until Commit succeeds the old
// file is untouched, and a writer that is not committed removes its
// temporary file. The temporary file is locked while its writer lives, so
// that temporary files of writers that were killed can be told apart from
// those of writers at work, and removed. On Windows a link at the target's
// name is always replaced, whatever the options say.
class AtomicFile {
public:
    AtomicFile() = default;
    AtomicFile(const AtomicFile&) = delete;
    AtomicFile& operator=(const AtomicFile&) = delete;
    ~AtomicFile();

    bool Open(const std::filesystem::path& target, const AtomicFileOptions& options = {});
    // After the first failure further writes are ignored; Commit reports it.
    bool Write(std::string_view data);
    bool Commit();
    // Removes the temporary file; the target stays as it was.
    void Discard();

    // The temporary file, for writers that open it by name (it stays locked
    // through this object).
    const std::filesystem::path& TempPath() const { return tempPath_; }
    const std::filesystem::path& Target() const { return resolved_; }
    bool IsOpen() const { return file_.IsOpen(); }

    // Why the last operation failed.
    const std::string& Error() const { return error_; }

private:
    // `code` is an errno value on Linux, a GetLastError value on Windows.
    bool Fail(int code);
    bool CreateTemp(const AtomicFileOptions& options);

    std::filesystem::path resolved_;
    std::filesystem::path tempPath_;
    FileHandle file_;
    std::string error_;
};

// Writes `content` to `target` through an AtomicFile; on failure `error` says why.
bool WriteFileAtomically(const std::filesystem::path& target, std::string_view content, std::string& error,
                         const AtomicFileOptions& options = {});

// Removes the temporary files that writers of `target` left when they were
// killed; those of writers still at work are kept. Gives how many went.
int RemoveStaleTempFiles(const std::filesystem::path& target);

}  // namespace zpak
