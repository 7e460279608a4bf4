#include "platform/file_search.h"

#include "platform/folder_index.h"
#include "platform/game_path.h"
#include "platform/text_case.h"
#include "platform/text_encoding.h"

#include <algorithm>
#include <filesystem>
#include <string>
#include <system_error>

namespace zpak {

bool MatchesWildcard(std::string_view name, std::string_view pattern)
{
    if (pattern == "*.*")
        return true;
    // Greedy match with one backtrack point: linear for patterns without many stars.
    std::size_t n = 0;
    std::size_t p = 0;
    std::size_t starP = std::string_view::npos;
    std::size_t starN = 0;
    while (n < name.size()) {
        if (p < pattern.size() && pattern[p] == '*') {
            starP = p++;
            starN = n;
        } else if (p < pattern.size() && (pattern[p] == '?' || FoldCase(pattern[p]) == FoldCase(name[n]))) {
            ++p;
            ++n;
        } else if (starP != std::string_view::npos) {
            p = starP + 1;
            n = ++starN;
        } else {
            return false;
        }
    }
    while (p < pattern.size() && pattern[p] == '*')
        ++p;
    return p == pattern.size();
}

bool AnyFileMatches(std::string_view gamePathPattern, const std::filesystem::path& winePrefix)
{
    const std::size_t cut = gamePathPattern.find_last_of("\\/");
    const std::string_view pattern =
        cut == std::string_view::npos ? gamePathPattern : gamePathPattern.substr(cut + 1);
    if (pattern.empty())
        return false;

    std::filesystem::path folder(".");
    if (cut == 0)
        folder = "/";
    else if (cut != std::string_view::npos)
        folder = GamePathToNative(gamePathPattern.substr(0, cut), winePrefix);

    const auto listing = FolderListing::Read(folder);
    return std::ranges::any_of(
        listing->entries, [&](const FolderEntry& entry) { return MatchesWildcard(entry.name, pattern); });
}

std::vector<std::string> ListMatchingFiles(const std::filesystem::path& folder, std::string_view pattern)
{
    std::vector<std::string> names;
    const auto listing = FolderListing::Read(folder);
    for (const FolderEntry& entry : listing->entries) {
        if (!MatchesWildcard(entry.name, pattern))
            continue;
        std::error_code ec;
        const bool file = entry.type == EntryType::File
            || ((entry.type == EntryType::Link || entry.type == EntryType::Unknown)
                && std::filesystem::is_regular_file(folder / PathFromText(entry.name), ec));
        if (file)
            names.push_back(entry.name);
    }
    return names;  // the listing is in byte order
}

}  // namespace zpak
