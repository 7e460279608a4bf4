#include "game/game_folder.h"

#include "game/registry_backend.h"
#include "game/registry_enumerator.h"
#include "model/project_document.h"
#include "platform/game_path.h"
#include "platform/text_case.h"

#include <algorithm>

namespace zpak {

std::string GameKeyPath(const std::string& game)
{
    return std::string(kInstalledAppsKey) + "\\" + game;
}

std::vector<std::string> ListInstalledGames(const RegistryBackend& registry)
{
    // The keys' names are all it needs: the values of a game's key, which may
    // be millions, are not read.
    InstalledGamesEnumerator enumerator(registry);
    enumerator.Enumerate(kInstalledAppsKey, RegistryEnumerator::kKeys);
    std::vector<std::string> games = std::move(enumerator.games);
    std::stable_sort(games.begin(), games.end(), [](const std::string& a, const std::string& b) {
        return FoldedText(a) < FoldedText(b);
    });
    return games;
}

namespace {

// A folder stored with a drive letter in the default prefix, which leads back
// to the same folder: the form a project made anywhere can use.
bool IsPortable(const ValueOrigin& origin, const std::string& native, const std::filesystem::path& winePrefix)
{
    std::error_code ec;
    return !winePrefix.empty() && !origin.prefix.empty()
        && std::filesystem::equivalent(origin.prefix, winePrefix, ec)
        && GamePathToNative(origin.stored, winePrefix) == std::filesystem::path(native);
}

}  // namespace

bool LoadGameFolder(const RegistryBackend& registry, const std::string& keyPath, ProjectDocument& document,
                    std::string& folder, const std::filesystem::path& winePrefix)
{
    std::string text;
    if (!RegistryEnumerator(registry).ReadString(keyPath, "Folder", text))
        return false;
    if (const auto origin = registry.FindOrigin(keyPath, "Folder");
        origin && IsPortable(*origin, text, winePrefix))
        text = origin->stored;
    folder = text;
    document.gameFolder = std::move(text);
    return true;
}

}  // namespace zpak
