#pragma once

#include "ui/app/wizard_page.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;

namespace zpak::ui {

class FieldFeedback;

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
    // Shows what is wrong with the archive name and the logo as they are
    // typed; Next waits until they are right.
    void CheckFields();
    bool StorePackageFields();

    QLineEdit* logo_;
    QLineEdit* archive_;
    QLabel* archiveProblem_;
    FieldFeedback* logoProblem_;
    QComboBox* license_;
    QCheckBox* shortcuts_;
};

}  // namespace zpak::ui
