#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace zpak {

class MessageSink;
class ProjectDocument;

// How far a zip run has come; reported as each entry starts and about every
// megabyte. The callback runs on the packing thread and should return quickly.
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
};

// The archive and the files to put into it, in order; duplicates stay.
struct PackList {
    std::filesystem::path archive;
    std::vector<PackEntry> entries;
};

// Result codes of ZipPackList.
inline constexpr int kZipOk = 0;
inline constexpr int kZipError = -1;            // an entry could not be added, read or compressed
inline constexpr int kZipCannotCreate = -2;     // the archive cannot be created
inline constexpr int kZipCannotOpenInput = -4;  // an input file cannot be opened
inline constexpr std::size_t kZipReadBuffer = 16384;

// Writes the archive; any other non-zero result is minizip's own code. An
// archive whose run ends early is removed.
int ZipPackList(const PackList& list, const ZipProgressCallback& progress = {});

// The file's modification time in local time, as DOS date (high 16 bits) and
// time (low 16 bits); nothing when it cannot be read or DOS cannot hold it.
std::optional<std::uint32_t> GetDosFileTime(const std::filesystem::path& file);

// The list PackZip would hand to ZipPackList. Writes the launch scripts.
// Refuses (with a message, giving nothing) entries that would unpack outside
// the player's game folder and lists too long for a plain zip.
std::optional<PackList> BuildPackList(const ProjectDocument& document, MessageSink& sink);

// The zip choice of the Generate page: checks the files, packs them into
// <game folder>\<base>.zip and reports the outcome.
bool PackZip(ProjectDocument& document, MessageSink& sink,
             const ZipProgressCallback& progress = {});

}  // namespace zpak
