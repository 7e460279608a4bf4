#include "platform/sha256.h"
#include "support/scoped_env.h"
#include "ui/pages/generate/generation_progress.h"
#include "ui/pages/generate/preview_dialog.h"
#include "wizard_fixture.h"

#include <QCheckBox>
#include <QElapsedTimer>
#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <QTreeView>
#include <QTreeWidget>

#include <fstream>

namespace zpak::ui::test {
namespace {

using namespace ids;
namespace fs = std::filesystem;

// A packaging tool that says it has started and then waits for the test.
constexpr const char* kSlowTool = R"SH(#!/bin/sh
echo "packing the maps"
: > started
i=0
while [ ! -e go ] && [ $i -lt 400 ]; do sleep 0.05; i=$((i+1)); done
: > went-on
echo built > Frontier.zpack2
)SH";

// A real mouse click, near the left edge where a check or radio button's
// box and label are.
void Press(QAbstractButton* button)
{
    QTest::mouseClick(button, Qt::LeftButton, {}, QPoint(6, button->height() / 2));
}

class GeneratePageTest : public WizardFixture {
protected:
    // What makes the Windows stand-in wait as the script does.
    const zpak::test::ScopedEnv waitForGo{"MKR_STAND_IN_WAIT_FOR_GO", "1"};

    GeneratePageTest()
    {
        dialogs.openAnswers.push_back(ZPAK_EXAMPLES_DIR "/frontier.zproj");
        Click(kOpen);
        doc.gameFolder = game.string();
        dialogs.messages.clear();
        fs::remove(game / "System/MKR.exe");
#ifdef _WIN32
        // A Windows program that does as the script below does.
        fs::copy_file(ZPAK_MKR_STAND_IN, game / "System/MKR.exe");
#else
        std::ofstream(game / "System/MKR.exe") << kSlowTool;
        fs::permissions(game / "System/MKR.exe", fs::perms::owner_all);
#endif
        wizard->show();
        wizard->SetActivePage(kGeneratePage);
        dialogs.openFilters.clear();
    }

    GenerationProgressDialog* Progress() const
    {
        return wizard->findChild<GenerationProgressDialog*>();
    }

    // Calls `act` once the tool has started (and the progress dialog had
    // time to appear), then lets the tool finish unless told not to.
    void WhileTheToolRuns(const std::function<void()>& act, bool release = true)
    {
        auto* poll = new QTimer(wizard.get());
        QElapsedTimer clock;
        clock.start();
        QObject::connect(poll, &QTimer::timeout, poll, [this, poll, act, clock, release] {
            if (!fs::exists(game / "System/started") || clock.elapsed() < 600) {
                if (clock.elapsed() < 15000)
                    return;
            }
            poll->stop();
            act();
            if (release)
                std::ofstream(game / "System/go").flush();
        });
        poll->start(50);
    }
};

// While the tool runs nothing of the window acts: not the buttons, not the
// keys, not closing; the progress dialog shows what goes on. Its messages
// come after it has gone, and the close waits for the run.
TEST_F(GeneratePageTest, RunIsModalForItsWholeLength)
{
    bool progressShown = false;
    QString progressText;
    bool coveredAMessage = false;
    dialogs.onMessage = [&] { coveredAMessage = coveredAMessage || (Progress() && Progress()->isVisible()); };
    WhileTheToolRuns([&] {
        progressShown = Progress() && Progress()->isVisible();
        if (progressShown) {
            const auto* action = Progress()->findChild<QLabel*>(QStringLiteral("progressAction"));
            progressText = action ? action->text() : QString();
        }
        for (int id : {kOpen, kSave, kBack, kAbout, kCancel})
            Press(Button(id));
        Press(Control<QAbstractButton>(kGeneratePage, kGenerate));
        Press(Control<QAbstractButton>(kGeneratePage, kZipChoice));
        QTest::keyClick(wizard.get(), Qt::Key_Escape);
        QTest::keyClick(wizard.get(), Qt::Key_O, Qt::ControlModifier);
        wizard->close();
        EXPECT_TRUE(wizard->isVisible());
    });
    ClickOn(kGeneratePage, kGenerate);

    EXPECT_TRUE(progressShown);
    EXPECT_TRUE(progressText.contains(QStringLiteral("packaging tool"))) << progressText.toStdString();
    EXPECT_FALSE(coveredAMessage);
    EXPECT_EQ(ActivePage(), kGeneratePage);
    EXPECT_TRUE(dialogs.openFilters.isEmpty());
    EXPECT_TRUE(dialogs.saveTitles.isEmpty());
    EXPECT_FALSE(Control<QAbstractButton>(kGeneratePage, kZipChoice)->isChecked());
    ASSERT_EQ(dialogs.messages.size(), 1) << dialogs.messages.join('\n').toStdString();
    EXPECT_TRUE(dialogs.messages[0].startsWith("The packaging tool built"));
    const std::string digest = Sha256OfFile(game / "System/Frontier.zpack2").value_or("none");
    EXPECT_TRUE(dialogs.messages[0].endsWith(QString::fromStdString("\nSHA-256: " + digest)))
        << dialogs.messages[0].toStdString();

    // The close asked for during the run comes now.
    QTRY_VERIFY_WITH_TIMEOUT(!wizard->isVisible(), 2000);
}

TEST_F(GeneratePageTest, CancelInTheProgressDialogStopsTheRun)
{
    WhileTheToolRuns(
        [&] {
            ASSERT_TRUE(Progress());
            Press(Progress()->findChild<QPushButton*>(QStringLiteral("progressCancel")));
        },
        false);
    ClickOn(kGeneratePage, kGenerate);
    ASSERT_EQ(dialogs.messages.size(), 1);
    EXPECT_TRUE(dialogs.messages[0].contains(QStringLiteral("cancelled")));
    EXPECT_FALSE(fs::exists(game / "System/Frontier.zpack2"));
    EXPECT_TRUE(wizard->isVisible());

    // The tool has ended: let go, it does not go on.
    std::ofstream(game / "System/go").flush();
    QTest::qWait(1000);
    EXPECT_FALSE(fs::exists(game / "System/went-on"));
}

// The preview lists every problem above the install of the ticked groups (a
// required group is ticked also when the project does not mark it selected);
// a double-clicked problem leads to its record.
TEST_F(GeneratePageTest, PreviewShowsTheInstallAndLeadsToAProblem)
{
    fs::remove(game / "System/Frontier.int");
    doc.groups[0]->Selected = 0;
    QStringList shown;
    bool opened = false;
    QTimer::singleShot(0, wizard.get(), [&] {
        auto* dialog = wizard->findChild<PreviewDialog*>();
        if (!dialog)
            return;
        opened = true;
        auto* required = dialog->findChild<QCheckBox*>(QStringLiteral("previewGroup0"));
        auto* source = dialog->findChild<QCheckBox*>(QStringLiteral("previewGroup1"));
        EXPECT_TRUE(required->isChecked() && !required->isEnabled());
        EXPECT_FALSE(source->isChecked());
        const auto* install = FindControl<QTreeWidget>(dialog, kPreviewTree);
        shown << install->topLevelItem(0)->text(0) << install->topLevelItem(1)->text(0);
        source->click();
        shown << install->topLevelItem(0)->text(0);

        auto* problems = FindControl<QTreeWidget>(dialog, kPreviewDiagnostics);
        const QList<QTreeWidgetItem*> missing =
            problems->findItems(QStringLiteral("Z105"), Qt::MatchExactly, 1);
        ASSERT_EQ(missing.size(), 1);
        problems->scrollToItem(missing[0]);
        const QPoint at = problems->visualItemRect(missing[0]).center();
        // A double click as the mouse makes it: a click, then the second press.
        QTest::mouseClick(problems->viewport(), Qt::LeftButton, {}, at);
        QTest::mouseDClick(problems->viewport(), Qt::LeftButton, {}, at);
        if (dialog->isVisible())
            dialog->reject();
    });
    ClickOn(kGeneratePage, kPreview);
    ASSERT_TRUE(opened);
    EXPECT_EQ(shown, QStringList({"Files copied: 6", "INI changes: 4", "Files copied: 9"}));
    // Back through the pages to the entry of the missing file.
    EXPECT_EQ(ActivePage(), kGroupsPage);
    const auto* tree = Control<QTreeView>(kGroupsPage, kGroupsTree);
    EXPECT_TRUE(tree->currentIndex().data().toString().startsWith("System\\Frontier.int"))
        << tree->currentIndex().data().toString().toStdString();
    EXPECT_TRUE(fs::exists(game / "System/Frontier.u"));  // nothing was written or removed
    EXPECT_FALSE(fs::exists(game / "System/FrontierMOD.ini"));
}

}  // namespace
}  // namespace zpak::ui::test
