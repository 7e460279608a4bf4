#include "generate/zip_packer.h"

#include "generate/generation_run.h"
#include "platform/cancel_flag.h"
#include "platform/file_operations.h"
#include "platform/readable_file.h"
#include "platform/text_encoding.h"
#include "platform/text_format.h"
#include "platform/zip_file_io.h"

#include <algorithm>
#include <chrono>
#include <cstring>
#include <ctime>
#include <memory>

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
// stored: deflating it costs time and gains nothing.
bool WorthDeflating(const char* block, std::size_t size)
{
    if (size == 0)
        return false;
    Bytef scratch[kZipReadBuffer + 64];
    uLongf packed = sizeof scratch;
    if (compress2(scratch, &packed, reinterpret_cast<const Bytef*>(block), static_cast<uLong>(size), 1)
        != Z_OK)
        return true;
    return packed < size;
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

std::optional<std::uint32_t> DosTimeOf(std::time_t stamp)
{
    std::tm local{};
#ifdef _WIN32
    if (::localtime_s(&local, &stamp) != 0)
        return std::nullopt;
#else
    if (!::localtime_r(&stamp, &local))
        return std::nullopt;
#endif
    const int year = local.tm_year + 1900;
    if (year < 1980 || year > 2107)
        return std::nullopt;
    return DosTime(local);
}

// Where an entry's bytes come from: a file, or text in memory.
class EntrySource {
public:
    explicit EntrySource(const PackEntry& entry) : entry_(entry)
    {
        if (!entry.content)
            file_.emplace(entry.source);
    }

    // -4 when the file cannot be read as a file (a folder included).
    int Open() const
    {
        if (entry_.content)
            return kZipOk;
        return file_->IsOpen() && file_->IsRegular() ? kZipOk : kZipCannotOpenInput;
    }

    // The count read; nothing on a read error.
    std::optional<std::size_t> Read(char* buffer, std::size_t size)
    {
        if (file_)
            return file_->ReadFull(buffer, size);
        const std::size_t count = std::min(size, entry_.content->size() - offset_);
        std::copy_n(entry_.content->data() + offset_, count, buffer);
        offset_ += count;
        return count;
    }

    std::optional<std::uint32_t> Time() const
    {
        return entry_.content ? DosTimeOf(std::time(nullptr)) : GetDosFileTime(entry_.source);
    }

private:
    const PackEntry& entry_;
    std::optional<ReadableFile> file_;
    std::size_t offset_ = 0;
};

class ZipWriter {
public:
    ZipWriter(const std::vector<PackEntry>& entries, const ZipProgressCallback& progress,
              const CancelFlag* cancel)
        : entries_(entries), progress_(progress), cancel_(cancel)
    {
    }

    int Run(const std::filesystem::path& file)
    {
        buffer_.reset(new (std::nothrow) char[kZipReadBuffer]);
        if (!buffer_)
            return kZipError;
        zlib_filefunc64_def functions = ZipFileFunctions();
        zip_ = zipOpen2_64(file.c_str(), APPEND_STATUS_CREATE, nullptr, &functions);
        if (!zip_)
            return kZipCannotCreate;

        state_.filesTotal = entries_.size();
        for (const auto& entry : entries_)
            state_.bytesTotal += SizeOf(entry);

        int result = kZipOk;
        for (const auto& entry : entries_) {
            result = AddEntry(entry);
            if (result != kZipOk)
                break;
            ++state_.filesDone;
        }
        const int closed = zipClose(zip_, nullptr);
        if (result == kZipOk && closed != ZIP_OK)
            result = closed;
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

    int AddEntry(const PackEntry& entry)
    {
        if (Cancelled())
            return kZipCancelled;
        state_.currentEntry = entry.name;
        Report();

        EntrySource input(entry);
        if (const int opened = input.Open(); opened != kZipOk)
            return opened;
        std::optional<std::size_t> got = input.Read(buffer_.get(), kZipReadBuffer);
        if (!got)
            return kZipError;

        zip_fileinfo info{};
        info.dosDate = input.Time().value_or(0);
        info.external_fa = (kRegularFile | entry.mode) << 16;
        const int method = WorthDeflating(buffer_.get(), *got) ? Z_DEFLATED : 0;
        const int zip64 = SizeOf(entry) >= kZip64Threshold ? 1 : 0;
        // Names are stored in UTF-8 and marked as such, so that unzip tools
        // do not read them in an old DOS code page; a name from a project made
        // on Windows is read in the ANSI code page first.
        const std::string name = Utf8FromText(entry.name);
        const uLong flags = IsAscii(name) ? 0 : kUtf8NameFlag;
        if (zipOpenNewFileInZip4_64(zip_, name.c_str(), &info, nullptr, 0, nullptr, 0, nullptr, method,
                                    Z_DEFAULT_COMPRESSION, 0, -MAX_WBITS, DEF_MEM_LEVEL, Z_DEFAULT_STRATEGY,
                                    nullptr, 0, kMadeByUnix, flags, zip64)
            != ZIP_OK)
            return kZipError;

        std::uint64_t sinceReport = 0;
        while (*got > 0) {
            if (zipWriteInFileInZip(zip_, buffer_.get(), static_cast<unsigned>(*got)) != ZIP_OK) {
                zipCloseFileInZip(zip_);
                return kZipError;
            }
            state_.bytesDone += *got;
            sinceReport += *got;
            if (sinceReport >= kProgressStep) {
                sinceReport = 0;
                Report();
                if (Cancelled()) {
                    zipCloseFileInZip(zip_);
                    return kZipCancelled;
                }
            }
            if (*got < kZipReadBuffer)
                break;  // a short read is the end of the file
            got = input.Read(buffer_.get(), kZipReadBuffer);
            if (!got) {
                zipCloseFileInZip(zip_);
                return kZipError;
            }
        }
        return zipCloseFileInZip(zip_);
    }

    const std::vector<PackEntry>& entries_;
    const ZipProgressCallback& progress_;
    const CancelFlag* cancel_;
    std::unique_ptr<char[]> buffer_;
    zipFile zip_ = nullptr;
    ZipProgress state_;
};

}  // namespace

std::optional<std::uint32_t> GetDosFileTime(const std::filesystem::path& file)
{
    std::error_code ec;
    const auto modified = std::filesystem::last_write_time(file, ec);
    if (ec)
        return std::nullopt;
    const auto stamp = std::chrono::file_clock::to_sys(modified);
    return DosTimeOf(std::chrono::system_clock::to_time_t(
        std::chrono::time_point_cast<std::chrono::system_clock::duration>(stamp)));
}

int WriteZip(const std::filesystem::path& file, const std::vector<PackEntry>& entries,
             const ZipProgressCallback& progress, const CancelFlag* cancel)
{
    return ZipWriter(entries, progress, cancel).Run(file);
}

int ZipPackList(const PackList& list, const ZipProgressCallback& progress)
{
    const int result = WriteZip(list.archive, list.entries, progress);
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
    default:
        return FormatText("Unknown Error #:%d", {std::to_string(code)});
    }
}

bool PackZip(ProjectDocument& document, MessageSink& sink, const ZipProgressCallback& progress)
{
    GenerationHooks hooks;
    hooks.zipProgress = progress;
    hooks.skipCleanup = true;
    return RunGeneration(document, GenerationChoice::Zip, sink, hooks) == GenerationOutcome::Done;
}

}  // namespace zpak
