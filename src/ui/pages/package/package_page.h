#pragma once

#include "ui/app/wizard_page.h"

class QCheckBox;
class QComboBox;
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

private:
    void FillLicences();
    // The page after this one: the shortcuts page, or Generate.
    void LinkNext(bool shortcuts);
    void ApplyShortcutSwitch();
    bool StorePackageFields();

    QLineEdit* logo_;
    QLineEdit* archive_;
    QComboBox* license_;
    QCheckBox* shortcuts_;
};

}  // namespace zpak::ui
