#include "generate/zip_reader.h"

#include "platform/readable_file.h"
#include "platform/text_format.h"

#include <algorithm>

#include <libdeflate.h>
#include <zlib.h>

namespace zpak {

namespace {

constexpr std::uint32_t kEndSignature = 0x06054b50;
constexpr std::uint32_t kZip64EndSignature = 0x06064b50;
constexpr std::uint32_t kZip64LocatorSignature = 0x07064b50;
constexpr std::uint32_t kCentralSignature = 0x02014b50;
constexpr std::uint32_t kLocalSignature = 0x04034b50;
constexpr std::size_t kEndSize = 22;
constexpr std::size_t kZip64LocatorSize = 20;
constexpr std::size_t kZip64EndSize = 56;
constexpr std::size_t kCentralSize = 46;
constexpr std::size_t kLocalSize = 30;
constexpr std::size_t kMostComment = 0xFFFF;
constexpr std::uint16_t kZip64Extra = 0x0001;
constexpr std::uint16_t kStored = 0;
constexpr std::uint16_t kDeflated = 8;

// Entries up to this size are unpacked in one go, which is fastest; larger
// ones as a stream, so that memory stays bounded.
constexpr std::uint64_t kWholeEntry = 4 << 20;
constexpr std::size_t kStreamChunk = 1 << 20;

std::uint64_t Little(std::string_view bytes, std::size_t at, std::size_t width)
{
    std::uint64_t value = 0;
    for (std::size_t i = width; i > 0; --i)
        value = (value << 8) | static_cast<unsigned char>(bytes[at + i - 1]);
    return value;
}

std::uint16_t U16(std::string_view bytes, std::size_t at)
{
    return static_cast<std::uint16_t>(Little(bytes, at, 2));
}

std::uint32_t U32(std::string_view bytes, std::size_t at)
{
    return static_cast<std::uint32_t>(Little(bytes, at, 4));
}

bool ReadAt(const ReadableFile& file, std::string& buffer, std::uint64_t offset, std::size_t size)
{
    buffer.resize(size);
    return file.ReadFullAt(buffer.data(), size, offset) == size;
}

// Where the central directory lies and how many entries it lists.
struct CentralDirectory {
    std::uint64_t offset = 0;
    std::uint64_t size = 0;
    std::uint64_t count = 0;
};

std::optional<CentralDirectory> FindCentralDirectory(const ReadableFile& file, std::uint64_t fileSize,
                                                     std::string& error)
{
    error = "it has no end record: it is cut short, or not a zip file";
    if (fileSize < kEndSize)
        return std::nullopt;
    const std::size_t tail =
        static_cast<std::size_t>(std::min<std::uint64_t>(fileSize, kEndSize + kMostComment));
    std::string bytes;
    if (!ReadAt(file, bytes, fileSize - tail, tail)) {
        error = "it cannot be read";
        return std::nullopt;
    }
    // The last end record whose comment reaches the end of the file.
    std::size_t end = std::string::npos;
    for (std::size_t at = tail - kEndSize + 1; at-- > 0;) {
        if (U32(bytes, at) == kEndSignature && at + kEndSize + U16(bytes, at + 20) == tail) {
            end = at;
            break;
        }
    }
    if (end == std::string::npos)
        return std::nullopt;
    CentralDirectory central{U32(bytes, end + 16), U32(bytes, end + 12), U16(bytes, end + 10)};
    const std::uint64_t endOffset = fileSize - tail + end;
    if (endOffset >= kZip64LocatorSize && end >= kZip64LocatorSize
        && U32(bytes, end - kZip64LocatorSize) == kZip64LocatorSignature) {
        const std::uint64_t zip64End = Little(bytes, end - kZip64LocatorSize + 8, 8);
        std::string record;
        if (endOffset < kZip64EndSize || zip64End > endOffset - kZip64EndSize
            || !ReadAt(file, record, zip64End, kZip64EndSize) || U32(record, 0) != kZip64EndSignature) {
            error = "its zip64 end record is damaged";
            return std::nullopt;
        }
        central = {Little(record, 48, 8), Little(record, 40, 8), Little(record, 32, 8)};
    }
    if (central.offset > endOffset || central.size > endOffset - central.offset) {
        error = "its central directory lies past the end of the file: it is cut short";
        return std::nullopt;
    }
    return central;
}

// The zip64 extra field's values for the fields that hold their maximum.
void ApplyZip64(ZipRecord& record, std::string_view extra, bool size, bool packed, bool offset)
{
    for (std::size_t at = 0; at + 4 <= extra.size();) {
        const std::uint16_t id = U16(extra, at);
        const std::uint16_t length = U16(extra, at + 2);
        if (at + 4 + length > extra.size())
            return;
        if (id == kZip64Extra) {
            std::size_t field = at + 4;
            const std::size_t end = field + length;
            for (auto [wanted, value] : {std::pair{size, &record.size}, std::pair{packed, &record.packedSize},
                                         std::pair{offset, &record.headerOffset}}) {
                if (wanted && field + 8 <= end) {
                    *value = Little(extra, field, 8);
                    field += 8;
                }
            }
            return;
        }
        at += 4 + length;
    }
}

void ReadLocalHeader(const ReadableFile& file, ZipRecord& record, std::uint64_t centralOffset)
{
    std::string header;
    if (centralOffset < kLocalSize || record.headerOffset > centralOffset - kLocalSize
        || !ReadAt(file, header, record.headerOffset, kLocalSize) || U32(header, 0) != kLocalSignature) {
        record.problem = "its local header is missing or damaged";
        return;
    }
    const std::size_t nameSize = U16(header, 26);
    std::string name;
    if (!ReadAt(file, name, record.headerOffset + kLocalSize, nameSize) || name != record.name) {
        record.problem = "its local header names another entry";
        return;
    }
    record.dataOffset = record.headerOffset + kLocalSize + nameSize + U16(header, 28);
    if (record.dataOffset > centralOffset || record.packedSize > centralOffset - record.dataOffset)
        record.problem = "its data runs past the central directory: the archive is cut short or damaged";
}

}  // namespace

ZipDirectory ReadZipDirectory(const ReadableFile& file)
{
    ZipDirectory directory;
    const std::optional<std::uint64_t> fileSize = file.Size();
    if (!fileSize) {
        directory.error = "its size cannot be told";
        return directory;
    }
    std::string error;
    const std::optional<CentralDirectory> central = FindCentralDirectory(file, *fileSize, error);
    if (!central) {
        directory.error = error;
        return directory;
    }
    std::string bytes;
    if (!ReadAt(file, bytes, central->offset, static_cast<std::size_t>(central->size))) {
        directory.error = "its central directory cannot be read";
        return directory;
    }
    std::size_t at = 0;
    while (at + kCentralSize <= bytes.size() && U32(bytes, at) == kCentralSignature) {
        ZipRecord record;
        record.method = U16(bytes, at + 10);
        record.crc = U32(bytes, at + 16);
        record.packedSize = U32(bytes, at + 20);
        record.size = U32(bytes, at + 24);
        record.headerOffset = U32(bytes, at + 42);
        const std::size_t nameSize = U16(bytes, at + 28);
        const std::size_t extraSize = U16(bytes, at + 30);
        const std::size_t commentSize = U16(bytes, at + 32);
        if (at + kCentralSize + nameSize + extraSize + commentSize > bytes.size())
            break;
        record.name = bytes.substr(at + kCentralSize, nameSize);
        ApplyZip64(record, std::string_view(bytes).substr(at + kCentralSize + nameSize, extraSize),
                   record.size == 0xFFFFFFFF, record.packedSize == 0xFFFFFFFF,
                   record.headerOffset == 0xFFFFFFFF);
        ReadLocalHeader(file, record, central->offset);
        directory.records.push_back(std::move(record));
        at += kCentralSize + nameSize + extraSize + commentSize;
    }
    if (at != bytes.size() || directory.records.size() != central->count)
        directory.error = FormatText("its central directory is damaged after %d entries",
                                     {std::to_string(directory.records.size())});
    return directory;
}

void ZipEntryReader::FreeDecompressor::operator()(libdeflate_decompressor* decompressor) const
{
    libdeflate_free_decompressor(decompressor);
}

namespace {

std::string TooLong(const ZipRecord& record)
{
    return FormatText("it unpacks to more than the %d bytes it records", {std::to_string(record.size)});
}

}  // namespace

ZipEntryReader::ZipEntryReader() = default;
ZipEntryReader::~ZipEntryReader() = default;

std::optional<std::string> ZipEntryReader::Read(const ReadableFile& archive, const ZipRecord& record,
                                                const std::function<bool(std::string_view)>& take)
{
    if (record.problem)
        return record.problem;
    if (record.method != kStored && record.method != kDeflated)
        return FormatText("it is packed by method %d, which zip files of ours never use",
                          {std::to_string(record.method)});
    if (record.method == kStored && record.packedSize != record.size)
        return FormatText("it is stored in %d bytes but records %d",
                          {std::to_string(record.packedSize), std::to_string(record.size)});
    if (record.size <= kWholeEntry && record.packedSize <= kWholeEntry)
        return ReadWhole(archive, record, take);
    return ReadStream(archive, record, take);
}

std::optional<std::string> ZipEntryReader::ReadWhole(const ReadableFile& archive, const ZipRecord& record,
                                                     const std::function<bool(std::string_view)>& take)
{
    const auto packedSize = static_cast<std::size_t>(record.packedSize);
    if (!ReadAt(archive, packed_, record.dataOffset, packedSize))
        return "its data cannot be read";
    if (record.method == kStored) {
        take(packed_);
        return std::nullopt;
    }
    if (!decompressor_)
        decompressor_.reset(libdeflate_alloc_decompressor());
    if (!decompressor_)
        return "there is no memory to unpack it";
    unpacked_.resize(static_cast<std::size_t>(record.size));
    std::size_t produced = 0;
    std::size_t consumed = 0;
    const libdeflate_result result =
        libdeflate_deflate_decompress_ex(decompressor_.get(), packed_.data(), packed_.size(),
                                         unpacked_.data(), unpacked_.size(), &consumed, &produced);
    if (result == LIBDEFLATE_INSUFFICIENT_SPACE)
        return TooLong(record);
    // A stream that does not end where the entry's data ends is damaged too.
    if (result != LIBDEFLATE_SUCCESS || consumed != packed_.size())
        return std::string("its compressed data is damaged");
    take(std::string_view(unpacked_).substr(0, produced));
    return std::nullopt;
}

namespace {

// What one chunk of deflated data gave.
enum class Inflated { NeedMore, Ended, Stopped, Damaged };

// Inflates the chunk in the stream's input into `out`, handing out what comes.
Inflated InflateChunk(z_stream& stream, std::string& out, const std::function<bool(std::string_view)>& take)
{
    // Until the chunk is used up and inflate has nothing more to give.
    do {
        stream.next_out = reinterpret_cast<Bytef*>(out.data());
        stream.avail_out = static_cast<uInt>(out.size());
        const int status = inflate(&stream, Z_NO_FLUSH);
        if (status == Z_BUF_ERROR && stream.avail_in == 0)
            return Inflated::NeedMore;
        if (status != Z_OK && status != Z_STREAM_END)
            return Inflated::Damaged;
        const std::size_t produced = out.size() - stream.avail_out;
        if (produced > 0 && !take(std::string_view(out).substr(0, produced)))
            return Inflated::Stopped;
        if (status == Z_STREAM_END)
            return stream.avail_in == 0 ? Inflated::Ended : Inflated::Damaged;
    } while (stream.avail_in > 0 || stream.avail_out == 0);
    return Inflated::NeedMore;
}

}  // namespace

std::optional<std::string> ZipEntryReader::ReadStream(const ReadableFile& archive, const ZipRecord& record,
                                                      const std::function<bool(std::string_view)>& take)
{
    const bool deflated = record.method == kDeflated;
    z_stream stream{};
    if (deflated && inflateInit2(&stream, -MAX_WBITS) != Z_OK)
        return "there is no memory to unpack it";
    const std::unique_ptr<z_stream, int (*)(z_stream*)> end(deflated ? &stream : nullptr, inflateEnd);

    // No more comes out than the entry records: a few bytes that would
    // unpack to gigabytes are damage found at once, not minutes spent.
    std::uint64_t handed = 0;
    bool tooLong = false;
    const auto bounded = [&](std::string_view bytes) {
        tooLong = bytes.size() > record.size - handed;
        handed += bytes.size();
        return !tooLong && take(bytes);
    };

    unpacked_.resize(kStreamChunk);
    std::uint64_t offset = record.dataOffset;
    std::uint64_t left = record.packedSize;
    Inflated state = Inflated::NeedMore;
    while (left > 0) {
        if (state == Inflated::Ended)
            return "its compressed data is damaged";  // data past the end of the stream
        const auto chunk = static_cast<std::size_t>(std::min<std::uint64_t>(left, kStreamChunk));
        if (!ReadAt(archive, packed_, offset, chunk))
            return "its data cannot be read";
        offset += chunk;
        left -= chunk;
        if (!deflated) {
            if (!take(packed_))
                return std::nullopt;
            continue;
        }
        stream.next_in = reinterpret_cast<Bytef*>(packed_.data());
        stream.avail_in = static_cast<uInt>(chunk);
        state = InflateChunk(stream, unpacked_, bounded);
        if (state == Inflated::Stopped && tooLong)
            return TooLong(record);
        if (state == Inflated::Stopped)
            return std::nullopt;
        if (state == Inflated::Damaged)
            return "its compressed data is damaged";
    }
    if (deflated && state != Inflated::Ended)
        return "its compressed data is damaged";
    return std::nullopt;
}

}  // namespace zpak
