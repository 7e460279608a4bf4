#include "ui/pages/ini_changes/ini_changes_page.h"
#include "ui/pages/ini_changes/ini_dialogs.h"
#include "wizard_fixture.h"

#include <QComboBox>
#include <QTreeView>

namespace zpak::ui::test {
namespace {

using namespace ids;

class IniChangesPageTest : public WizardFixture {
protected:
    void SetUp() override
    {
        doc.gameFolder = game.string();
        wizard->SetActivePage(kIniChangesPage);
    }

    template <typename Dialog> bool Use(int button, const std::function<void(Dialog&)>& act)
    {
        return UseDialog<Dialog>(kIniChangesPage, button, act);
    }

    static QComboBox* Combo(QDialog& dialog, int id) { return FindControl<QComboBox>(&dialog, id); }
    static void Choose(QComboBox* combo, const QString& text)
    {
        combo->setCurrentIndex(combo->findText(text));
    }

    QTreeView* Tree() const { return Control<QTreeView>(kIniChangesPage, kIniTree); }
    QModelIndex Row(int file, int entry = -1) const
    {
        const QModelIndex item = Tree()->model()->index(file, 0);
        return entry < 0 ? item : Tree()->model()->index(entry, 0, item);
    }
    void Select(int file, int entry = -1) const { Tree()->setCurrentIndex(Row(file, entry)); }
};

TEST_F(IniChangesPageTest, ChangesOfferTheFilesSectionsKeysAndValues)
{
    EXPECT_TRUE(Use<AddIniFileDialog>(kAddIniFile, [](AddIniFileDialog& dialog) {
        auto* files = Combo(dialog, kIniFileName);
        ASSERT_EQ(files->count(), 4);  // the System\*.ini of the demo game, sorted
        EXPECT_EQ(files->itemText(0), "FrontierDefault.ini");
        Choose(files, "Vantor.ini");
    }));
    ASSERT_EQ(doc.iniFiles.size(), 1u);
    EXPECT_EQ(doc.iniFiles[0]->NameText(), "Vantor.ini");
    EXPECT_EQ(Tree()->currentIndex(), Row(0));  // the new file is the one Add acts on
    EXPECT_TRUE(Use<IniPropertyDialog>(kAddIniEntry, [](IniPropertyDialog& dialog) {
        Choose(Combo(dialog, kIniSection), "Game.Options");
        auto* keys = Combo(dialog, kIniKey);
        ASSERT_EQ(keys->count(), 2);
        Choose(keys, "Difficulty");
        auto* value = FindControl<QLineEdit>(&dialog, kIniValue);
        EXPECT_EQ(value->text(), "1");  // the value the file holds now
        value->setText("3");
    }));
    ASSERT_EQ(doc.iniFiles[0]->entries.size(), 1u);
    EXPECT_EQ(doc.iniFiles[0]->entries[0]->GetName(), "Game.Options,Difficulty,3");
    EXPECT_EQ(doc.iniFiles[0]->entries[0]->addNewLine, 0);

    EXPECT_FALSE(Use<IniPropertyDialog>(kAddIniEntry, [](IniPropertyDialog&) {}));
    EXPECT_EQ(dialogs.messages.last(), "You must enter/select the INI Section.");

    // Editing switches the change to a new line; the label stays.
    Select(0, 0);
    EXPECT_TRUE(Use<IniPropertyDialog>(kEditIni, [](IniPropertyDialog& dialog) {
        FindControl<QAbstractButton>(&dialog, kAddNewLine)->click();
        EXPECT_FALSE(FindControl<QAbstractButton>(&dialog, kModifyLine)->isChecked());
    }));
    EXPECT_EQ(doc.iniFiles[0]->entries[0]->addNewLine, 1);
    EXPECT_TRUE(Use<IniPropertyDialog>(kEditIni, [](IniPropertyDialog& dialog) {
        EXPECT_TRUE(FindControl<QAbstractButton>(&dialog, kAddNewLine)->isChecked());
    }));
    EXPECT_EQ(doc.iniFiles[0]->entries[0]->addNewLine, 1);
}

TEST_F(IniChangesPageTest, ImportAddsEveryKeyAsANewLine)
{
    EXPECT_TRUE(Use<AddIniFileDialog>(kAddIniFile, [](AddIniFileDialog& dialog) {
        Combo(dialog, kIniFileName)->setEditText("Missing.ini");  // typed: accepted
    }));
    Select(0);
    EXPECT_FALSE(Use<ImportIniDialog>(kImportKeys, [](ImportIniDialog& dialog) {
        Combo(dialog, kImportFile)->setEditText("User.ini");  // typed text does not count
    }));
    EXPECT_EQ(dialogs.messages.last(), "You must select an INI File from the listbox.");
    EXPECT_TRUE(Use<ImportIniDialog>(
        kImportKeys, [](ImportIniDialog& dialog) { Choose(Combo(dialog, kImportFile), "User.ini"); }));
    QStringList names;
    for (const auto& entry : doc.iniFiles[0]->entries) {
        names << QString::fromStdString(entry->GetName());
        EXPECT_EQ(entry->addNewLine, 1);
    }
    EXPECT_EQ(names,
              QStringList({"Game.Keys,F1,help", "Game.Keys,F7,", "Game.Keys,Escape,menu",
                           "Game.Player,Name,Player", "Game.Player,Team,255"}));

    Select(0, 1);
    EXPECT_FALSE(Control<QAbstractButton>(kIniChangesPage, kRemoveIniFile)->isEnabled());
    ClickOn(kIniChangesPage, kRemoveIniEntry);
    EXPECT_EQ(doc.iniFiles[0]->entries.size(), 4u);
    dialogs.saveAnswers.push_back(QString::fromStdString((dir / "saved.zproj").string()));
    Click(kSave);
    ASSERT_FALSE(wizard->windowTitle().contains(QLatin1Char('*')));
    Select(0);
    dialogs.askAnswers.push_back(true);
    ClickOn(kIniChangesPage, kRemoveIniFile);
    EXPECT_TRUE(doc.iniFiles.empty());
    EXPECT_TRUE(wizard->windowTitle().startsWith("saved.zproj*"));  // unsaved again
}

TEST_F(IniChangesPageTest, GroupingTiesToExactlyTheChosenGroup)
{
    for (const char* name : {"maps", "Maps", "None"})
        doc.groups.push_back(std::make_unique<GroupInfo>(name));
    doc.iniFiles.push_back(std::make_unique<INIGroup>("User.ini"));
    doc.iniFiles[0]->group = doc.groups[1].get();  // "Maps"
    wizard->SetActivePage(kIniChangesPage);
    Select(0);

    QStringList items;
    EXPECT_TRUE(Use<IniGroupingDialog>(kEditIni, [&](IniGroupingDialog& dialog) {
        auto* groups = Combo(dialog, kIniGroup);
        items = Items(groups);
        EXPECT_EQ(groups->currentText(), "Maps");
        groups->setCurrentIndex(groups->findText("None", Qt::MatchExactly) == 0 ? 3 : -1);
    }));
    EXPECT_EQ(items, QStringList({"None", "maps", "Maps", "None"}));
    EXPECT_EQ(doc.iniFiles[0]->group, doc.groups[2].get());  // the group named None

    EXPECT_TRUE(Use<IniGroupingDialog>(
        kEditIni, [](IniGroupingDialog& dialog) { Combo(dialog, kIniGroup)->setCurrentIndex(0); }));
    EXPECT_EQ(doc.iniFiles[0]->group, nullptr);
    EXPECT_FALSE(Use<IniGroupingDialog>(kEditIni, [](IniGroupingDialog&) {}));
    EXPECT_EQ(dialogs.messages.last(), "Please select a Group or click Cancel.");
}

// After Remove Entry the change that took its place is shown selected, and
// Edit acts on it; with none selected Edit is off.
TEST_F(IniChangesPageTest, EditActsOnTheChangeShownSelected)
{
    doc.iniFiles.push_back(std::make_unique<INIGroup>("User.ini"));
    doc.iniFiles[0]->AddEntry("A", "a", "1", 0);
    doc.iniFiles[0]->AddEntry("B", "b", "2", 0);
    wizard->SetActivePage(kIniChangesPage);
    Select(0, 0);
    ClickOn(kIniChangesPage, kRemoveIniEntry);
    ASSERT_EQ(doc.iniFiles[0]->entries.size(), 1u);
    EXPECT_EQ(Tree()->currentIndex(), Row(0, 0));
    EXPECT_TRUE(Tree()->selectionModel()->isSelected(Row(0, 0)));
    EXPECT_TRUE(Use<IniPropertyDialog>(kEditIni, [](IniPropertyDialog& dialog) {
        EXPECT_EQ(FindControl<QComboBox>(&dialog, kIniSection)->currentText(), "B");
        FindControl<QLineEdit>(&dialog, kIniValue)->setText("3");
    }));
    EXPECT_TRUE(dialogs.messages.isEmpty());
    EXPECT_EQ(doc.iniFiles[0]->entries[0]->GetName(), "B,b,3");
    Tree()->selectionModel()->clearSelection();
    EXPECT_FALSE(Enabled(kIniChangesPage, kEditIni));
    EXPECT_FALSE(Enabled(kIniChangesPage, kRemoveIniEntry));

    // Showing the page again builds new items: the file and change remembered
    // from the old ones are forgotten.
    auto* page = dynamic_cast<IniChangesPage*>(Page(kIniChangesPage));
    for (int entry : {-1, 0}) {
        Select(0, entry);
        for (int showing = 0; showing < 3; ++showing) {
            wizard->SetActivePage(kRequirementsPage);
            wizard->SetActivePage(kIniChangesPage);
            EXPECT_EQ(page->CurrentIniFile(), nullptr) << entry << ' ' << showing;
            EXPECT_EQ(page->CurrentIniEntry(), nullptr) << entry << ' ' << showing;
        }
    }
}

// Removing a file with changes asks first; after the last file goes, no
// button acts on a row that is no longer there.
TEST_F(IniChangesPageTest, RemoveFileAsksForChangesAndLeavesNothingToEdit)
{
    doc.iniFiles.push_back(std::make_unique<INIGroup>("Empty.ini"));
    doc.iniFiles.push_back(std::make_unique<INIGroup>("User.ini"));
    doc.iniFiles[1]->AddEntry("A", "a", "1", 0);
    doc.iniFiles[1]->AddEntry("B", "b", "2", 0);
    doc.iniFiles.push_back(std::make_unique<INIGroup>("One.ini"));
    doc.iniFiles[2]->AddEntry("C", "c", "3", 0);
    wizard->SetActivePage(kIniChangesPage);

    Select(2);
    ClickOn(kIniChangesPage, kRemoveIniFile);  // No
    ASSERT_EQ(dialogs.questions.size(), 1);
    EXPECT_EQ(dialogs.questions.last(), "Remove the INI file One.ini and its 1 change?");
    Select(1);
    ClickOn(kIniChangesPage, kRemoveIniFile);  // No
    ASSERT_EQ(dialogs.questions.size(), 2);
    EXPECT_EQ(dialogs.questions.last(), "Remove the INI file User.ini and its 2 changes?");
    ASSERT_EQ(doc.iniFiles.size(), 3u);
    dialogs.askAnswers.push_back(true);
    ClickOn(kIniChangesPage, kRemoveIniFile);
    ASSERT_EQ(doc.iniFiles.size(), 2u);
    EXPECT_EQ(doc.iniFiles[0]->NameText(), "Empty.ini");
    dialogs.askAnswers.push_back(true);
    Select(1);
    ClickOn(kIniChangesPage, kRemoveIniFile);
    ASSERT_EQ(doc.iniFiles.size(), 1u);

    Select(0);
    ClickOn(kIniChangesPage, kRemoveIniFile);  // nothing to lose: no question
    EXPECT_EQ(dialogs.questions.size(), 4);
    EXPECT_TRUE(doc.iniFiles.empty());
    for (const int button : {kEditIni, kRemoveIniEntry, kRemoveIniFile, kAddIniEntry, kImportKeys})
        EXPECT_FALSE(Enabled(kIniChangesPage, button)) << button;
    EXPECT_FALSE(UseDialog<IniPropertyDialog>(kIniChangesPage, kEditIni, [](IniPropertyDialog&) {}));
    EXPECT_TRUE(dialogs.messages.isEmpty());
}

}  // namespace
}  // namespace zpak::ui::test
