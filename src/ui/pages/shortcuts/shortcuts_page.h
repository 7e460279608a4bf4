#pragma once

#include "rules/product_rules.h"
#include "ui/app/wizard_page.h"

class QCheckBox;
class QLineEdit;

namespace zpak::ui {

// The play shortcut: parameters, captions and the systems that get shortcuts.
class ShortcutsPage final : public WizardPage {
    Q_OBJECT

public:
    explicit ShortcutsPage(WizardDialog& wizard);

    void OnInitDialog() override;
    void OnSetActive() override;
    bool OnCommit() override { return StoreShortcutFields(); }
    bool OnWizardNext() override { return StoreShortcutFields(); }
    void OnProjectReplaced() override;
    bool HasPendingEdits() const override;
    void ShowStoredValues() override;

private:
    ShortcutForm ReadForm() const;
    bool StoreShortcutFields();

    QLineEdit* parameters_;
    QLineEdit* caption_;
    QLineEdit* documentation_;
    QCheckBox* windows_;
    QCheckBox* linux_;
    QCheckBox* mac_;
};

}  // namespace zpak::ui
