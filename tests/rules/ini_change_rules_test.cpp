#include "ini/ini_file.h"
#include "model/ini_group.h"
#include "platform/message_sink.h"
#include "rules/ini_change_rules.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

namespace zpak {
namespace {

// Every key of the file becomes a new line of its section, in the file's
// order, after the changes the file has already; a key given twice comes twice.
TEST(IniImportTest, AddsEveryKeyAsANewLineInFileOrder)
{
    test::TempDir dir;
    IniFile source;
    source.Load(dir.Write("User.ini", "[Keys]\nF1=help\nF1=menu\n[Empty]\n[Player]\nName=P,1\n"));
    INIGroup target("User.ini");
    target.AddEntry("Keys", "F2", "x", 0);
    const std::vector<INIDefinition*> added = ImportIniEntries(source, target);
    std::vector<std::string> lines;
    for (const auto& change : target.entries)
        lines.push_back(change->ChangeLine() + (change->addNewLine ? " +" : ""));
    EXPECT_EQ(lines,
              (std::vector<std::string>{"Keys,F2,x,FALSE", "Keys,F1,help,TRUE +", "Keys,F1,menu,TRUE +",
                                        "Player,Name,P,1,TRUE +"}));
    ASSERT_EQ(added.size(), 3u);
    EXPECT_EQ(added.front(), target.entries[1].get());
}

TEST(IniChangeFieldsTest, ANewLineNeedsASectionAndAKeyAndKeepsItsKind)
{
    INIDefinition change("Engine", "Detail", "", 1);
    IniChangeFields fields = FieldsOf(change);
    EXPECT_TRUE(fields.addNewLine);
    RecordingSink sink;
    EXPECT_TRUE(CheckIniChange(fields, sink));  // an empty value is a value
    fields.addNewLine = false;
    fields.value = "High";
    StoreFields(fields, change);
    EXPECT_EQ(change.addNewLine, 0);
    EXPECT_EQ(change.ChangeLine(), "Engine,Detail,High,FALSE");

    fields.key.clear();
    EXPECT_FALSE(CheckIniChange(fields, sink));
    fields.section.clear();
    EXPECT_FALSE(CheckIniChange(fields, sink));
    EXPECT_EQ(sink.messages,
              (std::vector<std::string>{"You must enter/select the INI key.",
                                        "You must enter/select the INI Section."}));
}

}  // namespace
}  // namespace zpak
