#pragma once

#include <filesystem>
#include <string>

namespace zpak {

// Renames `from` to `to`, failing when `to` already exists, as a Windows file
// move does. (A plain POSIX rename would silently replace it.)
bool MoveFileNoReplace(const std::filesystem::path& from, const std::filesystem::path& to);

// Deletes one file; false when it does not exist or cannot be deleted.
bool DeleteFileAt(const std::filesystem::path& file);

// True when `path` names anything at all (a dangling link included).
bool PathExists(const std::filesystem::path& path);

// Whether `path` names anything (a dangling link included), as far as the
// system could tell: a failure other than "no such file" is Unknown.
enum class PathState { Present, Absent, Unknown };
PathState StateOfPath(const std::filesystem::path& path);

// What tells a folder from a copy of it: its device and inode on Linux, its
// volume's serial number and file index on Windows. Empty when it cannot be
// read.
std::string FolderIdentity(const std::filesystem::path& folder);

}  // namespace zpak
