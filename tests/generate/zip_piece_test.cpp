#include "generate/zip_piece.h"

#include <gtest/gtest.h>

#include <random>

#include <zlib.h>

namespace zpak {
namespace {

// The raw DEFLATE stream inflated, or "bad" when zlib refuses it or it does
// not end exactly where the data does.
std::string Inflate(const std::string& stream)
{
    z_stream inflater{};
    inflateInit2(&inflater, -MAX_WBITS);
    inflater.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(stream.data()));
    inflater.avail_in = static_cast<uInt>(stream.size());
    std::string text;
    int status = Z_OK;
    while (status == Z_OK) {
        char buffer[4096];
        inflater.next_out = reinterpret_cast<Bytef*>(buffer);
        inflater.avail_out = sizeof buffer;
        status = inflate(&inflater, Z_NO_FLUSH);
        text.append(buffer, sizeof buffer - inflater.avail_out);
    }
    const bool whole = status == Z_STREAM_END && inflater.avail_in == 0;
    inflateEnd(&inflater);
    return whole ? text : "bad";
}

// Pieces of every length end on every bit of a byte; each one's stream must
// run on into the next, and the last one end it.
TEST(ZipPieceTest, PiecesJoinIntoOneStream)
{
    std::mt19937 random(11);
    std::string text;
    while (text.size() < 200000)
        text += "level" + std::to_string(random() % 5000) + (random() % 7 == 0 ? "\n" : " ");

    PieceBuffers buffers;
    PieceCompressor compressor(buffers);
    std::string stream;
    std::uint32_t crc = 0;
    ZipPiece piece;
    piece.content = text;
    piece.entrySize = text.size();
    piece.deflate = true;
    while (piece.offset < text.size()) {
        piece.length = std::min<std::size_t>(random() % 6000 + 1, text.size() - piece.offset);
        const PackedPiece packed = compressor.Pack(piece);
        ASSERT_EQ(packed.result, kZipOk);
        stream += packed.bytes;
        crc = static_cast<std::uint32_t>(crc32_combine(crc, packed.crc, static_cast<z_off_t>(piece.length)));
        piece.offset += piece.length;
    }
    EXPECT_TRUE(Inflate(stream) == text);
    EXPECT_EQ(crc, crc32(0, reinterpret_cast<const Bytef*>(text.data()), static_cast<uInt>(text.size())));
}

}  // namespace
}  // namespace zpak
