#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace zpak {

// `path` relative to the folder `base`, with "\" between its components, or
// empty when `path` does not lie below `base` (compared ignoring case). The
// base counts only when a separator follows it in `path`; one trailing
// separator of the base is taken as that separator.
std::string MakeRelativePath(const std::string& base, const std::string& path);

// A path of the game folder as the project stores it: "\" between its
// components, whether "/" or "\" was typed or browsed. Every such path goes
// through here as it enters the document; stored ones are read as they are.
std::string StoredGamePath(std::string path);

// A file picked on disk as a path of the game folder: relative to the folder
// as the project holds it, or else as it lies on disk (`resolvedFolder`: a
// drive-letter folder found in a Wine prefix). Empty when it lies in neither.
std::string GameFolderRelativePath(const std::string& folder, const std::string& resolvedFolder,
                                   const std::string& path);

// True when a path meant to stay inside a folder would leave it: it is empty,
// starts with a separator or a drive letter, or has a ".." component.
bool LeavesFolder(std::string_view path);

// The components of a path meant to lie inside a folder, with "." and empty
// components dropped and each ".." taking back the component before it.
// Nothing when the path leaves the folder: it starts with a separator or a
// drive letter, or a ".." goes above the folder.
std::optional<std::vector<std::string>> ComponentsInsideFolder(std::string_view path);

}  // namespace zpak
