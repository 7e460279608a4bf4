#include "game/wine_registry.h"

#include "game/game_folder.h"
#include "platform/game_path.h"
#include "platform/readable_file.h"
#include "platform/text_case.h"
#include "platform/text_encoding.h"
#include "platform/wine_prefix.h"

#include <algorithm>
#include <cstdlib>
#include <unordered_set>

namespace zpak {

namespace {

namespace fs = std::filesystem;

constexpr std::string_view kSoftware = "Software";
constexpr std::string_view kWow = "Wow6432Node";

// The paths a key is looked up under, in order: its 32-bit view first. A walk
// down the tree takes the same views: see WalkedKey.
std::vector<std::string> Views(std::string_view path)
{
    std::vector<std::string> views;
    const bool software = path.size() > kSoftware.size() && path[kSoftware.size()] == '\\'
        && EqualsIgnoringCase(path.substr(0, kSoftware.size()), kSoftware);
    if (software) {
        const std::string_view rest = path.substr(kSoftware.size() + 1);
        const bool alreadyWow = rest.size() >= kWow.size()
            && EqualsIgnoringCase(rest.substr(0, kWow.size()), kWow)
            && (rest.size() == kWow.size() || rest[kWow.size()] == '\\');
        if (!alreadyWow)
            views.push_back(std::string(kSoftware) + "\\" + std::string(kWow) + "\\" + std::string(rest));
    }
    views.emplace_back(path);
    return views;
}

// Steam's text format: quoted strings with backslash escapes, and braces.
std::vector<std::string> VdfTokens(std::string_view text)
{
    std::vector<std::string> tokens;
    std::size_t i = 0;
    while (i < text.size()) {
        const char c = text[i];
        if (c == '{' || c == '}') {
            tokens.emplace_back(1, c);
            ++i;
        } else if (c == '"') {
            std::string token;
            for (++i; i < text.size() && text[i] != '"'; ++i) {
                if (text[i] == '\\' && i + 1 < text.size())
                    ++i;
                token += text[i];
            }
            ++i;
            tokens.push_back(std::move(token));
        } else if (c == '/' && i + 1 < text.size() && text[i + 1] == '/') {
            while (i < text.size() && text[i] != '\n')
                ++i;
        } else {
            ++i;
        }
    }
    return tokens;
}

bool IsNumber(std::string_view text)
{
    return !text.empty()
        && std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

// One place where a key of the merged registry is found: a key of the hive of
// one prefix. A key's places are in the order of the merge.
struct Place {
    const WineRegistry::Prefix* prefix;
    const WineHive::Key* key;
};

std::vector<Place> Locate(const std::vector<WineRegistry::Prefix>& prefixes, std::string_view path)
{
    const std::vector<std::string> views = Views(path);
    std::vector<Place> places;
    for (const WineRegistry::Prefix& prefix : prefixes) {
        for (const std::string& view : views) {
            if (const WineHive::Key* key = prefix.hive.Find(view))
                places.push_back({&prefix, key});
        }
    }
    return places;
}

std::vector<std::string> MergedSubKeys(const std::vector<Place>& places)
{
    if (places.size() == 1)
        return places.front().prefix->hive.SubKeys(*places.front().key);  // they differ already
    std::vector<std::string> names;
    std::unordered_set<std::string> seen;
    for (const Place& place : places) {
        for (std::string& name : place.prefix->hive.SubKeys(*place.key)) {
            if (seen.insert(FoldedText(name)).second)
                names.push_back(std::move(name));
        }
    }
    return names;
}

RegistryValue Translate(RegistryValue value, const fs::path& prefix)
{
    const bool text = value.type == kRegSz || value.type == kRegExpandSz || value.type == kRegLink;
    if (!text || !EqualsIgnoringCase(value.name, "Folder"))
        return value;
    const std::string stored = value.data.substr(0, value.data.find('\0'));
    if (const std::optional<std::string> native = MapWineDrive(prefix, stored)) {
        value.data = TextFromPath(GamePathToNative(*native, prefix));  // letter case as on disk
        value.data += '\0';
    }
    return value;
}

std::vector<RegistryValue> MergedValues(const std::vector<Place>& places)
{
    std::vector<RegistryValue> values;
    std::unordered_set<std::string> seen;
    for (const Place& place : places) {
        for (RegistryValue& value : place.prefix->hive.Values(*place.key)) {
            if (seen.insert(FoldedText(value.name)).second)
                values.push_back(Translate(std::move(value), place.prefix->root));
        }
    }
    return values;
}

// A key of the merged registry opened for a walk. A sub-key is looked up in
// each place of its parent; right below Software it is looked up first below
// Software\Wow6432Node, as Views does for a whole path.
class WalkedKey final : public RegistryKey {
public:
    enum class Level { Root, Software, Below };

    WalkedKey(Level level, std::vector<Place> places) : level_(level), places_(std::move(places)) {}

    static Level LevelOf(std::string_view path)
    {
        if (path.empty())
            return Level::Root;
        return EqualsIgnoringCase(path, kSoftware) ? Level::Software : Level::Below;
    }

    std::vector<std::string> SubKeys() const override { return MergedSubKeys(places_); }
    std::vector<RegistryValue> Values() const override { return MergedValues(places_); }

    std::unique_ptr<RegistryKey> OpenSubKey(std::string_view name) const override
    {
        const bool wow = EqualsIgnoringCase(name, kWow);
        std::vector<Place> found;
        for (const Place& place : places_) {
            const WineHive& hive = place.prefix->hive;
            if (level_ == Level::Software && !wow) {
                if (const WineHive::Key* view = hive.FindSubKey(*place.key, kWow))
                    Add(found, place.prefix, hive.FindSubKey(*view, name));
            }
            Add(found, place.prefix, hive.FindSubKey(*place.key, name));
        }
        if (found.empty())
            return nullptr;
        return std::make_unique<WalkedKey>(level_ == Level::Root ? LevelOf(name) : Level::Below,
                                           std::move(found));
    }

private:
    static void Add(std::vector<Place>& places, const WineRegistry::Prefix* prefix, const WineHive::Key* key)
    {
        if (key)
            places.push_back({prefix, key});
    }

    Level level_;
    std::vector<Place> places_;
};

void AddPrefix(std::vector<fs::path>& prefixes, std::unordered_set<std::string>& seen, const fs::path& prefix)
{
    std::error_code ec;
    if (!fs::is_regular_file(prefix / "system.reg", ec))
        return;
    const fs::path canonical = fs::canonical(prefix, ec);
    if (seen.insert((ec ? prefix : canonical).string()).second)
        prefixes.push_back(prefix);
}

}  // namespace

WineSearch WineSearchFromEnvironment()
{
    WineSearch search;
    search.defaultPrefix = DefaultWinePrefix();
    if (const char* home = std::getenv("HOME"); home && *home)
        search.home = home;
    return search;
}

std::vector<fs::path> SteamLibraries(std::string_view vdf)
{
    const std::vector<std::string> tokens = VdfTokens(vdf);
    std::vector<fs::path> libraries;
    for (std::size_t i = 0; i + 1 < tokens.size(); ++i) {
        const std::string& key = tokens[i];
        const std::string& value = tokens[i + 1];
        if (value == "{" || value == "}" || key == "{" || key == "}")
            continue;
        // "path" "<folder>" in the current format; "<n>" "<folder>" in the old one.
        if ((EqualsIgnoringCase(key, "path") || IsNumber(key)) && !value.empty() && value.front() == '/') {
            libraries.emplace_back(value);
            ++i;
        }
    }
    return libraries;
}

std::vector<fs::path> FindWinePrefixes(const WineSearch& search)
{
    std::vector<fs::path> prefixes;
    std::unordered_set<std::string> seen;
    const fs::path home = search.home.value_or("");
    if (!search.defaultPrefix.empty())
        AddPrefix(prefixes, seen, search.defaultPrefix);
    if (!search.home)
        return prefixes;

    for (const fs::path& steam : {home / ".steam/steam", home / ".local/share/Steam",
                                  home / ".var/app/com.valvesoftware.Steam/.local/share/Steam"}) {
        std::string vdf;
        std::vector<fs::path> libraries;
        if (ReadWholeFile(steam / "steamapps/libraryfolders.vdf", vdf))
            libraries = SteamLibraries(vdf);
        if (libraries.empty())
            libraries.push_back(steam);
        for (const fs::path& library : libraries) {
            std::vector<std::pair<unsigned long long, fs::path>> apps;
            std::error_code ec;
            for (fs::directory_iterator it(library / "steamapps/compatdata", ec);
                 !ec && it != fs::directory_iterator(); it.increment(ec)) {
                const std::string id = it->path().filename().string();
                if (IsNumber(id) && id.size() < 19)
                    apps.emplace_back(std::stoull(id), it->path() / "pfx");
            }
            std::sort(apps.begin(), apps.end());
            for (const auto& app : apps)
                AddPrefix(prefixes, seen, app.second);
        }
    }
    return prefixes;
}

std::unique_ptr<WineRegistry> WineRegistry::Load(const std::vector<fs::path>& roots)
{
    std::vector<WineHive::Subtree> games;
    for (std::string& view : Views(kInstalledAppsKey))
        games.push_back({std::move(view), kInstalledAppsLevels});
    std::vector<Prefix> prefixes;
    for (const fs::path& root : roots) {
        std::string text;
        if (ReadWholeFile(root / "system.reg", text))
            prefixes.push_back({root, WineHive(std::move(text), games)});
    }
    return std::make_unique<WineRegistry>(std::move(prefixes));
}

bool WineRegistry::KeyExists(std::string_view path) const
{
    return !Locate(prefixes_, path).empty();
}

std::vector<std::string> WineRegistry::SubKeys(std::string_view path) const
{
    return MergedSubKeys(Locate(prefixes_, path));
}

std::vector<RegistryValue> WineRegistry::Values(std::string_view path) const
{
    return MergedValues(Locate(prefixes_, path));
}

std::optional<RegistryValue> WineRegistry::QueryValue(std::string_view path, std::string_view name) const
{
    for (const Place& place : Locate(prefixes_, path)) {
        if (std::optional<RegistryValue> value = place.prefix->hive.QueryValue(*place.key, name))
            return Translate(std::move(*value), place.prefix->root);
    }
    return std::nullopt;
}

std::unique_ptr<RegistryKey> WineRegistry::OpenKey(std::string_view path) const
{
    std::vector<Place> places = Locate(prefixes_, path);
    if (places.empty())
        return nullptr;
    return std::make_unique<WalkedKey>(WalkedKey::LevelOf(path), std::move(places));
}

std::optional<ValueOrigin> WineRegistry::FindOrigin(std::string_view path, std::string_view name) const
{
    for (const Place& place : Locate(prefixes_, path)) {
        if (std::optional<RegistryValue> value = place.prefix->hive.QueryValue(*place.key, name)) {
            std::string stored = value->data;
            if (const std::size_t nul = stored.find('\0'); nul != std::string::npos)
                stored.resize(nul);
            return ValueOrigin{std::move(stored), place.prefix->root};
        }
    }
    return std::nullopt;
}

}  // namespace zpak
