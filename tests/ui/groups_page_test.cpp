#include "ui/app/tree_selection.h"
#include "ui/pages/groups/groups_dialogs.h"
#include "ui/pages/groups/groups_page.h"
#include "wizard_fixture.h"

#include <QLabel>
#include <QListWidget>
#include <QMimeData>
#include <QTest>
#include <QTreeView>

namespace zpak::ui::test {
namespace {

using namespace ids;

class GroupsPageTest : public WizardFixture {
protected:
    void SetUp() override
    {
        doc.gameFolder = game.string();
        wizard->SetActivePage(kGroupsPage);
    }

    QTreeView* Tree() const { return Control<QTreeView>(kGroupsPage, kGroupsTree); }
    // Leaves the page and shows it again, which builds the tree anew.
    void ShowAgain() const
    {
        wizard->SetActivePage(kIniChangesPage);
        wizard->SetActivePage(kGroupsPage);
    }

    // The row showing `text`: a group's name, or an entry's name before what
    // the row adds to it (its destination, its matches).
    QModelIndex Row(const QString& text) const
    {
        const QAbstractItemModel* model = Tree()->model();
        for (int g = 0; g < model->rowCount(); ++g) {
            const QModelIndex group = model->index(g, 0);
            if (group.data().toString() == text)
                return group;
            for (int f = 0; f < model->rowCount(group); ++f) {
                const QModelIndex entry = model->index(f, 0, group);
                const QString shown = entry.data().toString();
                if (shown == text || shown.startsWith(text + QLatin1Char(' ')))
                    return entry;
            }
        }
        return {};
    }

    void Select(const QString& text)
    {
        const QModelIndex row = Row(text);
        ASSERT_TRUE(row.isValid()) << text.toStdString();
        Tree()->setCurrentIndex(row);
    }

    QString File(const char* relative) const { return QString::fromStdString((game / relative).string()); }
};

TEST_F(GroupsPageTest, GroupsAndFilesDecideNext)
{
    EXPECT_EQ(Tree()->model()->rowCount(), 0);
    EXPECT_FALSE(Button(kNext)->isEnabled());

    for (const char* name : {"setupgroup", "A[1]", "", "Maps", "Maps", "maps"})  // three refused, one used
        CreateGroup(name);
    EXPECT_EQ(dialogs.messages.size(), 4);
    EXPECT_EQ(dialogs.messages.last(), "That group name has already been used. Please choose another.");
    ASSERT_EQ(doc.groups.size(), 2u);
    EXPECT_FALSE(Button(kNext)->isEnabled());  // a group alone is not enough

    Select("Maps");
    dialogs.multiAnswers.push_back(
        {File("Maps/FR-Canyon.map"), File("Maps/FR-Canyon.map"), File("Maps/Index.map")});
    ClickOn(kGroupsPage, kAddFile);
    ASSERT_EQ(doc.groups[0]->files.size(), 1u);
    EXPECT_EQ(doc.groups[0]->files[0]->NameText(), "Maps\\FR-Canyon.map");
    EXPECT_TRUE(dialogs.messages.last().endsWith("has already been defined."));
    EXPECT_TRUE(Button(kNext)->isEnabled());
    EXPECT_EQ(dialogs.openFolders.last(), QString::fromStdString(game.string()));

    Select("Maps\\FR-Canyon.map");
    EXPECT_FALSE(Enabled(kGroupsPage, kAddFile));
    EXPECT_TRUE(Enabled(kGroupsPage, kFileOptions));
    ClickOn(kGroupsPage, kDeleteEntry);
    EXPECT_TRUE(doc.groups[0]->files.empty());
    EXPECT_FALSE(Button(kNext)->isEnabled());
}

// The wildcard dialog shows what the typed text matches before OK, and takes
// only a wildcard that matches inside the game folder.
TEST_F(GroupsPageTest, WildcardsAndDestinations)
{
    CreateGroup("Main");
    Select("Main");
    dialogs.multiAnswers.push_back({File("Maps/FR-Canyon.map")});
    ClickOn(kGroupsPage, kAddFile);
    QStringList seen;
    UseDialog<AddWildcardDialog>(kGroupsPage, kAddWildcard, [&seen](AddWildcardDialog& dialog) {
        auto* edit = FindControl<QLineEdit>(&dialog, kWildcard);
        const auto* count = FindControl<QLabel>(&dialog, kWildcardMatchCount);
        const auto* list = FindControl<QListWidget>(&dialog, kWildcardMatchList);
        for (const char* typed : {"maps/*.MAP", "Maps\\*.none", "Frontier\\*", "Maps\\Index"}) {
            edit->setText(QString::fromLatin1(typed));
            QStringList names;
            for (int i = 0; i < list->count(); ++i)
                names << list->item(i)->text();
            seen << count->text() + QStringLiteral(": ") + names.join(QLatin1Char('|'));
        }
        edit->clear();
    });
    EXPECT_EQ(seen,
              QStringList({"3 files match, 1 of them already in the project: FR-Canyon.map  (already in the "
                           "project)|FR-Landing.map|Index.map",
                           "The wildcard matches nothing.: ",
                           "The wildcard matches 1 folder and no file: the entry would install nothing, as a "
                           "folder's files are not taken.: ",
                           "A wildcard needs a * in its file name.: "}));

    QList<bool> closed;
    for (const char* expression : {"Maps\\*.txt", "..\\*", "Maps\\FR-*.map"})
        closed << FillDialog<AddWildcardDialog>(kGroupsPage, kAddWildcard, kWildcard, expression);
    EXPECT_EQ(closed, QList<bool>({false, false, true}));
    EXPECT_EQ(dialogs.messages.first(),
              "The wildcard [" + QString::fromStdString(game.string())
                  + "\\Maps\\*.txt] is not valid. No files were found.");
    ASSERT_EQ(doc.groups[0]->files.size(), 2u);
    EXPECT_EQ(doc.groups[0]->files[1]->recurse, 0);

    EXPECT_EQ(Row("Maps\\FR-*.map").data().toString(), "Maps\\FR-*.map  (2 files)");
    Select("Maps\\FR-*.map");
    EXPECT_FALSE(Enabled(kGroupsPage, kFileOptions));
    // Counted again each time the page is shown.
    std::filesystem::copy_file(game / "Maps/Index.map", game / "Maps/FR-Ridge.map");
    ShowAgain();
    EXPECT_EQ(Row("Maps\\FR-*.map").data().toString(), "Maps\\FR-*.map  (3 files)");

    dialogs.multiAnswers.push_back({File("System/FrontierDefault.ini")});
    Select("Main");
    ClickOn(kGroupsPage, kAddFile);
    Select("System\\FrontierDefault.ini");
    FillDialog<FileDestinationDialog>(kGroupsPage, kFileOptions, kDestination, "System\\Frontier.ini");
    EXPECT_EQ(doc.groups[0]->files[2]->src, "System\\Frontier.ini");
    EXPECT_EQ(Row("System\\FrontierDefault.ini").data().toString(),
              "System\\FrontierDefault.ini \u2192 System\\Frontier.ini");
    std::filesystem::remove(game / "System/FrontierDefault.ini");
    ShowAgain();
    EXPECT_TRUE(Row("System\\FrontierDefault.ini")
                    .data(Qt::ToolTipRole)
                    .toString()
                    .endsWith("Not found in the game folder: generating will stop here."));
}

// The tree is built anew each time the page is shown: the group the user
// selected shows selected again, and one that went meanwhile leaves nothing
// selected, never whatever item comes next.
TEST_F(GroupsPageTest, ShowingThePageAgainKeepsTheSelectedGroupWhileItIsThere)
{
    CreateGroup("Main");
    CreateGroup("Extras");
    Select("Extras");
    auto* page = dynamic_cast<GroupsPage*>(Page(kGroupsPage));
    ASSERT_EQ(page->CurrentGroup(), doc.groups[1].get());
    for (int showing = 0; showing < 3; ++showing) {
        ShowAgain();
        EXPECT_EQ(page->CurrentGroup(), doc.groups[1].get()) << showing;
        EXPECT_EQ(SelectedRow(Tree()), Row("Extras")) << showing;
    }
    wizard->SetActivePage(kIniChangesPage);
    doc.groups.erase(doc.groups.begin() + 1);
    wizard->SetActivePage(kGroupsPage);
    EXPECT_EQ(page->CurrentGroup(), nullptr);
    EXPECT_FALSE(SelectedRow(Tree()).isValid());
    EXPECT_FALSE(UseDialog<AddWildcardDialog>(kGroupsPage, kAddWildcard, [](AddWildcardDialog&) {}));
}

TEST_F(GroupsPageTest, OptionsRenameAndDeletingGroups)
{
    CreateGroup("Main");
    CreateGroup("Extras");
    Select("Extras");
    UseDialog<GroupOptionsDialog>(kGroupsPage, kGroupOptions, [](GroupOptionsDialog& dialog) {
        FindControl<QAbstractButton>(&dialog, kGroupVisible)->click();
        FindControl<QLineEdit>(&dialog, kGroupCaption)->setText("Extra maps");
    });
    EXPECT_EQ(doc.groups[1]->Visible, 1);
    EXPECT_EQ(doc.groups[1]->caption, "Extra maps");
    EXPECT_EQ(doc.groups[1]->description, "");

    for (const char* name : {"Setup", "Main", "Bonus"})
        FillDialog<RenameGroupDialog>(kGroupsPage, kRenameGroup, kRenameGroupName, name);
    EXPECT_EQ(doc.groups[1]->NameText(), "Bonus");
    EXPECT_EQ(Tree()->model()->index(1, 0).data().toString(), "Bonus");

    doc.iniFiles.push_back(std::make_unique<INIGroup>("User.ini"));
    doc.iniFiles[0]->group = doc.groups[1].get();
    Select("Bonus");
    ClickOn(kGroupsPage, kDeleteEntry);
    EXPECT_EQ(doc.groups.size(), 2u);  // refused: User.ini belongs to it
    EXPECT_NE(dialogs.messages.last().indexOf("User.ini"), -1);

    doc.iniFiles.clear();
    ClickOn(kGroupsPage, kDeleteEntry);
    ASSERT_EQ(doc.groups.size(), 1u);
    Select("Main");
    EXPECT_TRUE(UseDialog<NoGroupsDialog>(kGroupsPage, kDeleteEntry, [](NoGroupsDialog&) {}));
    EXPECT_EQ(doc.groups.size(), 1u);
}

// The highlighted group is the one Add File acts on; files dropped on a group
// go through the checks of Add File; Delete asks before a group's files go.
TEST_F(GroupsPageTest, TheHighlightedGroupIsTheCurrentOneAndTakesDrops)
{
    CreateGroup("Main");
    CreateGroup("Extras");
    EXPECT_EQ(Tree()->currentIndex(), Row("Extras"));
    dialogs.multiAnswers.push_back({File("Maps/Index.map")});
    ClickOn(kGroupsPage, kAddFile);
    ASSERT_EQ(doc.groups[1]->files.size(), 1u);

    QMimeData data;
    data.setUrls({QUrl::fromLocalFile(File("Maps/FR-Canyon.map")),
                  QUrl::fromLocalFile(File("Maps/Index.map")), QUrl::fromLocalFile("/elsewhere/x.map")});
    QAbstractItemModel* model = Tree()->model();
    EXPECT_FALSE(model->canDropMimeData(&data, Qt::CopyAction, -1, -1, QModelIndex()));
    EXPECT_TRUE(model->canDropMimeData(&data, Qt::CopyAction, -1, -1, Row("Main")));
    model->dropMimeData(&data, Qt::CopyAction, -1, -1, Row("Main"));
    ASSERT_EQ(doc.groups[0]->files.size(), 1u);  // stopped at the file already defined
    EXPECT_EQ(doc.groups[0]->files[0]->NameText(), "Maps\\FR-Canyon.map");
    EXPECT_TRUE(dialogs.messages.last().endsWith("has already been defined."));
    EXPECT_EQ(Tree()->currentIndex(), Row("Main"));

    wizard->SetBusy(true);  // no drops while a generation runs
    data.setUrls({QUrl::fromLocalFile(File("Maps/Index2.map"))});
    model->dropMimeData(&data, Qt::CopyAction, -1, -1, Row("Extras"));
    EXPECT_EQ(doc.groups[1]->files.size(), 1u);
    wizard->SetBusy(false);

    dialogs.askAnswers = {false, true};
    Select("Extras");
    QTest::keyClick(Tree(), Qt::Key_Delete);
    EXPECT_EQ(doc.groups.size(), 2u);
    ASSERT_EQ(dialogs.questions.size(), 1);
    EXPECT_TRUE(dialogs.questions[0].contains("Extras"));
    QTest::keyClick(Tree(), Qt::Key_Delete);
    EXPECT_EQ(doc.groups.size(), 1u);
}

}  // namespace
}  // namespace zpak::ui::test
