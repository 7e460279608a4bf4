#pragma once

#include <filesystem>

namespace zpak {

// Renames `from` to `to`, failing when `to` already exists, as a Windows file
// move does. (A plain POSIX rename would silently replace it.)
bool MoveFileNoReplace(const std::filesystem::path& from, const std::filesystem::path& to);

// Deletes one file; false when it does not exist or cannot be deleted.
bool DeleteFileAt(const std::filesystem::path& file);

// True when `path` names anything at all (a dangling link included).
bool PathExists(const std::filesystem::path& path);

}  // namespace zpak
