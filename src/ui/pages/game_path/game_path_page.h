#pragma once

#include "ui/app/wizard_page.h"

class QComboBox;
class QLineEdit;

namespace zpak::ui {

// The first page: the folder of the installed game, offered from the games
// that the engine's installers registered.
class GamePathPage final : public WizardPage {
    Q_OBJECT

public:
    explicit GamePathPage(WizardDialog& wizard);

    void OnInitDialog() override;
    void OnSetActive() override;
    bool OnCommit() override { return StoreGameFolder(); }
    bool OnWizardNext() override { return StoreGameFolder(); }
    void ShowRecord(const RecordRef& record) override;
    void OnProjectReplaced() override;
    bool HasPendingEdits() const override;
    void ShowStoredValues() override;

private:
    void OnBrowse();
    void OnGameChosen(int index);
    void LoadFolderOf(const std::string& keyPath);
    bool StoreGameFolder();

    QComboBox* games_;
    QLineEdit* folder_;
};

}  // namespace zpak::ui
