#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace zpak {

class CancelFlag;
class MessageSink;
class ProjectDocument;

// How far a zip run has come, in the archive's order; reported as each entry
// starts and about every megabyte. The callback runs on the thread that called
// WriteZip and should return quickly.
struct ZipProgress {
    std::size_t filesDone = 0;
    std::size_t filesTotal = 0;
    std::uint64_t bytesDone = 0;
    std::uint64_t bytesTotal = 0;
    std::string currentEntry;
};
using ZipProgressCallback = std::function<void(const ZipProgress&)>;

struct PackEntry {
    std::filesystem::path source;
    std::string name;  // inside the archive, with "/" between folders
    unsigned mode = 0644;
    // An entry made from text rather than from a file (a launch script that
    // is written in the same run).
    std::optional<std::string> content;
};

// The archive and the files to put into it, in order; duplicates stay.
struct PackList {
    std::filesystem::path archive;
    std::vector<PackEntry> entries;
};

// Result codes of ZipPackList.
// The most entries a zip file without zip64 end records can hold.
inline constexpr std::size_t kMostZipEntries = 65535;

inline constexpr int kZipOk = 0;
inline constexpr int kZipError = -1;            // an entry could not be added, read or compressed
inline constexpr int kZipCannotCreate = -2;     // the archive cannot be created
inline constexpr int kZipCannotOpenInput = -4;  // an input file cannot be opened
inline constexpr int kZipCancelled = -5;        // the run was cancelled

// A run holds about two 2 MiB buffers for each compressing thread, and eight
// more; past this many threads it would take more memory than zipping should.
inline constexpr unsigned kMaxZipThreads = 8;

// One compressing thread per core.
unsigned DefaultZipThreads();

// Writes the entries into `file` (created anew), compressing on `threads`
// threads (at most kMaxZipThreads) while this one writes. The archive's bytes
// are the same whatever the number of threads. Any other non-zero result is
// minizip's own code; after a failure `file` holds an unfinished archive.
int WriteZip(const std::filesystem::path& file, const std::vector<PackEntry>& entries,
             const ZipProgressCallback& progress = {}, const CancelFlag* cancel = nullptr,
             unsigned threads = DefaultZipThreads());

// WriteZip into the list's archive; an archive whose run ends early is removed.
int ZipPackList(const PackList& list, const ZipProgressCallback& progress = {});

// What the user reads for a result of WriteZip other than success.
std::string ZipFailureMessage(int code);

// The file's modification time in local time, as DOS date (high 16 bits) and
// time (low 16 bits); nothing when it cannot be read or DOS cannot hold it.
std::optional<std::uint32_t> GetDosFileTime(const std::filesystem::path& file);

// The zip choice of the Generate page without its cleanup: checks the
// product, packs it into <game folder>\<base>.zip and reports the outcome.
bool PackZip(ProjectDocument& document, MessageSink& sink, const ZipProgressCallback& progress = {});

}  // namespace zpak
