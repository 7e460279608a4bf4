// The wizard window with a large project, headless: 100,000 file entries in
// 100 groups and 10,000 INI changes (the sizes can be given). Reports the
// time of each interaction (showing a page, selecting, adding and deleting an
// entry, Next and Back) and the peak memory of the whole program. Run with
// the files present in the game folder, or missing (--missing), which costs
// the window an icon of its own per row when it is done naively.
//
// Usage: window_bench [--entries N] [--changes N] [--missing]
#include "game/wine_registry.h"
#include "model/project_document.h"
#include "ui/app/control_ids.h"
#include "ui/app/dialog_service.h"
#include "ui/app/wizard_dialog.h"
#include "ui/app/wizard_page.h"
#include "ui/pages/generate/preview_dialog.h"
#include "ui/pages/groups/groups_dialogs.h"
#include "ui/pages/wizard_pages.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QApplication>
#include <QCheckBox>
#include <QElapsedTimer>
#include <QLabel>
#include <QLineEdit>
#include <QTimer>
#include <QTreeView>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>

#ifdef _WIN32
#include <windows.h>

#include <psapi.h>
#else
#include <sys/resource.h>
#endif

namespace {

using namespace zpak;
using namespace zpak::ui;
namespace fs = std::filesystem;

// Message boxes and file dialogs answer nothing: the benchmark only clicks.
class SilentDialogs final : public DialogService {
public:
    void ShowMessage(QWidget*, const QString&) override {}
    QString GetOpenFileName(QWidget*, const QString&, const QString&) override { return {}; }
    bool Ask(QWidget*, const QString&) override { return true; }
    SaveAnswer AskSaveChanges(QWidget*, const QString&) override { return SaveAnswer::Discard; }
    QString GetSaveFileName(QWidget*, const QString&, const QString&, const QString&, const QString&) override
    {
        return {};
    }
    QString GetExistingDirectory(QWidget*, const QString&, const QString&) override { return {}; }
    QStringList GetOpenFileNames(QWidget*, const QString&, const QString&) override { return picked; }
    void OpenUrl(const QUrl&) override {}

    QStringList picked;  // what Add File picks
};

struct Options {
    int entries = 100000;
    int changes = 10000;
    bool missing = false;
};

Options ParseOptions(int argc, char** argv)
{
    Options options;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--entries" && i + 1 < argc)
            options.entries = std::stoi(argv[++i]);
        else if (arg == "--changes" && i + 1 < argc)
            options.changes = std::stoi(argv[++i]);
        else if (arg == "--missing")
            options.missing = true;
    }
    return options;
}

// The game folder with System\MKR.exe and, unless missing, every entry's file.
void MakeProject(const fs::path& game, const Options& options, ProjectDocument& doc)
{
    fs::create_directories(game / "System");
    std::ofstream(game / "System/MKR.exe") << "tool";
    std::ofstream(game / "System/User.ini") << "[Section]\r\nKey=1\r\n";
    doc.gameFolder = game.string();
    doc.product = std::make_unique<ProductData>();
    doc.product->product = "Bench";
    const int perGroup = options.entries / 100;
    for (int g = 0; g < 100; ++g) {
        auto& group = *doc.groups.emplace_back(std::make_unique<GroupInfo>("Group" + std::to_string(g)));
        char folder[16];
        std::snprintf(folder, sizeof folder, "Pack%02d", g);
        fs::create_directories(game / folder);
        for (int f = 0; f < perGroup; ++f) {
            char name[32];
            std::snprintf(name, sizeof name, "File%04d.dat", f);
            if (!options.missing)
                std::ofstream(game / folder / name) << 'x';
            group.AddFile(std::string(folder) + "\\" + name);
        }
        group.AddFile(std::string(folder) + "\\*.dat");
    }
    for (int i = 0; i < options.changes; ++i) {
        if (i % 100 == 0)
            doc.iniFiles.emplace_back(std::make_unique<INIGroup>("File" + std::to_string(i / 100) + ".ini"));
        doc.iniFiles.back()->AddEntry("Section", "Key" + std::to_string(i), std::to_string(i), i % 2);
    }
}

long PeakMegabytes()
{
#ifdef _WIN32
    PROCESS_MEMORY_COUNTERS counters{};
    counters.cb = sizeof counters;
    ::GetProcessMemoryInfo(::GetCurrentProcess(), &counters, sizeof counters);
    return static_cast<long>(counters.PeakWorkingSetSize / (1024 * 1024));
#else
    rusage usage{};
    ::getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss / 1024;
#endif
}

class Bench {
public:
    explicit Bench(WizardDialog& wizard) : wizard_(wizard) {}

    void Measure(const char* what, const std::function<void()>& act)
    {
        QElapsedTimer clock;
        clock.start();
        act();
        QApplication::processEvents();  // what the window paints before it answers again
        std::printf("%-44s %8.1f ms\n", what, static_cast<double>(clock.nsecsElapsed()) / 1e6);
        std::fflush(stdout);
    }

    void Click(int id)
    {
        auto* row = wizard_.findChild<QWidget*>(QStringLiteral("windowButtons"));
        FindControl<QAbstractButton>(row, id, true)->click();
    }

    void ClickOn(int page, int id)
    {
        FindControl<QAbstractButton>(wizard_.FindPage(page)->page, id)->click();
    }

    QAbstractItemView* Tree(int page, int id)
    {
        return FindControl<QAbstractItemView>(wizard_.FindPage(page)->page, id);
    }

private:
    WizardDialog& wizard_;
};

// Opens Add Wildcard on the groups page and types a wildcard a key at a
// time: the list of matches is redone on each key.
void MeasureWildcardTyping(Bench& bench, WizardDialog& wizard)
{
    const QString typed = QStringLiteral("Pack05\\File*.dat");
    QElapsedTimer open;
    double openMs = 0;
    double slowest = 0;
    double total = 0;
    QTimer::singleShot(0, &wizard, [&] {
        auto* dialog = wizard.findChild<AddWildcardDialog*>();
        if (!dialog)
            return;
        openMs = static_cast<double>(open.nsecsElapsed()) / 1e6;
        auto* edit = FindControl<QLineEdit>(dialog, ids::kWildcard);
        for (const QChar key : typed) {
            QElapsedTimer clock;
            clock.start();
            edit->insert(QString(key));
            QApplication::processEvents();
            const double ms = static_cast<double>(clock.nsecsElapsed()) / 1e6;
            slowest = std::max(slowest, ms);
            total += ms;
        }
        std::printf("%-44s %s\n", "  what the wildcard matches",
                    qPrintable(FindControl<QLabel>(dialog, ids::kWildcardMatchCount)->text()));
        dialog->reject();
    });
    open.start();
    bench.ClickOn(ids::kGroupsPage, ids::kAddWildcard);
    std::printf("%-44s %8.1f ms\n", "open Add Wildcard", openMs);
    std::printf("%-44s %8.1f ms\n", "type a wildcard: slowest key", slowest);
    std::printf("%-44s %8.1f ms\n", "type a wildcard: mean key", total / static_cast<double>(typed.size()));
}

long ResidentKilobytes()
{
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind("VmRSS:", 0) == 0)
            return std::stol(line.substr(6));
    }
    return 0;
}

// Undo and redo of the two removals made before (the entry on the groups
// page, the INI change here), one of them from another page; then the memory
// a history of 1,000 removals of INI changes keeps.
void MeasureUndo(Bench& bench, WizardDialog& wizard)
{
    bench.Measure("undo: remove an INI change", [&] { bench.Click(ids::kUndo); });
    bench.Measure("redo: remove an INI change", [&] { bench.Click(ids::kRedo); });
    bench.Measure("undo both: back to the groups page", [&] {
        bench.Click(ids::kUndo);
        bench.Click(ids::kUndo);
    });
    bench.Measure("redo both", [&] {
        bench.Click(ids::kRedo);
        bench.Click(ids::kRedo);
    });
    wizard.SetActivePage(ids::kIniChangesPage);
    QAbstractItemView* ini = bench.Tree(ids::kIniChangesPage, ids::kIniTree);
    const long before = ResidentKilobytes();
    QElapsedTimer clock;
    clock.start();
    for (int i = 0; i < 1000; ++i) {
        const QModelIndex file = ini->model()->index(i % ini->model()->rowCount(), 0);
        ini->setCurrentIndex(ini->model()->index(0, 0, file));
        bench.ClickOn(ids::kIniChangesPage, ids::kRemoveIniEntry);
    }
    std::printf("%-44s %8.1f ms\n", "1,000 removals: mean", static_cast<double>(clock.nsecsElapsed()) / 1e9);
    std::printf("%-44s %8.1f MB\n", "memory the history of 1,000 removals adds",
                static_cast<double>(ResidentKilobytes() - before) / 1024.0);
    bench.Measure("undo the last of 1,000 removals", [&] { bench.Click(ids::kUndo); });
    bench.Measure("redo it", [&] { bench.Click(ids::kRedo); });
    // A field typed on the product page is one step; undone from the groups
    // page, it takes the user back to the field.
    wizard.SetActivePage(ids::kProductPage);
    auto* developer = FindControl<QLineEdit>(wizard.FindPage(ids::kProductPage)->page, ids::kDeveloper);
    developer->setText(QStringLiteral("Someone"));
    bench.Measure("leave a typed product field (one step)", [&] { Q_EMIT developer->editingFinished(); });
    wizard.SetActivePage(ids::kGroupsPage);
    bench.Measure("undo: a product field, from the groups page", [&] { bench.Click(ids::kUndo); });
    bench.Measure("redo: a product field", [&] { bench.Click(ids::kRedo); });
    // A group renamed through its step, as the rename dialog stores it.
    QAbstractItemView* groups = bench.Tree(ids::kGroupsPage, ids::kGroupsTree);
    wizard.SetActivePage(ids::kGroupsPage);
    groups->setCurrentIndex(groups->model()->index(groups->model()->rowCount() - 1, 0));
    QTimer::singleShot(0, &wizard, [&wizard] {
        if (auto* dialog = wizard.findChild<RenameGroupDialog*>()) {
            FindControl<QLineEdit>(dialog, ids::kRenameGroupName)->setText(QStringLiteral("Renamed"));
            dialog->accept();
        }
    });
    bench.Measure("rename the last group", [&] { bench.ClickOn(ids::kGroupsPage, ids::kRenameGroup); });
    bench.Measure("undo: rename a group", [&] { bench.Click(ids::kUndo); });
    bench.Measure("redo: rename a group", [&] { bench.Click(ids::kRedo); });
}

// Opens the preview from the Generate page (every problem of the project,
// the install of the default groups), then ticks one more group.
void MeasurePreview(WizardDialog& wizard)
{
    wizard.SetActivePage(ids::kGeneratePage);
    QElapsedTimer open;
    double openMs = 0;
    double tickMs = 0;
    QTimer::singleShot(0, &wizard, [&] {
        auto* dialog = wizard.findChild<PreviewDialog*>();
        if (!dialog)
            return;
        QApplication::processEvents();
        openMs = static_cast<double>(open.nsecsElapsed()) / 1e6;
        QElapsedTimer clock;
        clock.start();
        dialog->findChild<QCheckBox*>(QStringLiteral("previewGroup1"))->click();
        QApplication::processEvents();
        tickMs = static_cast<double>(clock.nsecsElapsed()) / 1e6;
        dialog->reject();
    });
    open.start();
    FindControl<QAbstractButton>(wizard.FindPage(ids::kGeneratePage)->page, ids::kPreview)->click();
    std::printf("%-44s %8.1f ms\n", "open Preview (check and install)", openMs);
    std::printf("%-44s %8.1f ms\n", "tick a group in the preview", tickMs);
}

}  // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const Options options = ParseOptions(argc, argv);
    const fs::path game = fs::temp_directory_path()
        / ("zpak-window-bench-" + std::to_string(QCoreApplication::applicationPid()));

    ProjectDocument doc;
    MakeProject(game, options, doc);
    std::printf("%d file entries in 100 groups (files %s), %d INI changes\n", options.entries,
                options.missing ? "missing" : "present", options.changes);
    SilentDialogs dialogs;
    WineRegistry registry({});
    WizardDialog wizard(WizardContext{doc, dialogs, registry, {}, game / "presets.ini", {}, {}},
                        WizardPages());
    wizard.resize(900, 600);
    wizard.show();
    QApplication::processEvents();

    Bench bench(wizard);
    bench.Measure("Next to the groups page (first showing)", [&] { bench.Click(ids::kNext); });
    QAbstractItemView* groups = bench.Tree(ids::kGroupsPage, ids::kGroupsTree);
    bench.Measure("select the last group", [&] {
        const QModelIndex last = groups->model()->index(groups->model()->rowCount() - 1, 0);
        groups->setCurrentIndex(last);
    });
    dialogs.picked = {QString::fromStdString((game / "System/User.ini").string())};
    bench.Measure("add a file to the last group", [&] { bench.ClickOn(ids::kGroupsPage, ids::kAddFile); });
    bench.Measure("delete an entry of the last group", [&] {
        const QModelIndex last = groups->model()->index(groups->model()->rowCount() - 1, 0);
        groups->setCurrentIndex(groups->model()->index(0, 0, last));
        bench.ClickOn(ids::kGroupsPage, ids::kDeleteEntry);
    });
    groups->setCurrentIndex(groups->model()->index(groups->model()->rowCount() - 1, 0));
    MeasureWildcardTyping(bench, wizard);
    bench.Measure("Next to the INI changes page", [&] { bench.Click(ids::kNext); });
    bench.Measure("Back to the groups page (showing again)", [&] { bench.Click(ids::kBack); });
    bench.Measure("Next to the INI changes page again", [&] { bench.Click(ids::kNext); });
    QAbstractItemView* ini = bench.Tree(ids::kIniChangesPage, ids::kIniTree);
    bench.Measure("select an INI change",
                  [&] { ini->setCurrentIndex(ini->model()->index(0, 0, ini->model()->index(0, 0))); });
    bench.Measure("remove an INI change", [&] { bench.ClickOn(ids::kIniChangesPage, ids::kRemoveIniEntry); });
    bench.Measure("Next to the requirements page", [&] { bench.Click(ids::kNext); });
    bench.Measure("Back to the INI changes page", [&] { bench.Click(ids::kBack); });
    MeasureUndo(bench, wizard);
    MeasurePreview(wizard);
    std::printf("%-44s %8ld MB\n", "peak memory of the program", PeakMegabytes());
    fs::remove_all(game);
    return 0;
}
