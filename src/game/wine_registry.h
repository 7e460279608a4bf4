#pragma once

#include "game/registry_backend.h"
#include "game/wine_hive.h"

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace zpak {

// Where to look for Wine prefixes: the values of $WINEPREFIX and $HOME.
struct WineSearch {
    std::filesystem::path defaultPrefix;  // DefaultWinePrefix(); empty for none
    std::optional<std::string> home;      // where Steam's folders are looked for
};
WineSearch WineSearchFromEnvironment();

// The Wine prefixes that have a system.reg, in this order:
//  1. $WINEPREFIX, else ~/.wine;
//  2. the Proton prefixes of Steam (<library>/steamapps/compatdata/<appid>/pfx,
//     by app id) for each library that libraryfolders.vdf lists, looking in
//     ~/.steam/steam, ~/.local/share/Steam and the Flatpak Steam folder
//     ~/.var/app/com.valvesoftware.Steam/.local/share/Steam, in that order.
// A prefix reached twice (through links) is listed once, at its first place.
std::vector<std::filesystem::path> FindWinePrefixes(const WineSearch& search);

// The library folders named in the text of Steam's libraryfolders.vdf.
std::vector<std::filesystem::path> SteamLibraries(std::string_view vdf);

// The HKEY_LOCAL_MACHINE registries of several Wine prefixes as one. For each
// key the prefixes are merged in their order; within a prefix a key below
// Software is looked up first in its 32-bit view (Software\Wow6432Node\...),
// where a 32-bit game in a 64-bit prefix is registered, then as given. The
// first of several values or keys of the same name wins. A "Folder" string
// holding a Windows path is handed on as the native path it has in its prefix.
class WineRegistry final : public RegistryBackend {
public:
    struct Prefix {
        std::filesystem::path root;
        WineHive hive;
    };

    explicit WineRegistry(std::vector<Prefix> prefixes) : prefixes_(std::move(prefixes)) {}
    // Reads system.reg of each prefix; unreadable ones are left out. Only what
    // the game detection reads is kept: the installed games' keys, in both
    // views, and the keys on the way to them.
    static std::unique_ptr<WineRegistry> Load(const std::vector<std::filesystem::path>& prefixes);

    bool KeyExists(std::string_view path) const override;
    std::vector<std::string> SubKeys(std::string_view path) const override;
    std::vector<RegistryValue> Values(std::string_view path) const override;
    std::optional<RegistryValue> QueryValue(std::string_view path, std::string_view name) const override;
    std::unique_ptr<RegistryKey> OpenKey(std::string_view path) const override;

    // Where the value that QueryValue gives comes from: its text as stored
    // in the hive and the prefix that holds it.
    // A "Folder" value holding a Windows path: the path as stored, and the
    // prefix it was mapped through.
    std::optional<ValueOrigin> FindOrigin(std::string_view path, std::string_view name) const override;

private:
    std::vector<Prefix> prefixes_;
};

}  // namespace zpak
