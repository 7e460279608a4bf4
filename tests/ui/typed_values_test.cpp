#include "generate/manifest_writer.h"
#include "ui/app/field_feedback.h"
#include "ui/app/tree_selection.h"
#include "ui/pages/groups/groups_dialogs.h"
#include "ui/pages/ini_changes/ini_dialogs.h"
#include "wizard_fixture.h"

#include <QCheckBox>
#include <QLabel>
#include <QTreeView>

#include <fstream>

namespace zpak::ui::test {
namespace {

using namespace ids;

// What the user types or sets is kept as the project keeps it.
class TypedValuesTest : public WizardFixture {
protected:
    void SetUp() override { doc.gameFolder = game.string(); }

    QTreeView* GroupsTree() const { return Control<QTreeView>(kGroupsPage, kGroupsTree); }
    void SelectRow(int group, int entry = -1) const
    {
        const QModelIndex row = GroupsTree()->model()->index(group, 0);
        GroupsTree()->setCurrentIndex(entry < 0 ? row : GroupsTree()->model()->index(entry, 0, row));
    }
};

// Game paths typed or browsed with "/" are stored, and so written into the
// manifest, with "\"; a path stored with "/" is read and kept as it is.
TEST_F(TypedValuesTest, EveryGamePathIsStoredWithBackslashes)
{
    std::ofstream(game / "Help/Logo.bmp") << "BM";
    CreateGroup(QStringLiteral("Main"));
    SelectRow(0);
    dialogs.multiAnswers.push_back({QString::fromStdString((game / "Maps/FR-Canyon.map").string())});
    ClickOn(kGroupsPage, kAddFile);
    SelectRow(0, 0);
    ASSERT_TRUE(FillDialog<FileDestinationDialog>(kGroupsPage, kFileOptions, kDestination,
                                                  QStringLiteral("NewMaps/Canyon.map")));
    SelectRow(0);
    ASSERT_TRUE(
        FillDialog<AddWildcardDialog>(kGroupsPage, kAddWildcard, kWildcard, QStringLiteral("Maps/FR-*.map")));
    wizard->SetActivePage(kIniChangesPage);
    ASSERT_TRUE(UseDialog<AddIniFileDialog>(kIniChangesPage, kAddIniFile, [](AddIniFileDialog& dialog) {
        FindControl<QComboBox>(&dialog, kIniFileName)->setEditText(QStringLiteral("Frontier/User.ini"));
    }));
    wizard->SetActivePage(kProductPage);
    Type(kProductPage, kProductName, QStringLiteral("Frontier"));
    Type(kProductPage, kVersion, QStringLiteral("1"));
    Type(kProductPage, kReadme, QStringLiteral("Help/Frontier.txt"));
    Click(kNext);
    ASSERT_EQ(ActivePage(), kPackagePage);
    Type(kPackagePage, kLogoEdit, QStringLiteral("Help/Logo.bmp"));
    Click(kNext);
    ASSERT_EQ(ActivePage(), kGeneratePage);

    const struct {
        const char* what;
        std::string stored;
        const char* expected;
    } paths[] = {
        {"destination", doc.groups[0]->files[0]->GetSrc(), "NewMaps\\Canyon.map"},
        {"wildcard", doc.groups[0]->files[1]->NameText(), "Maps\\FR-*.map"},
        {"INI file", doc.iniFiles[0]->NameText(), "Frontier\\User.ini"},
        {"readme", TextOf(doc.product->readme), "Help\\Frontier.txt"},
        {"logo", TextOf(doc.product->logo), "Help\\Logo.bmp"},
    };
    for (const auto& path : paths)
        EXPECT_EQ(path.stored, path.expected) << path.what;
    const ManifestTexts manifest = BuildManifest(doc);
    EXPECT_EQ(manifest.ini.find('/'), std::string::npos) << manifest.ini;
    EXPECT_NE(manifest.ini.find("File=(Src=\"Help\\Logo.bmp\")"), std::string::npos);
    EXPECT_NE(manifest.localized.find("Logo=Help\\Logo.bmp"), std::string::npos);

    // A stored "/" shows as it is and Next leaves it: nothing was typed.
    doc.product->logo = "Help/Logo.bmp";
    wizard->SetActivePage(kPackagePage);
    EXPECT_EQ(Edit(kPackagePage, kLogoEdit)->text(), "Help/Logo.bmp");
    Click(kNext);
    EXPECT_EQ(doc.product->logo, "Help/Logo.bmp");
}

// Going Back and Next loses nothing the user set: the shortcuts switch
// before any shortcut was stored, and the group selected on the groups page.
TEST_F(TypedValuesTest, BackAndNextKeepWhatWasSet)
{
    CreateGroup(QStringLiteral("Core"));
    CreateGroup(QStringLiteral("Maps"));
    SelectRow(1);
    dialogs.multiAnswers.push_back({QString::fromStdString((game / "Maps/FR-Canyon.map").string())});
    ClickOn(kGroupsPage, kAddFile);
    SelectRow(0);
    Click(kNext);
    ASSERT_EQ(ActivePage(), kIniChangesPage);
    Click(kBack);
    ASSERT_EQ(ActivePage(), kGroupsPage);
    EXPECT_EQ(SelectedRow(GroupsTree()), GroupsTree()->model()->index(0, 0));
    EXPECT_TRUE(Enabled(kGroupsPage, kAddFile));
    GroupsTree()->selectionModel()->clearSelection();  // a choice undone stays undone
    Click(kNext);
    Click(kBack);
    EXPECT_FALSE(SelectedRow(GroupsTree()).isValid());

    doc.product = std::make_unique<ProductData>();
    doc.product->product = "Frontier";
    wizard->SetActivePage(kPackagePage);
    auto* shortcuts = Control<QCheckBox>(kPackagePage, kInstallShortcuts);
    ASSERT_FALSE(shortcuts->isChecked());
    shortcuts->click();
    for (int round = 0; round < 2; ++round) {
        Click(kNext);
        ASSERT_EQ(ActivePage(), kShortcutsPage) << round;
        EXPECT_TRUE(Edit(kShortcutsPage, kShortcutCaption)->text().isEmpty());
        Click(kBack);
        ASSERT_EQ(ActivePage(), kPackagePage);
        EXPECT_TRUE(shortcuts->isChecked()) << round;
    }
}

// The archive name and the setup window's title follow the product name
// while they hold what the old name gave them; one rename is one undo step.
TEST_F(TypedValuesTest, DerivedNamesFollowTheProductNameUntilEdited)
{
    wizard->SetActivePage(kProductPage);
    Type(kProductPage, kProductName, QStringLiteral("Crater"));
    Type(kProductPage, kVersion, QStringLiteral("1"));
    Click(kNext);
    ASSERT_EQ(ActivePage(), kPackagePage);  // shown: the archive name is stored
    ASSERT_EQ(doc.product->archive, "Crater.zpack2");
    ASSERT_EQ(doc.product->title, "Crater Setup");

    const struct {
        const char* how;
        bool leaveField;  // the name is stored as the field is left, else by Next
    } renames[] = {{"Next", false}, {"leaving the field", true}};
    for (const auto& rename : renames) {
        SCOPED_TRACE(rename.how);
        Click(kBack);
        Type(kProductPage, kProductName, QStringLiteral("CraterRim"));
        if (rename.leaveField)
            Q_EMIT Edit(kProductPage, kProductName)->editingFinished();
        Click(kNext);
        EXPECT_EQ(doc.product->product, "CraterRim");
        EXPECT_EQ(doc.product->title, "CraterRim Setup");
        EXPECT_EQ(doc.product->archive, "CraterRim.zpack2");
        EXPECT_EQ(Edit(kPackagePage, kArchive)->text(), "CraterRim.zpack2");
        Click(kUndo);  // the rename, with what followed it
        EXPECT_EQ(doc.product->product, "Crater");
        EXPECT_EQ(doc.product->title, "Crater Setup");
        EXPECT_EQ(doc.product->archive, "Crater.zpack2");
        wizard->SetActivePage(kPackagePage);
    }

    // Edited values stay; a name that cannot name files holds Next, saying why.
    Type(kPackagePage, kArchive, QStringLiteral("Custom.zpack2"));
    Click(kNext);
    wizard->SetActivePage(kProductPage);
    Type(kProductPage, kSetupTitle, QStringLiteral("Crater Install"));
    Type(kProductPage, kProductName, QStringLiteral("Crater/Rim"));
    EXPECT_FALSE(Button(kNext)->isEnabled());
    EXPECT_TRUE(NextProblem().startsWith(
        QStringLiteral("The product name [Crater/Rim] cannot be used in a file name")));
    Type(kProductPage, kProductName, QStringLiteral("Rim"));
    Click(kNext);
    EXPECT_EQ(doc.product->title, "Crater Install");
    EXPECT_EQ(doc.product->archive, "Custom.zpack2");
}

}  // namespace
}  // namespace zpak::ui::test
