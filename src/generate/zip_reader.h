#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

struct libdeflate_decompressor;

namespace zpak {

class ReadableFile;

// One entry of an archive as its central directory and local header tell it.
struct ZipRecord {
    std::string name;  // as stored, "/" between folders
    std::uint16_t method = 0;
    std::uint32_t crc = 0;
    std::uint64_t packedSize = 0;
    std::uint64_t size = 0;
    std::uint64_t headerOffset = 0;  // of the local header
    std::uint64_t dataOffset = 0;
    // Why the entry's data cannot be found (a local header that is not one,
    // data that runs past the central directory); nothing when it can.
    std::optional<std::string> problem;
};

// The entries of an archive in the order of its central directory.
struct ZipDirectory {
    std::vector<ZipRecord> records;
    std::optional<std::string> error;  // why the archive cannot be read at all
};

// Reads the end record (zip64 too), the central directory and each local
// header; nothing else of the entries' data.
ZipDirectory ReadZipDirectory(const ReadableFile& archive);

// Unpacks entries, handing out their bytes in order. One per thread: it
// keeps its buffers and decompressors for the next entry.
class ZipEntryReader {
public:
    ZipEntryReader();
    ZipEntryReader(const ZipEntryReader&) = delete;
    ZipEntryReader& operator=(const ZipEntryReader&) = delete;
    ~ZipEntryReader();

    // The bytes of the entry, in pieces, to `take`, which may stop the
    // reading by giving false. Nothing when all came out; otherwise why the
    // data cannot be unpacked (it is damaged, or of an unknown method). No
    // more than the size the entry records is handed out: data that holds
    // more is damaged.
    std::optional<std::string> Read(const ReadableFile& archive, const ZipRecord& record,
                                    const std::function<bool(std::string_view)>& take);

private:
    struct FreeDecompressor {
        void operator()(libdeflate_decompressor* decompressor) const;
    };

    std::optional<std::string> ReadWhole(const ReadableFile& archive, const ZipRecord& record,
                                         const std::function<bool(std::string_view)>& take);
    std::optional<std::string> ReadStream(const ReadableFile& archive, const ZipRecord& record,
                                          const std::function<bool(std::string_view)>& take);

    std::unique_ptr<libdeflate_decompressor, FreeDecompressor> decompressor_;
    std::string packed_;
    std::string unpacked_;
};

}  // namespace zpak
