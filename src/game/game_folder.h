#pragma once

#include <cstddef>
#include <filesystem>
#include <string>
#include <vector>

namespace zpak {

class ProjectDocument;
class RegistryBackend;

// Where the engine's installers register their games: one sub-key per game,
// each with a string value "Folder".
inline constexpr const char* kInstalledAppsKey = "Software\\Corvex Technology\\Installed Apps";
// How many levels below kInstalledAppsKey the detection reads: the games' keys.
inline constexpr std::size_t kInstalledAppsLevels = 1;
inline constexpr const char* kDefaultGame = "Vantor";

// The key of one installed game, as the games combo names it.
std::string GameKeyPath(const std::string& game);

// The installed games in the order the games combo shows them (sorted
// alphabetically, ignoring case).
std::vector<std::string> ListInstalledGames(const RegistryBackend& registry);

// Reads the "Folder" string of the game's key. When there is one, it becomes
// the project's game folder and `folder` (for the page's edit) and the result
// is true; otherwise nothing changes. A folder registered in the default
// Wine prefix (`winePrefix`) is kept as the registry holds it
// ("C:\Games\Vantor") when that maps back to the same folder, so that the
// project opens on Windows and on other machines; any other stays native.
bool LoadGameFolder(const RegistryBackend& registry, const std::string& keyPath, ProjectDocument& document,
                    std::string& folder, const std::filesystem::path& winePrefix = {});

}  // namespace zpak
