#include "ini/ini_file.h"
#include "platform/cancel_flag.h"
#include "ui/app/layout_helpers.h"
#include "ui/pages/generate/generation_progress.h"
#include "ui/pages/groups/groups_dialogs.h"
#include "ui/pages/ini_changes/ini_dialogs.h"
#include "ui/pages/requirements/requirements_dialogs.h"
#include "wizard_fixture.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QPlainTextEdit>
#include <QVBoxLayout>

namespace zpak::ui::test {
namespace {

using namespace ids;

// True for the parts Qt builds inside a control (a combo's list and edit, a
// tree's header), which share the control's tooltip.
bool IsPartOfAControl(const QWidget* widget, const QWidget* window)
{
    for (const QWidget* above = widget->parentWidget(); above && above != window;
         above = above->parentWidget()) {
        if (qobject_cast<const QComboBox*>(above) || qobject_cast<const QAbstractItemView*>(above))
            return true;
    }
    return false;
}

// The controls of `window` (its pages, or a dialog) that show no tooltip;
// the OK and Cancel of a dialog's button box say enough.
QStringList Untipped(const QWidget* window)
{
    QStringList names;
    for (const QWidget* widget : window->findChildren<QWidget*>()) {
        const bool control = qobject_cast<const QAbstractButton*>(widget)
            || qobject_cast<const QLineEdit*>(widget) || qobject_cast<const QComboBox*>(widget)
            || qobject_cast<const QAbstractItemView*>(widget) || qobject_cast<const QPlainTextEdit*>(widget);
        if (!control || widget->isHidden() || qobject_cast<const QDialogButtonBox*>(widget->parentWidget())
            || IsPartOfAControl(widget, window))
            continue;
        if (widget->toolTip().isEmpty())
            names << (widget->objectName().isEmpty() ? QString::fromLatin1(widget->metaObject()->className())
                                                     : widget->objectName());
    }
    return names;
}

using ControlsTest = WizardFixture;

TEST_F(ControlsTest, EveryControlSaysWhatItDoes)
{
    ShowEveryPage();
    EXPECT_EQ(Untipped(wizard.get()), QStringList());

    IniFile presets;
    CancelFlag cancel;
    const std::vector<std::string> files{"Vantor.ini"};
    const IniFile ini;
    std::vector<std::unique_ptr<QDialog>> windows;
    windows.push_back(std::make_unique<CreateGroupDialog>(dialogs, nullptr));
    windows.push_back(std::make_unique<RenameGroupDialog>(dialogs, nullptr));
    windows.push_back(std::make_unique<GroupOptionsDialog>("Main", GroupOptions{}, nullptr));
    windows.push_back(
        std::make_unique<FileDestinationDialog>("Maps\\A.map", "", dialogs, "/games", "/games", nullptr));
    windows.push_back(std::make_unique<AddWildcardDialog>(AddWildcardDialog::Check{},
                                                          AddWildcardDialog::Matches{}, dialogs, nullptr));
    windows.push_back(std::make_unique<AddIniFileDialog>(
        files, [](const std::string&) { return std::nullopt; }, dialogs, nullptr));
    windows.push_back(std::make_unique<IniPropertyDialog>(ini, dialogs, nullptr));
    windows.push_back(std::make_unique<ImportIniDialog>(files, dialogs, nullptr));
    windows.push_back(
        std::make_unique<IniGroupingDialog>(std::vector<GroupInfo*>{}, nullptr, dialogs, nullptr));
    windows.push_back(
        std::make_unique<AddRequirementDialog>(presets, AddRequirementDialog::Check{}, dialogs, nullptr));
    windows.push_back(std::make_unique<GenerationProgressDialog>(nullptr, GenerationChoice::Zip, cancel));
    for (const auto& window : windows)
        EXPECT_EQ(Untipped(window.get()), QStringList()) << window->metaObject()->className();
}

// The property dialog showed "Add/Mo... Property" and a Value field of 150 px:
// a dialog is wider than its title, and the value takes the dialog's width.
TEST_F(ControlsTest, DialogsAreWideEnoughForTheirTitlesAndValues)
{
    const IniFile ini;
    IniPropertyDialog dialog(ini, dialogs, nullptr);
    dialog.show();
    EXPECT_GT(dialog.width(), dialog.fontMetrics().horizontalAdvance(dialog.windowTitle()));
    EXPECT_GE(FindControl<QLineEdit>(&dialog, kIniValue)->width() * 2, dialog.width());

    QDialog titled;
    titled.setWindowTitle(QString(80, QLatin1Char('W')));
    AddOkCancel(&titled, new QVBoxLayout(&titled));
    EXPECT_GT(titled.minimumWidth(), titled.fontMetrics().horizontalAdvance(titled.windowTitle()));
}

}  // namespace
}  // namespace zpak::ui::test
