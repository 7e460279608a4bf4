#include "ui/app/field_feedback.h"
#include "ui/pages/groups/groups_dialogs.h"
#include "ui/pages/ini_changes/ini_dialogs.h"
#include "ui/pages/requirements/requirements_dialogs.h"
#include "wizard_fixture.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QLabel>
#include <QPushButton>
#include <QTreeView>

namespace zpak::ui::test {
namespace {

using namespace ids;

// Mistakes are told where they are typed, with the check's code; those
// generation refuses keep OK (or Next) disabled.
class FieldFeedbackTest : public WizardFixture {
protected:
    void SetUp() override { doc.gameFolder = game.string(); }

    // What the field's feedback line shows and whether OK is enabled, once
    // the dialog `open` brings up is filled by `fill`.
    struct Seen {
        QString text;
        bool okEnabled = false;
        bool accepted = false;
    };
    template <typename Dialog>
    Seen InDialog(int page, int button, const char* feedback, const std::function<void(Dialog&)>& fill)
    {
        Seen seen;
        seen.accepted = UseDialog<Dialog>(page, button, [&](Dialog& dialog) {
            fill(dialog);
            seen.text = dialog.template findChild<FieldFeedback*>(QLatin1String(feedback))->Text();
            seen.okEnabled =
                dialog.template findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok)->isEnabled();
        });
        return seen;
    }

    void AddCanyonToMain()
    {
        CreateGroup(QStringLiteral("Main"));
        dialogs.multiAnswers.push_back({QString::fromStdString((game / "Maps/FR-Canyon.map").string())});
        auto* tree = Control<QTreeView>(kGroupsPage, kGroupsTree);
        tree->setCurrentIndex(tree->model()->index(0, 0));
        ClickOn(kGroupsPage, kAddFile);
        ASSERT_EQ(doc.groups[0]->files.size(), 1u);
        tree->setCurrentIndex(tree->model()->index(0, 0, tree->model()->index(0, 0)));
    }
};

TEST_F(FieldFeedbackTest, NextSaysWhatIsMissing)
{
    wizard->SetActivePage(kGroupsPage);
    EXPECT_FALSE(Button(kNext)->isEnabled());
    EXPECT_EQ(NextProblem(), "Add a file or a wildcard to a group: the product installs at least one file.");
    AddCanyonToMain();
    EXPECT_TRUE(Button(kNext)->isEnabled());
    EXPECT_TRUE(NextProblem().isEmpty());

    wizard->SetActivePage(kProductPage);
    const struct {
        const char* name;
        const char* version;
        const char* missing;  // null: Next enabled
    } cases[] = {
        {"", "2", "You must complete the product field."},
        {"Frontier", "abc", "You must enter a numerical number into the version field."},
        {"Frontier", "", "You must enter a numerical number into the version field."},
        {"Frontier", "1.5", nullptr},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.name) + "/" + c.version);
        Type(kProductPage, kProductName, QString::fromUtf8(c.name));
        Type(kProductPage, kVersion, QString::fromUtf8(c.version));
        EXPECT_EQ(Button(kNext)->isEnabled(), c.missing == nullptr);
        EXPECT_EQ(NextProblem(), c.missing ? QString::fromUtf8(c.missing) : QString());
    }
    // A page without a Next says nothing about it.
    Type(kProductPage, kVersion, QStringLiteral("abc"));
    wizard->SetActivePage(kGeneratePage);
    EXPECT_TRUE(NextProblem().isEmpty());
}

TEST_F(FieldFeedbackTest, DialogsTellTheCheckAsItIsTyped)
{
    AddCanyonToMain();
    const Seen destination =
        InDialog<FileDestinationDialog>(kGroupsPage, kFileOptions, "destinationProblem", [](auto& dialog) {
            FindControl<QLineEdit>(&dialog, kDestination)->setText(QStringLiteral("../Frontier.ini"));
        });
    EXPECT_TRUE(destination.text.contains(QStringLiteral("lies outside the game folder")))
        << destination.text.toStdString();
    EXPECT_TRUE(destination.text.endsWith(QStringLiteral("(Z103)"))) << destination.text.toStdString();
    EXPECT_FALSE(destination.okEnabled);
    EXPECT_FALSE(destination.accepted);
    EXPECT_TRUE(doc.groups[0]->files[0]->GetSrc().empty());
    const Seen fine =
        InDialog<FileDestinationDialog>(kGroupsPage, kFileOptions, "destinationProblem", [](auto& dialog) {
            FindControl<QLineEdit>(&dialog, kDestination)->setText(QStringLiteral("Maps\\Canyon.map"));
        });
    EXPECT_TRUE(fine.text.isEmpty());
    EXPECT_TRUE(fine.okEnabled && fine.accepted);

    // Warnings: told, and the value is taken.
    auto* tree = Control<QTreeView>(kGroupsPage, kGroupsTree);
    tree->setCurrentIndex(tree->model()->index(0, 0));
    const Seen caption =
        InDialog<GroupOptionsDialog>(kGroupsPage, kGroupOptions, "captionProblem", [](auto& dialog) {
            FindControl<QCheckBox>(&dialog, kGroupVisible)->setChecked(true);
        });
    EXPECT_TRUE(caption.text.endsWith(QStringLiteral("(Z216)"))) << caption.text.toStdString();
    EXPECT_TRUE(caption.okEnabled && caption.accepted);
    EXPECT_EQ(doc.groups[0]->Visible, 1);

    wizard->SetActivePage(kIniChangesPage);
    const Seen ini =
        InDialog<AddIniFileDialog>(kIniChangesPage, kAddIniFile, "iniFileProblem", [](auto& dialog) {
            FindControl<QComboBox>(&dialog, kIniFileName)->setEditText(QStringLiteral("Nope.ini"));
        });
    EXPECT_TRUE(ini.text.startsWith(QStringLiteral("The INI file [Nope.ini] is not in the game's System")))
        << ini.text.toStdString();
    EXPECT_TRUE(ini.text.endsWith(QStringLiteral("(Z207)")));
    EXPECT_TRUE(ini.okEnabled && ini.accepted);

    wizard->SetActivePage(kRequirementsPage);
    const Seen version = InDialog<AddRequirementDialog>(
        kRequirementsPage, kAddRequirement, "versionProblem", [](auto& dialog) {
            FindControl<QLineEdit>(&dialog, kRequiredProduct)->setText(QStringLiteral("Vantor"));
            FindControl<QLineEdit>(&dialog, kRequiredVersion)->setText(QStringLiteral("v1.1"));
        });
    EXPECT_TRUE(version.text.endsWith(QStringLiteral("installer reads it as 0. (Z215)")))
        << version.text.toStdString();
    EXPECT_TRUE(version.okEnabled && version.accepted);
    ASSERT_EQ(doc.requirements.size(), 1u);
}

TEST_F(FieldFeedbackTest, AMissingLogoHoldsNext)
{
    wizard->SetActivePage(kPackagePage);
    ASSERT_TRUE(Button(kNext)->isEnabled());
    auto* problem = Page(kPackagePage)->findChild<FieldFeedback*>(QStringLiteral("logoProblem"));
    for (const char* logo : {"Help/NoLogo.bmp", "..\\Logo.bmp"}) {
        Type(kPackagePage, kLogoEdit, QString::fromUtf8(logo));
        EXPECT_TRUE(problem->Refuses()) << logo;
        EXPECT_FALSE(Button(kNext)->isEnabled());
        EXPECT_FALSE(NextProblem().isEmpty());
    }
    EXPECT_TRUE(problem->Text().endsWith(QStringLiteral("(Z103)")));
    Type(kPackagePage, kLogoEdit, QStringLiteral("Help/NoLogo.bmp"));
    EXPECT_TRUE(problem->Text().endsWith(QStringLiteral("(Z108)")));
    Type(kPackagePage, kLogoEdit, QStringLiteral("help/frontier.txt"));  // there, in other letters
    EXPECT_FALSE(problem->Refuses());
    EXPECT_TRUE(Button(kNext)->isEnabled());
}

}  // namespace
}  // namespace zpak::ui::test
