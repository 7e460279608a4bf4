#include "game/game_folder.h"

#include "game/registry_enumerator.h"
#include "model/project_document.h"
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

bool LoadGameFolder(const RegistryBackend& registry, const std::string& keyPath, ProjectDocument& document,
                    std::string& folder)
{
    std::string text;
    if (!RegistryEnumerator(registry).ReadString(keyPath, "Folder", text))
        return false;
    folder = text;
    document.gameFolder = std::move(text);
    return true;
}

}  // namespace zpak
