#pragma once

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace zpak {

// Windows wildcard matching of one name: '*' any run of characters, '?' any one
// character, letters compared ignoring case; "*.*" matches every name.
bool MatchesWildcard(std::string_view name, std::string_view pattern);

// The file search of the project: `gamePathPattern` is a game path whose last
// component may hold wildcards. True when the folder holds at least one entry
// (file or folder) that matches it.
bool AnyFileMatches(std::string_view gamePathPattern, const std::filesystem::path& winePrefix);

// The names of the regular files (not folders) of `folder` that match
// `pattern`, in byte order so that archives come out the same on every run.
std::vector<std::string> ListMatchingFiles(const std::filesystem::path& folder, std::string_view pattern);

}  // namespace zpak
