#include "game/game_folder.h"
#include "game/registry_enumerator.h"
#include "game/wine_registry.h"
#include "model/project_document.h"
#include "model/project_reader.h"
#include "platform/game_path.h"
#include "support/platform_skip.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace zpak {
namespace {

namespace fs = std::filesystem;

constexpr const char* kHive = R"(WINE REGISTRY Version 2
;; All keys relative to \\Machine

#arch=win64

[Software\\Corvex Technology\\Installed Apps] 1700000000
#time=1d9a7b3c4d5e6f7

[Software\\Corvex Technology\\Installed Apps\\Vantor] 1700000000
#time=1d9a7b3c4d5e6f7
"Folder"="C:\\Games\\Vantor"
"Build"=dword:0000044c

[Software\\Corvex Technology\\Installed Apps\\Vantor\\Patches] 1700000000
"Folder"="C:\\Patches"

[Software\\Corvex Technology\\Installed Apps\\alpha] 1700000000
"Folder"=str(2):"%ProgramFiles%\\Alpha"

[Software\\Corvex Technology\\Installed Apps\\Zed] 1700000000
"Folder"=dword:00000001

[Software\\Corvex Technology\\Installed Apps\\Bracket\[1\]] 1700000000
"Folder"="D:\\Caf\xe9 \"X\"\t\101"
"Multi"=str(7):"a\0b\0"
"Bin"=hex:01,02,\
  03,ff
"Wide"=hex(2):41,00,42,00,00,00
@="default"
"Broken"=hex:zz
)";

constexpr const char* kSecondHive = R"(WINE REGISTRY Version 2
[Software\\Wow6432Node\\Corvex Technology\\Installed Apps\\Vantor] 1700000000
"Folder"="C:\\Wow\\Vantor"
[Software\\Wow6432Node\\Corvex Technology\\Installed Apps\\Beta] 1700000000
"Folder"="C:\\Beta"
[Software\\Corvex Technology\\Installed Apps\\alpha] 1700000000
"Folder"="C:\\Second\\Alpha"
"Extra"="only here"
)";

WineRegistry Registry(std::initializer_list<const char*> hives)
{
    std::vector<WineRegistry::Prefix> prefixes;
    for (const char* hive : hives)
        prefixes.push_back({fs::path("/no/such/prefix"), WineHive(hive)});
    return WineRegistry(std::move(prefixes));
}

std::string Text(const std::optional<RegistryValue>& value)
{
    return value ? value->data : "<none>";
}

TEST(WineHiveTest, DecodesEveryKindOfValue)
{
    const WineHive hive(kHive);
    const std::string key = GameKeyPath("Bracket[1]");
    ASSERT_TRUE(hive.HasKey(key));
    EXPECT_TRUE(hive.HasKey("software\\CORVEX TECHNOLOGY\\installed apps"));
    EXPECT_EQ(Text(hive.QueryValue(key, "folder")), std::string("D:\\Caf\xc3\xa9 \"X\"\tA\0", 15));
    EXPECT_EQ(Text(hive.QueryValue(key, "Multi")), std::string("a\0b\0\0", 5));
    EXPECT_EQ(hive.QueryValue(key, "Multi")->type, kRegMultiSz);
    EXPECT_EQ(Text(hive.QueryValue(key, "Bin")), "\x01\x02\x03\xff");
    EXPECT_EQ(hive.QueryValue(key, "Bin")->type, kRegBinary);
    EXPECT_EQ(Text(hive.QueryValue(key, "Wide")), std::string("AB\0", 3));
    EXPECT_EQ(Text(hive.QueryValue(key, "")), std::string("default\0", 8));
    EXPECT_FALSE(hive.QueryValue(key, "Broken").has_value());
    const auto build = hive.QueryValue(GameKeyPath("Vantor"), "Build");
    ASSERT_TRUE(build.has_value());
    EXPECT_EQ(build->type, kRegDword);
    EXPECT_EQ(build->data, std::string("\x4c\x04\0\0", 4));
    EXPECT_EQ(hive.Values(key).size(), 5u);  // the broken one is left out

    EXPECT_EQ(WineHive("not a hive\n[A] 1\n").KeyCount(), 0u);
}

std::string Repeat(std::string_view text, int times)
{
    std::string repeated;
    for (int i = 0; i < times; ++i)
        repeated += text;
    return repeated;
}

// Software\Deep and `levels` nested keys "k" below it: the path as a key line
// writes it ("\\" between names) and as a lookup takes it.
std::string ChainLine(int levels)
{
    return "Software\\\\Deep" + Repeat("\\\\k", levels);
}

std::string ChainPath(int levels)
{
    return "Software\\Deep" + Repeat("\\k", levels);
}

// Windows holds keys at most 512 levels deep; any program in a scanned prefix
// can write a key line that names millions.
TEST(WineHiveTest, LeavesOutKeysDeeperThan512LevelsAndReadsOn)
{
    const std::string text = "WINE REGISTRY Version 2\n[" + ChainLine(200000) + "]\n\"Bottom\"=\"end\"\n["
        + ChainLine(510) + "]\n\"Deepest\"=dword:00000001\n[" + ChainLine(511)
        + "\\\\other]\n\"Below\"=\"x\"\n" + "[Software\\\\After]\n\"Read\"=\"on\"\n";
    const WineHive hive(text);
    ASSERT_TRUE(hive.HasKey(ChainPath(510)));  // Software, Deep and 510 levels of k: 512
    EXPECT_TRUE(hive.SubKeys(ChainPath(510)).empty());
    EXPECT_FALSE(hive.HasKey(ChainPath(511)));
    const std::vector<RegistryValue> deepest = hive.Values(ChainPath(510));
    ASSERT_EQ(deepest.size(), 1u);  // not the values of the line that went deeper
    EXPECT_EQ(deepest[0].name, "Deepest");
    EXPECT_EQ(Text(hive.QueryValue("Software\\After", "Read")), std::string("on\0", 3));
    EXPECT_EQ(hive.KeyCount(), 1u + 512u + 1u);  // the root, the chain and After
}

// Windows refuses key names of more than 255 characters, which it counts in
// UTF-16 units. Key lines write other characters than ASCII as escapes.
TEST(WineHiveTest, LeavesOutKeyNamesLongerThan255Characters)
{
    const std::string accent = "\\x00e9";        // U+00E9: two bytes, one unit
    const std::string smile = "\\xd83d\\xde00";  // U+1F600: four bytes, two units
    const std::string names[] = {std::string(255, 'n'),
                                 std::string(256, 'n') + "\\\\Below",
                                 Repeat(accent, 255),
                                 Repeat(accent, 256),
                                 Repeat(smile, 127) + "n",
                                 Repeat(smile, 128),
                                 "After"};
    std::string text = "WINE REGISTRY Version 2\n";
    for (std::size_t i = 0; i < std::size(names); ++i)
        text += "[Names\\\\" + names[i] + "]\n\"v\"=\"" + std::to_string(i) + "\"\n";
    const WineHive hive(text);
    EXPECT_EQ(hive.SubKeys("Names"),
              (std::vector<std::string>{std::string(255, 'n'), Repeat("\xc3\xa9", 255),
                                        Repeat("\xf0\x9f\x98\x80", 127) + "n", "After"}));
    EXPECT_EQ(Text(hive.QueryValue("Names\\" + std::string(255, 'n'), "v")), std::string("0\0", 2));
    EXPECT_FALSE(hive.HasKey("Names\\" + std::string(256, 'n') + "\\Below"));
    EXPECT_EQ(Text(hive.QueryValue("Names\\After", "v")), std::string("6\0", 2));
}

// Keys in other subtrees, values of keys above them, a deeper sub-key, and a
// line that goes on the hex data of a value whose key is left out: it is no
// key line, whether that key is kept or not.
constexpr const char* kFullHive = R"(WINE REGISTRY Version 2
[Software\\Classes\\CLSID\\{1}] 1
@="component"
[Software\\Corvex Technology] 1
"Vendor"="Corvex"
[Software\\Corvex Technology\\Installed Apps] 1
"Count"=dword:00000002
[Software\\Corvex Technology\\Installed Apps\\Vantor] 1
"Folder"="C:\\Games\\Vantor"
[Software\\Corvex Technology\\Installed Apps\\Vantor\\Patches] 1
"Folder"="C:\\Patches"
[Software\\Classes\\Blob] 1
"Data"=hex:01,\
[Software\\Corvex Technology\\Installed Apps\\Phantom] 1
[Software\\Corvex Technology\\Tools] 1
[Software\\Wow6432Node\\Corvex Technology\\Installed Apps\\Beta] 1
"Folder"="C:\\Beta"
[System\\Setup] 1
"Mode"=dword:00000000
[software\\corvex technology\\installed apps\\VANTOR] 1
"Build"=dword:0000044c
"Folder"="C:\\Later"
)";

TEST(WineHiveTest, KeepsOnlyTheSubtreesAskedForAndTheKeysOnTheWay)
{
    const WineHive hive(kFullHive, {{kInstalledAppsKey, 1}, {"System", 0}});
    EXPECT_EQ(hive.SubKeys(""), (std::vector<std::string>{"Software", "System"}));
    EXPECT_EQ(hive.SubKeys("Software"), std::vector<std::string>{"Corvex Technology"});
    EXPECT_EQ(hive.SubKeys("Software\\Corvex Technology"), std::vector<std::string>{"Installed Apps"});
    EXPECT_TRUE(hive.Values("Software\\Corvex Technology").empty());
    EXPECT_EQ(hive.Values(kInstalledAppsKey).size(), 1u);
    EXPECT_EQ(hive.SubKeys(kInstalledAppsKey), std::vector<std::string>{"Vantor"});
    EXPECT_EQ(Text(hive.QueryValue(GameKeyPath("Vantor"), "Folder")), std::string("C:\\Games\\Vantor\0", 16));
    // Its values in file order, over its two key lines: the first Folder wins.
    const std::vector<RegistryValue> vantor = hive.Values(GameKeyPath("Vantor"));
    ASSERT_EQ(vantor.size(), 3u);
    EXPECT_EQ(vantor[1].name, "Build");
    EXPECT_EQ(vantor[2].data, std::string("C:\\Later\0", 9));
    EXPECT_FALSE(hive.HasKey(GameKeyPath("Vantor") + "\\Patches"));
    EXPECT_TRUE(hive.SubKeys("System").empty());
    EXPECT_EQ(hive.KeyCount(), 6u);  // with the root

    const WineHive whole(kFullHive);
    EXPECT_EQ(whole.SubKeys("Software"),
              (std::vector<std::string>{"Classes", "Corvex Technology", "Wow6432Node"}));
    EXPECT_EQ(Text(whole.QueryValue("Software\\Corvex Technology", "Vendor")), std::string("Corvex\0", 7));
    EXPECT_TRUE(whole.HasKey(GameKeyPath("Vantor") + "\\Patches"));
    EXPECT_FALSE(whole.HasKey(GameKeyPath("Phantom")));
}

constexpr int kAll = RegistryEnumerator::kKeys | RegistryEnumerator::kValues;

// Records the walk, values under their key's path; stops after `stopAfter`
// events or at a key of depth `stopAtDepth`.
class Recorder final : public RegistryEnumerator {
public:
    using RegistryEnumerator::RegistryEnumerator;

    bool OnValue(const std::string& path, const std::string& name, const RegistryBuffer&, int depth) override
    {
        return Record("value " + path + "/" + name, depth);
    }
    bool OnKey(const std::string& name, int depth) override
    {
        return Record("key " + name, depth) && depth != stopAtDepth;
    }

    std::vector<std::string> events;
    std::size_t stopAfter = SIZE_MAX;
    int stopAtDepth = -1;

private:
    bool Record(const std::string& event, int depth)
    {
        events.push_back(event + " " + std::to_string(depth));
        return events.size() < stopAfter;
    }
};

// What the path lookups give for every key below `path`, in the order the
// walk promises: a key's values, then each sub-key and its subtree.
void WalkByPaths(const RegistryBackend& registry, const std::string& path, int depth,
                 std::vector<std::string>& events)
{
    for (const RegistryValue& value : registry.Values(path))
        events.push_back("value " + path + "/" + value.name + " " + std::to_string(depth));
    for (const std::string& name : registry.SubKeys(path)) {
        events.push_back("key " + name + " " + std::to_string(depth));
        const std::string child = path.empty() ? name : path + "\\" + name;
        if (registry.KeyExists(child))
            WalkByPaths(registry, child, depth + 1, events);
    }
}

// The walk opens sub-keys from their parent instead of by path, and must agree.
TEST(RegistryEnumeratorTest, WalkSeesWhatThePathLookupsSeeAcrossPrefixesAndViews)
{
    const WineRegistry registry = Registry({kSecondHive, kHive});
    for (const std::string start : {"", "software", "Software\\Wow6432Node", kInstalledAppsKey}) {
        SCOPED_TRACE(start);
        Recorder walk(registry);
        EXPECT_TRUE(walk.Enumerate(start, kAll));
        std::vector<std::string> expected;
        WalkByPaths(registry, start, 0, expected);
        EXPECT_EQ(walk.events, expected);
    }
    // Below Software the 32-bit view comes first: Beta is there only.
    Recorder walk(registry);
    walk.Enumerate("", RegistryEnumerator::kKeys);
    const auto at = [&](const std::string& event) {
        return std::find(walk.events.begin(), walk.events.end(), event) - walk.events.begin();
    };
    EXPECT_LT(at("key Beta 3"), at("key alpha 3"));
    EXPECT_LT(at("key Beta 3"), at("key Zed 3"));

    Recorder stopped(registry);  // by its third call, a value's
    stopped.stopAfter = 3;
    EXPECT_FALSE(stopped.Enumerate(kInstalledAppsKey, kAll));
    EXPECT_EQ(stopped.events.size(), 3u);
    EXPECT_FALSE(Recorder(registry).Enumerate("Software\\Missing", kAll));
}

// One key line names a chain of nested keys far deeper than Windows allows:
// the walk goes down the 512 levels that are kept, each of them made on the
// way.
TEST(RegistryEnumeratorTest, WalksAChainDownToTheDeepestLevelKept)
{
    constexpr int kKept = 510;  // below Software\Deep
    const std::string hive = "WINE REGISTRY Version 2\n[" + ChainLine(200000) + "]\n\"Bottom\"=\"end\"\n["
        + ChainLine(kKept / 2) + "]\n\"Middle\"=dword:00000001\n";
    const WineRegistry registry = Registry({hive.c_str()});
    Recorder walk(registry);
    EXPECT_TRUE(walk.Enumerate("Software\\Deep", kAll));
    std::vector<std::string> expected;
    for (int depth = 0; depth < kKept; ++depth) {
        expected.push_back("key k " + std::to_string(depth));
        if (depth == kKept / 2 - 1)
            expected.push_back("value " + ChainPath(kKept / 2) + "/Middle " + std::to_string(kKept / 2));
    }
    EXPECT_EQ(walk.events, expected);

    Recorder stopped(registry);
    stopped.stopAtDepth = kKept / 4;
    EXPECT_FALSE(stopped.Enumerate("Software", kAll));
    EXPECT_EQ(stopped.events.size(), 1u + kKept / 4);  // Deep, then k at depths 1 to kKept / 4
    EXPECT_EQ(stopped.events.back(), "key k " + std::to_string(kKept / 4));
}

TEST(GameFolderTest, ListsAndLoadsGamesAsThePageNeeds)
{
    SKIP_ON_WINDOWS("maps a Wine prefix's drive letters, which only Linux does");
    const WineRegistry registry = Registry({kHive});
    EXPECT_EQ(ListInstalledGames(registry),
              (std::vector<std::string>{"alpha", "Bracket[1]", "Vantor", "Zed"}));
    EXPECT_TRUE(ListInstalledGames(Registry({})).empty());
    ProjectDocument doc;
    std::string folder = "typed";
    EXPECT_TRUE(LoadGameFolder(registry, GameKeyPath(kDefaultGame), doc, folder));
    EXPECT_EQ(folder, "C:\\Games\\Vantor");  // no such prefix: handed on as stored
    EXPECT_EQ(doc.gameFolder, "C:\\Games\\Vantor");
    EXPECT_FALSE(LoadGameFolder(registry, GameKeyPath("Zed"), doc, folder));  // a DWORD
    EXPECT_FALSE(LoadGameFolder(registry, GameKeyPath("Nobody"), doc, folder));
    EXPECT_EQ(folder, "C:\\Games\\Vantor");
    EXPECT_TRUE(LoadGameFolder(registry, GameKeyPath("alpha"), doc, folder));
    EXPECT_EQ(folder, "%ProgramFiles%\\Alpha");  // not expanded

    // Prefixes merge in their order, each with its 32-bit view first.
    const WineRegistry merged = Registry({kSecondHive, kHive});
    EXPECT_EQ(ListInstalledGames(merged),
              (std::vector<std::string>{"alpha", "Beta", "Bracket[1]", "Vantor", "Zed"}));
    EXPECT_EQ(Text(merged.QueryValue(GameKeyPath("Vantor"), "Folder")), std::string("C:\\Wow\\Vantor\0", 14));
    EXPECT_EQ(Text(merged.QueryValue(GameKeyPath("alpha"), "Folder")),
              std::string("C:\\Second\\Alpha\0", 16));
    EXPECT_EQ(merged.Values(GameKeyPath("alpha")).size(), 2u);
    EXPECT_EQ(Text(merged.QueryValue(GameKeyPath("Vantor"), "Build")).size(), 4u);  // from the second
}

class WinePrefixTest : public ::testing::Test {
protected:
    // A prefix whose drive c: holds the game, named in other letter cases.
    fs::path MakePrefix(const fs::path& root, const char* hive)
    {
        dir.Write(fs::relative(root / "system.reg", dir.path()).string(), hive);
        dir.Write(fs::relative(root / "drive_c/GAMES/vantor/System/MKR.exe", dir.path()).string(), "tool");
        fs::create_directories(root / "dosdevices");
        fs::create_directory_symlink("../drive_c", root / "dosdevices/c:");
        return root;
    }

    test::TempDir dir;
};

TEST_F(WinePrefixTest, DriveLetterFoldersResolveInsideThePrefix)
{
    SKIP_ON_WINDOWS("maps a Wine prefix's drive letters, which only Linux does");
    const fs::path prefix = MakePrefix(dir / "wine", kHive);
    const auto registry = WineRegistry::Load({prefix});
    const std::string native = (dir / "wine/drive_c/GAMES/vantor").string();
    EXPECT_EQ(Text(registry->QueryValue(GameKeyPath("Vantor"), "Folder")), native + '\0');
    const auto origin = registry->FindOrigin(GameKeyPath("Vantor"), "Folder");
    ASSERT_TRUE(origin.has_value());
    EXPECT_EQ(origin->stored, "C:\\Games\\Vantor");
    EXPECT_EQ(origin->prefix, prefix);
    EXPECT_TRUE(IsGameFolderValid(native, {}));

    // A project made on Windows finds its files through the default prefix.
    EXPECT_EQ(GamePathToNative("C:\\Games\\Vantor\\system\\mkr.exe", prefix),
              dir / "wine/drive_c/GAMES/vantor/System/MKR.exe");
    EXPECT_TRUE(IsGameFolderValid("c:\\games\\VANTOR", prefix));
    EXPECT_EQ(GamePathToNative("D:\\Other", prefix), "D:/Other");  // no such drive
}

TEST_F(WinePrefixTest, FindsWineAndSteamPrefixesInOrder)
{
    SKIP_ON_WINDOWS("needs symbolic links (a Wine prefix's drive letters)");
    const fs::path home = dir / "home";
    MakePrefix(home / ".wine", kHive);
    const fs::path steam = home / ".local/share/Steam";
    MakePrefix(steam / "steamapps/compatdata/200/pfx", kHive);
    MakePrefix(steam / "steamapps/compatdata/30/pfx", kHive);
    fs::create_directories(steam / "steamapps/compatdata/40/pfx");  // no system.reg
    fs::create_directories(home / ".steam");
    fs::create_directory_symlink(steam, home / ".steam/steam");
    const fs::path library = dir / "games";
    MakePrefix(library / "steamapps/compatdata/7/pfx", kHive);
    dir.Write("home/.local/share/Steam/steamapps/libraryfolders.vdf",
              "\"libraryfolders\"\n{\n\t\"0\"\n\t{\n\t\t\"path\"\t\t\"" + steam.string()
                  + "\"\n\t\t\"apps\" { \"30\" \"1\" }\n\t}\n\t\"1\"\n\t{\n\t\t\"path\"\t\t\""
                  + library.string() + "\"\n\t}\n}\n");

    const std::vector<fs::path> found = FindWinePrefixes({home / ".wine", home.string()});
    // ~/.steam/steam is a link to the same Steam, whose libraries the vdf names.
    const std::vector<fs::path> expected = {home / ".wine", steam / "steamapps/compatdata/30/pfx",
                                            steam / "steamapps/compatdata/200/pfx",
                                            library / "steamapps/compatdata/7/pfx"};
    EXPECT_EQ(found, expected);

    const auto onlyPrefix = FindWinePrefixes({home / ".wine", std::nullopt});
    EXPECT_EQ(onlyPrefix, std::vector<fs::path>{home / ".wine"});
}

// The wizard reads the installed games only: the rest of a prefix's hive,
// however large, is left out, while lookups and walks from the root reach the
// games in both views.
TEST_F(WinePrefixTest, LoadKeepsTheInstalledGamesOnly)
{
    SKIP_ON_WINDOWS("maps a Wine prefix's drive letters, which only Linux does");
    dir.Write("wine/system.reg", kFullHive);
    const auto registry = WineRegistry::Load({dir / "wine"});
    EXPECT_EQ(ListInstalledGames(*registry), (std::vector<std::string>{"Beta", "Vantor"}));
    ProjectDocument doc;
    std::string folder;
    EXPECT_TRUE(LoadGameFolder(*registry, GameKeyPath("Beta"), doc, folder));
    EXPECT_EQ(folder, "C:\\Beta");
    EXPECT_TRUE(LoadGameFolder(*registry, GameKeyPath("vantor"), doc, folder));
    EXPECT_EQ(folder, "C:\\Games\\Vantor");

    EXPECT_TRUE(registry->Values("Software\\Corvex Technology").empty());
    // Every key kept: not Classes, System, Tools or Patches.
    Recorder walk(*registry);
    EXPECT_TRUE(walk.Enumerate("", RegistryEnumerator::kKeys));
    EXPECT_EQ(walk.events,
              (std::vector<std::string>{"key Software 0", "key Corvex Technology 1", "key Installed Apps 2",
                                        "key Beta 3", "key Vantor 3", "key Wow6432Node 1",
                                        "key Corvex Technology 2", "key Installed Apps 3", "key Beta 4"}));
}

TEST(SteamLibrariesTest, ReadsCurrentAndOldFormats)
{
    EXPECT_EQ(SteamLibraries("\"LibraryFolders\" { \"TimeNextStatsReport\" \"1\" \"1\" \"/mnt/old\" }"),
              std::vector<fs::path>{"/mnt/old"});
    EXPECT_EQ(SteamLibraries("\"libraryfolders\" { \"0\" { \"path\" \"/a\\\\b\" } } // c\n"),
              std::vector<fs::path>{"/a\\b"});
    EXPECT_TRUE(SteamLibraries("\"unterminated { \"path").empty());
}

}  // namespace
}  // namespace zpak
