#include "platform/folder_index.h"

#include "platform/text_case.h"
#include "platform/wine_prefix.h"

#include <algorithm>
#include <cerrno>

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace zpak {

namespace fs = std::filesystem;

namespace {

EntryType TypeOf(unsigned char type)
{
    switch (type) {
    case DT_REG:
        return EntryType::File;
    case DT_DIR:
        return EntryType::Folder;
    case DT_LNK:
        return EntryType::Link;
    case DT_UNKNOWN:
        return EntryType::Unknown;
    default:
        return EntryType::Other;
    }
}

std::unique_ptr<FolderListing> ReadFolder(const fs::path& folder)
{
    auto listing = std::make_unique<FolderListing>();
    listing->fd = ::open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    const int readFd = listing->fd >= 0 ? ::dup(listing->fd) : -1;
    DIR* dir = readFd >= 0 ? ::fdopendir(readFd) : nullptr;
    if (!dir) {
        listing->error = errno;
        if (readFd >= 0)
            ::close(readFd);
        return listing;
    }
    for (;;) {
        errno = 0;
        const dirent* entry = ::readdir(dir);
        if (!entry) {
            listing->error = errno;
            break;
        }
        const std::string_view name = entry->d_name;
        if (name == "." || name == "..")
            continue;
        listing->entries.push_back({std::string(name), TypeOf(entry->d_type), nullptr});
    }
    ::closedir(dir);
    std::sort(listing->entries.begin(), listing->entries.end(),
              [](const FolderEntry& a, const FolderEntry& b) { return a.name < b.name; });
    listing->BuildLookups();
    return listing;
}

bool EntryExists(const fs::path& path)
{
    struct stat info {};
    return ::lstat(path.c_str(), &info) == 0;
}

// The folder text with "/" separators, mapped through the Wine prefix when it
// starts with a drive letter.
std::string NativeText(const fs::path& prefix, std::string_view gamePath)
{
    std::string text = prefix.empty() ? std::string(gamePath)
                                      : MapWineDrive(prefix, gamePath).value_or(std::string(gamePath));
    std::replace(text.begin(), text.end(), '\\', '/');
    return text;
}

}  // namespace

FolderListing::~FolderListing()
{
    if (fd >= 0)
        ::close(fd);
}

const FolderEntry* FolderListing::Exact(std::string_view name) const
{
    const auto it = exact_.find(name);
    return it == exact_.end() ? nullptr : &entries[it->second];
}

const FolderEntry* FolderListing::IgnoringCase(std::string_view name) const
{
    const auto it = folded_.find(FoldedText(name));
    return it == folded_.end() ? nullptr : &entries[it->second];
}

void FolderListing::BuildLookups()
{
    exact_.reserve(entries.size());
    folded_.reserve(entries.size());
    for (std::size_t i = 0; i < entries.size(); ++i) {
        exact_.emplace(entries[i].name, i);
        folded_.emplace(FoldedText(entries[i].name), i);  // sorted: the first one is the smallest
    }
}

FolderIndex::FolderIndex(fs::path winePrefix, bool eager) : winePrefix_(std::move(winePrefix)), eager_(eager)
{
}

FolderIndex::~FolderIndex() = default;

const FolderListing& FolderIndex::List(const fs::path& folder)
{
    auto& slot = listings_[folder.native()];
    if (!slot)
        slot = ReadFolder(folder);
    return *slot;
}

void FolderIndex::Forget()
{
    listings_.clear();
}

std::optional<std::string> FolderIndex::Locate(const fs::path& folder, std::string_view component)
{
    const bool listed = listings_.count(folder.native()) != 0;
    if (!eager_ && !listed && EntryExists(folder / component))
        return std::string(component);
    const FolderListing& listing = List(folder);
    if (listing.error != 0 && listing.entries.empty()) {
        // A folder that may be passed but not read: only exact names can be found.
        if (EntryExists(folder / component))
            return std::string(component);
        return std::nullopt;
    }
    if (listing.Exact(component))
        return std::string(component);
    if (const FolderEntry* match = listing.IgnoringCase(component))
        return match->name;
    return std::nullopt;
}

fs::path FolderIndex::Resolve(const fs::path& base, const std::vector<std::string>& components, bool* found)
{
    Found result = Find(base, components);
    if (found)
        *found = result.entry != nullptr || components.empty();
    return std::move(result.path);
}

FolderIndex::Found FolderIndex::Find(const fs::path& base, const std::vector<std::string>& components)
{
    Found result;
    std::string text = base.native();
    const FolderListing* listing = components.empty() ? nullptr : &List(base);
    for (std::size_t i = 0; i < components.size(); ++i) {
        const std::string& component = components[i];
        const FolderEntry* entry = nullptr;
        if (listing && component != "." && component != "..") {
            entry = listing->Exact(component);
            if (!entry)
                entry = listing->IgnoringCase(component);
            if (!entry && listing->error != 0 && listing->entries.empty()
                && EntryExists(fs::path(text) / component)) {
                // A folder that may be passed but not read: only exact names are found.
                listing = nullptr;
            }
        }
        if (!text.empty() && text.back() != '/')
            text += '/';
        text += entry ? entry->name : component;
        if (i + 1 == components.size()) {
            result.folder = listing;
            result.entry = entry;
        } else if (entry) {
            if (!entry->listing)
                entry->listing = ReadFolder(text);
            listing = entry->listing.get();
        } else {
            listing = nullptr;
        }
    }
    result.path = fs::path(std::move(text));
    return result;
}

bool FolderIndex::IsReadableFile(const FolderListing& folder, const FolderEntry& entry)
{
    bool regular = entry.type == EntryType::File;
    if (entry.type == EntryType::Link || entry.type == EntryType::Unknown) {
        struct stat info {};
        regular = ::fstatat(folder.fd, entry.name.c_str(), &info, 0) == 0 && S_ISREG(info.st_mode);
    }
    // AT_EACCESS: checked as whoever opens the file, and much cheaper than the
    // real-id check, which swaps the credentials in the kernel on every call.
    return regular && ::faccessat(folder.fd, entry.name.c_str(), R_OK, AT_EACCESS) == 0;
}

fs::path FolderIndex::ToNative(std::string_view gamePath)
{
    const std::string text = NativeText(winePrefix_, gamePath);
    fs::path result;
    std::size_t pos = 0;
    if (!text.empty() && text.front() == '/') {
        result = "/";
        pos = 1;
    }

    bool resolving = true;
    while (pos <= text.size()) {
        std::size_t end = text.find('/', pos);
        if (end == std::string::npos)
            end = text.size();
        const std::string_view component(text.data() + pos, end - pos);
        const bool last = end == text.size();

        if (component.empty()) {
            if (last && !result.empty() && !result.native().ends_with('/'))
                result += "/";  // keep a trailing separator as typed
        } else if (!resolving || component == "." || component == "..") {
            result /= component;
        } else if (auto match = Locate(result.empty() ? fs::path(".") : result, component)) {
            result /= *match;
        } else {
            resolving = false;
            result /= component;
        }
        pos = end + 1;
    }
    return result;
}

}  // namespace zpak
