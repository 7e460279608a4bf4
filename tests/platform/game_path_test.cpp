#include "model/project_reader.h"
#include "platform/file_search.h"
#include "platform/game_path.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <utility>
#include <vector>

namespace zpak {
namespace {

class GamePathTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        dir.Write("Game/System/MKR.exe", "tool");
        dir.Write("Game/Maps/Level.MAP", "map");
        dir.Write("Game/Help/ReadMe.txt", "help");
        dir.Write("Game/Twins/map", "lower");
        dir.Write("Game/Twins/MAP", "upper");
    }

    std::string Game(std::string_view relative) const
    {
        return (dir / "Game").string() + "\\" + std::string(relative);
    }

    test::TempDir dir;
};

// Each component is found ignoring case, the exact name first, the same one
// of two twins each time; from the first missing component on, the rest
// stays as given.
TEST_F(GamePathTest, FindsEachComponentIgnoringCase)
{
    std::vector<std::pair<std::string, std::string>> cases = {
        {"system\\mkr.EXE", "System/MKR.exe"},
        {"MAPS\\level.map", "Maps/Level.MAP"},
        {"Help/README.TXT", "Help/ReadMe.txt"},
        {"maps\\Nope\\system\\x.map", "Maps/Nope/system/x.map"},
        {"Help\\", "Help/"}};
#ifndef _WIN32
    // Twins need a file system that tells letter case apart.
    cases.insert(cases.end(),
                 {{"Twins\\map", "Twins/map"}, {"Twins\\MAP", "Twins/MAP"}, {"Twins\\Map", "Twins/MAP"}});
#endif
    for (const auto& [typed, native] : cases)
        EXPECT_EQ(GamePathToNative(Game(typed), dir.path()), dir / "Game" / native) << typed;
    EXPECT_EQ(GamePathToNative("C:\\Games\\Vantor", dir.path()), "C:/Games/Vantor");
    EXPECT_EQ(GamePathToNative("", dir.path()), "");
}

TEST_F(GamePathTest, GameFolderIsValidOnlyWithTheToolAsAFile)
{
    EXPECT_TRUE(IsGameFolderValid((dir / "Game").string(), {}));
    EXPECT_TRUE(IsGameFolderValid((dir / "game").string(), {}));

    test::TempDir other;
    other.Write("system/mkr.exe", "");
    EXPECT_TRUE(IsGameFolderValid(other.path().string(), {}));

    test::TempDir folderOnly;
    std::filesystem::create_directories(folderOnly / "System/MKR.exe");
    EXPECT_FALSE(IsGameFolderValid(folderOnly.path().string(), {}));
    EXPECT_FALSE(IsGameFolderValid((dir / "Game/Maps").string(), {}));
    EXPECT_FALSE(IsGameFolderValid("", {}));
}

TEST_F(GamePathTest, FileSearchMatchesFilesAndFoldersIgnoringCase)
{
    EXPECT_TRUE(AnyFileMatches(Game("maps\\*.map"), {}));
    EXPECT_TRUE(AnyFileMatches(Game("*"), {}));
    EXPECT_TRUE(AnyFileMatches(Game("HELP"), {}));
    EXPECT_FALSE(AnyFileMatches(Game("Maps\\*.txt"), {}));
    EXPECT_FALSE(AnyFileMatches(Game("Missing\\*"), {}));
    EXPECT_FALSE(AnyFileMatches(Game("Maps\\"), {}));
}

struct WildcardCase {
    const char* name;
    const char* pattern;
    bool matches;
};

void PrintTo(const WildcardCase& c, std::ostream* out)
{
    *out << c.pattern;
}

class WildcardTest : public ::testing::TestWithParam<WildcardCase> {};

TEST_P(WildcardTest, Matches)
{
    const WildcardCase& c = GetParam();
    EXPECT_EQ(MatchesWildcard(c.name, c.pattern), c.matches) << c.name << " ~ " << c.pattern;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, WildcardTest,
    ::testing::Values(WildcardCase{"Level.MAP", "*.map", true}, WildcardCase{"Level.MAP", "l*", true},
                      WildcardCase{"Level.MAP", "*.ma", false}, WildcardCase{"README", "*.*", true},
                      WildcardCase{"a.b.c", "*.c", true}, WildcardCase{"abc", "a?c", true},
                      WildcardCase{"ac", "a?c", false}, WildcardCase{"", "*", true},
                      WildcardCase{"x", "", false}, WildcardCase{"aaaaaaaaaaaaaaaaaaaab", "*a*a*a*a*b", true},
                      WildcardCase{"aaaaaaaaaaaaaaaaaaaaa", "*a*a*a*a*b", false}));

}  // namespace
}  // namespace zpak
