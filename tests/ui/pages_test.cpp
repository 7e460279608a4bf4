#include "platform/text_encoding.h"
#include "support/platform_skip.h"
#include "ui/app/dialog_service.h"
#include "ui/app/project_text.h"
#include "ui/pages/wizard_pages.h"
#include "wizard_fixture.h"

#include <QComboBox>
#include <QDir>
#include <QLabel>

#include <algorithm>
#include <fstream>

namespace zpak::ui::test {
namespace {

using namespace ids;

using PagesTest = WizardFixture;

TEST_F(PagesTest, GameFolderPageOffersTheRegisteredGamesAndTakesTypedFolders)
{
    auto* games = Control<QComboBox>(kGamePathPage, kGamesCombo);
    ASSERT_EQ(Items(games), QStringList({"alpha", "Beta", "Vantor"}));  // sorted, direct sub-keys only
    EXPECT_EQ(games->currentIndex(), -1);
    EXPECT_EQ(Edit(kGamePathPage, kGamePathEdit)->text(), QString::fromStdString(game.string()));
    EXPECT_EQ(doc.gameFolder, game.string());

    const auto choose = [games](int index) {
        games->setCurrentIndex(index);
        Q_EMIT games->activated(index);
    };
    choose(0);  // "Folder" is a DWORD: nothing changes
    EXPECT_EQ(Edit(kGamePathPage, kGamePathEdit)->text(), QString::fromStdString(game.string()));
    choose(1);
    EXPECT_EQ(Edit(kGamePathPage, kGamePathEdit)->text(), "/games/Beta/");  // kept as stored
    EXPECT_EQ(doc.gameFolder, "/games/Beta/");
    Type(kGamePathPage, kGamePathEdit, "typed over");
    choose(1);  // the same game again: its folder comes back
    EXPECT_EQ(Edit(kGamePathPage, kGamePathEdit)->text(), "/games/Beta/");
    Click(kNext);
    EXPECT_EQ(dialogs.messages,
              QStringList{"This is not a valid game folder.\nSystem\\MKR.exe not found in "
                          + QDir::toNativeSeparators("/games/Beta/")});

    // Browse fills the field; what is typed is made a folder on Next, a
    // relative one taken from where the wizard runs.
    dialogs.folderAnswers.push_back(QString::fromStdString(game.string()));
    ClickOn(kGamePathPage, kGamePathBrowse);
    EXPECT_EQ(Edit(kGamePathPage, kGamePathEdit)->text(), QString::fromStdString(game.string()));

    const QDir here = QDir::current();
    ASSERT_TRUE(QDir::setCurrent(QString::fromStdString(dir.path().string())));
    Type(kGamePathPage, kGamePathEdit, "Vantor");
    Click(kNext);
    QDir::setCurrent(here.path());
    EXPECT_EQ(ActivePage(), kGroupsPage);
    EXPECT_EQ(doc.gameFolder, game.string());
}

// A game registered in the default Wine prefix keeps the registry's own
// folder, and files picked under the prefix are inside it.
TEST_F(PagesTest, GamesOfTheDefaultPrefixKeepTheirDriveLetter)
{
    SKIP_ON_WINDOWS("maps a Wine prefix's drive letters, which only Linux does");
    const auto prefix = dir / "wine";
    std::filesystem::create_directories(prefix / "drive_c/Games");
    std::filesystem::create_directories(prefix / "dosdevices");
    std::filesystem::create_directory_symlink("../drive_c", prefix / "dosdevices/c:");
    std::filesystem::rename(game, prefix / "drive_c/Games/Vantor");
    std::vector<WineRegistry::Prefix> prefixes;
    prefixes.push_back({prefix,
                        WineHive("WINE REGISTRY Version 2\n"
                                 "[Software\\\\Corvex Technology\\\\Installed Apps\\\\Vantor] 1\n"
                                 "\"Folder\"=\"C:\\\\Games\\\\Vantor\"\n")});
    registry = std::make_unique<WineRegistry>(std::move(prefixes));
    MakeWizard();

    auto* games = Control<QComboBox>(kGamePathPage, kGamesCombo);
    games->setCurrentIndex(0);
    Q_EMIT games->activated(0);
    EXPECT_EQ(doc.gameFolder, "C:\\Games\\Vantor");
    Click(kNext);
    ASSERT_EQ(ActivePage(), kGroupsPage);

    CreateGroup("Main");  // the group Add File acts on
    dialogs.multiAnswers.push_back(
        {QString::fromStdString((prefix / "drive_c/Games/Vantor/Maps/Index.map").string())});
    ClickOn(kGroupsPage, kAddFile);
    ASSERT_EQ(doc.groups[0]->files.size(), 1u);
    EXPECT_EQ(doc.groups[0]->files[0]->NameText(), "Maps\\Index.map");

    // Browse takes a file of the game folder by the same rule.
    wizard->SetActivePage(kProductPage);
    dialogs.openAnswers.push_back(
        QString::fromStdString((prefix / "drive_c/Games/Vantor/Help/Frontier.txt").string()));
    ClickOn(kProductPage, kReadmeBrowse);
    EXPECT_EQ(Edit(kProductPage, kReadme)->text(), "Help\\Frontier.txt");
    EXPECT_TRUE(dialogs.messages.isEmpty()) << dialogs.messages.join('\n').toStdString();
}

TEST_F(PagesTest, PackagePageFillsAndStores)
{
    doc.gameFolder = game.string();
    doc.product = std::make_unique<ProductData>();
    doc.product->product = "MyMod";
    doc.product->license = "Gone.int";
    wizard->SetActivePage(kPackagePage);

    EXPECT_EQ(Edit(kPackagePage, kArchive)->text(), "MyMod.zpack2");
    EXPECT_EQ(doc.product->archive, "MyMod.zpack2");  // stored on showing
    auto* licences = Control<QComboBox>(kPackagePage, kLicense);
    ASSERT_EQ(Items(licences),
              QStringList({"--None--", "Frontier.int", "FrontierLicense.int", "Manifest.int"}));
    EXPECT_EQ(licences->currentIndex(), -1);  // the stored licence is not in the list

    licences->setEditText("Typed.int");
    Click(kNext);
    EXPECT_EQ(ActivePage(), kPackagePage);
    EXPECT_TRUE(dialogs.messages.last().startsWith("You cannot manually enter the name of a license file."));

    // A name the package cannot have is told as it is typed, and Next waits.
    auto* problem = wizard->findChild<QLabel*>("archiveProblem");
    ASSERT_NE(problem, nullptr);
    EXPECT_TRUE(problem->isHidden());
    Type(kPackagePage, kArchive, "..\\MKR.exe");
    EXPECT_FALSE(problem->isHidden());
    EXPECT_TRUE(problem->text().startsWith("The package name [..\\MKR.exe] is not a plain file name"));
    EXPECT_FALSE(Button(kNext)->isEnabled());
    Type(kPackagePage, kArchive, "MyMod.zpack2");
    EXPECT_TRUE(problem->isHidden());
    EXPECT_TRUE(Button(kNext)->isEnabled());

    licences->setCurrentIndex(2);
    std::ofstream(game / "Help/Logo.bmp") << "BM";  // a logo that is not there holds Next
    Type(kPackagePage, kLogoEdit, "Help\\Logo.bmp");
    Click(kNext);
    EXPECT_EQ(ActivePage(), kGeneratePage);
    EXPECT_EQ(doc.product->license, "FrontierLicense.int");
    EXPECT_EQ(doc.product->logo, "Help\\Logo.bmp");

    dialogs.openAnswers.push_back("/elsewhere/logo.bmp");
    wizard->SetActivePage(kPackagePage);
    ClickOn(kPackagePage, kLogoBrowse);
    EXPECT_EQ(dialogs.messages.last(), "Please pick a file that is located under the current folder.");
    dialogs.openAnswers.push_back(QString::fromStdString((game / "Help/Frontier.txt").string()));
    ClickOn(kPackagePage, kLogoBrowse);
    EXPECT_EQ(Edit(kPackagePage, kLogoEdit)->text(), "Help\\Frontier.txt");
}

TEST_F(PagesTest, PagesNeverActOnAMissingProduct)
{
    wizard->SetActivePage(kShortcutsPage);
    EXPECT_NE(doc.product, nullptr);
    EXPECT_EQ(Edit(kShortcutsPage, kDocumentationCaption)->text(), "Release Notes");
    doc.product.reset();
    wizard->SetActivePage(kGeneratePage);
    ClickOn(kGeneratePage, kGenerate);
    ASSERT_EQ(dialogs.questions.size(), 1);
    EXPECT_TRUE(dialogs.questions[0].startsWith("You must complete the product field.\n"));
    ClickOn(kGeneratePage, kCleanup);  // stored like every product field: the product now exists
    ASSERT_NE(doc.product, nullptr);
    EXPECT_EQ(doc.product->cleanup, 1);
}

// The Cleanup box shows the project's switch, also of a project opened while
// the Generate page is on display.
TEST_F(PagesTest, CleanupBoxFollowsTheProject)
{
    doc.product = std::make_unique<ProductData>();
    doc.product->cleanup = 1;
    wizard->SetActivePage(kGeneratePage);
    const auto* cleanup = Control<QAbstractButton>(kGeneratePage, kCleanup);
    EXPECT_TRUE(cleanup->isChecked());
    dialogs.saveChangesAnswers = {SaveAnswer::Discard, SaveAnswer::Discard};
    for (const bool on : {false, true}) {
        const auto file = dir.Write(
            "p.zproj", game.string() + "\n0.8\n[Product]\nproduct=P\n" + (on ? "cleanup=True\n" : ""));
        dialogs.openAnswers.push_back(QString::fromStdString(file.string()));
        Click(kOpen);
        EXPECT_EQ(cleanup->isChecked(), on);
    }
}

// Open the example project, point it at the demo game, walk to Generate and
// build the zip (the package: GeneratePageTest).
TEST_F(PagesTest, FullRunThroughTheWindow)
{
    dialogs.openAnswers.push_back(ZPAK_EXAMPLES_DIR "/frontier.zproj");
    Click(kOpen);
    ASSERT_EQ(Edit(kGamePathPage, kGamePathEdit)->text(), "C:\\Games\\Vantor");
    dialogs.messages.clear();  // the warning about C:\Games\Vantor
    Type(kGamePathPage, kGamePathEdit, QString::fromStdString(game.string()));
    // The example installs shortcuts: Next shows every page, in their order.
    const PageTable pages = WizardPages();
    for (const ProjectPageFacts& facts : kProjectPages) {
        const auto entry = std::ranges::find(pages, facts.page, &PageEntry::page);
        ASSERT_NE(entry, pages.end());
        ASSERT_EQ(ActivePage(), entry->id) << facts.name;
        if (facts.page != ProjectPage::Generate)
            Click(kNext);
    }
    EXPECT_TRUE(dialogs.messages.isEmpty()) << dialogs.messages.join('\n').toStdString();
    EXPECT_EQ(doc.product->license, "FrontierLicense.int");

    ClickOn(kGeneratePage, kZipChoice);
    ClickOn(kGeneratePage, kGenerate);
    ASSERT_EQ(dialogs.messages.size(), 1);
    EXPECT_TRUE(dialogs.messages[0].startsWith("The files have been compressed into"));
    EXPECT_TRUE(std::filesystem::exists(game / "FrontierMOD.zip"));
}

TEST(ProjectTextTest, EveryByteSurvivesAField)
{
    std::string all;
    for (int c = 1; c < 256; ++c)
        all += static_cast<char>(c);
    all += "caf\xc3\xa9 \xe2\x82\xac";  // valid UTF-8 shows as such
    QLineEdit edit;
    edit.setText(FromProjectText(all));
    EXPECT_EQ(ToProjectText(edit.text()), all);
    EXPECT_EQ(FromProjectText("caf\xc3\xa9"), QString::fromUtf8("caf\xc3\xa9"));

    // A file name that is not UTF-8 (Latin-1 bytes) named on the command line
    // opens the same file after its trip through the window.
    const std::filesystem::path latin1 = PathFromText("/tmp/caf\xe9 \xff.zproj");
    EXPECT_EQ(ToNativePath(FromNativePath(latin1)), latin1);
    EXPECT_EQ(ToNativePath(QString::fromUtf8("/tmp/caf\xc3\xa9")), PathFromText("/tmp/caf\xc3\xa9"));
}

TEST(FileFilterTest, ConvertsTheWizardsFiltersForQt)
{
    EXPECT_EQ(ToQtFilter("ZPAK Project File (*.zproj)|*.zproj||"), "ZPAK Project File (*.zproj)");
    EXPECT_EQ(ToQtFilter("Readme File (*.*)|*.*||"), "Readme File (*.*)");
    EXPECT_EQ(ToQtFilter("Images|*.bmp;*.png|All|*||"), "Images (*.bmp *.png);;All (*)");
    EXPECT_EQ(WithDefaultSuffix("/p/my mod", "zproj"), "/p/my mod.zproj");
    EXPECT_EQ(WithDefaultSuffix("/p/my.mod", "zproj"), "/p/my.mod");
    EXPECT_EQ(WithDefaultSuffix("", "zproj"), "");
}

}  // namespace
}  // namespace zpak::ui::test
