#pragma once

#include "generate/pack_list.h"

#include <cstdint>
#include <memory>
#include <mutex>
#include <string_view>
#include <vector>

struct libdeflate_compressor;
struct z_stream_s;

namespace zpak {

class ReadableFile;

// Entries larger than this are deflated in pieces of this size, joined into
// one DEFLATE stream: memory stays bounded whatever the size of a file, and
// one large entry keeps every worker busy.
inline constexpr std::size_t kZipPieceSize = 2 << 20;

// The part of one entry that one worker packs.
struct ZipPiece {
    std::size_t entry = 0;  // its index in the run's entries
    std::uint64_t entrySize = 0;
    std::uint64_t offset = 0;
    std::size_t length = 0;
    // Where the bytes come from: the entry's file, opened once for all its
    // pieces, or its text in memory.
    std::shared_ptr<const ReadableFile> file;
    std::string_view content;
    bool deflate = false;  // otherwise stored

    bool First() const { return offset == 0; }
    bool Last() const { return offset + length == entrySize; }
};

// Room for a piece's bytes or, at worst, for what deflate makes of them.
struct PieceBuffer {
    std::unique_ptr<char[]> data;
    std::size_t size = 0;
};

// A piece as it goes into the archive: its bytes, deflated or stored, and the
// CRC-32 of what it holds uncompressed.
struct PackedPiece {
    int result = kZipOk;
    std::uint32_t crc = 0;
    PieceBuffer buffer;
    std::string_view bytes;  // in `buffer`, or in the piece's content
};

// Hands out the buffers that pieces are read and deflated into. Those of
// whole pieces, the most of a large entry, are kept for the next pieces once
// written: a run then holds as many as its window of pieces needs, and does
// not hand megabytes back and forth with the system for every piece.
class PieceBuffers {
public:
    // Enough for a piece of `length` bytes, deflated or not.
    static std::size_t SizeFor(std::size_t length);

    PieceBuffer Take(std::size_t length);
    void Give(PieceBuffer buffer);

private:
    std::mutex mutex_;
    std::vector<std::unique_ptr<char[]>> free_;  // of whole pieces
};

// Packs pieces; a worker thread keeps one and reuses its compressors.
class PieceCompressor {
public:
    explicit PieceCompressor(PieceBuffers& buffers);
    PieceCompressor(const PieceCompressor&) = delete;
    PieceCompressor& operator=(const PieceCompressor&) = delete;
    ~PieceCompressor();

    // The packed bytes are in a buffer of `buffers`, or in the piece's text.
    PackedPiece Pack(const ZipPiece& piece);

private:
    struct FreeCompressor {
        void operator()(libdeflate_compressor* compressor) const;
    };
    struct EndInflater {
        void operator()(z_stream_s* stream) const;
    };

    PackedPiece Deflate(std::string_view data, bool last);
    bool LeaveOpen(PackedPiece& packed);
    libdeflate_compressor* Compressor();
    z_stream_s* Inflater();

    PieceBuffers& buffers_;
    std::unique_ptr<libdeflate_compressor, FreeCompressor> compressor_;
    std::unique_ptr<z_stream_s, EndInflater> inflater_;
    std::unique_ptr<char[]> scratch_;  // where the inflater's output goes unread
};

}  // namespace zpak
