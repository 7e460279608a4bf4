#include "model/project_document.h"

#include <gtest/gtest.h>

namespace zpak {
namespace {

TEST(ProductDataTest, DerivedValues)
{
    ProductData product;  // the other defaults: ProjectWriterTest
    EXPECT_EQ(product.GetTitle(), "");
    EXPECT_EQ(product.GetArchiveName(), "mymod.zpack2");
    product.KeepArchiveName();
    EXPECT_FALSE(product.archive.has_value());  // nothing to keep without a name
    product.product = "MyMod";
    EXPECT_EQ(product.GetArchiveName(), "MyMod.zpack2");
    EXPECT_FALSE(product.archive.has_value());  // follows the name until kept
    product.KeepArchiveName();
    product.product = "Renamed";
    EXPECT_EQ(product.GetArchiveName(), "MyMod.zpack2");

    product.title = "";
    EXPECT_EQ(product.GetTitle(), "");  // a present title wins even when empty
    product.documentationCaption = "Notes";
    EXPECT_EQ(product.GetDocumentationCaption(), "Notes");
}

class DocumentTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        for (const char* name : {"Main", "Extras"})
            doc.groups.push_back(std::make_unique<GroupInfo>(name));
        doc.groups[0]->AddFile("Maps\\A.map").viewHandle = 11;
        doc.groups[1]->AddFile("Help\\*.txt").viewHandle = 12;
        for (const char* name : {"Game.ini", "User.ini"})
            doc.iniFiles.push_back(std::make_unique<INIGroup>(name));
        doc.iniFiles[0]->viewHandle = 21;
        doc.iniFiles[1]->viewHandle = 22;
        doc.iniFiles[1]->AddEntry("S", "K", "V1", 0).viewHandle = 31;
        doc.iniFiles[1]->AddEntry("S", "K", "V2", 0).viewHandle = 32;
        doc.iniFiles[1]->group = doc.groups[1].get();
    }

    ProjectDocument doc;
};

TEST_F(DocumentTest, LookupsAndRemovals)
{
    EXPECT_EQ(doc.FindGroupByName("Extras"), doc.groups[1].get());  // names compare exactly
    EXPECT_EQ(doc.FindGroupByName("extras"), nullptr);
    EXPECT_TRUE(doc.GroupNameExists("Main"));
    EXPECT_FALSE(doc.GroupNameExists("Main "));
    EXPECT_TRUE(doc.FileAlreadyDefined("Help\\*.txt"));
    EXPECT_FALSE(doc.FileAlreadyDefined("maps\\a.map"));
    EXPECT_EQ(doc.FindFileByHandle(12), doc.groups[1]->files[0].get());
    EXPECT_EQ(doc.FindIniFileByHandle(22), doc.iniFiles[1].get());
    EXPECT_EQ(doc.FindIniEntryByHandle(32), doc.iniFiles[1]->entries[1].get());
    EXPECT_EQ(doc.FindGroupByHandle(99), nullptr);
    // Records not shown on any page have the handle 0; looking up "none" must
    // not hand one of them out.
    EXPECT_EQ(doc.FindGroupByHandle(0), nullptr);
    EXPECT_EQ(doc.FindIniEntryByHandle(0), nullptr);

    doc.RemoveIniEntry(31);
    ASSERT_EQ(doc.iniFiles[1]->entries.size(), 1u);
    EXPECT_EQ(*doc.iniFiles[1]->entries[0]->value, "V2");
    doc.RemoveIniEntry(31);
    doc.RemoveIniFile(0);
    EXPECT_EQ(doc.iniFiles.size(), 2u);

    doc.RemoveIniFile(22);  // tied to "Extras", which must survive
    ASSERT_EQ(doc.iniFiles.size(), 1u);
    EXPECT_EQ(doc.iniFiles[0]->NameText(), "Game.ini");
    ASSERT_EQ(doc.groups.size(), 2u);
    EXPECT_EQ(doc.groups[1]->files.size(), 1u);

    // Removing a record takes what it owns with it and nothing else; a record
    // that is not in the document changes nothing.
    FileInfo& kept = doc.groups[1]->AddFile("Maps\\B.map");
    FileInfo* gone = doc.groups[1]->files.front().get();
    doc.RemoveFile(*gone);
    ASSERT_EQ(doc.groups[1]->files.size(), 1u);
    EXPECT_EQ(doc.groups[1]->files[0].get(), &kept);
    EXPECT_EQ(doc.FindGroupOf(kept), doc.groups[1].get());

    const GroupInfo stranger("Stranger");
    doc.RemoveGroup(stranger);
    EXPECT_EQ(doc.groups.size(), 2u);
    doc.RemoveGroup(*doc.groups[0]);
    ASSERT_EQ(doc.groups.size(), 1u);
    EXPECT_EQ(doc.groups[0]->NameText(), "Extras");

    auto& first = *doc.requirements.emplace_back(std::make_unique<RequirementInfo>());
    auto& second = *doc.requirements.emplace_back(std::make_unique<RequirementInfo>());
    first.viewHandle = 7;
    second.viewHandle = 8;
    EXPECT_EQ(FindByHandle(doc.requirements, 8), &second);
    EXPECT_EQ(FindByHandle(doc.requirements, 0), nullptr);
    Remove(doc.requirements, first);
    ASSERT_EQ(doc.requirements.size(), 1u);
    EXPECT_EQ(doc.requirements[0].get(), &second);
}

TEST_F(DocumentTest, ReleaseAndMoveLeaveNothingBehind)
{
    doc.gameFolder = "C:\\Game";
    doc.product = std::make_unique<ProductData>();
    doc.requirements.push_back(std::make_unique<RequirementInfo>());

    ProjectDocument other;
    other.groups.push_back(std::make_unique<GroupInfo>("Old"));
    other = std::move(doc);
    EXPECT_EQ(other.groups.size(), 2u);
    EXPECT_EQ(other.iniFiles[1]->group, other.groups[1].get());
    EXPECT_TRUE(doc.groups.empty());
    EXPECT_FALSE(doc.gameFolder.has_value());

    other.Release();
    other.Release();
    EXPECT_TRUE(other.groups.empty() && other.iniFiles.empty() && other.requirements.empty());
    EXPECT_EQ(other.product, nullptr);
    EXPECT_FALSE(other.gameFolder.has_value());
}

}  // namespace
}  // namespace zpak
