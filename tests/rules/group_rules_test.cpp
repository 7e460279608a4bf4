#include "model/project_document.h"
#include "platform/message_sink.h"
#include "rules/group_rules.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

namespace zpak {
namespace {

TEST(GroupRulesTest, NamesMustMakeAManifestSection)
{
    RecordingSink sink;
    for (const char* good : {"Main", "Setup2", "My Setup", "maps"})
        EXPECT_TRUE(CheckGroupName(good, sink)) << good;
    for (const char* bad : {"", "A[1]", "]", "setupgroup", "PLAYSHORTCUT", "Setup", "DesktopShortcut"})
        EXPECT_FALSE(CheckGroupName(bad, sink)) << bad;
    EXPECT_EQ(sink.messages[1],
              "The group name A[1] contains invalid characters. Please choose a different name.");
    EXPECT_EQ(sink.messages[3], "The group name setupgroup is reserved. Please choose a different name.");

    ProjectDocument doc;
    doc.groups.push_back(std::make_unique<GroupInfo>("Maps"));
    sink.messages.clear();
    EXPECT_FALSE(CheckGroupNameUnused(doc, "Maps", sink));
    EXPECT_TRUE(CheckGroupNameUnused(doc, "maps", sink));
    EXPECT_EQ(sink.messages,
              std::vector<std::string>{"That group name has already been used. Please choose another."});
}

TEST(GroupRulesTest, PickedFilesStopAtTheFirstRefusal)
{
    ProjectDocument doc;
    doc.gameFolder = "C:\\Games\\Vantor\\";
    doc.groups.emplace_back(std::make_unique<GroupInfo>("Main"))->AddFile("Maps\\B.map");
    const std::string resolved = "/wine/drive_c/Games/Vantor";  // where the drive letter leads
    RecordingSink sink;
    EXPECT_EQ(
        PickedFileNames(doc, resolved,
                        {"/wine/drive_c/Games/Vantor/Maps/A.map", "C:\\Games\\Vantor\\Maps\\C.map",
                         "/wine/drive_c/Games/Vantor/Maps/A.map", "/wine/drive_c/Games/Vantor/Maps/D.map"},
                        sink),
        (std::vector<std::string>{"Maps\\A.map", "Maps\\C.map"}));
    EXPECT_EQ(sink.messages,
              std::vector<std::string>{"The file /wine/drive_c/Games/Vantor/Maps/A.map has "
                                       "already been defined."});

    sink.messages.clear();
    EXPECT_TRUE(PickedFileNames(doc, resolved, {"/wine/drive_c/Games/Vantor/Maps/B.map"}, sink).empty());
    EXPECT_TRUE(PickedFileNames(doc, resolved, {"/games/VantorX/a.txt"}, sink).empty());
    EXPECT_EQ(sink.messages.back(),
              "The file /games/VantorX/a.txt is not contained within the target folder C:\\Games\\Vantor\\");
}

TEST(GroupRulesTest, WildcardsMustMatchInsideTheGameFolder)
{
    test::TempDir dir;
    dir.Write("Maps/FR-1.map", "");
    ProjectDocument doc;
    doc.gameFolder = dir.path().string();
    RecordingSink sink;
    EXPECT_TRUE(CheckWildcard(doc, "maps\\fr-*.MAP", {}, sink));
    EXPECT_FALSE(CheckWildcard(doc, "Maps\\FR-1.map", {}, sink));
    EXPECT_FALSE(CheckWildcard(doc, "..\\*", {}, sink));
    EXPECT_FALSE(CheckWildcard(doc, "/etc/*", {}, sink));
    EXPECT_FALSE(CheckWildcard(doc, "Maps\\*.txt", {}, sink));
    ASSERT_EQ(sink.messages.size(), 4u);
    EXPECT_EQ(sink.messages[0], "The wildcard must use the '*' character.");
    EXPECT_EQ(sink.messages[3],
              "The wildcard [" + dir.path().string() + "\\Maps\\*.txt] is not valid. No files were found.");
}

TEST(GroupRulesTest, AGroupWithTiedIniFilesStays)
{
    ProjectDocument doc;
    auto& group = *doc.groups.emplace_back(std::make_unique<GroupInfo>("Main"));
    RecordingSink sink;
    EXPECT_TRUE(CheckGroupRemovable(doc, group, sink));
    for (const char* name : {"User.ini", "Vantor.ini"})
        doc.iniFiles.emplace_back(std::make_unique<INIGroup>(name))->group = &group;
    EXPECT_FALSE(CheckGroupRemovable(doc, group, sink));
    ASSERT_EQ(sink.messages.size(), 1u);
    EXPECT_NE(sink.messages[0].find("User.ini, Vantor.ini"), std::string::npos) << sink.messages[0];
}

}  // namespace
}  // namespace zpak
