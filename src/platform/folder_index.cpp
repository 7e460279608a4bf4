#include "platform/folder_index.h"

#include "platform/file_operations.h"
#include "platform/text_case.h"
#include "platform/text_encoding.h"
#include "platform/wine_prefix.h"

#include <algorithm>

namespace zpak {

namespace fs = std::filesystem;

namespace {

using NativeString = fs::path::string_type;
constexpr auto kSeparator = fs::path::preferred_separator;
// Whether a name that exists as typed is the name on disk. On Windows it
// exists whatever its letter case, so the folder is listed to learn it.
#ifdef _WIN32
constexpr bool kExistsAsTyped = false;
#else
constexpr bool kExistsAsTyped = true;
#endif

NativeString Native(std::string_view text)
{
    return PathFromText(text).native();
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

// How much of a path (with "/" separators) names where it starts: "/" on
// Linux; on Windows also a drive ("C:/", "C:") or a share ("//server/share/").
std::size_t RootLength(std::string_view text)
{
#ifdef _WIN32
    const bool drive = text.size() >= 2 && text[1] == ':'
        && ((text[0] >= 'A' && text[0] <= 'Z') || (text[0] >= 'a' && text[0] <= 'z'));
    if (drive)
        return text.size() > 2 && text[2] == '/' ? 3 : 2;
    if (text.starts_with("//")) {
        const std::size_t server = text.find('/', 2);
        const std::size_t share = server == std::string_view::npos ? server : text.find('/', server + 1);
        return share == std::string_view::npos ? text.size() : share + 1;
    }
#endif
    return text.starts_with('/') ? 1 : 0;
}

}  // namespace

FolderListing::~FolderListing() = default;

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

const FolderEntry* FolderListing::Match(std::string_view component) const
{
    if (const FolderEntry* entry = Exact(component))
        return entry;
    if (const FolderEntry* entry = IgnoringCase(component))
        return entry;
    if (IsValidUtf8(component))
        return nullptr;
    const std::string utf8 = Utf8FromText(component);
    if (const FolderEntry* entry = Exact(utf8))
        return entry;
    return IgnoringCase(utf8);
}

void FolderListing::BuildLookups()
{
    std::sort(entries.begin(), entries.end(),
              [](const FolderEntry& a, const FolderEntry& b) { return a.name < b.name; });
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
        slot = FolderListing::Read(folder);
    return *slot;
}

void FolderIndex::Forget()
{
    listings_.clear();
}

std::optional<std::string> FolderIndex::Locate(const fs::path& folder, std::string_view component)
{
    const bool listed = listings_.count(folder.native()) != 0;
    if (kExistsAsTyped && !eager_ && !listed && PathExists(folder / PathFromText(component)))
        return std::string(component);
    const FolderListing& listing = List(folder);
    if (listing.error != 0 && listing.entries.empty()) {
        // A folder that may be passed but not read: only exact names can be found.
        if (PathExists(folder / PathFromText(component)))
            return std::string(component);
        return std::nullopt;
    }
    if (const FolderEntry* match = listing.Match(component))
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
    NativeString text = base.native();
    const FolderListing* listing = components.empty() ? nullptr : &List(base);
    for (std::size_t i = 0; i < components.size(); ++i) {
        const std::string& component = components[i];
        const FolderEntry* entry = nullptr;
        if (listing && component != "." && component != "..") {
            entry = listing->Match(component);
            if (!entry && listing->error != 0 && listing->entries.empty()
                && PathExists(fs::path(text) / PathFromText(component))) {
                // A folder that may be passed but not read: only exact names are found.
                listing = nullptr;
            }
        }
        if (!text.empty() && text.back() != kSeparator && text.back() != '/')
            text += kSeparator;
        text += Native(entry ? entry->name : component);
        if (i + 1 == components.size()) {
            result.folder = listing;
            result.entry = entry;
        } else if (entry) {
            if (!entry->listing)
                entry->listing = FolderListing::Read(text);
            listing = entry->listing.get();
        } else {
            listing = nullptr;
        }
    }
    result.path = fs::path(std::move(text));
    return result;
}

fs::path FolderIndex::ToNative(std::string_view gamePath)
{
    const std::string text = NativeText(winePrefix_, gamePath);
    std::size_t pos = RootLength(text);
    fs::path result = PathFromText(std::string_view(text).substr(0, pos)).make_preferred();

    bool resolving = true;
    while (pos <= text.size()) {
        std::size_t end = text.find('/', pos);
        if (end == std::string::npos)
            end = text.size();
        const std::string_view component(text.data() + pos, end - pos);
        const bool last = end == text.size();

        if (component.empty()) {
            if (last && !result.empty() && result.has_relative_path())
                result += fs::path::string_type(1, kSeparator);  // keep a trailing separator as typed
        } else if (!resolving || component == "." || component == "..") {
            result /= PathFromText(component);
        } else if (auto match = Locate(result.empty() ? fs::path(".") : result, component)) {
            result /= PathFromText(*match);
        } else {
            resolving = false;
            result /= PathFromText(component);
        }
        pos = end + 1;
    }
    return result;
}

FolderIndex::Kind FolderIndex::Examine(const FolderListing& folder, const FolderEntry& entry, int& error)
{
    if (entry.examined < 0) {
        entry.examined = static_cast<signed char>(ExamineOnce(folder, entry, entry.examineError));
    }
    error = entry.examineError;
    return static_cast<Kind>(entry.examined);
}

}  // namespace zpak
