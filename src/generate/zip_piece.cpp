#include "generate/zip_piece.h"

#include "platform/readable_file.h"

#include <algorithm>

#include <libdeflate.h>
#include <zlib.h>

namespace zpak {

namespace {

// zlib's default level, which the entries' headers announce, and its default
// memory use.
constexpr int kLevel = 6;
constexpr int kMemLevel = 8;
// A block is primed with the bytes before it, as far back as DEFLATE can refer.
constexpr std::uint64_t kHistory = 32768;

// A piece's bytes, with the history before it when it is a block to deflate.
struct PieceInput {
    std::unique_ptr<char[]> buffer;  // empty for text in memory
    std::string_view history;
    std::string_view data;
};

bool ReadInput(const ZipPiece& piece, PieceInput& input)
{
    const bool block = piece.deflate && !(piece.First() && piece.Last());
    const std::size_t history = block ? std::min(kHistory, piece.offset) : 0;
    const std::uint64_t start = piece.offset - history;
    const std::size_t size = history + piece.length;
    std::string_view bytes;
    if (piece.file) {
        input.buffer = std::make_unique_for_overwrite<char[]>(size);
        // A file that shrank since it was opened is an error, not a shorter entry.
        if (piece.file->ReadFullAt(input.buffer.get(), size, start) != static_cast<long>(size))
            return false;
        bytes = {input.buffer.get(), size};
    } else {
        bytes = piece.content.substr(start, size);
    }
    input.history = bytes.substr(0, history);
    input.data = bytes.substr(history);
    return true;
}

PackedPiece Failed()
{
    PackedPiece packed;
    packed.result = kZipError;
    return packed;
}

}  // namespace

void PieceCompressor::FreeWhole::operator()(libdeflate_compressor* compressor) const
{
    libdeflate_free_compressor(compressor);
}

void PieceCompressor::EndBlocks::operator()(z_stream_s* stream) const
{
    deflateEnd(stream);
    delete stream;
}

PieceCompressor::PieceCompressor() = default;
PieceCompressor::~PieceCompressor() = default;

PackedPiece PieceCompressor::Pack(const ZipPiece& piece)
{
    PieceInput input;
    if (!ReadInput(piece, input))
        return Failed();
    PackedPiece packed;
    if (!piece.deflate) {
        packed.buffer = std::move(input.buffer);
        packed.bytes = input.data;
    } else if (piece.First() && piece.Last()) {
        packed = DeflateWhole(input.data);
    } else {
        packed = DeflateBlock(input.history, input.data, piece.Last());
    }
    packed.crc = static_cast<std::uint32_t>(libdeflate_crc32(0, input.data.data(), input.data.size()));
    return packed;
}

// libdeflate compresses a whole buffer about twice as fast as zlib, and a
// little smaller, but cannot continue a stream: it takes the entries that fit
// in one piece.
PackedPiece PieceCompressor::DeflateWhole(std::string_view data)
{
    libdeflate_compressor* compressor = WholeCompressor();
    if (!compressor)
        return Failed();
    PackedPiece packed;
    const std::size_t bound = libdeflate_deflate_compress_bound(compressor, data.size());
    packed.buffer = std::make_unique_for_overwrite<char[]>(bound);
    const std::size_t size =
        libdeflate_deflate_compress(compressor, data.data(), data.size(), packed.buffer.get(), bound);
    if (size == 0)
        return Failed();
    packed.bytes = {packed.buffer.get(), size};
    return packed;
}

// zlib can start from a dictionary and end on a byte boundary without ending
// the stream (a sync flush), so blocks deflated apart join into one stream
// that refers back across their edges as a single pass would.
PackedPiece PieceCompressor::DeflateBlock(std::string_view history, std::string_view data, bool last)
{
    z_stream* stream = BlockStream();
    if (!stream || deflateReset(stream) != Z_OK)
        return Failed();
    if (!history.empty()
        && deflateSetDictionary(stream, reinterpret_cast<const Bytef*>(history.data()),
                                static_cast<uInt>(history.size()))
            != Z_OK)
        return Failed();
    // The bound is for a finished stream; a sync flush adds an empty stored block.
    const std::size_t bound = deflateBound(stream, static_cast<uLong>(data.size())) + 16;
    PackedPiece packed;
    packed.buffer = std::make_unique_for_overwrite<char[]>(bound);
    stream->next_in = reinterpret_cast<Bytef*>(const_cast<char*>(data.data()));
    stream->avail_in = static_cast<uInt>(data.size());
    stream->next_out = reinterpret_cast<Bytef*>(packed.buffer.get());
    stream->avail_out = static_cast<uInt>(bound);
    const int status = deflate(stream, last ? Z_FINISH : Z_SYNC_FLUSH);
    if (status != (last ? Z_STREAM_END : Z_OK) || stream->avail_in != 0 || stream->avail_out == 0)
        return Failed();
    packed.bytes = {packed.buffer.get(), bound - stream->avail_out};
    return packed;
}

libdeflate_compressor* PieceCompressor::WholeCompressor()
{
    if (!whole_)
        whole_.reset(libdeflate_alloc_compressor(kLevel));
    return whole_.get();
}

z_stream* PieceCompressor::BlockStream()
{
    if (!blocks_) {
        auto stream = std::make_unique<z_stream>();
        if (deflateInit2(stream.get(), kLevel, Z_DEFLATED, -MAX_WBITS, kMemLevel, Z_DEFAULT_STRATEGY) != Z_OK)
            return nullptr;
        blocks_.reset(stream.release());
    }
    return blocks_.get();
}

}  // namespace zpak
