#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace zpak {

// The Wine prefix that Wine itself uses by default: $WINEPREFIX, else
// ~/.wine; empty when neither variable is set, and on Windows. The only place
// that reads them.
std::filesystem::path DefaultWinePrefix();

// A Windows path with a drive letter ("C:\Games\Vantor") as a native path
// through the prefix's dosdevices/<letter>: link, the rest with "/"
// separators and its letter case as given. Nothing when the path has no drive
// letter or the prefix has no such drive.
std::optional<std::string> MapWineDrive(const std::filesystem::path& prefix, std::string_view windowsPath);

}  // namespace zpak
