// What a page's buttons act on, with the window shown and active as a user
// has it: focusing a tree makes its first row current without selecting it,
// and no button may act on that row.
#include "support/document_dump.h"
#include "ui/app/tree_selection.h"
#include "wizard_fixture.h"

#include <QApplication>
#include <QTest>
#include <QTreeView>
#include <QTreeWidget>

#include <vector>

namespace zpak::ui::test {
namespace {

using namespace ids;

struct TreePage {
    int page;
    int tree;
    std::vector<int> actOnSelection;  // the buttons that act on the selected row
};

const std::vector<TreePage> kTreePages = {
    {kGroupsPage,
     kGroupsTree,
     {kAddFile, kDeleteEntry, kAddWildcard, kGroupOptions, kRenameGroup, kFileOptions}},
    {kIniChangesPage, kIniTree, {kAddIniEntry, kRemoveIniEntry, kRemoveIniFile, kEditIni, kImportKeys}},
    {kRequirementsPage, kRequirementsTree, {kRemoveRequirement, kEditRequirement}},
};

class SelectionTest : public WizardFixture {
protected:
    void SetUp() override
    {
        dialogs.openAnswers.push_back(ZPAK_EXAMPLES_DIR "/frontier.zproj");
        Click(kOpen);
        dialogs.messages.clear();  // the warning about the project's own game folder
        Type(kGamePathPage, kGamePathEdit, QString::fromStdString(game.string()));
        wizard->show();
        wizard->activateWindow();
        QApplication::setActiveWindow(wizard.get());
        ASSERT_TRUE(QTest::qWaitForWindowActive(wizard.get()));
    }

    QTreeView* Tree(const TreePage& page) const { return Control<QTreeView>(page.page, page.tree); }

    // The user tabs into the tree of the page just arrived on and presses
    // Delete: with nothing selected, nothing is acted on.
    void ExpectArrivalActsOnNothing(const TreePage& page)
    {
        ASSERT_EQ(ActivePage(), page.page);
        QTreeView* tree = Tree(page);
        tree->setFocus(Qt::TabFocusReason);
        QApplication::processEvents();
        ASSERT_TRUE(tree->hasFocus());
        ASSERT_TRUE(tree->currentIndex().isValid());                       // focus made a row current...
        EXPECT_TRUE(tree->selectionModel()->selectedIndexes().isEmpty());  // ...and selected none
        for (int button : page.actOnSelection)
            EXPECT_FALSE(Enabled(page.page, button)) << "button " << button << " of page " << page.page;
        const std::string before = zpak::test::Dump(doc);
        QTest::keyClick(tree, Qt::Key_Delete);
        EXPECT_EQ(zpak::test::Dump(doc), before) << "page " << page.page;
        EXPECT_TRUE(dialogs.messages.isEmpty()) << dialogs.messages.join('\n').toStdString();

        // The user picks a row before leaving; of the pages but the groups
        // page, arriving again does not keep it.
        const QModelIndex first = tree->model()->index(0, 0);
        QTest::mouseClick(tree->viewport(), Qt::LeftButton, {}, tree->visualRect(first).center());
        ASSERT_EQ(SelectedRow(tree), first);
        EXPECT_TRUE(Enabled(page.page, page.actOnSelection[0]));
    }
};

TEST_F(SelectionTest, ArrivingSelectsOnlyWhatTheUserSelectedAndNoButtonActsOnTheCurrentRow)
{
    Click(kNext);
    for (const TreePage& page : kTreePages) {
        ExpectArrivalActsOnNothing(page);
        Click(kNext);
    }
    ASSERT_EQ(ActivePage(), kProductPage);
    for (auto page = kTreePages.rbegin(); page != kTreePages.rend(); ++page) {
        Click(kBack);
        if (page->page != kGroupsPage) {
            ExpectArrivalActsOnNothing(*page);
            continue;
        }
        // The group the user selected before leaving shows selected again,
        // and is the one acted on.
        QTreeView* tree = Tree(*page);
        tree->setFocus(Qt::TabFocusReason);
        QApplication::processEvents();
        EXPECT_EQ(SelectedRow(tree), tree->model()->index(0, 0));
        EXPECT_TRUE(Enabled(page->page, kGroupOptions));
    }
}

// A click selects the row, and the buttons then act on that row and no other.
TEST_F(SelectionTest, AClickedRowIsTheOneActedOn)
{
    wizard->SetActivePage(kRequirementsPage);
    const TreePage& page = kTreePages[2];
    QTreeView* tree = Tree(page);
    doc.requirements.emplace_back(std::make_unique<RequirementInfo>())->product = "Second";
    wizard->SetActivePage(kIniChangesPage);
    wizard->SetActivePage(kRequirementsPage);
    tree->setFocus(Qt::TabFocusReason);
    const QModelIndex second = tree->model()->index(1, 0);
    QTest::mouseClick(tree->viewport(), Qt::LeftButton, {}, tree->visualRect(second).center());
    EXPECT_EQ(SelectedRow(tree), second);
    EXPECT_TRUE(Enabled(kRequirementsPage, kRemoveRequirement));
    ClickOn(kRequirementsPage, kRemoveRequirement);
    ASSERT_EQ(doc.requirements.size(), 1u);
    EXPECT_EQ(doc.requirements[0]->product, "Vantor");
    // The row that takes the removed one's place is acted on next only when it shows selected.
    const bool shown = tree->selectionModel()->isSelected(tree->currentIndex());
    EXPECT_EQ(Enabled(kRequirementsPage, kRemoveRequirement), shown);
    EXPECT_EQ(Enabled(kRequirementsPage, kEditRequirement), shown);
    tree->selectionModel()->clearSelection();
    EXPECT_FALSE(Enabled(kRequirementsPage, kRemoveRequirement));
    EXPECT_FALSE(Enabled(kRequirementsPage, kEditRequirement));
}

// A tree widget owns its model, which resets as the tree is destroyed: by
// then the page around it is half gone, and its handler must not run.
TEST(SelectedRowTest, ATreeBeingDestroyedReportsNothing)
{
    QWidget page;
    auto* tree = new QTreeWidget(&page);
    auto* item = new QTreeWidgetItem(tree, {QStringLiteral("row")});
    std::vector<bool> reported;
    OnSelectedRowChanged(tree, [&](const QModelIndex& row) { reported.push_back(row.isValid()); });
    tree->setCurrentItem(item);
    ASSERT_FALSE(reported.empty());
    EXPECT_TRUE(reported.back());
    tree->clear();
    EXPECT_FALSE(reported.back());

    const size_t before = reported.size();
    delete tree;
    EXPECT_EQ(reported.size(), before);
}

}  // namespace
}  // namespace zpak::ui::test
