#pragma once

#include "platform/file_handle.h"

#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace zpak {

// What a directory listing says an entry is. A link is looked at through
// (`stat`) only when somebody asks what it points to.
enum class EntryType : unsigned char { File, Folder, Link, Other, Unknown };

class FolderListing;

struct FolderEntry {
    std::string name;  // the bytes of the name on Linux; UTF-8 on Windows
    EntryType type = EntryType::Unknown;
    // The entry's own listing, once somebody has looked inside it.
    mutable std::unique_ptr<FolderListing> listing;
    // What FolderIndex::Examine found, once it has looked (a project may
    // name one file many times): its kind, and the errno value.
    mutable signed char examined = -1;
    mutable int examineError = 0;
};

// One folder's entries, read once: exact and letter-case-blind lookups in
// constant time.
class FolderListing {
public:
    FolderListing() = default;
    FolderListing(const FolderListing&) = delete;
    FolderListing& operator=(const FolderListing&) = delete;
    ~FolderListing();

    // Reads a folder's entries; a listing that could not be read says why.
    static std::unique_ptr<FolderListing> Read(const std::filesystem::path& folder);

    int error = 0;                     // an errno value when the folder could not be read
    std::vector<FolderEntry> entries;  // in byte order of their names
    std::filesystem::path path;        // the folder
    FileHandle handle;                 // Linux: the folder, for lookups of its entries

    const FolderEntry* Exact(std::string_view name) const;
    // The entry named like `name` ignoring case. A case-sensitive file system
    // may hold several; the smallest name wins, so that the choice does not
    // depend on the order of the listing.
    const FolderEntry* IgnoringCase(std::string_view name) const;
    // The entry a component of a project's path names: exactly, else ignoring
    // case; a component that is not UTF-8 (from a project made on Windows) is
    // tried in the ANSI code page too.
    const FolderEntry* Match(std::string_view component) const;

    void BuildLookups();

private:
    std::unordered_map<std::string_view, std::size_t> exact_;
    std::unordered_map<std::string, std::size_t> folded_;
};

// Finds files as Windows would, for texts of the project: each folder on the
// way is listed once and kept, so that resolving many paths of the same
// folders costs a hash lookup per component instead of a file-system call.
// An index holds what the folders held when they were first listed: make a
// new one (or call Forget) after something changed them.
class FolderIndex {
public:
    // `winePrefix` maps drive-letter paths ("C:\Games\Vantor"); empty maps none.
    // With `eager`, every folder on the way is listed; otherwise a component
    // that exists with its exact name is taken without listing its folder,
    // which is cheaper for a single lookup.
    explicit FolderIndex(std::filesystem::path winePrefix, bool eager = true);
    FolderIndex(const FolderIndex&) = delete;
    FolderIndex& operator=(const FolderIndex&) = delete;
    ~FolderIndex();

    const FolderListing& List(const std::filesystem::path& folder);
    void Forget();

    // A path as the project holds it (Windows separators, any letter case) as
    // a native one. Each component that does not exist with its exact name is
    // replaced by the entry of its folder that matches it ignoring case; from
    // the first component that has no such entry on, the rest is left as
    // given. A drive-letter path is first mapped through the Wine prefix.
    std::filesystem::path ToNative(std::string_view gamePath);

    // `components` below `base` (a native folder), each matched as ToNative
    // does. `found` tells whether every component was there.
    std::filesystem::path Resolve(const std::filesystem::path& base,
                                  const std::vector<std::string>& components, bool* found = nullptr);

    // Resolve, telling also where the last component was found.
    struct Found {
        std::filesystem::path path;
        const FolderListing* folder = nullptr;  // the listing that holds `entry`
        const FolderEntry* entry = nullptr;     // null when a component was missing
    };
    Found Find(const std::filesystem::path& base, const std::vector<std::string>& components);

    // True when the entry is a regular file (a link is followed) that this
    // process may read.
    static bool IsReadableFile(const FolderListing& folder, const FolderEntry& entry);

    // What an entry is, looked at through a link: a file this process may
    // read, a folder, something else (a device, a pipe), gone (a link to
    // nothing, or removed since the listing), or unknown because it could
    // not be examined or read (`error` then holds the errno value).
    enum class Kind { File, Folder, Other, Gone, Unreadable };
    static Kind Examine(const FolderListing& folder, const FolderEntry& entry, int& error);

    // The entry of `folder` that `component` names, as ToNative finds it.
    std::optional<std::string> Locate(const std::filesystem::path& folder, std::string_view component);

    const std::filesystem::path& WinePrefix() const { return winePrefix_; }

private:
    // Examine's look, in the system's own form.
    static Kind ExamineOnce(const FolderListing& folder, const FolderEntry& entry, int& error);

    std::filesystem::path winePrefix_;
    bool eager_;
    std::unordered_map<std::filesystem::path::string_type, std::unique_ptr<FolderListing>> listings_;
};

}  // namespace zpak
