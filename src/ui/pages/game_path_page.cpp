#include "ui/pages/game_path_page.h"

#include "game/game_folder.h"
#include "model/project_document.h"
#include "model/project_reader.h"
#include "ui/app/control_ids.h"
#include "ui/app/layout_helpers.h"
#include "ui/app/project_text.h"
#include "ui/app/wizard_dialog.h"

#include <QComboBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace zpak::ui {

GamePathPage::GamePathPage(WizardDialog& wizard)
    : WizardPage(wizard, ids::kGamePathPage, "gamePathPage"), games_(new QComboBox), folder_(new QLineEdit)
{
    auto* layout = new QVBoxLayout(this);
    SetControlId(
        AddText(layout,
                QStringLiteral("This wizard will guide you through the process of creating a ZPAK for client "
                               "systems. The first step is to enter the location of the corvex engine title "
                               "you wish to generate a zpak for.")),
        ids::kIntroText, "introText");

    SetControlId(games_, ids::kGamesCombo, "gamesCombo");
    games_->setEditable(true);
    games_->setInsertPolicy(QComboBox::NoInsert);
    SetControlId(folder_, ids::kGamePathEdit, "gamePathEdit");
    auto* browse = new QPushButton(QStringLiteral("..."));
    SetControlId(browse, ids::kGamePathBrowse, "gamePathBrowseButton");
    browse->hide();

    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("Corvex Engine Games Detected:"), games_);
    auto* pathLabel = new QLabel(QStringLiteral("Game Path:"));
    SetControlId(pathLabel, ids::kGamePathLabel, "gamePathLabel");
    form->addRow(pathLabel, folder_);
    layout->addLayout(form);
    AddText(layout,
            QStringLiteral(" If the wizard failed to detect the folder where the corvex "
                           "powered video game is installed, you'll have to manually enter it."));
    layout->addStretch();

    connect(games_, &QComboBox::currentIndexChanged, this, &GamePathPage::OnGameChosen);
}

void GamePathPage::OnInitDialog()
{
    const QSignalBlocker quiet(games_);
    for (const std::string& game : ListInstalledGames(Wizard().Context().registry))
        games_->addItem(FromProjectText(game));
    games_->setCurrentIndex(-1);  // no selection, even when the default game is found
    LoadFolderOf(GameKeyPath(kDefaultGame));
    Wizard().EnableNext(true);
    Wizard().SetNextPage(ids::kGamePathPage, ids::kGroupsPage);
}

void GamePathPage::OnGameChosen(int index)
{
    if (index >= 0)
        LoadFolderOf(GameKeyPath(ToProjectText(games_->itemText(index))));
}

void GamePathPage::LoadFolderOf(const std::string& keyPath)
{
    std::string folder;
    if (LoadGameFolder(Wizard().Context().registry, keyPath, Document(), folder))
        folder_->setText(FromProjectText(folder));
}

void GamePathPage::OnSetActive()
{
    if (Document().gameFolder)
        folder_->setText(FromProjectText(*Document().gameFolder));
}

void GamePathPage::OnProjectReplaced()
{
    folder_->clear();
}

bool GamePathPage::StoreGameFolder()
{
    Document().gameFolder = ToProjectText(folder_->text());
    if (IsGameFolderValid(*Document().gameFolder, WinePrefix()))
        return true;
    ShowMessage(QStringLiteral("This is not a valid game folder."));
    return false;
}

}  // namespace zpak::ui
