#include "ui/app/about_dialog.h"
#include "ui/app/app_icon.h"
#include "wizard_fixture.h"
#include "zpak/version.h"

#include <QApplication>
#include <QDir>
#include <QImage>
#include <QKeyEvent>
#include <QLabel>
#include <QTest>

#include <cstdlib>
#include <fstream>

namespace zpak::ui::test {
namespace {

using namespace ids;

class WizardShellTest : public WizardFixture {
protected:
    // From the game folder page to the product page, over the list pages.
    void WalkToProductPage()
    {
        // The groups page lets Next through only when some group holds an entry.
        doc.groups.push_back(std::make_unique<GroupInfo>("Main"));
        doc.groups[0]->AddFile("System\\Frontier.u");
        for (const ProjectPageFacts& facts : kProjectPages) {
            if (facts.page == ProjectPage::Product)
                break;
            Click(kNext);
        }
        ASSERT_EQ(ActivePage(), kProductPage);
    }
};

TEST_F(WizardShellTest, AVetoKeepsThePageAndTheButtons)
{
    EXPECT_EQ(wizard->windowTitle(), QStringLiteral("ZPAK WIZARD ") + QString::fromLatin1(zpak::kVersion));
    Type(kGamePathPage, kGamePathEdit, "/no/such/game");
    Click(kNext);
    EXPECT_EQ(ActivePage(), kGamePathPage);
    const QStringList refusal{"This is not a valid game folder.\nSystem\\MKR.exe not found in "
                              + QDir::toNativeSeparators("/no/such/game")};
    EXPECT_EQ(dialogs.messages, refusal);
    EXPECT_EQ(doc.gameFolder,
              QDir::toNativeSeparators("/no/such/game").toStdString());  // stored before the check
    EXPECT_FALSE(Button(kBack)->isEnabled());
    EXPECT_TRUE(Button(kNext)->isEnabled());

    dialogs.messages.clear();
    Click(kSave);  // the same veto; no file is asked for
    EXPECT_EQ(dialogs.messages, refusal);
    EXPECT_TRUE(dialogs.saveTitles.isEmpty());
}

// Next waits for a product and a version; Back stores nothing, Save stores
// what is typed.
TEST_F(WizardShellTest, ProductPageSteersNextAndBackStoresNothing)
{
    WalkToProductPage();
    EXPECT_TRUE(Button(kBack)->isEnabled());
    EXPECT_FALSE(Button(kNext)->isEnabled());
    Type(kProductPage, kProductName, "Frontier");
    for (const char* version : {"0", "abc", ""}) {
        Type(kProductPage, kVersion, version);
        EXPECT_FALSE(Button(kNext)->isEnabled()) << version;
    }
    Type(kProductPage, kVersion, "2.5");
    EXPECT_TRUE(Button(kNext)->isEnabled());
    Click(kNext);
    ASSERT_EQ(ActivePage(), kPackagePage);
    EXPECT_EQ(doc.product->version, "2");  // Next rewrites the version as a whole number
    EXPECT_EQ(doc.product->title, "Frontier Setup");

    Click(kBack);
    Type(kProductPage, kDeveloper, "typed, then Back");
    Type(kProductPage, kVersion, "1.5");
    Click(kBack);
    EXPECT_EQ(doc.product->developer, "");
    Click(kNext);
    EXPECT_EQ(Edit(kProductPage, kVersion)->text(), "2");  // the project's value shows again
    EXPECT_EQ(Edit(kProductPage, kDeveloper)->text(), "");
    Type(kProductPage, kVersion, "1.5");
    dialogs.saveAnswers.push_back(QString::fromStdString((dir / "saved").string()));
    Click(kSave);  // Save stores the version as typed
    EXPECT_EQ(doc.product->version, "1.5");
    EXPECT_TRUE(std::filesystem::exists(dir / "saved.zproj"));

    Type(kProductPage, kProductName, "");
    Click(kSave);
    EXPECT_EQ(dialogs.messages, QStringList{"You must complete the product field."});
    EXPECT_EQ(dialogs.saveTitles.size(), 1);  // no file is asked for
}

TEST_F(WizardShellTest, ShortcutSwitchDecidesThePageOrder)
{
    doc.product = std::make_unique<ProductData>();
    doc.product->product = "Frontier";
    doc.product->version = "1";
    WalkToProductPage();
    Click(kNext);
    ASSERT_EQ(ActivePage(), kPackagePage);
    EXPECT_EQ(wizard->FindLink(kGeneratePage)->previousId, kPackagePage);  // the box was clear

    ClickOn(kPackagePage, kInstallShortcuts);
    Click(kNext);
    ASSERT_EQ(ActivePage(), kShortcutsPage);
    Click(kNext);  // refused: no caption yet
    EXPECT_EQ(ActivePage(), kShortcutsPage);
    Type(kShortcutsPage, kShortcutCaption, "Play");
    ClickOn(kShortcutsPage, kLinux);
    Click(kNext);
    ASSERT_EQ(ActivePage(), kGeneratePage);
    EXPECT_FALSE(Button(kNext)->isEnabled());
    EXPECT_EQ(doc.product->shortcut, "");

    Click(kBack);  // the previous page of Generate stays the packaging page
    EXPECT_EQ(ActivePage(), kPackagePage);
    EXPECT_TRUE(Button(kNext)->isEnabled());
    EXPECT_TRUE(Control<QAbstractButton>(kPackagePage, kInstallShortcuts)->isChecked());

    ClickOn(kPackagePage, kInstallShortcuts);  // cleared: shortcuts go, Mac stays
    EXPECT_FALSE(doc.product->shortcut.has_value());
    EXPECT_FALSE(doc.product->linux);
    Click(kNext);
    EXPECT_EQ(ActivePage(), kGeneratePage);
}

// A problem leads back to the control of its field; a field of the shortcuts
// page, while shortcuts are off, to the switch that brings the page back.
TEST_F(WizardShellTest, AProblemLeadsToItsField)
{
    doc.product = std::make_unique<ProductData>();
    doc.product->product = "Frontier";
    doc.product->version = "1";
    wizard->show();
    wizard->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(wizard.get()));
    WalkToProductPage();
    const std::pair<RecordRef, QWidget*> cases[] = {
        {RecordRef::Product("shortcutCaption"), Control<QWidget>(kPackagePage, kInstallShortcuts)},
        {RecordRef::Product("logo"), Edit(kPackagePage, kLogoEdit)},
        {RecordRef::Product("version"), Edit(kProductPage, kVersion)},
        {RecordRef::GameFolder(), Edit(kGamePathPage, kGamePathEdit)},
    };
    for (const auto& [record, field] : cases) {
        while (ActivePage() != kGeneratePage)
            Click(kNext);
        wizard->GoToRecord(PageOf(record), record);
        EXPECT_EQ(QApplication::focusWidget(), field) << record.field;
    }
}

TEST_F(WizardShellTest, OpenRefreshesOnlyThePageOnDisplay)
{
    WalkToProductPage();
    Type(kProductPage, kDeveloper, "typed for the old project");
    dialogs.saveChangesAnswers = {SaveAnswer::Discard, SaveAnswer::Discard};
    dialogs.openAnswers.push_back(QString::fromStdString((dir / "missing.zproj").string()));
    Click(kOpen);  // cannot be read: the project stays
    EXPECT_EQ(doc.product, nullptr);
    EXPECT_EQ(Edit(kProductPage, kDeveloper)->text(), "typed for the old project");

    // The new project names no developer: the field must not keep the text
    // typed for the old one.
    Type(kShortcutsPage, kShortcutCaption, "typed on a hidden page");
    const auto other =
        dir.Write("other.zproj", game.string() + "\n0.8\n[Product]\nproduct=Other\nversion=3\n");
    dialogs.openAnswers.push_back(QString::fromStdString(other.string()));
    Click(kOpen);
    EXPECT_EQ(ActivePage(), kProductPage);
    EXPECT_EQ(Edit(kProductPage, kProductName)->text(), "Other");
    EXPECT_EQ(Edit(kProductPage, kDeveloper)->text(), "");
    EXPECT_EQ(Edit(kShortcutsPage, kShortcutCaption)->text(), "");
    EXPECT_EQ(Edit(kPackagePage, kArchive)->text(), "");  // filled when shown
    EXPECT_EQ(dialogs.openFilters, QStringList(2, "ZPACK2 Project Files (*.zproj)|*.zproj||"));
}

// The keyboard as on Windows: Ctrl+O and Ctrl+S, Alt with a button's
// underlined letter.
TEST_F(WizardShellTest, KeysOpenSaveAndTurnThePages)
{
    wizard->show();
    wizard->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(wizard.get()));
    const auto project =
        dir.Write("keys.zproj", game.string() + "\n0.8\n[Group]\nname=Main\nSystem\\Frontier.u\n");
    dialogs.openAnswers.push_back(QString::fromStdString(project.string()));
    QTest::keyClick(wizard.get(), Qt::Key_O, Qt::ControlModifier);
    EXPECT_EQ(wizard->windowTitle(), "keys.zproj \u2014 ZPAK WIZARD 2.36");

    // A button's own key clicks it as the mouse does, once it has shown itself pressed.
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_N, Qt::AltModifier);
    EXPECT_TRUE(QTest::qWaitFor([&] { return ActivePage() == kGroupsPage; }, 2000));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_B, Qt::AltModifier);
    EXPECT_TRUE(QTest::qWaitFor([&] { return ActivePage() == kGamePathPage; }, 2000));

    // Ctrl+S writes the project's own file; Ctrl+Shift+S asks where.
    QTest::keyClick(wizard.get(), Qt::Key_S, Qt::ControlModifier);
    EXPECT_TRUE(dialogs.saveTitles.isEmpty());
    QTest::keyClick(wizard.get(), Qt::Key_S, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_EQ(dialogs.saveTitles, QStringList{"Save ZPAK Project As"});
    EXPECT_TRUE(dialogs.messages.isEmpty()) << dialogs.messages.join('\n').toStdString();
}

TEST_F(WizardShellTest, EscapeDoesNotEndTheProgramAndTheLogoOpensTheGuide)
{
    wizard->show();
    QKeyEvent escape(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
    QApplication::sendEvent(wizard.get(), &escape);
    EXPECT_TRUE(wizard->isVisible());

    Click(kLogo);
    ASSERT_EQ(dialogs.urls.size(), 1);
    EXPECT_EQ(dialogs.urls[0], QUrl::fromLocalFile("/docs/user-guide.html"));
    EXPECT_TRUE(dialogs.messages.isEmpty());
    // Without a browser, the guide's place is shown instead.
    dialogs.urlOpens = false;
    Click(kLogo);
    ASSERT_EQ(dialogs.messages.size(), 1);
    EXPECT_TRUE(dialogs.messages[0].endsWith(QDir::toNativeSeparators("/docs/user-guide.html")))
        << dialogs.messages[0].toStdString();

    bool sawAbout = false;
    QTimer::singleShot(0, wizard.get(), [&] {
        if (auto* about = wizard->findChild<AboutDialog*>()) {
            sawAbout = about->windowTitle() == "About ZPAK WIZARD";
            about->accept();
        }
    });
    Click(kAbout);
    EXPECT_TRUE(sawAbout);

    // With nothing to lose (the folder typed is the one stored), nothing is asked.
    Type(kGamePathPage, kGamePathEdit, QString::fromStdString(game.string()));
    Click(kCancel);
    EXPECT_FALSE(wizard->isVisible());
    EXPECT_EQ(wizard->result(), QDialog::Rejected);
    EXPECT_TRUE(dialogs.saveQuestions.isEmpty());
}

// A first run on a machine without games or a Wine prefix: the first page
// says how to try the demo game and starts in the path; Next without a path
// says what is missing; a project whose game folder is gone names it.
TEST_F(WizardShellTest, AFirstRunWithoutGamesSaysWhatToDo)
{
    registry = std::make_unique<WineRegistry>(std::vector<WineRegistry::Prefix>{});
    MakeWizard();
    wizard->show();
    const auto* text = Page(kGamePathPage)->findChild<QLabel*>(QStringLiteral("firstRunText"));
    ASSERT_TRUE(text);
    EXPECT_TRUE(text->isVisible());
    // Without a prefix C:\ leads nowhere: the advice sets one up before copying.
    for (const std::string& part :
         {"no Wine prefix at " + (dir / "wine").string(), std::string("demo-game"), std::string("wineboot"),
          (dir / "wine/drive_c/Games/Vantor").make_preferred().string()})
        EXPECT_TRUE(text->text().contains(QString::fromStdString(part))) << text->text().toStdString();
    EXPECT_EQ(wizard->focusWidget(), Edit(kGamePathPage, kGamePathEdit));

    Type(kGamePathPage, kGamePathEdit, QString());
    Click(kNext);
    EXPECT_EQ(ActivePage(), kGamePathPage);
    ASSERT_EQ(dialogs.messages.size(), 1);
    EXPECT_TRUE(dialogs.messages[0].startsWith("The game path is empty."))
        << dialogs.messages[0].toStdString();
    Type(kGamePathPage, kGamePathEdit, "C:\\Games\\Vantor");
    Click(kNext);
    EXPECT_EQ(dialogs.messages.last(),
              "This is not a valid game folder.\nSystem\\MKR.exe not found in C:\\Games\\Vantor");

    const auto project = dir / "moved.zproj";
    std::ofstream(project, std::ios::binary) << "/games/Moved/Vantor\r\n0.8\r\n";
    dialogs.saveChangesAnswers = {SaveAnswer::Discard};
    wizard->OpenProjectFile(QString::fromStdString(project.string()));
    EXPECT_TRUE(dialogs.messages.last().endsWith("\nGame path: /games/Moved/Vantor"))
        << dialogs.messages.last().toStdString();
}

// Drawn from the SVG at the size asked for: a bitmap icon would come out
// smaller than 256 px, and a missing SVG plugin would draw nothing at all.
TEST(AppIconTest, IsDrawnAtEachSize)
{
    for (const int size : {16, 256}) {
        const QImage image = AppIcon().pixmap(size, size).toImage();
        ASSERT_EQ(image.size(), QSize(size, size));
        // A point of the purple square, at (36, 128) of the 256-unit drawing.
        const QColor seen = image.pixelColor(QPoint(36, 128) * size / 256);
        EXPECT_LE(std::abs(seen.red() - 0x5b) + std::abs(seen.green() - 0x2a) + std::abs(seen.blue() - 0x86),
                  30)
            << size << " px: " << seen.name().toStdString();
    }
}

}  // namespace
}  // namespace zpak::ui::test
