#include "model/project_document.h"
#include "model/project_writer.h"
#include "platform/message_sink.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

namespace zpak {
namespace {

TEST(ProjectWriterTest, WritesEveryLineRuleInOrder)
{
    ProjectDocument doc;
    doc.gameFolder = "C:\\Games\\Vantor";

    auto& main = *doc.groups.emplace_back(std::make_unique<GroupInfo>("Main"));
    main.Required = 1;
    main.Visible = 1;
    main.caption = "Main files";
    main.AddFile("System\\Frontier.u").src = "System\\Front.u";
    main.AddFile("Maps\\*.map").recurse = 1;
    main.AddFile("Help\\Frontier.txt").src = "";

    auto& extras = *doc.groups.emplace_back(std::make_unique<GroupInfo>("Extras"));
    extras.Selectable = extras.Required = extras.Visible = extras.Selected = 7;
    extras.caption = "";
    extras.description = "Optional";

    auto& defaults = *doc.iniFiles.emplace_back(std::make_unique<INIGroup>("Default.ini"));
    defaults.AddEntry("Game.Options", "ExtraPackages", "Frontier", 1);
    defaults.AddEntry("Engine", "Key", "(X=1,Y=2)", 0);
    defaults.group = &main;
    doc.iniFiles.emplace_back(std::make_unique<INIGroup>("User.ini"))
        ->entries.push_back(std::make_unique<INIDefinition>());

    auto& base = *doc.requirements.emplace_back(std::make_unique<RequirementInfo>());
    base.product = "Base";
    base.version = "1";

    doc.product = std::make_unique<ProductData>();
    ProductData& product = *doc.product;
    product.product = "Frontier";
    product.version = "2";
    product.readme = "";
    product.cleanup = product.linux = 1;
    product.license = "Frontier.int";
    product.shortcut = "-mod";

    EXPECT_EQ(SerializeProject(doc),
              "C:\\Games\\Vantor\n0.8\n"
              "[Group]\nname=Main\nRequired=true\nVisible=true\ncaption=Main files\n"
              "System\\Frontier.u\nsrc=System\\Front.u\n"
              "Maps\\*.map\nrecurse=true\n"
              "Help\\Frontier.txt\n"
              "[Group]\nname=Extras\nRequired=true\nSelectable=true\nSelected=true\nVisible=true\n"
              "description=Optional\n"
              "[INI]\nname=Default.ini\nGame.Options,ExtraPackages,Frontier,TRUE\n"
              "Engine,Key,(X=1,Y=2),FALSE\ngroup=Main\n"
              "[INI]\nname=User.ini\n,,,FALSE\n"
              "[Requirement]\nproduct=Base\nversion=1\ndeveloper=\nproductURL=\nversionURL=\n"
              "developerURL=\n"
              "[Product]\nproduct=Frontier\nversion=2\ndeveloper=\nproductURL=\nversionURL=\n"
              "developerURL=\nreadme=\ntitle=Frontier\ncleanup=True\nlinux=True\n"
              "license=Frontier.int\nshortcut=-mod\nshortcutCaption=\n"
              "documentationCaption=Release Notes\narchive=Frontier.zpack2\n");
    EXPECT_EQ(product.archive, "Frontier.zpack2");
}

TEST(ProjectWriterTest, ProductWithoutShortcutOrNameKeepsDefaults)
{
    ProjectDocument doc;
    doc.product = std::make_unique<ProductData>();
    doc.product->title = "Setup";
    doc.product->windows = doc.product->mac = 1;
    doc.product->logo = "";
    doc.product->shortcutCaption = "ignored without a shortcut";
    EXPECT_EQ(SerializeProject(doc),
              "\n0.8\n[Product]\nproduct=\nversion=\ndeveloper=\nproductURL=\nversionURL=\n"
              "developerURL=\ntitle=Setup\nwindows=True\nmac=True\nlogo=\n"
              "archive=mymod.zpack2\n");
    EXPECT_FALSE(doc.product->archive.has_value());
}

TEST(SaveProjectTest, WritesTheFileOrReportsTheFailureNamingIt)
{
    test::TempDir dir;
    ProjectDocument doc;  // empty: two lines
    RecordingSink sink;
    ASSERT_TRUE(SaveProject(doc, dir / "p.zproj", sink));
    EXPECT_TRUE(sink.messages.empty());
    EXPECT_EQ(test::ReadFile(dir / "p.zproj"), "\n0.8\n");

    const auto target = dir / "missing" / "p.zproj";
    EXPECT_FALSE(SaveProject(doc, target, sink));
    ASSERT_EQ(sink.messages.size(), 1u);
    EXPECT_NE(sink.messages[0].find(target.string()), std::string::npos) << sink.messages[0];
}

// Among them an INI file tied to a group an earlier one is named like: only
// the first group of a name can be found again by a "group=" line.
TEST(SaveProjectTest, ListsTextsThatWillNotReadBack)
{
    test::TempDir dir;
    ProjectDocument doc;
    auto& group = *doc.groups.emplace_back(std::make_unique<GroupInfo>("Main"));
    group.AddFile("Maps\\a=b.map");
    group.AddFile("[Group]");
    group.caption = "two\nlines";
    for (const char* name : {"Other", "Main"})
        doc.groups.emplace_back(std::make_unique<GroupInfo>(name));
    auto& ini = *doc.iniFiles.emplace_back(std::make_unique<INIGroup>("Game.ini"));
    ini.AddEntry("Sec", "Key", "a,b", 0);
    ini.AddEntry("Sec", "Key", "(a,b)", 0);  // carried: the parenthesis groups it
    ini.AddEntry("Sec", "Key", "x=y", 0);    // carried: "=" is fine in a change
    ini.AddEntry("name=x", "Key", "v", 0);
    for (std::size_t tied : {0, 1, 2}) {
        const std::string name = "tied" + std::to_string(tied) + ".ini";
        doc.iniFiles.emplace_back(std::make_unique<INIGroup>(name))->group = doc.groups[tied].get();
    }
    doc.requirements.emplace_back(std::make_unique<RequirementInfo>())->version = "1\r";

    RecordingSink sink;
    ASSERT_TRUE(SaveProject(doc, dir / "p.zproj", sink));
    ASSERT_EQ(sink.messages.size(), 1u);
    const std::string& message = sink.messages[0];
    for (const char* expected :
         {"group \"Main\", entry \"Maps\\a=b.map\": holds \"=\"",
          "entry \"[Group]\": reads as a section header", "group \"Main\" caption: holds a line break",
          "change \"Sec,Key,a,b,FALSE\": splits differently",
          "change \"name=x,Key,v,FALSE\": reads as a \"name=\" line",
          "INI file \"tied2.ini\" group: names a group whose name an earlier group",
          "requirement 1 version: ends with a carriage return"}) {
        EXPECT_NE(message.find(expected), std::string::npos) << expected << "\n" << message;
    }
    for (const char* carried : {"(a,b)", "x=y", "tied0", "tied1"})
        EXPECT_EQ(message.find(carried), std::string::npos) << carried << "\n" << message;
}

}  // namespace
}  // namespace zpak
