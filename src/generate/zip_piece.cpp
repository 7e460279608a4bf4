#include "generate/zip_piece.h"

#include "platform/readable_file.h"

#include <algorithm>
#include <cstring>

#include <libdeflate.h>
#include <zlib.h>

namespace zpak {

namespace {

// zlib's default level, which the entries' headers announce.
constexpr int kLevel = 6;
constexpr std::size_t kScratchSize = 1 << 16;
// An empty stored block after the last block of a piece brings the stream to
// a byte boundary without ending it, as zlib's sync flush does: its 3 header
// bits, padding, then LEN 0 and NLEN 0xFFFF.
constexpr unsigned char kStoredBlockLengths[] = {0x00, 0x00, 0xFF, 0xFF};
constexpr std::size_t kStoredBlockSize = 1 + sizeof kStoredBlockLengths;

// A piece's bytes: read into `buffer`, or in the entry's text.
struct PieceInput {
    PieceBuffer buffer;
    std::string_view data;
};

bool ReadInput(const ZipPiece& piece, PieceBuffers& buffers, PieceInput& input)
{
    if (!piece.file) {
        input.data = piece.content.substr(piece.offset, piece.length);
        return true;
    }
    input.buffer = buffers.Take(piece.length);
    // A file that shrank since it was opened is an error, not a shorter entry.
    if (piece.file->ReadFullAt(input.buffer.data.get(), piece.length, piece.offset) != piece.length)
        return false;
    input.data = {input.buffer.data.get(), piece.length};
    return true;
}

PackedPiece Failed()
{
    PackedPiece packed;
    packed.result = kZipError;
    return packed;
}

// Where, in bits, a complete raw DEFLATE stream's last block starts and where
// the stream ends.
struct StreamEnds {
    std::uint64_t lastBlock = 0;
    std::uint64_t end = 0;
};

// zlib's inflate stops at each block boundary when asked, and tells how many
// bits of the last byte it took are still unread: that places every block.
std::optional<StreamEnds> FindStreamEnds(z_stream& inflater, std::string_view stream, char* scratch)
{
    if (inflateReset(&inflater) != Z_OK)
        return std::nullopt;
    inflater.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(stream.data()));
    inflater.avail_in = static_cast<uInt>(stream.size());
    StreamEnds ends;
    for (;;) {
        inflater.next_out = reinterpret_cast<Bytef*>(scratch);
        inflater.avail_out = kScratchSize;
        const int status = inflate(&inflater, Z_BLOCK);
        if (status != Z_OK)
            return std::nullopt;  // an error, or the end passed unseen
        const bool atBoundary = (inflater.data_type & 128) != 0;
        if (!atBoundary)
            continue;
        const std::uint64_t bit = std::uint64_t{inflater.total_in} * 8 - (inflater.data_type & 7);
        if ((inflater.data_type & 64) != 0) {
            ends.end = bit;
            return ends;
        }
        ends.lastBlock = bit;
    }
}

}  // namespace

std::size_t PieceBuffers::SizeFor(std::size_t length)
{
    // libdeflate's bound holds whatever the compressor.
    return libdeflate_deflate_compress_bound(nullptr, length) + kStoredBlockSize;
}

PieceBuffer PieceBuffers::Take(std::size_t length)
{
    PieceBuffer buffer;
    buffer.size = SizeFor(length);
    if (length == kZipPieceSize) {
        const std::scoped_lock lock(mutex_);
        if (!free_.empty()) {
            buffer.data = std::move(free_.back());
            free_.pop_back();
            return buffer;
        }
    }
    buffer.data = std::make_unique_for_overwrite<char[]>(buffer.size);
    return buffer;
}

void PieceBuffers::Give(PieceBuffer buffer)
{
    if (!buffer.data || buffer.size != SizeFor(kZipPieceSize))
        return;
    const std::scoped_lock lock(mutex_);
    free_.push_back(std::move(buffer.data));
}

void PieceCompressor::FreeCompressor::operator()(libdeflate_compressor* compressor) const
{
    libdeflate_free_compressor(compressor);
}

void PieceCompressor::EndInflater::operator()(z_stream_s* stream) const
{
    inflateEnd(stream);
    delete stream;
}

PieceCompressor::PieceCompressor(PieceBuffers& buffers) : buffers_(buffers)
{
}
PieceCompressor::~PieceCompressor() = default;

PackedPiece PieceCompressor::Pack(const ZipPiece& piece)
{
    PieceInput input;
    if (!ReadInput(piece, buffers_, input)) {
        buffers_.Give(std::move(input.buffer));
        return Failed();
    }
    const auto crc = static_cast<std::uint32_t>(libdeflate_crc32(0, input.data.data(), input.data.size()));
    PackedPiece packed;
    if (piece.deflate) {
        packed = Deflate(input.data, piece.Last());
        buffers_.Give(std::move(input.buffer));
    } else {
        packed.buffer = std::move(input.buffer);
        packed.bytes = input.data;
    }
    packed.crc = crc;
    return packed;
}

// libdeflate deflates a buffer about twice as fast as zlib, and a little
// smaller, but only as a whole stream; a piece that is not its entry's last
// has the stream's end taken off so that the next piece continues it.
PackedPiece PieceCompressor::Deflate(std::string_view data, bool last)
{
    libdeflate_compressor* compressor = Compressor();
    if (!compressor)
        return Failed();
    PackedPiece packed;
    packed.buffer = buffers_.Take(data.size());
    const std::size_t size = libdeflate_deflate_compress(compressor, data.data(), data.size(),
                                                         packed.buffer.data.get(), packed.buffer.size);
    packed.bytes = {packed.buffer.data.get(), size};
    if (size == 0 || (!last && !LeaveOpen(packed))) {
        buffers_.Give(std::move(packed.buffer));
        return Failed();
    }
    return packed;
}

// Clears the final-block bit of the stream's last block and appends an empty
// stored block after it.
bool PieceCompressor::LeaveOpen(PackedPiece& packed)
{
    const std::size_t capacity = packed.buffer.size;
    z_stream* inflater = Inflater();
    if (!inflater)
        return false;
    const std::optional<StreamEnds> ends = FindStreamEnds(*inflater, packed.bytes, scratch_.get());
    if (!ends)
        return false;
    auto* bytes = reinterpret_cast<unsigned char*>(packed.buffer.data.get());
    bytes[ends->lastBlock / 8] &= static_cast<unsigned char>(~(1U << (ends->lastBlock % 8)));
    // The stored block's header bits are zeros, as are the bits after the end.
    const std::size_t endByte = ends->end / 8;
    bytes[endByte] &= static_cast<unsigned char>((1U << (ends->end % 8)) - 1);
    const std::size_t aligned = (ends->end + 3 + 7) / 8;
    if (aligned + sizeof kStoredBlockLengths > capacity)
        return false;
    std::fill(bytes + endByte + 1, bytes + aligned, 0);
    std::memcpy(bytes + aligned, kStoredBlockLengths, sizeof kStoredBlockLengths);
    packed.bytes = {packed.buffer.data.get(), aligned + sizeof kStoredBlockLengths};
    return true;
}

libdeflate_compressor* PieceCompressor::Compressor()
{
    if (!compressor_)
        compressor_.reset(libdeflate_alloc_compressor(kLevel));
    return compressor_.get();
}

z_stream* PieceCompressor::Inflater()
{
    if (!inflater_) {
        auto stream = std::make_unique<z_stream>();
        if (inflateInit2(stream.get(), -MAX_WBITS) != Z_OK)
            return nullptr;
        inflater_.reset(stream.release());
        scratch_ = std::make_unique_for_overwrite<char[]>(kScratchSize);
    }
    return inflater_.get();
}

}  // namespace zpak
