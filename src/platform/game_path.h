#pragma once

#include <filesystem>
#include <string_view>

namespace zpak {

// Turns a path as the project holds it (Windows separators, any letter case)
// into a native one. Each '\' becomes '/'. Each component that does not exist
// with its exact name is replaced by the entry of its folder that matches it
// ignoring case, as Windows would find it; from the first component that has
// no such entry on, the rest is left as given. A path with a drive letter
// ("C:\Games\Vantor", from a project made on Windows) is first mapped through
// the Wine prefix when that prefix has the drive (none when it is empty).
std::filesystem::path GamePathToNative(std::string_view gamePath, const std::filesystem::path& winePrefix);

}  // namespace zpak
