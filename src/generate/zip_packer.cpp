#include "generate/zip_packer.h"

#include "generate/zip_piece.h"
#include "generate/zip_workers.h"
#include "platform/cancel_flag.h"
#include "platform/file_operations.h"
#include "platform/readable_file.h"
#include "platform/text_encoding.h"
#include "platform/text_format.h"
#include "platform/zip_file_io.h"

#include <algorithm>
#include <charconv>
#include <chrono>
#include <cstring>
#include <ctime>
#include <memory>
#include <thread>

#include <zip.h>
#include <zlib.h>

namespace zpak {

namespace {

// minizip 1.1 writes a broken record for files of this size or more unless
// they are added as zip64 entries.
constexpr std::uint64_t kZip64Threshold = 0xF0000000ULL;
constexpr uLong kMadeByUnix = (3UL << 8) | 20UL;  // host Unix, zip format 2.0
constexpr uLong kRegularFile = 0100000;           // S_IFREG, in the Unix mode of an entry
constexpr uLong kUtf8NameFlag = 1UL << 11;        // general-purpose bit 11
constexpr std::uint64_t kProgressStep = 1 << 20;

// Data that deflate cannot shrink (already compressed media, archives) is
// stored: deflating it costs time and gains nothing. Samples spread over the
// entry decide, so that a file whose head is packed data and whose rest is
// not (or the other way round) is still deflated; a small entry is its own
// sample.
constexpr std::size_t kSampleSize = 4096;
constexpr std::size_t kSamples = 4;

// Where the samples of an entry of `size` bytes start: the head, the tail
// and evenly between; the whole entry when it is no larger than the samples.
std::vector<std::pair<std::uint64_t, std::size_t>> SampleSpans(std::uint64_t size)
{
    if (size <= kSampleSize * kSamples)
        return {{0, static_cast<std::size_t>(size)}};
    std::vector<std::pair<std::uint64_t, std::size_t>> spans;
    for (std::size_t i = 0; i < kSamples; ++i)
        spans.emplace_back((size - kSampleSize) * i / (kSamples - 1), kSampleSize);
    return spans;
}

bool WorthDeflating(const std::vector<std::string_view>& samples)
{
    std::size_t sampled = 0;
    std::size_t packed = 0;
    Bytef scratch[kSampleSize * kSamples + 64];
    for (const std::string_view sample : samples) {
        uLongf size = sizeof scratch;
        if (compress2(scratch, &size, reinterpret_cast<const Bytef*>(sample.data()),
                      static_cast<uLong>(sample.size()), 1)
            != Z_OK)
            return true;
        sampled += sample.size();
        packed += size;
    }
    return packed < sampled;
}

std::uint64_t SizeOf(const PackEntry& entry)
{
    if (entry.content)
        return entry.content->size();
    std::error_code ec;
    const std::uintmax_t size = std::filesystem::file_size(entry.source, ec);
    return ec ? 0 : static_cast<std::uint64_t>(size);
}

bool IsAscii(std::string_view text)
{
    return std::ranges::all_of(text, [](char c) { return static_cast<unsigned char>(c) < 0x80; });
}

std::uint32_t DosTime(const std::tm& local)
{
    const int year = local.tm_year + 1900;
    const auto date =
        static_cast<std::uint32_t>(((year - 1980) << 9) | ((local.tm_mon + 1) << 5) | local.tm_mday);
    const auto time =
        static_cast<std::uint32_t>((local.tm_hour << 11) | (local.tm_min << 5) | (local.tm_sec / 2));
    return (date << 16) | time;
}

std::optional<std::uint32_t> DosTimeOf(std::time_t stamp, bool utc)
{
    std::tm broken{};
#ifdef _WIN32
    if ((utc ? ::gmtime_s(&broken, &stamp) : ::localtime_s(&broken, &stamp)) != 0)
        return std::nullopt;
#else
    if (!(utc ? ::gmtime_r(&stamp, &broken) : ::localtime_r(&stamp, &broken)))
        return std::nullopt;
#endif
    const int year = broken.tm_year + 1900;
    if (year < 1980 || year > 2107)
        return std::nullopt;
    return DosTime(broken);
}

std::optional<std::time_t> ModificationTime(const std::filesystem::path& file)
{
    std::error_code ec;
    const auto modified = std::filesystem::last_write_time(file, ec);
    if (ec)
        return std::nullopt;
    const auto stamp = std::chrono::file_clock::to_sys(modified);
    return std::chrono::system_clock::to_time_t(
        std::chrono::time_point_cast<std::chrono::system_clock::duration>(stamp));
}

std::optional<std::uint32_t> EntryTime(const PackEntry& entry, std::optional<std::int64_t> sourceDate)
{
    // A text written in this run is as new as the run.
    const std::optional<std::time_t> modified =
        entry.content ? std::time(nullptr) : ModificationTime(entry.source);
    if (!modified)
        return std::nullopt;
    if (!sourceDate)
        return DosTimeOf(*modified, false);
    return DosTimeOf(std::min<std::int64_t>(*modified, *sourceDate), true);
}

// Cuts the entries into pieces, in the archive's order. An entry is opened,
// and whether it is worth deflating decided, when its first piece is planned.
class PiecePlanner {
public:
    explicit PiecePlanner(const std::vector<PackEntry>& entries) : entries_(entries) {}

    // Nothing once every entry is planned, or one could not be opened or read.
    std::optional<ZipPiece> Next()
    {
        if (!inEntry_ && !StartEntry())
            return std::nullopt;
        ZipPiece piece = current_;
        piece.length = static_cast<std::size_t>(
            std::min<std::uint64_t>(current_.entrySize - current_.offset, kZipPieceSize));
        current_.offset += piece.length;
        inEntry_ = current_.offset < current_.entrySize;
        return piece;
    }

    // Why planning stopped before the end; kZipOk when it did not.
    int Failure() const { return failure_; }

private:
    bool StartEntry()
    {
        if (failure_ != kZipOk || next_ == entries_.size())
            return false;
        const PackEntry& entry = entries_[next_];
        ZipPiece piece;
        piece.entry = next_++;
        if (entry.content) {
            piece.content = *entry.content;
            piece.entrySize = entry.content->size();
        } else {
            auto file = std::make_shared<const ReadableFile>(entry.source);
            if (!file->IsOpen() || !file->IsRegular()) {
                failure_ = kZipCannotOpenInput;  // a folder included
                return false;
            }
            const std::optional<std::uint64_t> size = file->Size();
            if (!size) {
                failure_ = kZipError;
                return false;
            }
            piece.entrySize = *size;
            piece.file = std::move(file);
        }
        const std::optional<std::vector<std::string_view>> samples = Samples(piece);
        if (!samples) {
            failure_ = kZipError;
            return false;
        }
        piece.deflate = piece.entrySize > 0 && WorthDeflating(*samples);
        current_ = std::move(piece);
        inEntry_ = true;
        return true;
    }

    std::optional<std::vector<std::string_view>> Samples(const ZipPiece& piece)
    {
        const auto spans = SampleSpans(piece.entrySize);
        std::vector<std::string_view> samples;
        if (!piece.file) {
            for (const auto& [offset, size] : spans)
                samples.push_back(piece.content.substr(static_cast<std::size_t>(offset), size));
            return samples;
        }
        sample_.resize(kSampleSize * kSamples);
        char* at = sample_.data();
        for (const auto& [offset, size] : spans) {
            if (piece.file->ReadFullAt(at, size, offset) != size)
                return std::nullopt;
            samples.emplace_back(at, size);
            at += size;
        }
        return samples;
    }

    const std::vector<PackEntry>& entries_;
    std::size_t next_ = 0;
    ZipPiece current_;
    bool inEntry_ = false;  // current_ has pieces left
    int failure_ = kZipOk;
    std::string sample_;
};

// The pieces being packed or waiting to be written are bounded, so memory
// stays the same whatever the size of the files: one being packed by each
// worker, and four more, done or waiting, so that no worker idles while the
// writer waits for the oldest. Each holds one buffer, and a worker one more
// for what it reads. Open files are bounded too, when entries are small.
std::uint64_t WindowBytes(unsigned threads)
{
    return (std::uint64_t{threads} + 4) * kZipPieceSize;
}
constexpr std::size_t kWindowPieces = 64;

// The archive's file functions, noting every failure: minizip does not look
// at each result (the position of the central directory, for one), and an
// archive written through a failure it missed must never pass for whole.
class CheckedFile {
public:
    CheckedFile() : inner_(ZipFileFunctions()) {}

    zlib_filefunc64_def Functions()
    {
        zlib_filefunc64_def functions{};
        functions.zopen64_file = [](voidpf self, const void* name, int mode) -> voidpf {
            const auto& inner = Self(self).inner_;
            voidpf stream = inner.zopen64_file(inner.opaque, name, mode);
            Self(self).failed_ |= stream == nullptr;
            return stream;
        };
        functions.zread_file = [](voidpf self, voidpf stream, void* buffer, uLong size) -> uLong {
            const auto& inner = Self(self).inner_;
            return inner.zread_file(inner.opaque, stream, buffer, size);
        };
        functions.zwrite_file = [](voidpf self, voidpf stream, const void* buffer, uLong size) -> uLong {
            const auto& inner = Self(self).inner_;
            const uLong written = inner.zwrite_file(inner.opaque, stream, buffer, size);
            Self(self).failed_ |= written != size;
            return written;
        };
        functions.ztell64_file = [](voidpf self, voidpf stream) -> ZPOS64_T {
            const auto& inner = Self(self).inner_;
            const ZPOS64_T at = inner.ztell64_file(inner.opaque, stream);
            Self(self).failed_ |= at == static_cast<ZPOS64_T>(-1);
            return at;
        };
        functions.zseek64_file = [](voidpf self, voidpf stream, ZPOS64_T offset, int origin) -> long {
            const auto& inner = Self(self).inner_;
            const long result = inner.zseek64_file(inner.opaque, stream, offset, origin);
            Self(self).failed_ |= result != 0;
            return result;
        };
        functions.zclose_file = [](voidpf self, voidpf stream) -> int {
            const auto& inner = Self(self).inner_;
            const int result = inner.zclose_file(inner.opaque, stream);
            Self(self).failed_ |= result != 0;
            return result;
        };
        functions.zerror_file = [](voidpf self, voidpf stream) -> int {
            const auto& inner = Self(self).inner_;
            const int result = inner.zerror_file(inner.opaque, stream);
            Self(self).failed_ |= result != 0;
            return result;
        };
        functions.opaque = this;
        return functions;
    }

    bool Failed() const { return failed_; }

private:
    static CheckedFile& Self(voidpf self) { return *static_cast<CheckedFile*>(self); }

    zlib_filefunc64_def inner_;
    bool failed_ = false;
};

// Writes the pieces into the archive in order as the workers pack them.
class ZipWriter {
public:
    ZipWriter(const std::vector<PackEntry>& entries, const ZipProgressCallback& progress,
              const CancelFlag* cancel, unsigned threads, std::optional<std::int64_t> sourceDate)
        : entries_(entries), progress_(progress), cancel_(cancel), threads_(threads),
          windowBytes_(WindowBytes(threads)), sourceDate_(sourceDate)
    {
    }

    int Run(const std::filesystem::path& file)
    {
        zlib_filefunc64_def functions = file_.Functions();
        zip_ = zipOpen2_64(file.c_str(), APPEND_STATUS_CREATE, nullptr, &functions);
        if (!zip_)
            return kZipCannotCreate;

        state_.filesTotal = entries_.size();
        for (const auto& entry : entries_)
            state_.bytesTotal += SizeOf(entry);

        int result = WriteEntries();
        const int closed = zipClose(zip_, nullptr);
        if (result == kZipOk && closed != ZIP_OK)
            result = closed;
        if (result == kZipOk && file_.Failed())
            result = kZipNotWritten;
        if (result == kZipOk)
            Report();
        return result;
    }

private:
    void Report()
    {
        if (progress_)
            progress_(state_);
    }

    bool Cancelled() const { return cancel_ && cancel_->IsSet(); }

    int WriteEntries()
    {
        ZipWorkers workers(threads_, cancel_);
        PiecePlanner planner(entries_);
        for (;;) {
            Plan(planner, workers);
            if (pieces_ == 0)
                return planner.Failure();
            std::unique_ptr<ZipWork> work = workers.TakeOldest();
            if (!work || Cancelled())
                return kZipCancelled;
            --pieces_;
            bytes_ -= work->piece.length;
            if (const int result = Write(*work); result != kZipOk)
                return result;
            workers.Recycle(std::move(work));
        }
    }

    void Plan(PiecePlanner& planner, ZipWorkers& workers)
    {
        while (pieces_ < kWindowPieces && bytes_ < windowBytes_) {
            std::optional<ZipPiece> piece = planner.Next();
            if (!piece)
                return;
            ++pieces_;
            bytes_ += piece->length;
            workers.Add(std::move(*piece));
        }
    }

    int Write(const ZipWork& work)
    {
        const ZipPiece& piece = work.piece;
        if (work.packed.result != kZipOk)
            return work.packed.result;
        if (piece.First() && !StartEntry(piece))
            return kZipError;
        const std::string_view bytes = work.packed.bytes;
        if (!bytes.empty()
            && zipWriteInFileInZip(zip_, bytes.data(), static_cast<unsigned>(bytes.size())) != ZIP_OK)
            return kZipError;
        crc_ = piece.First() ? work.packed.crc
                             : static_cast<std::uint32_t>(
                                 crc32_combine(crc_, work.packed.crc, static_cast<z_off_t>(piece.length)));
        Advance(piece.length);
        if (!piece.Last())
            return kZipOk;
        const int closed = zipCloseFileInZipRaw64(zip_, piece.entrySize, crc_);
        if (closed == ZIP_OK)
            ++state_.filesDone;
        return closed;
    }

    // The pieces arrive deflated (or stored): minizip writes them as they are.
    bool StartEntry(const ZipPiece& piece)
    {
        const PackEntry& entry = entries_[piece.entry];
        state_.currentEntry = entry.name;
        sinceReport_ = 0;
        Report();

        zip_fileinfo info{};
        info.dosDate = EntryTime(entry, sourceDate_).value_or(0);
        info.external_fa = (kRegularFile | entry.mode) << 16;
        const int method = piece.deflate ? Z_DEFLATED : 0;
        const int zip64 = piece.entrySize >= kZip64Threshold ? 1 : 0;
        // Names are stored in UTF-8 and marked as such, so that unzip tools
        // do not read them in an old DOS code page; a name from a project made
        // on Windows is read in the ANSI code page first.
        const std::string name = Utf8FromText(entry.name);
        const uLong flags = IsAscii(name) ? 0 : kUtf8NameFlag;
        const int raw = 1;
        return zipOpenNewFileInZip4_64(zip_, name.c_str(), &info, nullptr, 0, nullptr, 0, nullptr, method,
                                       Z_DEFAULT_COMPRESSION, raw, -MAX_WBITS, DEF_MEM_LEVEL,
                                       Z_DEFAULT_STRATEGY, nullptr, 0, kMadeByUnix, flags, zip64)
            == ZIP_OK;
    }

    void Advance(std::uint64_t bytes)
    {
        state_.bytesDone += bytes;
        sinceReport_ += bytes;
        if (sinceReport_ >= kProgressStep) {
            sinceReport_ = 0;
            Report();
        }
    }

    const std::vector<PackEntry>& entries_;
    const ZipProgressCallback& progress_;
    const CancelFlag* cancel_;
    unsigned threads_;
    std::uint64_t windowBytes_;
    std::optional<std::int64_t> sourceDate_;
    CheckedFile file_;
    zipFile zip_ = nullptr;
    ZipProgress state_;
    std::uint64_t sinceReport_ = 0;
    std::uint32_t crc_ = 0;    // of the entry being written, so far
    std::size_t pieces_ = 0;   // handed to the workers and not written yet
    std::uint64_t bytes_ = 0;  // their uncompressed size
};

}  // namespace

std::optional<std::uint32_t> GetDosFileTime(const std::filesystem::path& file)
{
    return EntryTime({file, {}, 0644, std::nullopt}, std::nullopt);
}

std::optional<std::uint32_t> GetDosFileTime(const std::filesystem::path& file, std::int64_t sourceDate)
{
    return EntryTime({file, {}, 0644, std::nullopt}, sourceDate);
}

std::optional<std::int64_t> ParseSourceDate(std::string_view text)
{
    std::int64_t seconds = 0;
    const char* end = text.data() + text.size();
    const auto [stop, error] = std::from_chars(text.data(), end, seconds);
    if (text.empty() || error != std::errc() || stop != end || seconds < 0)
        return std::nullopt;
    return seconds;
}

unsigned DefaultZipThreads()
{
    return std::max(1U, std::thread::hardware_concurrency());
}

int WriteZip(const std::filesystem::path& file, const std::vector<PackEntry>& entries,
             const ZipProgressCallback& progress, const CancelFlag* cancel, unsigned threads,
             std::optional<std::int64_t> sourceDate)
{
    return ZipWriter(entries, progress, cancel, std::clamp(threads, 1U, kMaxZipThreads), sourceDate)
        .Run(file);
}

int ZipPackList(const PackList& list, const ZipProgressCallback& progress)
{
    const int result =
        WriteZip(list.archive, list.entries, progress, nullptr, DefaultZipThreads(), list.sourceDate);
    if (result != kZipOk && result != kZipCannotCreate)
        DeleteFileAt(list.archive);
    return result;
}

std::string ZipFailureMessage(int code)
{
    switch (code) {
    case kZipError:
        return "Out of Memory Error.";
    case kZipCannotCreate:
        return "Could not create the zip file []";
    case kZipCannotOpenInput:
        return "Could not open an input file for reading.";
    case kZipCancelled:
        return "The zip file was not written: the run was cancelled.";
    case kZipNotWritten:
        return "The zip file could not be written to the end: reading, writing or seeking in it failed.";
    default:
        return FormatText("Unknown Error #:%d", {std::to_string(code)});
    }
}

}  // namespace zpak
