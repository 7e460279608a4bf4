#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace zpak {

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

// The archive and the files to put into it, in order, one entry for each name.
struct PackList {
    std::filesystem::path archive;
    std::vector<PackEntry> entries;
    // When set (seconds since 1970, UTC, from SOURCE_DATE_EPOCH), no entry
    // is dated later than this moment, and times are taken in UTC rather
    // than local time: the archive then depends on the files' contents,
    // names and modes only, not on when or where they were checked out.
    std::optional<std::int64_t> sourceDate;
};

// The most entries a zip file without zip64 end records can hold.
inline constexpr std::size_t kMostZipEntries = 65535;

// Result codes of the zip writer.
inline constexpr int kZipOk = 0;
inline constexpr int kZipError = -1;            // an entry could not be added, read or compressed
inline constexpr int kZipCannotCreate = -2;     // the archive cannot be created
inline constexpr int kZipCannotOpenInput = -4;  // an input file cannot be opened
inline constexpr int kZipCancelled = -5;        // the run was cancelled
inline constexpr int kZipNotWritten = -6;       // a write, seek or close of the archive failed

}  // namespace zpak
