#include "model/project_reader.h"
#include "platform/file_search.h"
#include "platform/game_path.h"
#include "support/platform_skip.h"
#include "support/scoped_env.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

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

TEST_F(GamePathTest, FindsEachComponentIgnoringCase)
{
    EXPECT_EQ(GamePathToNative(Game("system\\mkr.EXE"), dir.path()), dir / "Game/System/MKR.exe");
    EXPECT_EQ(GamePathToNative(Game("MAPS\\level.map"), dir.path()), dir / "Game/Maps/Level.MAP");
    EXPECT_EQ(GamePathToNative(Game("Help/README.TXT"), dir.path()), dir / "Game/Help/ReadMe.txt");
}

TEST_F(GamePathTest, PrefersTheExactNameAndChoosesStablyAmongTwins)
{
    SKIP_ON_WINDOWS("needs a case-sensitive file system");
    EXPECT_EQ(GamePathToNative(Game("Twins\\map"), dir.path()), dir / "Game/Twins/map");
    EXPECT_EQ(GamePathToNative(Game("Twins\\MAP"), dir.path()), dir / "Game/Twins/MAP");
    EXPECT_EQ(GamePathToNative(Game("Twins\\Map"), dir.path()), dir / "Game/Twins/MAP");
}

TEST_F(GamePathTest, LeavesTheRestAsGivenFromTheFirstMissingComponent)
{
    EXPECT_EQ(GamePathToNative(Game("maps\\Nope\\system\\x.map"), dir.path()),
              dir / "Game/Maps/Nope/system/x.map");
    EXPECT_EQ(GamePathToNative(Game("Help\\"), dir.path()), (dir / "Game/Help/").string());
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
