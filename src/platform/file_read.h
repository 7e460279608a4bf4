#pragma once

#include <filesystem>
#include <string>

namespace zpak {

// Reads a whole file; false when it cannot be opened or read (a folder included).
bool ReadWholeFile(const std::filesystem::path& file, std::string& content);

// True when `file` is a regular file that opens for reading. On Windows a
// folder never opens as a file; here it would, so it is ruled out.
bool IsReadableFile(const std::filesystem::path& file);

}  // namespace zpak
