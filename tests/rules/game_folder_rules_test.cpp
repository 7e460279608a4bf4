#include "rules/game_folder_rules.h"

#include <gtest/gtest.h>

namespace zpak {
namespace {

TEST(GameFolderRulesTest, TypedFoldersBecomeUsable)
{
    const auto normalised = [](const char* typed) {
        return NormalisedGameFolder(typed, "/home/me", "/work/dir");
    };
    EXPECT_EQ(normalised("~"), "/home/me");
    EXPECT_EQ(normalised("~/Games/Vantor"), "/home/me/Games/Vantor");
    EXPECT_EQ(normalised("Games/Vantor"), "/work/dir/Games/Vantor");
    EXPECT_EQ(normalised("./Vantor"), "/work/dir/Vantor");
    EXPECT_EQ(normalised("/games/Vantor"), "/games/Vantor");
    EXPECT_EQ(normalised("C:\\Games\\Vantor"), "C:\\Games\\Vantor");  // a project made on Windows
    EXPECT_EQ(normalised("~other/x"), "/work/dir/~other/x");          // no user lookup: a folder named so
    EXPECT_EQ(normalised(""), "");
}

}  // namespace
}  // namespace zpak
