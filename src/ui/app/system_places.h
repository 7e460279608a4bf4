#pragma once

#include <QString>

#include <filesystem>

namespace zpak::ui {

// Where the wizard keeps and finds its files on this system. `programFolder`
// is the folder of the running program.

// The user guide: beside the program (the build tree, a Windows install), or
// in share/zpakwizard of a Linux install.
std::filesystem::path FindUserGuide(const QString& programFolder);

// presets.ini: beside the program when one is there and that folder takes
// new files (a portable copy); otherwise in `userFolder`, which is made when
// missing.
std::filesystem::path FindPresets(const QString& programFolder, const QString& userFolder);

// The user's own folder for the wizard's files: %APPDATA%\zpakwizard on
// Windows (it travels with a roaming profile), ~/.config/zpakwizard on Linux.
QString UserFilesFolder();

// Where the list of recent projects lives, as RecentProjects takes it: under
// HKEY_CURRENT_USER on Windows, a file in UserFilesFolder() on Linux.
QString RecentProjectsLocation();

}  // namespace zpak::ui
