#pragma once

#include "generate/pack_list.h"

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
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

}  // namespace zpak
