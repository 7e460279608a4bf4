#pragma once

#include "generate/pack_list.h"

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace zpak {

class CancelFlag;

// A run holds about two 2 MiB buffers for each compressing thread, and eight
// more; past this many threads it would take more memory than zipping should.
inline constexpr unsigned kMaxZipThreads = 8;

// One compressing thread per core.
unsigned DefaultZipThreads();

// Writes the entries into `file` (created anew), compressing on `threads`
// threads (at most kMaxZipThreads) while this one writes. The archive's bytes
// are the same whatever the number of threads. Any other non-zero result is
// minizip's own code; after a failure `file` holds an unfinished archive.
// With `sourceDate`, entry times are capped and in UTC (PackList::sourceDate).
int WriteZip(const std::filesystem::path& file, const std::vector<PackEntry>& entries,
             const ZipProgressCallback& progress = {}, const CancelFlag* cancel = nullptr,
             unsigned threads = DefaultZipThreads(), std::optional<std::int64_t> sourceDate = std::nullopt);

// WriteZip into the list's archive; an archive whose run ends early is removed.
int ZipPackList(const PackList& list, const ZipProgressCallback& progress = {});

// What the user reads for a result of WriteZip other than success.
std::string ZipFailureMessage(int code);

// The file's modification time in local time, as DOS date (high 16 bits) and
// time (low 16 bits); nothing when it cannot be read or DOS cannot hold it.
std::optional<std::uint32_t> GetDosFileTime(const std::filesystem::path& file);

// The same for a reproducible archive: the earlier of the modification time
// and `sourceDate`, in UTC.
std::optional<std::uint32_t> GetDosFileTime(const std::filesystem::path& file, std::int64_t sourceDate);

// The value of SOURCE_DATE_EPOCH: a whole number of seconds since 1970.
// Nothing for a text that is not one.
std::optional<std::int64_t> ParseSourceDate(std::string_view text);

}  // namespace zpak
