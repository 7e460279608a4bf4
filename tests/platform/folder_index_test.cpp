#include "platform/folder_index.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

namespace zpak {
namespace {

namespace fs = std::filesystem;

class FolderIndexTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        dir.Write("Maps/Level.MAP", "map");
        dir.Write("Maps/Sub/x.txt", "x");
    }

    test::TempDir dir;
    FolderIndex index{{}};
};

// Each component is found ignoring case; from the first missing one on, the
// rest stays as given and the index says that something was missing.
TEST_F(FolderIndexTest, ResolvesComponentsAndTellsWhatIsMissing)
{
    bool found = false;
    EXPECT_EQ(index.Resolve(dir.path(), {"maps", "SUB", "X.TXT"}, &found), dir / "Maps/Sub/x.txt");
    EXPECT_TRUE(found);
    EXPECT_EQ(index.Resolve(dir.path(), {"MAPS", "nope", "sub"}, &found), dir / "Maps/nope/sub");
    EXPECT_FALSE(found);

    const FolderIndex::Found file = index.Find(dir.path(), {"maps", "level.map"});
    ASSERT_NE(file.entry, nullptr);
    EXPECT_EQ(file.entry->name, "Level.MAP");
    EXPECT_EQ(file.folder->path, dir / "Maps");
    EXPECT_TRUE(FolderIndex::IsReadableFile(*file.folder, *file.entry));
    const FolderIndex::Found folder = index.Find(dir.path(), {"maps", "sub"});
    EXPECT_FALSE(FolderIndex::IsReadableFile(*folder.folder, *folder.entry));
}

// An index answers from the listings it made: a file that comes later is
// found once the index forgets them.
TEST_F(FolderIndexTest, KeepsWhatItListedUntilItForgets)
{
    bool found = true;
    index.Resolve(dir.path(), {"maps", "new.map"}, &found);
    EXPECT_FALSE(found);
    dir.Write("Maps/New.map", "new");
    EXPECT_EQ(index.Resolve(dir.path(), {"maps", "new.map"}, &found), dir / "Maps/new.map");
    EXPECT_FALSE(found);
    index.Forget();
    EXPECT_EQ(index.Resolve(dir.path(), {"maps", "new.map"}, &found), dir / "Maps/New.map");
    EXPECT_TRUE(found);
}

#ifndef _WIN32
// Of two names that differ only in case, the smallest wins whatever the
// listing's order; a name in the ANSI code page (a project made on Windows)
// finds the file's UTF-8 name.
TEST_F(FolderIndexTest, TwinsAndAnsiNamesAreFoundTheSameWayEachTime)
{
    dir.Write("Twins/map", "lower");
    dir.Write("Twins/MAP", "upper");
    dir.Write("Caf\xc3\xa9.txt", "utf-8");
    EXPECT_EQ(index.Resolve(dir.path(), {"twins", "Map"}), dir / "Twins/MAP");
    EXPECT_EQ(index.Resolve(dir.path(), {"twins", "map"}), dir / "Twins/map");
    bool found = false;
    EXPECT_EQ(index.Resolve(dir.path(), {"CAF\xe9.TXT"}, &found), dir / "Caf\xc3\xa9.txt");
    EXPECT_TRUE(found);
}
#endif

}  // namespace
}  // namespace zpak
