#include "model/record_edits.h"
#include "model/saved_project.h"
#include "rules/ini_change_rules.h"
#include "rules/requirement_rules.h"
#include "wizard_fixture.h"

#include "ui/pages/groups/groups_dialogs.h"
#include "ui/pages/ini_changes/ini_dialogs.h"
#include "ui/pages/requirements/requirements_dialogs.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QSignalSpy>
#include <QTest>
#include <QTreeView>
#include <QUndoStack>

#include <random>

namespace zpak::ui::test {
namespace {

using namespace ids;

class UndoTest : public WizardFixture {
protected:
    // A project with a few of every record the undoable operations touch; some
    // texts are absent, which Save writes differently from empty.
    void FillDocument()
    {
        doc.Release();
        doc.gameFolder = game.string();
        for (int g = 0; g < 4; ++g) {
            GroupInfo& group =
                *doc.groups.emplace_back(std::make_unique<GroupInfo>("Group" + std::to_string(g)));
            for (int f = 0; f < 3; ++f)
                group.AddFile("Maps\\m" + std::to_string(g) + std::to_string(f) + ".map");
        }
        for (int i = 0; i < 3; ++i) {
            INIGroup& file =
                *doc.iniFiles.emplace_back(std::make_unique<INIGroup>("F" + std::to_string(i) + ".ini"));
            for (int c = 0; c < 3; ++c)
                file.AddEntry("S" + std::to_string(c), "K" + std::to_string(c), std::to_string(i * c), c % 2);
        }
        ProductData& product = *(doc.product = std::make_unique<ProductData>());
        product.product = "Frontier";
        product.version = "100";
        product.title = "Frontier Setup";
        product.shortcut = "-mod";
        product.windows = 1;
        for (int r = 0; r < 4; ++r) {
            auto& requirement = *doc.requirements.emplace_back(std::make_unique<RequirementInfo>());
            requirement.product = "Product" + std::to_string(r);
            if (r % 2 == 0)
                requirement.version = "1." + std::to_string(r);
        }
        wizard->UndoStack().clear();
    }

    std::string Text() { return ProjectText(doc); }
    const ProjectNode* chosen_ = nullptr;
    QTreeView* Tree(int page, int id) const { return Control<QTreeView>(page, id); }

    // Shows the page and makes a random row of its tree current: a top-level
    // row of the kind, or (with `child`) a row under one. Remembers the record
    // shown there, which a removal must take.
    bool SelectRandomRow(std::mt19937& random, int page, int tree, RecordRef::Kind kind, bool child)
    {
        wizard->SetActivePage(page);
        QAbstractItemModel* model = Tree(page, tree)->model();
        if (model->rowCount() == 0)
            return false;
        QModelIndex row = model->index(static_cast<int>(random() % model->rowCount()), 0);
        RecordRef place{kind, static_cast<std::size_t>(row.row()), 0, {}};
        if (child) {
            if (model->rowCount(row) == 0)
                return false;
            row = model->index(static_cast<int>(random() % model->rowCount(row)), 0, row);
            place.kind = kind == RecordRef::Kind::Group ? RecordRef::Kind::Entry : RecordRef::Kind::IniChange;
            place.child = static_cast<std::size_t>(row.row());
        }
        Tree(page, tree)->setCurrentIndex(row);
        chosen_ = RecordAt(doc, place);
        return chosen_ != nullptr;
    }

    // The record selected before the click is no longer in the document.
    void ExpectChosenRemoved() const { EXPECT_FALSE(PlaceOf(doc, *chosen_).has_value()); }

    static std::string RandomText(std::mt19937& random) { return "t" + std::to_string(random() % 1000); }

    // One edit of a random kind, made as the page makes it.
    void RandomEdit(std::mt19937& random)
    {
        const auto kind = static_cast<unsigned>(random() % 15);
        if (kind < 7)
            RemoveOrEdit(random, kind);
        else
            AddOrType(random, kind);
    }

    void RemoveOrEdit(std::mt19937& random, unsigned kind)
    {
        switch (kind) {
        case 0:
        case 1:
            // The last group is never deleted: the page says so in a dialog of its own.
            if (SelectRandomRow(random, kGroupsPage, kGroupsTree, RecordRef::Kind::Group,
                                doc.groups.size() < 2 || random() % 2 == 0)) {
                dialogs.askAnswers.push_back(true);
                ClickOn(kGroupsPage, kDeleteEntry);
                dialogs.askAnswers.clear();
                ExpectChosenRemoved();
            }
            break;
        case 2:
            if (SelectRandomRow(random, kIniChangesPage, kIniTree, RecordRef::Kind::IniFile, false)) {
                dialogs.askAnswers.push_back(true);
                ClickOn(kIniChangesPage, kRemoveIniFile);
                dialogs.askAnswers.clear();
                ExpectChosenRemoved();
            }
            break;
        case 3:
            if (SelectRandomRow(random, kIniChangesPage, kIniTree, RecordRef::Kind::IniFile, true)) {
                ClickOn(kIniChangesPage, kRemoveIniEntry);
                ExpectChosenRemoved();
            }
            break;
        case 4:
            if (SelectRandomRow(random, kRequirementsPage, kRequirementsTree, RecordRef::Kind::Requirement,
                                false)) {
                ClickOn(kRequirementsPage, kRemoveRequirement);
                ExpectChosenRemoved();
            }
            break;
        case 5:
            if (!doc.requirements.empty()) {
                const std::size_t at = random() % doc.requirements.size();
                RequirementFields after = FieldsOf(*doc.requirements[at]);
                (random() % 2 ? after.developer : after.version) = RandomText(random);
                wizard->Perform(
                    std::make_unique<EditFieldsCommand<RequirementInfo, RequirementFields, &StoreFields>>(
                        *wizard, RecordRef{RecordRef::Kind::Requirement, at, 0, {}},
                        FieldsOf(*doc.requirements[at]), after, QStringLiteral("Edit Requirement")));
            }
            break;
        default:
            if (!doc.iniFiles.empty() && !doc.iniFiles[0]->entries.empty()) {
                const INIDefinition& change = *doc.iniFiles[0]->entries[0];
                IniChangeFields after = FieldsOf(change);
                after.value = RandomText(random);
                after.addNewLine = !after.addNewLine;
                wizard->Perform(
                    std::make_unique<EditFieldsCommand<INIDefinition, IniChangeFields, &StoreFields>>(
                        *wizard, RecordRef::IniChange(0, 0), FieldsOf(change), after,
                        QStringLiteral("Edit Change")));
            }
            break;
        }
    }

    void AddOrType(std::mt19937& random, unsigned kind)
    {
        switch (kind) {
        case 7:
            wizard->SetActivePage(kGroupsPage);
            FillDialog<CreateGroupDialog>(kGroupsPage, kCreateGroup, kCreateGroupName,
                                          QString::fromStdString("New" + RandomText(random)));
            break;
        case 8:
            if (SelectRandomRow(random, kGroupsPage, kGroupsTree, RecordRef::Kind::Group, false))
                FillDialog<RenameGroupDialog>(kGroupsPage, kRenameGroup, kRenameGroupName,
                                              QString::fromStdString("Renamed" + RandomText(random)));
            break;
        case 9:
            if (SelectRandomRow(random, kGroupsPage, kGroupsTree, RecordRef::Kind::Group, false)) {
                static const char* const kFiles[] = {"Maps/Index.map", "README.txt", "Help/Frontier.txt",
                                                     "System/Frontier.u"};
                QStringList picked;
                for (const char* file : kFiles) {
                    if (random() % 2)
                        picked << QString::fromStdString((game / file).string());
                }
                dialogs.multiAnswers.push_back(picked);
                ClickOn(kGroupsPage, kAddFile);
            }
            break;
        case 10:
            if (SelectRandomRow(random, kGroupsPage, kGroupsTree, RecordRef::Kind::Group, false)) {
                const bool flip = random() % 2;
                const QString caption = QString::fromStdString(RandomText(random));
                UseDialog<GroupOptionsDialog>(kGroupsPage, kGroupOptions, [&](GroupOptionsDialog& dialog) {
                    auto* visible = FindControl<QCheckBox>(&dialog, kGroupVisible);
                    visible->setChecked(visible->isChecked() != flip);
                    FindControl<QLineEdit>(&dialog, kGroupCaption)->setText(caption);
                });
            }
            break;
        case 11:
            wizard->SetActivePage(kIniChangesPage);
            UseDialog<AddIniFileDialog>(kIniChangesPage, kAddIniFile, [&](AddIniFileDialog& dialog) {
                FindControl<QComboBox>(&dialog, kIniFileName)
                    ->setEditText(QString::fromStdString(RandomText(random) + ".ini"));
            });
            break;
        case 12:
            wizard->SetActivePage(kRequirementsPage);
            UseDialog<AddRequirementDialog>(
                kRequirementsPage, kAddRequirement, [&](AddRequirementDialog& dialog) {
                    FindControl<QLineEdit>(&dialog, kRequiredProduct)
                        ->setText(QString::fromStdString("Needed" + RandomText(random)));
                });
            break;
        case 13: {
            // Typing in a field, then leaving it.
            wizard->SetActivePage(kProductPage);
            static const int kFields[] = {kProductUrl, kDeveloper, kDeveloperUrl, kSetupTitle, kVersionUrl};
            QLineEdit* edit = Edit(kProductPage, kFields[random() % std::size(kFields)]);
            edit->setText(random() % 4 ? QString::fromStdString(RandomText(random)) : QString());
            Q_EMIT edit->editingFinished();
            break;
        }
        default:
            // The shortcuts switch of the packaging page, and back.
            wizard->SetActivePage(kPackagePage);
            Control<QCheckBox>(kPackagePage, kInstallShortcuts)->click();
            break;
        }
    }
};

// Random sequences of edits undone to the start and redone to the end must
// give back the saved project byte for byte, both ways.
TEST_F(UndoTest, RandomEditsUndoToTheStartAndRedoToTheEnd)
{
    std::mt19937 random(20);
    int changed = 0;
    for (int sequence = 0; sequence < 1000; ++sequence) {
        FillDocument();
        const std::string start = Text();
        const int edits = 1 + static_cast<int>(random() % 8);
        for (int i = 0; i < edits; ++i)
            RandomEdit(random);
        const std::string edited = Text();
        changed += edited != start;
        QUndoStack& stack = wizard->UndoStack();
        while (stack.canUndo())
            stack.undo();
        ASSERT_EQ(Text(), start) << "sequence " << sequence;
        while (stack.canRedo())
            stack.redo();
        ASSERT_EQ(Text(), edited) << "sequence " << sequence;
    }
    EXPECT_GT(changed, 900);
}

// Typing in a field is one step, taken when the field is left; Ctrl+Z takes
// it back whole and Ctrl+Y or Ctrl+Shift+Z brings it again.
TEST_F(UndoTest, AFieldTypedIsOneStepOfTheKeyboardHistory)
{
    FillDocument();
    wizard->show();
    QApplication::setActiveWindow(wizard.get());
    ASSERT_TRUE(QTest::qWaitForWindowActive(wizard.get()));
    wizard->SetActivePage(kProductPage);
    QLineEdit* developer = Edit(kProductPage, kDeveloper);
    developer->setFocus();
    QTest::keyClicks(developer, QStringLiteral("Ada"));
    Edit(kProductPage, kProductUrl)->setFocus();  // leaving the field stores it
    QApplication::processEvents();
    ASSERT_EQ(TextOf(doc.product->developer), "Ada");
    EXPECT_EQ(wizard->UndoStack().count(), 1);
    EXPECT_EQ(Button(kUndo)->toolTip(), "Undo Edit developer (Ctrl+Z).");

    wizard->SetActivePage(kRequirementsPage);
    QTest::keyClick(wizard.get(), Qt::Key_Z, Qt::ControlModifier);
    EXPECT_FALSE(doc.product->developer.has_value());
    EXPECT_EQ(ActivePage(), kProductPage);
    EXPECT_TRUE(Edit(kProductPage, kDeveloper)->text().isEmpty());
    EXPECT_TRUE(Edit(kProductPage, kDeveloper)->hasFocus());
    Button(kNext)->setFocus();  // Ctrl+Z in a field undoes the field's own typing
    QTest::keyClick(wizard.get(), Qt::Key_Y, Qt::ControlModifier);
    EXPECT_EQ(TextOf(doc.product->developer), "Ada");
    QTest::keyClick(wizard.get(), Qt::Key_Z, Qt::ControlModifier);
    QTest::keyClick(wizard.get(), Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_EQ(TextOf(doc.product->developer), "Ada");
    EXPECT_EQ(Edit(kProductPage, kDeveloper)->text(), "Ada");
}

// The game folder stored by Next is a step; undoing it shows the folder
// before in the field, not the text typed.
TEST_F(UndoTest, TheGameFolderComesBack)
{
    FillDocument();
    const std::string before = *doc.gameFolder;
    wizard->SetActivePage(kGamePathPage);
    Type(kGamePathPage, kGamePathEdit, QString::fromStdString((dir / "Elsewhere").string()));
    Click(kNext);  // refused, and stored as typed so that it can be put right
    ASSERT_NE(doc.GameFolderText(), before);
    wizard->SetActivePage(kRequirementsPage);
    Click(kUndo);
    EXPECT_EQ(doc.GameFolderText(), before);
    EXPECT_EQ(ActivePage(), kGamePathPage);
    EXPECT_EQ(Edit(kGamePathPage, kGamePathEdit)->text().toStdString(), before);
}

TEST_F(UndoTest, UndoNamesTheStepAndTakesTheUserBackToTheRecord)
{
    FillDocument();
    doc.iniFiles[1]->SetName("Vantor.ini");
    wizard->SetActivePage(kIniChangesPage);
    Tree(kIniChangesPage, kIniTree)->setCurrentIndex(Tree(kIniChangesPage, kIniTree)->model()->index(1, 0));
    dialogs.askAnswers.push_back(true);
    ClickOn(kIniChangesPage, kRemoveIniFile);
    ASSERT_EQ(doc.iniFiles.size(), 2u);
    EXPECT_EQ(Button(kUndo)->toolTip(), "Undo Remove File Vantor.ini (Ctrl+Z).");
    EXPECT_FALSE(Button(kRedo)->isEnabled());

    wizard->SetActivePage(kGroupsPage);
    Click(kUndo);
    ASSERT_EQ(doc.iniFiles.size(), 3u);
    EXPECT_EQ(doc.iniFiles[1]->NameText(), "Vantor.ini");
    EXPECT_EQ(ActivePage(), kIniChangesPage);
    QTreeView* tree = Tree(kIniChangesPage, kIniTree);
    EXPECT_EQ(tree->currentIndex(), tree->model()->index(1, 0));
    EXPECT_TRUE(tree->selectionModel()->isSelected(tree->currentIndex()));
    EXPECT_EQ(Button(kRedo)->toolTip(), "Redo Remove File Vantor.ini (Ctrl+Shift+Z).");
    EXPECT_FALSE(Button(kUndo)->isEnabled());
}

// The history empties itself as the window is destroyed; the window, half
// gone by then, must not hear of it.
TEST_F(UndoTest, ClosingWithAHistorySignalsNothing)
{
    FillDocument();
    wizard->SetActivePage(kRequirementsPage);
    Tree(kRequirementsPage, kRequirementsTree)
        ->setCurrentIndex(Tree(kRequirementsPage, kRequirementsTree)->model()->index(0, 0));
    ClickOn(kRequirementsPage, kRemoveRequirement);
    ASSERT_TRUE(wizard->UndoStack().canUndo());
    QSignalSpy emptied(&wizard->UndoStack(), &QUndoStack::indexChanged);
    wizard.reset();
    EXPECT_EQ(emptied.count(), 0);
}

// The star goes with the saved state, whichever way the history moves; a
// project opened starts a history of its own.
TEST_F(UndoTest, TheSavedStateIsWhereTheStarGoes)
{
    FillDocument();
    wizard->SetActivePage(kRequirementsPage);
    Tree(kRequirementsPage, kRequirementsTree)
        ->setCurrentIndex(Tree(kRequirementsPage, kRequirementsTree)->model()->index(0, 0));
    ClickOn(kRequirementsPage, kRemoveRequirement);
    dialogs.saveAnswers.push_back(QString::fromStdString((dir / "p.zproj").string()));
    ASSERT_TRUE(wizard->Save());
    EXPECT_FALSE(wizard->windowTitle().contains(QLatin1Char('*')));
    Click(kUndo);
    EXPECT_TRUE(wizard->windowTitle().startsWith(QStringLiteral("p.zproj*")));
    EXPECT_TRUE(wizard->HasUnsavedChanges());
    Click(kRedo);
    EXPECT_FALSE(wizard->windowTitle().contains(QLatin1Char('*')));
    EXPECT_FALSE(wizard->HasUnsavedChanges());

    wizard->OpenProjectFile(QString::fromStdString((dir / "p.zproj").string()));
    EXPECT_FALSE(wizard->UndoStack().canUndo());
    EXPECT_FALSE(Button(kUndo)->isEnabled());
}

}  // namespace
}  // namespace zpak::ui::test
