#include "generate/generation_run.h"
#include "model/project_reader.h"
#include "model/project_writer.h"
#include "platform/message_sink.h"
#include "ui/app/import_report_dialog.h"
#include "wizard_fixture.h"
#include "zpak/version.h"

#include <QLabel>
#include <QTest>
#include <QTreeView>
#include <QTreeWidget>

#include <cstring>
#include <filesystem>

namespace zpak::ui::test {
namespace {

namespace fs = std::filesystem;
using namespace ids;

class ImportWindowTest : public WizardFixture {
protected:
    void SetUp() override
    {
        doc.gameFolder = game.string();
        wizard->show();
    }

    // The example project's manifest pair, generated into `folder` (a copy of the demo game).
    static fs::path WriteDemoPair(const fs::path& folder)
    {
        ProjectDocument project;
        RecordingSink sink;
        const std::string gameFolder = folder.string();
        OpenOptions options;
        options.gameFolder = &gameFolder;
        EXPECT_EQ(OpenProject(ZPAK_EXAMPLES_DIR "/frontier.zproj", project, sink, {}, options),
                  OpenResult::Opened);
        EXPECT_TRUE(WriteManifest(project, true, sink)) << sink.messages.front();
        return folder / "System" / "FrontierMOD.ini";
    }

    // Clicks Import and chooses `manifest`. The report the import shows is
    // given to `look` and then closed, unless `look` closed it.
    void Import(const fs::path& manifest, const std::function<void(ImportReportDialog&)>& look = {})
    {
        dialogs.openAnswers.push_back(QString::fromStdString(manifest.string()));
        reports = 0;
        QTimer::singleShot(0, wizard.get(), [this, look] {
            auto* report = wizard->findChild<ImportReportDialog*>();
            if (!report)
                return;
            ++reports;
            if (look)
                look(*report);
            if (report->isVisible())
                report->reject();
        });
        Click(kImport);
    }

    QString Title(const char* name) const
    {
        return QString::fromLatin1(name) + QStringLiteral(" \u2014 ZPAK WIZARD ")
            + QString::fromLatin1(zpak::kVersion);
    }

    int reports = 0;
};

TEST_F(ImportWindowTest, ImportAsksBeforeUnsavedWorkIsLostAsOpenDoes)
{
    const fs::path manifest = WriteDemoPair(game);
    CreateGroup("Main");
    ASSERT_TRUE(wizard->UndoStack().canUndo());
    Click(kImport);  // answered Cancel: nothing chosen, nothing replaced
    EXPECT_EQ(dialogs.saveQuestions, QStringList{"the new project"});
    EXPECT_TRUE(dialogs.openFilters.isEmpty());
    ASSERT_EQ(doc.groups.size(), 1u);
    EXPECT_EQ(doc.groups[0]->NameText(), "Main");
    EXPECT_EQ(wizard->windowTitle(), Title("Untitled*"));

    // A manifest that cannot be read leaves the project as it was.
    dialogs.saveChangesAnswers = {SaveAnswer::Discard};
    dialogs.openAnswers.push_back(QString::fromStdString((game / "System" / "MissingMOD.ini").string()));
    Click(kImport);
    ASSERT_EQ(dialogs.messages.size(), 1);
    EXPECT_TRUE(dialogs.messages[0].contains("MissingMOD.ini was not imported."))
        << dialogs.messages[0].toStdString();
    EXPECT_EQ(doc.groups[0]->NameText(), "Main");

    dialogs.saveChangesAnswers = {SaveAnswer::Discard};
    Import(manifest);
    EXPECT_EQ(reports, 1);
    EXPECT_EQ(dialogs.saveQuestions.size(), 3);
    ASSERT_TRUE(doc.product);
    EXPECT_EQ(doc.product->product, "Frontier");
    EXPECT_EQ(doc.groups.size(), 2u);
    // The steps named records of the project the import replaced.
    EXPECT_FALSE(wizard->UndoStack().canUndo());
}

// The demo game's pair gives back the example project, which has no file
// yet: the title has a star, closing asks, and Save asks where to keep it,
// also when the project opened before was that same example.
TEST_F(ImportWindowTest, TheDemoPairOpensUnsavedAndSaveAsksWhere)
{
    const fs::path manifest = WriteDemoPair(game);
    std::string example = zpak::test::ReadFile(ZPAK_EXAMPLES_DIR "/frontier.zproj");
    example.replace(0, example.find('\n'), game.string());
    dialogs.openAnswers.push_back(QString::fromStdString(dir.Write("frontier.zproj", example).string()));
    Click(kOpen);
    ASSERT_EQ(wizard->windowTitle(), Title("frontier.zproj"));

    QString summary;
    QString firstRow;
    Import(manifest, [&](ImportReportDialog& report) {
        summary = report.findChild<QLabel*>(QStringLiteral("importSummary"))->text();
        firstRow = FindControl<QTreeWidget>(&report, kImportDiagnostics)->topLevelItem(0)->text(0);
    });
    ASSERT_EQ(reports, 1);
    EXPECT_TRUE(summary.contains("2 groups, 6 file entries, 4 INI changes, 1 requirement"))
        << summary.toStdString();
    EXPECT_EQ(firstRow, "Everything the pair holds was taken over.");
    EXPECT_EQ(wizard->windowTitle(), Title("Untitled*"));
    EXPECT_TRUE(wizard->ProjectFile().isEmpty());
    EXPECT_EQ(Edit(kGamePathPage, kGamePathEdit)->text(), QString::fromStdString(game.string()));

    EXPECT_EQ(SerializeProject(doc), example);

    wizard->close();  // answered Cancel
    EXPECT_TRUE(wizard->isVisible());
    EXPECT_EQ(dialogs.saveQuestions, QStringList{"the new project"});

    const fs::path saved = dir / "kept.zproj";
    dialogs.saveAnswers.push_back(QString::fromStdString(saved.string()));
    Click(kSave);
    EXPECT_EQ(dialogs.saveStarts, QStringList{QString::fromStdString((game / "Frontier.zproj").string())});
    EXPECT_EQ(zpak::test::ReadFile(saved), example);
    EXPECT_EQ(wizard->windowTitle(), Title("kept.zproj"));
}

// A pair edited by hand: each line the project could not take over leads to
// the record it is about, forward through the pages from the first one and
// back again.
TEST_F(ImportWindowTest, EachDiagnosticLeadsToItsRecord)
{
    const fs::path edited = dir / "Edited" / "Vantor";
    fs::create_directories(edited.parent_path());
    fs::copy(game, edited, fs::copy_options::recursive);
    const fs::path manifest = WriteDemoPair(edited);
    std::string text = zpak::test::ReadFile(manifest);
    for (const auto& [line, added] : {
             std::pair{"Version=1100\r\n", "Beta=1\r\n"},
             std::pair{"Shortcut=DocumentationShortcut\r\n", "Shortcut=DesktopShortcut\r\n"},
             std::pair{"Ini=System\\User.ini,Game.Keys.F7=open FR-Canyon\r\n",
                       "File=(Src=\"System\\Frontier.u\")\r\n"},
             std::pair{"[Frontier]\r\n", "AddIni=System\\Vantor.ini,NoSectionHere\r\n"},
         }) {
        const std::size_t at = text.find(line);
        ASSERT_NE(at, std::string::npos) << line;
        text.insert(at + std::strlen(line), added);
    }
    text.replace(text.find("FR-*.map\")"), 10, "FR-*.map\", Size=40000)");
    text.erase(text.find("Selectable=False\r\n"), 18);  // of [Frontier]: the wizard's default is taken
    dir.Write(manifest.lexically_relative(dir.path()).string(), text);

    struct Lead {
        const char* where;  // file and line, as the dialog shows them
        int page;
        int tree;           // the tree that shows the record, or the field that has the focus
        const char* shown;  // the record's row; empty for a field
    };
    const Lead leads[] = {
        {"FrontierMOD.ini:20", kRequirementsPage, kRequirementsTree, "Vantor"},
        {"FrontierMOD.ini:29", kShortcutsPage, kParameters, ""},
        {"FrontierMOD.ini:33", kGroupsPage, kGroupsTree, "SetupFiles"},
        {"FrontierMOD.ini:35", kGroupsPage, kGroupsTree, "Frontier"},
        {"FrontierMOD.ini:36", kGroupsPage, kGroupsTree, "Frontier"},
        {"FrontierMOD.ini:42", kGroupsPage, kGroupsTree, "Maps\\FR-*.map"},
    };
    int row = 0;
    for (const Lead& lead : leads) {
        SCOPED_TRACE(lead.where);
        dialogs.saveChangesAnswers = {SaveAnswer::Discard};
        QString where;
        Import(manifest, [&](ImportReportDialog& report) {
            auto* list = FindControl<QTreeWidget>(&report, kImportDiagnostics);
            EXPECT_EQ(list->topLevelItemCount(), static_cast<int>(std::size(leads)));
            QTreeWidgetItem* item = list->topLevelItem(row);
            where = item->text(3);
            list->scrollToItem(item);
            const QPoint at = list->visualItemRect(item).center();
            QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, at);
            QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, at);
            EXPECT_FALSE(report.isVisible());
        });
        ++row;
        ASSERT_EQ(reports, 1);
        EXPECT_EQ(where, lead.where);
        EXPECT_EQ(ActivePage(), lead.page);
        // Next on the way stored what the pages show of the imported project.
        EXPECT_EQ(doc.GameFolderText(), edited.string());
        if (!*lead.shown) {
            EXPECT_EQ(wizard->focusWidget(), Control<QWidget>(lead.page, lead.tree));
            continue;
        }
        const auto* tree = Control<QTreeView>(lead.page, lead.tree);
        const QModelIndex current = tree->currentIndex();
        EXPECT_TRUE(current.data().toString().startsWith(lead.shown))
            << current.data().toString().toStdString();
        EXPECT_TRUE(tree->selectionModel()->isSelected(current));
        EXPECT_TRUE(tree->viewport()->rect().contains(tree->visualRect(current))) << "scrolled into view";
    }
}

}  // namespace
}  // namespace zpak::ui::test
