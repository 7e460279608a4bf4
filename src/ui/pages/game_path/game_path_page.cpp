#include "ui/pages/game_path/game_path_page.h"

#include "game/game_folder.h"
#include "model/project_document.h"
#include "model/project_reader.h"
#include "model/record_ref.h"
#include "platform/wine_prefix.h"
#include "rules/game_folder_rules.h"
#include "ui/app/control_ids.h"
#include "ui/app/dialog_service.h"
#include "ui/app/layout_helpers.h"
#include "ui/app/project_text.h"
#include "ui/app/wizard_dialog.h"

#include <QComboBox>
#include <QDir>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include <filesystem>

namespace zpak::ui {

GamePathPage::GamePathPage(WizardDialog& wizard)
    : WizardPage(wizard), games_(new QComboBox), folder_(new QLineEdit), firstRun_(new QLabel)
{
    auto* layout = new QVBoxLayout(this);
    SetControlId(
        AddText(layout,
                QStringLiteral("This wizard will guide you through the process of creating a ZPAK for client "
                               "systems. The first step is to enter the location of the corvex engine title "
                               "you wish to generate a zpak for.")),
        ids::kIntroText, "introText");

    // Only the list chooses a game: there is nothing to type.
    SetControlId(games_, ids::kGamesCombo, "gamesCombo");
    games_->setToolTip(
        QStringLiteral("The games of this engine that their installers registered (on Linux, "
                       "in your Wine and Proton prefixes). Choosing one fills in its folder."));
    SetControlId(folder_, ids::kGamePathEdit, "gamePathEdit");
    folder_->setToolTip(
        QStringLiteral("The folder of the installed game, the one that holds System\\MKR.exe. "
                       "The files of your mod are named relative to it."));
    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("Corvex Engine Games Detected:"), games_);
    QPushButton* browse =
        AddBrowseRow(form, QStringLiteral("Game Path:"), folder_, ids::kGamePathBrowse,
                     "gamePathBrowseButton", QStringLiteral("Choose the game folder in a folder dialog."));
    browse->setText(QStringLiteral("Browse\u2026"));
    browse->setAutoDefault(false);
    connect(browse, &QPushButton::clicked, this, &GamePathPage::OnBrowse);
    SetControlId(form->itemAt(form->rowCount() - 1, QFormLayout::LabelRole)->widget(), ids::kGamePathLabel,
                 "gamePathLabel");
    layout->addLayout(form);
    firstRun_->setObjectName(QStringLiteral("firstRunText"));
    firstRun_->setWordWrap(true);
    firstRun_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    firstRun_->hide();
    layout->addWidget(firstRun_);
    AddText(layout,
            QStringLiteral(" If the wizard failed to detect the folder where the corvex "
                           "powered video game is installed, you'll have to manually enter it."));
    layout->addStretch();

    // Chosen again, the same game loads its folder again.
    connect(games_, &QComboBox::activated, this, &GamePathPage::OnGameChosen);
}

void GamePathPage::OnInitDialog()
{
    const QSignalBlocker quiet(games_);
    for (const std::string& game : ListInstalledGames(Wizard().Context().registry))
        games_->addItem(FromProjectText(game));
    games_->setCurrentIndex(-1);  // no selection, even when the default game is found
    LoadFolderOf(GameKeyPath(kDefaultGame));
    Wizard().EnableNext(true);
    if (games_->count() == 0) {
        // Nothing to choose: the list is skipped, and typing starts in the path.
        games_->setEnabled(false);
        firstRun_->setText(FirstRunText());
        firstRun_->show();
    }
}

QString GamePathPage::FirstRunText() const
{
    // Installed, the demo game lies beside the user guide; in the sources, among the examples.
    const std::filesystem::path installed = Wizard().Context().userGuide.parent_path() / "demo-game";
    const QString demo = std::filesystem::is_directory(installed) ? FromNativePath(installed)
                                                                  : QStringLiteral("examples/demo-game");
    const std::filesystem::path& prefix = WinePrefix();
    QString text = QStringLiteral("<b>No game of this engine was found on this computer.</b> ");
    if (prefix.empty()) {
        return text
            + QStringLiteral(
                  "To try the wizard with the demo game, copy its folder %1 to C:\\Games\\Vantor, or "
                  "type the demo game's folder in Game Path.")
                  .arg(demo.toHtmlEscaped());
    }
    const QString copy = FromNativePath((prefix / "drive_c/Games/Vantor").make_preferred()).toHtmlEscaped();
    if (MapWineDrive(prefix, "C:\\")) {
        return text
            + QStringLiteral(
                  "To try the wizard with the demo game, copy its folder %1 to %2 (C:\\Games\\Vantor of "
                  "the Wine prefix), or type the demo game's folder in Game Path.")
                  .arg(demo.toHtmlEscaped(), copy);
    }
    // C:\ is drive_c only through the drive links that Wine makes when it
    // sets a prefix up; a drive_c made by hand has none.
    if (!std::filesystem::is_directory(prefix))
        text += QStringLiteral("There is no Wine prefix at %1 either. ")
                    .arg(FromNativePath(prefix).toHtmlEscaped());
    else
        text += QStringLiteral("The Wine prefix at %1 has no drive C: yet. ")
                    .arg(FromNativePath(prefix).toHtmlEscaped());
    return text
        + QStringLiteral(
              "To try the wizard with the demo game, type its folder %1 in Game Path. To try it on "
              "C:\\Games\\Vantor, set the prefix up first (run <code>wineboot</code> once), then copy "
              "the folder to %2.")
              .arg(demo.toHtmlEscaped(), copy);
}

void GamePathPage::OnGameChosen(int index)
{
    if (index >= 0)
        LoadFolderOf(GameKeyPath(ToProjectText(games_->itemText(index))));
}

void GamePathPage::LoadFolderOf(const std::string& keyPath)
{
    std::string folder;
    const auto load = [&] {
        return LoadGameFolder(Wizard().Context().registry, keyPath, Document(), folder, WinePrefix());
    };
    if (StoreAsStep(QStringLiteral("Choose Game %1").arg(FromProjectText(keyPath)), RecordRef::GameFolder(),
                    load))
        folder_->setText(FromProjectText(folder));
}

void GamePathPage::OnBrowse()
{
    const QString start = FromNativePath(NativeGamePath(ToProjectText(folder_->text())));
    const QString chosen = Dialogs().GetExistingDirectory(this, QStringLiteral("Game Folder"), start);
    if (!chosen.isEmpty())
        folder_->setText(QDir::toNativeSeparators(chosen));
}

bool GamePathPage::HasPendingEdits() const
{
    return ToProjectText(folder_->text()) != Document().GameFolderText();
}

void GamePathPage::OnSetActive()
{
    if (Document().gameFolder)
        folder_->setText(FromProjectText(*Document().gameFolder));
}

void GamePathPage::ShowStoredValues()
{
    folder_->setText(FromProjectText(Document().GameFolderText()));
}

void GamePathPage::ShowRecord(const RecordRef& record)
{
    if (record.kind == RecordRef::Kind::GameFolder)
        FocusField(folder_);
}

void GamePathPage::OnProjectReplaced()
{
    folder_->clear();
}

bool GamePathPage::StoreGameFolder()
{
    if (folder_->text().trimmed().isEmpty()) {
        ShowMessage(QStringLiteral("The game path is empty. Enter the folder of the installed game, the one "
                                   "that holds System\\MKR.exe, or choose it with Browse."));
        FocusField(folder_);
        return false;
    }
    // On Windows the folder is kept as Windows writes it, whichever separator
    // was typed or Qt joined with.
    const std::string folder = ToProjectText(QDir::toNativeSeparators(
        FromProjectText(NormalisedGameFolder(ToProjectText(folder_->text()), ToProjectText(QDir::homePath()),
                                             ToProjectText(QDir::currentPath())))));
    folder_->setText(FromProjectText(folder));
    StoreAsStep(QStringLiteral("Set Game Folder %1").arg(FromProjectText(folder)), RecordRef::GameFolder(),
                [&] {
                    Document().gameFolder = folder;
                    return true;
                });
    if (IsGameFolderValid(folder, WinePrefix()))
        return true;
    // Say what is missing where, so that the folder can be put right.
    // The folder as typed; where a drive letter leads elsewhere, that place too.
    QString where = FromProjectText(folder);
    const QString native = FromNativePath(NativeGamePath(folder));
    if (QString(where).replace(QLatin1Char('\\'), QLatin1Char('/')) != QDir::fromNativeSeparators(native))
        where += QStringLiteral(" (%1)").arg(native);
    ShowMessage(
        QStringLiteral("This is not a valid game folder.\nSystem\\MKR.exe not found in %1").arg(where));
    return false;
}

}  // namespace zpak::ui
