#pragma once

#include "ui/app/wizard_page.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;

namespace zpak::ui {

// The archive name, logo, licence and the switch that adds the shortcuts page.
class PackagePage final : public WizardPage {
    Q_OBJECT

public:
    explicit PackagePage(WizardDialog& wizard);

    void OnInitDialog() override;
    void OnSetActive() override;
    bool OnCommit() override { return StorePackageFields(); }
    bool OnWizardNext() override { return StorePackageFields(); }
    void ShowRecord(const RecordRef& record) override;
    void OnProjectReplaced() override;
    bool HasPendingEdits() const override;
    void ShowStoredValues() override;

private:
    void FillLicences();
    // The page after this one: the shortcuts page, or Generate.
    void LinkNext(bool shortcuts);
    void ApplyShortcutSwitch();
    // Shows what is wrong with the archive name as it is typed; Next waits
    // until it is right.
    void CheckArchiveName();
    bool StorePackageFields();

    QLineEdit* logo_;
    QLineEdit* archive_;
    QLabel* archiveProblem_;
    QComboBox* license_;
    QCheckBox* shortcuts_;
};

}  // namespace zpak::ui
