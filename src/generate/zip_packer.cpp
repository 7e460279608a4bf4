#include "generate/zip_packer.h"

#include "generate/launch_scripts.h"
#include "generate/manifest_writer.h"
#include "generate/product_paths.h"
#include "model/project_document.h"
#include "model/relative_path.h"
#include "platform/file_search.h"
#include "platform/game_path.h"
#include "platform/message_sink.h"
#include "platform/posix_file.h"
#include "platform/text_format.h"

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
constexpr std::size_t kMostEntries = 65535;
constexpr uLong kMadeByUnix = (3UL << 8) | 20UL;  // host Unix, zip format 2.0
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

std::uint64_t FileSize(const std::filesystem::path& file)
{
    struct stat info {};
    return ::stat(file.c_str(), &info) == 0 ? static_cast<std::uint64_t>(info.st_size) : 0;
}

class ZipWriter {
public:
    ZipWriter(const PackList& list, const ZipProgressCallback& progress)
        : list_(list), progress_(progress)
    {
    }

    int Run()
    {
        buffer_.reset(new (std::nothrow) char[kZipReadBuffer]);
        if (!buffer_)
            return kZipError;
        zip_ = zipOpen64(list_.archive.c_str(), APPEND_STATUS_CREATE);
        if (!zip_)
            return kZipCannotCreate;

        state_.filesTotal = list_.entries.size();
        for (const auto& entry : list_.entries)
            state_.bytesTotal += FileSize(entry.source);

        int result = kZipOk;
        for (const auto& entry : list_.entries) {
            result = AddEntry(entry);
            if (result != kZipOk)
                break;
            ++state_.filesDone;
        }
        const int closed = zipClose(zip_, nullptr);
        if (result == kZipOk && closed != ZIP_OK)
            result = closed;
        if (result != kZipOk)
            ::unlink(list_.archive.c_str());
        else
            Report();
        return result;
    }

private:
    void Report()
    {
        if (progress_)
            progress_(state_);
    }

    int AddEntry(const PackEntry& entry)
    {
        state_.currentEntry = entry.name;
        Report();

        ReadableFile input(entry.source);
        if (!input.IsOpen())
            return kZipCannotOpenInput;
        long got = input.ReadFull(buffer_.get(), kZipReadBuffer);
        if (got < 0)
            return kZipError;

        zip_fileinfo info {};
        info.dosDate = GetDosFileTime(entry.source).value_or(0);
        info.external_fa = static_cast<uLong>(S_IFREG | entry.mode) << 16;
        const auto length = static_cast<std::size_t>(got);
        const int method = WorthDeflating(buffer_.get(), length) ? Z_DEFLATED : 0;
        const int zip64 = FileSize(entry.source) >= kZip64Threshold ? 1 : 0;
        if (zipOpenNewFileInZip4_64(zip_, entry.name.c_str(), &info, nullptr, 0, nullptr, 0,
                                    nullptr, method, Z_DEFAULT_COMPRESSION, 0, -MAX_WBITS,
                                    DEF_MEM_LEVEL, Z_DEFAULT_STRATEGY, nullptr, 0, kMadeByUnix, 0,
                                    zip64)
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
            }
            if (static_cast<std::size_t>(got) < kZipReadBuffer)
                break;  // a short read is the end of the file
            got = input.ReadFull(buffer_.get(), kZipReadBuffer);
        }
        if (got < 0) {
            zipCloseFileInZip(zip_);
            return kZipError;
        }
        return zipCloseFileInZip(zip_);
    }

    const PackList& list_;
    const ZipProgressCallback& progress_;
    std::unique_ptr<char[]> buffer_;
    zipFile zip_ = nullptr;
    ZipProgress state_;
};

std::string ZipName(std::string name)
{
    for (char& c : name) {
        if (c == '\\')
            c = '/';
    }
    return name;
}

// The folder part of a game path, with its trailing separator; empty for a bare name.
std::string FolderPart(const std::string& path)
{
    const std::size_t cut = path.find_last_of("\\/");
    return cut == std::string::npos ? std::string() : path.substr(0, cut + 1);
}

// Names entries by the path their game path resolves to below the game folder.
class EntryNamer {
public:
    explicit EntryNamer(const std::string& gameFolder)
        : gameFolder_(gameFolder), base_(GamePathToNative(gameFolder).string())
    {
        while (base_.size() > 1 && base_.back() == '/')
            base_.pop_back();
    }

    std::string Name(const std::string& relative) const
    {
        const std::string native = GamePathToNative(gameFolder_ + "\\" + relative).string();
        if (native.size() > base_.size() + 1 && native.compare(0, base_.size(), base_) == 0
            && native[base_.size()] == '/')
            return native.substr(base_.size() + 1);
        return ZipName(relative);
    }

private:
    std::string gameFolder_;
    std::string base_;
};

}  // namespace

std::optional<std::uint32_t> GetDosFileTime(const std::filesystem::path& file)
{
    struct stat info {};
    if (::stat(file.c_str(), &info) != 0)
        return std::nullopt;
    std::tm local {};
    if (!::localtime_r(&info.st_mtime, &local))
        return std::nullopt;
    const int year = local.tm_year + 1900;
    if (year < 1980 || year > 2107)
        return std::nullopt;
    const auto date = static_cast<std::uint32_t>(((year - 1980) << 9) | ((local.tm_mon + 1) << 5)
                                                 | local.tm_mday);
    const auto time = static_cast<std::uint32_t>((local.tm_hour << 11) | (local.tm_min << 5)
                                                 | (local.tm_sec / 2));
    return (date << 16) | time;
}

int ZipPackList(const PackList& list, const ZipProgressCallback& progress)
{
    return ZipWriter(list, progress).Run();
}

std::optional<PackList> BuildPackList(const ProjectDocument& document, MessageSink& sink)
{
    const std::string& folder = document.GameFolderText();
    std::string archiveName = ManifestBaseName(document);
    for (char& c : archiveName) {
        if (c == ' ')
            c = '_';
    }
    PackList list;
    list.archive = GamePathToNative(folder + "\\" + archiveName + ".zip");

    // Entry names are checked as the project states them, then written with
    // the letter case the folders have on disk, so that unpacking on a
    // case-sensitive system merges into the player's folders.
    std::vector<std::string> stated;
    const EntryNamer namer(folder);
    const auto add = [&](std::filesystem::path source, const std::string& name, unsigned mode) {
        stated.push_back(ZipName(name));
        list.entries.push_back({std::move(source), namer.Name(name), mode});
    };

    for (const auto& group : document.groups) {
        for (const auto& file : group->files) {
            const std::string& name = file->NameText();
            if (name.find('*') == std::string::npos) {
                add(GameFile(document, name), file->GetSrc().empty() ? name : file->GetSrc(), 0644);
                continue;
            }
            // A destination given to a wildcard names the folder its matches go to.
            const std::string source = FolderPart(name);
            const std::string target = file->GetSrc().empty() ? source : FolderPart(file->GetSrc());
            const auto nativeFolder = GamePathToNative(folder + "\\" + source);
            for (const auto& match : ListMatchingFiles(nativeFolder, name.substr(source.size())))
                add(nativeFolder / match, target + match, 0644);
        }
    }
    const ProductData& product = *document.product;
    if (product.readme)
        add(GameFile(document, *product.readme), *product.readme, 0644);
    if (product.shortcut) {
        std::filesystem::path script;
        const std::string prefix = "System\\" + TextOf(product.product);
        if (product.linux) {
            WriteLinuxScript(document, script, sink);
            add(script, prefix + ".sh", 0755);
        }
        if (product.mac) {
            WriteMacScript(document, script, sink);
            add(script, prefix + "_mac.sh", 0755);
        }
    }

    for (const auto& name : stated) {
        // Names come from the project, which a hand edit may have bent.
        if (LeavesFolder(name)) {
            sink.ShowMessage(FormatText("The file %s would be unpacked outside the game folder. "
                                        "Cannot continue generating the product.",
                                        {name}));
            return std::nullopt;
        }
    }
    if (list.entries.size() > kMostEntries) {
        sink.ShowMessage(FormatText("The zip file would hold %d files, but a zip file can hold "
                                    "at most 65535. Cannot continue generating the product.",
                                    {std::to_string(list.entries.size())}));
        return std::nullopt;
    }
    return list;
}

bool PackZip(ProjectDocument& document, MessageSink& sink, const ZipProgressCallback& progress)
{
    if (!CheckProductName(document, sink) || !CheckProductFiles(document, sink))
        return false;
    const std::optional<PackList> list = BuildPackList(document, sink);
    if (!list)
        return false;

    const int result = ZipPackList(*list, progress);
    switch (result) {
    case kZipOk:
        sink.ShowMessage(FormatText("The files have been compressed into %s within the %s folder",
                                    {list->archive.string(),
                                     GamePathToNative(document.GameFolderText()).string()}));
        return true;
    case kZipError:
        sink.ShowMessage("Out of Memory Error.");
        break;
    case kZipCannotCreate:
        sink.ShowMessage("Could not create the zip file []");
        break;
    case kZipCannotOpenInput:
        sink.ShowMessage("Could not open an input file for reading.");
        break;
    default:
        sink.ShowMessage(FormatText("Unknown Error #:%d", {std::to_string(result)}));
        break;
    }
    return false;
}

}  // namespace zpak
