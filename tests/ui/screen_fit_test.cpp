#include "generate/project_check.h"
#include "generate/run_resolver.h"
#include "ini/ini_file.h"
#include "platform/cancel_flag.h"
#include "ui/app/about_dialog.h"
#include "ui/app/dialog_sizes.h"
#include "ui/app/import_report_dialog.h"
#include "ui/pages/generate/generation_progress.h"
#include "ui/pages/generate/preview_dialog.h"
#include "ui/pages/groups/groups_dialogs.h"
#include "ui/pages/ini_changes/ini_dialogs.h"
#include "ui/pages/requirements/requirements_dialogs.h"
#include "wizard_fixture.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QScreen>

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace zpak::ui::test {
namespace {

using namespace ids;

// The smallest screen the wizard is made for.
constexpr QSize kScreen(1366, 768);

class ScreenFitTest : public WizardFixture {
protected:
    ScreenFitTest()
    {
        dialogs.openAnswers.push_back(ZPAK_EXAMPLES_DIR "/frontier.zproj");
        Click(kOpen);
        doc.gameFolder = game.string();
    }

    // Groups up to `count`, named as long as authors name them.
    void GrowGroups(std::size_t count)
    {
        while (doc.groups.size() < count)
            doc.groups.emplace_back(std::make_unique<GroupInfo>(
                "Optional high resolution textures for the northern canyon maps, part "
                + std::to_string(doc.groups.size())));
    }

    // Shows the dialog as the user would see it and checks that all of it
    // fits the screen: its size and the least its layout allows.
    static void ExpectFits(QDialog& dialog, const std::string& what)
    {
        dialog.show();
        QApplication::processEvents();
        const QSize least = dialog.minimumSizeHint().expandedTo(dialog.minimumSize());
        EXPECT_LE(dialog.width(), kScreen.width()) << what;
        EXPECT_LE(dialog.height(), kScreen.height()) << what;
        EXPECT_LE(least.width(), kScreen.width()) << what;
        EXPECT_LE(least.height(), kScreen.height()) << what;
        dialog.hide();
    }
};

using DialogFactory = std::function<std::unique_ptr<QDialog>()>;

// Every dialog of the wizard, at 1, 100 and 1,000 groups of long names (the
// Preview and INI Grouping list the groups; the import report lists a
// problem per group).
TEST_F(ScreenFitTest, EveryDialogFitsTheScreenAtAnyProjectSize)
{
    IniFile presets;
    CancelFlag cancel;
    QWidget* parent = wizard.get();
    const std::vector<std::pair<std::string, DialogFactory>> factories = {
        {"Preview",
         [&]() -> std::unique_ptr<QDialog> {
             auto dialog = std::make_unique<PreviewDialog>(doc, std::filesystem::path(), parent);
             ResolvedRun run = ResolveGeneration(doc, GenerationChoice::Package, {});
             std::vector<Diagnostic> problems = DiagnoseRun(doc, run, {});
             dialog->Found(std::move(run), std::move(problems));
             return dialog;
         }},
        {"INI Grouping",
         [&]() -> std::unique_ptr<QDialog> {
             std::vector<GroupInfo*> groups;
             for (const auto& group : doc.groups)
                 groups.push_back(group.get());
             return std::make_unique<IniGroupingDialog>(groups, groups.back(), dialogs, parent);
         }},
        {"import report",
         [&]() -> std::unique_ptr<QDialog> {
             std::vector<Diagnostic> problems;
             for (const auto& group : doc.groups)
                 problems.push_back({Severity::Warning,
                                     "Z105",
                                     0,
                                     ProjectPage::Groups,
                                     {},
                                     "The group " + group->NameText() + " lost a file on the way",
                                     ""});
             return std::make_unique<ImportReportDialog>(
                 QStringLiteral("/games/Vantor/System/FrontierMOD.ini"), QStringLiteral("a project"),
                 std::move(problems), parent);
         }},
        {"Add INI File",
         [&] {
             return std::make_unique<AddIniFileDialog>(
                 std::vector<std::string>{"User.ini"},
                 [](const std::string&) { return std::optional<Problem>(); }, dialogs, parent);
         }},
        {"INI Property", [&] { return std::make_unique<IniPropertyDialog>(nullptr, dialogs, parent); }},
        {"Import INI",
         [&] {
             return std::make_unique<ImportIniDialog>(std::vector<std::string>{"User.ini"}, dialogs, parent);
         }},
        {"Add Requirement",
         [&] { return std::make_unique<AddRequirementDialog>(presets, nullptr, dialogs, parent); }},
        {"Create Group", [&] { return std::make_unique<CreateGroupDialog>(dialogs, parent); }},
        {"Rename Group", [&] { return std::make_unique<RenameGroupDialog>(dialogs, parent); }},
        {"No Groups", [&] { return std::make_unique<NoGroupsDialog>(parent); }},
        {"Group Options",
         [&] {
             return std::make_unique<GroupOptionsDialog>(doc.groups[0]->NameText(), GroupOptions{}, parent);
         }},
        {"File Destination",
         [&] {
             return std::make_unique<FileDestinationDialog>("Maps\\FR-Canyon.map", "Maps\\FR-Canyon.map",
                                                            dialogs, doc.GameFolderText(), game.string(),
                                                            parent);
         }},
        {"Add Wildcard",
         [&] {
             return std::make_unique<AddWildcardDialog>(
                 nullptr, [](const std::string&) { return WildcardMatchList{}; }, dialogs, parent);
         }},
        {"About", [&] { return std::make_unique<AboutDialog>(parent); }},
        {"generation progress",
         [&] { return std::make_unique<GenerationProgressDialog>(parent, GenerationChoice::Zip, cancel); }},
    };
    for (const std::size_t groups : {1u, 100u, 1000u}) {
        if (groups == 1)
            doc.groups.resize(1);
        GrowGroups(groups);
        for (const auto& [name, make] : factories) {
            std::unique_ptr<QDialog> dialog = make();
            ExpectFits(*dialog, name + " at " + std::to_string(groups) + " groups");
        }
    }
    ExpectFits(*wizard, "the window");
}

// A dialog opens at the size the user left it, within the screen.
TEST_F(ScreenFitTest, DialogsRememberTheirSize)
{
    const QString file = QString::fromStdString((dir / "sizes.ini").string());
    const QSize screen = wizard->screen()->availableGeometry().size();
    {
        const DialogSizes sizes(file);
        AboutDialog about(wizard.get());
        about.show();
        about.resize(about.size() + QSize(37, 23));
        const QSize left = about.size();
        about.hide();
        AboutDialog again(wizard.get());
        again.show();
        EXPECT_EQ(again.size(), left);
        again.resize(screen * 2);
        again.hide();
    }
    const DialogSizes sizes(file);
    AboutDialog large(wizard.get());
    large.show();
    EXPECT_LE(large.width(), screen.width());
    EXPECT_LE(large.height(), screen.height());
}

// Whether the widget shows all it holds at its size: text not cut, a
// wrapped text given all its lines, a field not squashed below what it asks for.
std::string Squeezed(const QWidget& widget)
{
    const QSize size = widget.size();
    bool fits = true;
    if (const auto* label = qobject_cast<const QLabel*>(&widget)) {
        fits = label->wordWrap() ? size.height() >= label->heightForWidth(size.width())
                                 : size.width() >= label->minimumSizeHint().width();
    } else if (qobject_cast<const QAbstractButton*>(&widget) || qobject_cast<const QLineEdit*>(&widget)
               || qobject_cast<const QComboBox*>(&widget)) {
        fits =
            size.width() >= widget.sizeHint().width() && size.height() >= widget.minimumSizeHint().height();
    } else if (qobject_cast<const QAbstractItemView*>(&widget)) {
        fits = size.height() >= widget.minimumSizeHint().height();
    }
    if (fits)
        return {};
    const auto* label = qobject_cast<const QLabel*>(&widget);
    const auto* button = qobject_cast<const QAbstractButton*>(&widget);
    return widget.metaObject()->className() + std::string(" ") + widget.objectName().toStdString() + " \""
        + (label        ? label->text()
               : button ? button->text()
                        : QString())
              .left(40)
              .toStdString()
        + "\" " + std::to_string(size.width()) + "x" + std::to_string(size.height()) + " wants "
        + std::to_string(widget.sizeHint().width()) + "x" + std::to_string(widget.sizeHint().height());
}

// At the smallest size the window lets itself be made, every page and the
// window's own buttons show all of their labels and fields.
TEST_F(ScreenFitTest, EveryPageIsReadableAtTheSmallestWindow)
{
    wizard->show();
    wizard->resize(1, 1);
    QApplication::processEvents();
    EXPECT_EQ(wizard->size(), wizard->minimumSize());
    for (const int page : {kGamePathPage, kGroupsPage, kIniChangesPage, kRequirementsPage, kProductPage,
                           kPackagePage, kShortcutsPage, kGeneratePage}) {
        wizard->SetActivePage(page);
        QApplication::processEvents();
        for (const QWidget* widget : wizard->findChildren<QWidget*>()) {
            // A combo box's own edit sits inside its frame: the combo box is checked.
            if (!widget->isVisible() || widget->isWindow()
                || qobject_cast<const QComboBox*>(widget->parent()))
                continue;
            const std::string squeezed = Squeezed(*widget);
            EXPECT_TRUE(squeezed.empty()) << "page " << page << ": " << squeezed;
        }
    }
}

}  // namespace
}  // namespace zpak::ui::test
