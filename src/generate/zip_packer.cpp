#include "generate/zip_packer.h"

#include "generate/generation_run.h"
#include "platform/cancel_flag.h"
#include "platform/readable_file.h"
#include "platform/text_format.h"

#include <algorithm>
#include <cstring>
#include <ctime>
#include <memory>

#include <sys/stat.h>
#include <unistd.h>
#include <zip.h>
#include <zlib.h>

namespace zpak {

namespace {

// minizip 1.1 writes a broken record for files of this size or more unless
// they are added as zip64 entries.
constexpr std::uint64_t kZip64Threshold = 0xF0000000ULL;
constexpr uLong kMadeByUnix = (3UL << 8) | 20UL;  // host Unix, zip format 2.0
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
    if (compress2(scratch, &packed, reinterpret_cast<const Bytef*>(block), size, 1) != Z_OK)
        return true;
    return packed < size;
}

std::uint64_t SizeOf(const PackEntry& entry)
{
    if (entry.content)
        return entry.content->size();
    struct stat info {};
    return ::stat(entry.source.c_str(), &info) == 0 ? static_cast<std::uint64_t>(info.st_size) : 0;
}

// The length of the UTF-8 sequence starting at text[i], or 0 when none
// starts there (a stray byte, an overlong form, a surrogate, beyond U+10FFFF).
std::size_t Utf8SequenceLength(std::string_view text, std::size_t i)
{
    const auto byte = [&](std::size_t k) { return static_cast<unsigned char>(text[i + k]); };
    const unsigned char lead = byte(0);
    const std::size_t length = lead >= 0xF0 && lead <= 0xF4 ? 4
        : lead >= 0xE0                                      ? 3
        : lead >= 0xC2 && lead <= 0xDF                      ? 2
                                                            : 0;
    if (length == 0 || i + length > text.size())
        return 0;
    for (std::size_t k = 1; k < length; ++k) {
        if ((byte(k) & 0xC0) != 0x80)
            return 0;
    }
    const unsigned char second = byte(1);
    const bool outOfRange = (lead == 0xE0 && second < 0xA0) || (lead == 0xED && second >= 0xA0)
        || (lead == 0xF0 && second < 0x90) || (lead == 0xF4 && second >= 0x90);
    return outOfRange ? 0 : length;
}

// Names that are UTF-8 and not plain ASCII are marked as such, so that unzip
// tools do not read them in an old DOS code page.
bool IsNonAsciiUtf8(std::string_view text)
{
    bool nonAscii = false;
    for (std::size_t i = 0; i < text.size();) {
        if (static_cast<unsigned char>(text[i]) < 0x80) {
            ++i;
            continue;
        }
        const std::size_t length = Utf8SequenceLength(text, i);
        if (length == 0)
            return false;
        nonAscii = true;
        i += length;
    }
    return nonAscii;
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
    if (!::localtime_r(&stamp, &local))
        return std::nullopt;
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

    long Read(char* buffer, std::size_t size)
    {
        if (file_)
            return file_->ReadFull(buffer, size);
        const std::size_t count = std::min(size, entry_.content->size() - offset_);
        std::copy_n(entry_.content->data() + offset_, count, buffer);
        offset_ += count;
        return static_cast<long>(count);
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
        zip_ = zipOpen64(file.c_str(), APPEND_STATUS_CREATE);
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
        long got = input.Read(buffer_.get(), kZipReadBuffer);
        if (got < 0)
            return kZipError;

        zip_fileinfo info{};
        info.dosDate = input.Time().value_or(0);
        info.external_fa = static_cast<uLong>(S_IFREG | entry.mode) << 16;
        const auto length = static_cast<std::size_t>(got);
        const int method = WorthDeflating(buffer_.get(), length) ? Z_DEFLATED : 0;
        const int zip64 = SizeOf(entry) >= kZip64Threshold ? 1 : 0;
        const uLong flags = IsNonAsciiUtf8(entry.name) ? kUtf8NameFlag : 0;
        if (zipOpenNewFileInZip4_64(zip_, entry.name.c_str(), &info, nullptr, 0, nullptr, 0, nullptr, method,
                                    Z_DEFAULT_COMPRESSION, 0, -MAX_WBITS, DEF_MEM_LEVEL, Z_DEFAULT_STRATEGY,
                                    nullptr, 0, kMadeByUnix, flags, zip64)
            != ZIP_OK)
            return kZipError;

        std::uint64_t sinceReport = 0;
        while (got > 0) {
            if (zipWriteInFileInZip(zip_, buffer_.get(), static_cast<unsigned>(got)) != ZIP_OK) {
                zipCloseFileInZip(zip_);
                return kZipError;
            }
            state_.bytesDone += static_cast<std::uint64_t>(got);
            sinceReport += static_cast<std::uint64_t>(got);
            if (sinceReport >= kProgressStep) {
                sinceReport = 0;
                Report();
                if (Cancelled()) {
                    zipCloseFileInZip(zip_);
                    return kZipCancelled;
                }
            }
            if (static_cast<std::size_t>(got) < kZipReadBuffer)
                break;  // a short read is the end of the file
            got = input.Read(buffer_.get(), kZipReadBuffer);
        }
        if (got < 0) {
            zipCloseFileInZip(zip_);
            return kZipError;
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
    struct stat info {};
    if (::stat(file.c_str(), &info) != 0)
        return std::nullopt;
    return DosTimeOf(info.st_mtime);
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
        ::unlink(list.archive.c_str());
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
