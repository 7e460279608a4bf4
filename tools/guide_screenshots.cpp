// Takes the user guide's screenshots from the real window: the example
// project over a copy of the demo game in a throw-away Wine prefix, each page
// on the way from the first to Generate, and the dialogs the guide explains.
//
//   guide_screenshots OUTPUT-FOLDER
//
// `make screenshots` runs it under Xvfb, so that fonts are drawn as on a desktop.

#include "game/wine_registry.h"
#include "generate/run_executor.h"
#include "generate/run_resolver.h"
#include "import/imported_project.h"
#include "import/manifest_import.h"
#include "model/project_document.h"
#include "platform/folder_index.h"
#include "platform/message_sink.h"
#include "platform/readable_file.h"
#include "rules/group_rules.h"
#include "rules/ini_change_rules.h"
#include "ui/app/control_ids.h"
#include "ui/app/dialog_service.h"
#include "ui/app/import_report_dialog.h"
#include "ui/app/wizard_dialog.h"
#include "ui/app/wizard_page.h"
#include "ui/pages/generate/preview_dialog.h"
#include "ui/pages/groups/groups_dialogs.h"
#include "ui/pages/ini_changes/ini_dialogs.h"
#include "ui/pages/wizard_pages.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QTreeView>

#include <cstdio>
#include <filesystem>
#include <fstream>

namespace fs = std::filesystem;
using namespace zpak;
using namespace zpak::ui;

namespace {

// Messages go to the terminal: nothing may stop the walk.
class SilentDialogs final : public DialogService {
public:
    void ShowMessage(QWidget*, const QString& text) override
    {
        std::fprintf(stderr, "message: %s\n", text.toUtf8().constData());
    }
    bool Ask(QWidget*, const QString&) override { return false; }
    SaveAnswer AskSaveChanges(QWidget*, const QString&) override { return SaveAnswer::Discard; }
    QString GetOpenFileName(QWidget*, const QString&, const QString&) override { return {}; }
    QString GetSaveFileName(QWidget*, const QString&, const QString&, const QString&, const QString&) override
    {
        return {};
    }
    QStringList GetOpenFileNames(QWidget*, const QString&, const QString&) override { return {}; }
    QString GetExistingDirectory(QWidget*, const QString&, const QString&) override { return {}; }
    bool OpenUrl(const QUrl&) override { return true; }
};

void Write(const fs::path& file, const std::string& text)
{
    fs::create_directories(file.parent_path());
    std::ofstream(file, std::ios::binary) << text;
}

bool Save(QWidget* window, const QString& folder, const char* name)
{
    window->show();
    for (int i = 0; i < 5; ++i)
        QApplication::processEvents();
    const QString file = QDir(folder).filePath(QString::fromLatin1(name) + QStringLiteral(".png"));
    if (!window->grab().save(file)) {
        std::fprintf(stderr, "cannot write %s\n", file.toUtf8().constData());
        return false;
    }
    std::printf("%s\n", file.toUtf8().constData());
    return true;
}

// Selects the row of `tree` whose text starts with `text`, among the top
// rows and their children.
void SelectRow(QAbstractItemView* tree, const QString& text)
{
    const QAbstractItemModel* model = tree->model();
    for (int row = 0; row < model->rowCount(); ++row) {
        const QModelIndex top = model->index(row, 0);
        if (top.data().toString().startsWith(text)) {
            tree->setCurrentIndex(top);
            return;
        }
        for (int child = 0; child < model->rowCount(top); ++child) {
            if (model->index(child, 0, top).data().toString().startsWith(text)) {
                tree->setCurrentIndex(model->index(child, 0, top));
                return;
            }
        }
    }
}

}  // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: guide_screenshots OUTPUT-FOLDER\n");
        return 2;
    }
    const QString output = QString::fromLocal8Bit(argv[1]);
    QDir().mkpath(output);

    // A Wine prefix in which the demo game is installed as C:\Games\Vantor.
    QTemporaryDir temp;
    const fs::path prefix = fs::path(temp.path().toStdString()) / "wine";
    fs::create_directories(prefix / "drive_c/Games");
    fs::create_directories(prefix / "dosdevices");
    fs::create_directory_symlink("../drive_c", prefix / "dosdevices/c:");
    fs::copy(ZPAK_EXAMPLES_DIR "/demo-game", prefix / "drive_c/Games/Vantor", fs::copy_options::recursive);
    Write(prefix / "system.reg",
          "WINE REGISTRY Version 2\n"
          "[Software\\\\Corvex Technology\\\\Installed Apps\\\\Vantor] 1\n"
          "\"Folder\"=\"C:\\\\Games\\\\Vantor\"\n");
    const fs::path project = fs::path(temp.path().toStdString()) / "frontier.zproj";
    fs::copy_file(ZPAK_EXAMPLES_DIR "/frontier.zproj", project);

    const auto registry = WineRegistry::Load({prefix});
    ProjectDocument doc;
    SilentDialogs dialogs;
    WizardDialog wizard(WizardContext{doc,
                                      dialogs,
                                      *registry,
                                      {},
                                      prefix.parent_path() / "presets.ini",
                                      prefix,
                                      prefix.parent_path() / "recent-projects"},
                        WizardPages());
    wizard.resize(720, 560);
    wizard.OpenProjectFile(QString::fromStdString(project.string()));
    bool ok = Save(&wizard, output, "01-game-folder");

    const std::pair<int, const char*> pages[] = {{ids::kGroupsPage, "02-groups"},
                                                 {ids::kIniChangesPage, "03-ini-changes"},
                                                 {ids::kRequirementsPage, "04-requirements"},
                                                 {ids::kProductPage, "05-product"},
                                                 {ids::kPackagePage, "06-packaging"},
                                                 {ids::kShortcutsPage, "07-shortcuts"},
                                                 {ids::kGeneratePage, "08-generate"}};
    for (const auto& [page, name] : pages) {
        wizard.OnNext();
        const PageInfo* active = wizard.GetActivePage();
        if (!active || active->id != page) {
            std::fprintf(stderr, "the walk stopped before %s\n", name);
            return 1;
        }
        if (page == ids::kGroupsPage) {
            auto* tree = FindControl<QTreeView>(active->page, ids::kGroupsTree);
            tree->expandAll();
            SelectRow(tree, QStringLiteral("Maps\\FR-"));
        }
        if (page == ids::kIniChangesPage) {
            auto* tree = FindControl<QTreeView>(active->page, ids::kIniTree);
            tree->expandAll();
            SelectRow(tree, QStringLiteral("[Game.Options]"));
        }
        ok = Save(&wizard, output, name) && ok;
    }

    // The dialogs the guide explains, over the window as the user sees them.
    GroupOptionsDialog options(doc.groups[0]->NameText(), OptionsOf(*doc.groups[0]), &wizard);
    ok = Save(&options, output, "09-group-options") && ok;
    const IniChangeFields change = FieldsOf(*doc.iniFiles[0]->entries[0]);
    IniPropertyDialog property(&change, dialogs, &wizard);
    ok = Save(&property, output, "10-ini-property") && ok;

    // The Add Wildcard dialog as the author types, over a copy of the game folder index.
    FolderIndex index(prefix);
    const LiveWildcard live(doc, index, index.ToNative(doc.GameFolderText()));
    AddWildcardDialog wildcard(
        {}, [&live](const std::string& expression) { return live.Matches(expression); }, dialogs, &wizard);
    FindControl<QLineEdit>(&wildcard, ids::kWildcard)->setText(QStringLiteral("Maps\\*.map"));
    ok = Save(&wildcard, output, "11-add-wildcard") && ok;

    // The preview with a group the author forgot to fill, the source group ticked.
    doc.groups.emplace_back(std::make_unique<GroupInfo>("Extras"));
    ResolvedRun run = ResolveGeneration(doc, GenerationChoice::Package, prefix);
    std::vector<Diagnostic> problems = DiagnoseRun(doc, run, prefix);
    PreviewDialog preview(doc, prefix, &wizard);
    preview.Found(std::move(run), std::move(problems));
    preview.resize(760, 620);
    preview.findChild<QCheckBox*>(QStringLiteral("previewGroup1"))->setChecked(true);
    ok = Save(&preview, output, "12-preview") && ok;

    // The import of the demo game's pair after three hand edits (the README's).
    doc.groups.pop_back();
    RecordingSink sink;
    ExecuteGeneration(ResolveGeneration(doc, GenerationChoice::ManifestOnly, prefix), sink);
    const fs::path manifest = prefix / "drive_c/Games/Vantor/System/FrontierMOD.ini";
    std::string text;
    ReadWholeFile(manifest, text);
    const auto edit = [&text](const std::string& after, const std::string& added) {
        text.insert(text.find(after) + after.size(), added);
    };
    edit("Shortcut=DocumentationShortcut\r\n", "Shortcut=DesktopShortcut\r\n");
    edit("Ini=System\\User.ini,Game.Keys.F7=open FR-Canyon\r\n", "File=(Src=\"System\\Frontier.u\")\r\n");
    edit("File=(Src=\"Maps\\FR-*.map\"", ", Size=40000");
    Write(manifest, text);
    ImportResult imported = ImportManifest(manifest);
    ImportReportDialog report(QString::fromStdString(manifest.string()),
                              QString::fromStdString(DescribeImport(imported.document)),
                              std::move(imported.diagnostics), &wizard);
    report.resize(820, 300);
    ok = Save(&report, output, "13-import") && ok;
    return ok ? 0 : 1;
}
