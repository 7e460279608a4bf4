#include "model/project_document.h"
#include "model/project_reader.h"
#include "platform/message_sink.h"
#include "support/document_dump.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace zpak {
namespace {

constexpr const char* kWarning =
    "The game path referenced by the project is invalid. Please update the path.";

struct ReaderCase {
    const char* name;
    const char* body;  // the lines after the game folder and version lines
    bool ok;
    std::vector<std::string> messages;
};

ReaderCase Case(const char* name, const char* body, bool ok, std::vector<std::string> messages)
{
    return {name, body, ok, std::move(messages)};
}

void PrintTo(const ReaderCase& c, std::ostream* out)
{
    *out << c.name;
}

class ReaderCaseTest : public ::testing::TestWithParam<ReaderCase> {};

TEST_P(ReaderCaseTest, ReportsExactly)
{
    const ReaderCase& c = GetParam();
    ProjectDocument doc;
    RecordingSink sink;
    EXPECT_EQ(ParseProject(std::string("C:\\Game\n0.8\n") + c.body, doc, sink), c.ok);
    EXPECT_EQ(sink.messages, c.messages);
}

INSTANTIATE_TEST_SUITE_P(
    Messages, ReaderCaseTest,
    ::testing::Values(Case("SecondProduct", "[Product]\nproduct=A\n[Requirement]\n[Product]\n", false,
                           {"Error: More than one mod product is defined. See Line #6"}),
                      Case("AttributeBeforeHeader", "name=x\n", false,
                           {"Corrupt ZPAK Project File. Attribute defined w/o Type Definition."}),
                      Case("BlankLineAfterProduct", "[Product]\nproduct=A\n\n", false,
                           {"Error reading file at line: 5"}),
                      Case("LowerCaseHeaderFirst", "[group]\n", false, {"Error reading file at line: 3"}),
                      Case("GroupNamedLater", "[INI]\nname=a.ini\ngroup=Main\n[Group]\nname=Main\n", false,
                           {"Group name [Main] could not be found. See Line #5"}),
                      Case("GroupRenamedAway", "[Group]\nname=Old\nname=New\n[INI]\nname=a\ngroup=Old\n",
                           false, {"Group name [Old] could not be found. See Line #8"}),
                      Case("SrcBeforeFile", "[Group]\nname=M\nsrc=x\n", false,
                           {"Require File Definition before assigning the Src. See Line #5"}),
                      Case("RecurseBeforeFile", "[Group]\nname=M\nrecurse=true\n", false,
                           {"Require File Definition before assigning the Recurse. See Line #5"}),
                      Case("SpacedGroupKey", "[Group]\nname = X\n", false,
                           {"Parser could not interpret the Group attribute name = X at line #4"}),
                      Case("ProductKeyWithoutProduct", "[Requirement]\nreadme=r.txt\n", false,
                           {"Parser expected to see attribute readme=r.txt at line #4 under a Product "
                            "section"}),
                      Case("UnknownRequirementKey", "[Requirement]\nfoo=bar\n", false,
                           {"Parser could not interpret the Requirement attribute foo=bar at line #4"}),
                      Case("UnknownProductKey", "[Product]\nProduct=X\n", false,
                           {"Parser could not interpret the Requirement attribute Product=X at line #4"}),
                      Case("TwoPieces", "[INI]\nname=a.ini\nGame.Options,ExtraPackages,MyMod\n", false,
                           {"Expected at least 3 tokens for INI property. Not 2. See Line #5"}),
                      Case("BlankIniLine", "[INI]\nname=a.ini\n\n", false,
                           {"Expected at least 3 tokens for INI property. Not 0. See Line #5"}),
                      Case("OpenBraceSwallowsFlag", "[INI]\nname=a.ini\nA,B,(X=1,TRUE\n", false,
                           {"Invalid Expression: Expected the expression (X=1,TRUE to contain an equal "
                            "number of opening/closing braces.",
                            "Expected at least 3 tokens for INI property. Not 2. See Line #5"}),
                      Case("BraceMessageLetsReadingGoOn", "[INI]\nname=a.ini\nA,B,C,(X,Y\nD,E,F,TRUE\n", true,
                           {"Invalid Expression: Expected the expression (X,Y to contain an equal "
                            "number of opening/closing braces."}),
                      Case("UnclosedBraceAfterLastSeparator", "[INI]\nname=a.ini\nA,B,C,(X\n", true, {}),
                      Case("ErrorLineCountsCrLfLines", "[Group]\r\nname=M\r\nbad=1\r\n", false,
                           {"Parser could not interpret the Group attribute bad=1 at line #5"})),
    [](const auto& param) { return std::string(param.param.name); });

TEST(ProjectReaderTest, ReadsWhatTheLinesSay)
{
    const std::string longName(1 << 20, 'L');
    const std::string text = "C:\\Game\r\n0.8\r\n"
                             "[Group]\nname=Main\nRequired=false\ncaption=a=b\n"
                             "[group]\n\nMaps\\*.map\nrecurse=no\nsrc=one\nsrc=two\n"
        + longName
        + "\n"
          "[INI]\nname=Game.ini\ngroup=Main\n"
          "Game.Options,ExtraPackages,MyMod,TRUE\n"
          "Game.Options,ExtraPackages,MyMod,FALSE\n"
          "S,K,MyMod,true\n"
          "A,B,(X=1,Y=2),TRUE\n"
          "Sec,Key,a(b,c),TRUE\n"
          "Sec,K=V,x,y,z,TRUE\n"
          "[Product]\nproduct=Frontier\n"
          "[Requirement]\nproduct=Base\nreadme=r.txt\ncleanup=no\n"
          "documentationCaption=Docs";
    ProjectDocument doc;
    RecordingSink sink;
    ASSERT_TRUE(ParseProject(text, doc, sink));
    EXPECT_TRUE(sink.messages.empty());

    EXPECT_EQ(doc.gameFolder, "C:\\Game");
    ASSERT_EQ(doc.groups.size(), 1u);
    const GroupInfo& group = *doc.groups[0];
    EXPECT_EQ(group.Required, 1);
    EXPECT_EQ(group.caption, "a=b");
    ASSERT_EQ(group.files.size(), 4u);
    EXPECT_EQ(group.files[0]->NameText(), "[group]");
    EXPECT_EQ(group.files[1]->NameText(), "");
    EXPECT_EQ(group.files[2]->recurse, 1);
    EXPECT_EQ(group.files[2]->src, "two");
    EXPECT_EQ(group.files[3]->NameText(), longName);

    ASSERT_EQ(doc.iniFiles.size(), 1u);
    const INIGroup& ini = *doc.iniFiles[0];
    EXPECT_EQ(ini.group, &group);
    ASSERT_EQ(ini.entries.size(), 6u);
    const std::pair<const char*, int> changes[] = {{"Game.Options,ExtraPackages,MyMod", 1},
                                                   {"Game.Options,ExtraPackages,MyMod", 0},
                                                   {"S,K,MyMod", 0},
                                                   {"A,B,(X=1,Y=2)", 1},
                                                   {"Sec,Key,a(b", 1},
                                                   {"Sec,K=V,x", 1}};
    for (std::size_t i = 0; i < ini.entries.size(); ++i) {
        EXPECT_EQ(ini.entries[i]->GetName(), changes[i].first) << i;
        EXPECT_EQ(ini.entries[i]->addNewLine, changes[i].second) << i;
    }

    ASSERT_NE(doc.product, nullptr);
    EXPECT_EQ(doc.product->product, "Frontier");
    EXPECT_EQ(doc.product->readme, "r.txt");
    EXPECT_EQ(doc.product->cleanup, 1);
    EXPECT_EQ(doc.product->documentationCaption, "Docs");
    ASSERT_EQ(doc.requirements.size(), 1u);
    EXPECT_EQ(doc.requirements[0]->product, "Base");
    EXPECT_FALSE(doc.requirements[0]->version.has_value());
}

// A "group=" line ties to the first group bearing exactly that name when the
// line is read; a group renamed in its section no longer bears its old name.
TEST(ProjectReaderTest, GroupLineTiesToTheFirstGroupOfThatName)
{
    const std::string text = "C:\\Game\n0.8\n"
                             "[Group]\n"                         // 0: keeps the name a header gives
                             "[Group]\nname=Main\n"              // 1
                             "[Group]\nname=main\n"              // 2
                             "[Group]\nname=Main\n"              // 3: a second Main
                             "[Group]\nname=Old\nname=New\n"     // 4
                             "[Group]\nname=Main\nname=Later\n"  // 5: was a second Main
                             "[Group]\nname=Old\n"               // 6: the first Old now
                             "[INI]\nname=a\ngroup=UNNAMED\n[INI]\nname=b\ngroup=Main\n"
                             "[INI]\nname=c\ngroup=main\n[INI]\nname=d\ngroup=New\n"
                             "[INI]\nname=e\ngroup=Old\n[INI]\nname=f\ngroup=Later\n";
    ProjectDocument doc;
    RecordingSink sink;
    ASSERT_TRUE(ParseProject(text, doc, sink)) << sink.messages.at(0);
    ASSERT_EQ(doc.groups.size(), 7u);
    std::vector<std::size_t> ties;
    for (const auto& ini : doc.iniFiles) {
        const auto group = std::find_if(doc.groups.begin(), doc.groups.end(),
                                        [&](const auto& g) { return g.get() == ini->group; });
        ties.push_back(static_cast<std::size_t>(group - doc.groups.begin()));
    }
    EXPECT_EQ(ties, (std::vector<std::size_t>{0, 1, 2, 4, 6, 5}));

    // Groups the document held before count too, as its own lookup by name has them.
    ProjectDocument held;
    held.groups.push_back(std::make_unique<GroupInfo>("Kept"));
    ASSERT_TRUE(ParseProject("\n0.8\n[Group]\nname=Kept\n[INI]\nname=a\ngroup=Kept\n", held, sink));
    EXPECT_EQ(held.iniFiles.at(0)->group, held.groups[0].get());
}

// An [INI] header names its file until a name line does.
TEST(ProjectReaderTest, ErrorKeepsWhatWasReadBeforeIt)
{
    ProjectDocument doc;
    RecordingSink sink;
    EXPECT_FALSE(
        ParseProject("\n0.8\n[INI]\n[Group]\nname=G\n[Requirement]\n[Product]\n[Product]\n", doc, sink));
    EXPECT_EQ(doc.gameFolder, "");
    EXPECT_EQ(doc.iniFiles.at(0)->NameText(), "[INI");
    EXPECT_EQ(doc.groups.size(), 1u);
    EXPECT_EQ(doc.requirements.size(), 1u);
    EXPECT_NE(doc.product, nullptr);
}

class OpenProjectTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        doc.gameFolder = "kept";
        doc.groups.push_back(std::make_unique<GroupInfo>("Kept"));
        before = test::Dump(doc);
    }

    test::TempDir dir;
    ProjectDocument doc;
    RecordingSink sink;
    std::string before;
};

TEST_F(OpenProjectTest, AFailedOpenLeavesTheCurrentProject)
{
    EXPECT_EQ(OpenProject(dir / "missing.zproj", doc, sink, {}), OpenResult::CannotOpen);
    EXPECT_EQ(OpenProject(dir.path(), doc, sink, {}), OpenResult::CannotOpen);
    EXPECT_TRUE(sink.messages.empty());

    const auto bad = dir.Write("bad.zproj", "\n0.8\n[Group]\nname=New\nwhat=1\n");
    EXPECT_EQ(OpenProject(bad, doc, sink, {}), OpenResult::Failed);
    EXPECT_EQ(sink.messages,
              std::vector<std::string>{"Parser could not interpret the Group attribute what=1 at line #5"});
    EXPECT_EQ(test::Dump(doc), before);
}

TEST_F(OpenProjectTest, WarnsAboutAnInvalidGameFolderOnlyAfterASuccessfulRead)
{
    const auto file = dir.Write("p.zproj", "/nowhere\n0.8\n[INI]\nname=a\nA,B,C,(X,Y\n");
    EXPECT_EQ(OpenProject(file, doc, sink, {}), OpenResult::Opened);
    ASSERT_EQ(sink.messages.size(), 2u);
    EXPECT_EQ(sink.messages[1], std::string(kWarning) + "\nGame path: /nowhere");
    EXPECT_EQ(doc.gameFolder, "/nowhere");
    EXPECT_TRUE(doc.groups.empty());

    sink.messages.clear();
    const auto empty = dir.Write("empty.zproj", "");
    EXPECT_EQ(OpenProject(empty, doc, sink, {}), OpenResult::Opened);
    EXPECT_EQ(sink.messages,
              std::vector<std::string>{std::string(kWarning) + "\nThe project names no game folder."});
    EXPECT_EQ(doc.gameFolder, "");
    EXPECT_TRUE(doc.iniFiles.empty());

    sink.messages.clear();
    dir.Write("Game/System/MKR.exe", "");
    const auto valid = dir.Write("valid.zproj", (dir / "Game").string() + "\n0.8\n");
    EXPECT_EQ(OpenProject(valid, doc, sink, {}), OpenResult::Opened);
    EXPECT_TRUE(sink.messages.empty());
}

}  // namespace
}  // namespace zpak
