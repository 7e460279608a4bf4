#include "wizard_fixture.h"
#include "zpak/version.h"

#include <QApplication>
#include <QDir>
#include <QDropEvent>
#include <QMimeData>
#include <QTest>

#include <filesystem>

namespace zpak::ui::test {
namespace {

using namespace ids;

const QString kCaption = QStringLiteral(" \u2014 ZPAK WIZARD ") + QString::fromLatin1(zpak::kVersion);

class UnsavedWorkTest : public WizardFixture {
protected:
    void SetUp() override
    {
        doc.gameFolder = game.string();
        wizard->show();
    }

    QString Project(const char* name) const { return QString::fromStdString((dir / name).string()); }

    std::string Copy(const char* name)
    {
        std::filesystem::copy_file(ZPAK_EXAMPLES_DIR "/frontier.zproj", dir / name);
        return (dir / name).string();
    }

    // Drops `file` on the window as a file manager would; gives whether the
    // window took the drag.
    bool Drop(const QString& file)
    {
        QMimeData data;
        data.setUrls({QUrl::fromLocalFile(file)});
        QDragEnterEvent enter(QPoint(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(wizard.get(), &enter);
        QDropEvent drop(QPointF(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(wizard.get(), &drop);
        return enter.isAccepted();
    }
};

TEST_F(UnsavedWorkTest, CancelCloseAndOpenAskAboutUnsavedChanges)
{
    // Text typed but not stored yet counts.
    Type(kGamePathPage, kGamePathEdit, "/typed/elsewhere");
    wizard->close();
    EXPECT_TRUE(wizard->isVisible());
    EXPECT_EQ(dialogs.saveQuestions, QStringList{"the new project"});
    Type(kGamePathPage, kGamePathEdit, QString::fromStdString(game.string()));

    CreateGroup("Main");
    EXPECT_EQ(wizard->windowTitle(), QString("Untitled*") + kCaption);
    Click(kCancel);  // answered Cancel: the window stays
    EXPECT_TRUE(wizard->isVisible());
    Click(kOpen);
    EXPECT_TRUE(dialogs.openFilters.isEmpty());  // Open stopped before its dialog
    EXPECT_EQ(dialogs.saveQuestions.size(), 3);

    // Save, then Open goes on.
    dialogs.saveChangesAnswers = {SaveAnswer::Save};
    dialogs.saveAnswers.push_back(Project("first"));
    Click(kOpen);
    EXPECT_EQ(dialogs.openFilters.size(), 1);
    EXPECT_TRUE(std::filesystem::exists(dir / "first.zproj"));
    EXPECT_EQ(wizard->windowTitle(), QString("first.zproj") + kCaption);

    CreateGroup("Extras");
    EXPECT_EQ(wizard->windowTitle(), QString("first.zproj*") + kCaption);
    dialogs.saveChangesAnswers = {SaveAnswer::Discard};
    wizard->close();
    EXPECT_FALSE(wizard->isVisible());
    EXPECT_EQ(dialogs.saveQuestions.last(), "first.zproj");
}

TEST_F(UnsavedWorkTest, SaveStartsOnTheProjectsFileAndAsksBeforeReplacingAnother)
{
    const std::string file = Copy("frontier.zproj");
    const std::string other = Copy("other.zproj");
    dialogs.openAnswers.push_back(QString::fromStdString(file));
    Click(kOpen);
    Type(kGamePathPage, kGamePathEdit, QString::fromStdString(game.string()));
    Click(kNext);
    EXPECT_EQ(wizard->windowTitle(), QString("frontier.zproj*") + kCaption);

    dialogs.saveAnswers.push_back(QString::fromStdString(file));
    Click(kSave);
    ASSERT_EQ(dialogs.saveStarts.size(), 1);
    EXPECT_EQ(QDir::toNativeSeparators(dialogs.saveStarts[0]), QString::fromStdString(file));
    EXPECT_TRUE(dialogs.questions.isEmpty());  // its own file: nothing asked
    EXPECT_NE(zpak::test::ReadFile(file).find(game.string()), std::string::npos);
    EXPECT_EQ(wizard->windowTitle(), QString("frontier.zproj") + kCaption);

    const std::string before = zpak::test::ReadFile(other);
    dialogs.saveAnswers = {QString::fromStdString(other), QString::fromStdString(other)};
    dialogs.askAnswers = {false, true};
    Click(kSave);
    ASSERT_EQ(dialogs.questions.size(), 1);
    EXPECT_TRUE(dialogs.questions[0].endsWith("other.zproj already exists.\nDo you want to replace it?"));
    EXPECT_EQ(zpak::test::ReadFile(other), before);
    EXPECT_EQ(QDir::toNativeSeparators(wizard->ProjectFile()), QString::fromStdString(file));

    Click(kSave);
    EXPECT_EQ(zpak::test::ReadFile(other), zpak::test::ReadFile(file));
    EXPECT_EQ(wizard->windowTitle(), QString("other.zproj") + kCaption);
    EXPECT_EQ(QDir::toNativeSeparators(dialogs.saveStarts.last()), QString::fromStdString(file));
}

TEST_F(UnsavedWorkTest, ADroppedProjectOpensAfterTheQuestion)
{
    const QString file = QString::fromStdString(Copy("frontier.zproj"));
    EXPECT_FALSE(Drop(Project("notes.txt")));

    CreateGroup("Main");
    EXPECT_TRUE(Drop(file));  // answered Cancel
    EXPECT_EQ(dialogs.saveQuestions.size(), 1);
    EXPECT_EQ(doc.groups.size(), 1u);

    wizard->SetBusy(true);  // a generation runs
    dialogs.saveChangesAnswers = {SaveAnswer::Discard};
    EXPECT_FALSE(Drop(file));
    EXPECT_EQ(doc.groups.size(), 1u);
    wizard->SetBusy(false);

    EXPECT_TRUE(Drop(file));
    EXPECT_EQ(QDir::toNativeSeparators(wizard->ProjectFile()), file);
    EXPECT_EQ(doc.product->product, "Frontier");
}

TEST_F(UnsavedWorkTest, EnterGoesToTheNextPage)
{
    QLineEdit* folder = Edit(kGamePathPage, kGamePathEdit);
    wizard->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(wizard.get()));
    EXPECT_EQ(QApplication::focusWidget(), Control<QWidget>(kGamePathPage, kGamesCombo));  // the first field
    folder->setFocus();
    QTest::keyClick(folder, Qt::Key_Return);
    EXPECT_EQ(ActivePage(), kGroupsPage);
    EXPECT_TRUE(dialogs.folderStarts.isEmpty());  // Browse did not open
}

}  // namespace
}  // namespace zpak::ui::test
