#pragma once

#include "rules/product_rules.h"
#include "ui/app/wizard_page.h"

class QLineEdit;

namespace zpak::ui {

// The product's name, version, developer, web addresses, setup title and readme.
class ProductPage final : public WizardPage {
    Q_OBJECT

public:
    explicit ProductPage(WizardDialog& wizard);

    void OnInitDialog() override;
    void OnSetActive() override;
    bool OnCommit() override;
    bool OnWizardNext() override;
    void OnProjectReplaced() override;
    bool HasPendingEdits() const override;

private:
    ProductForm ReadForm() const;
    void ShowForm(const ProductForm& form);
    void UpdateNext();

    QLineEdit* name_;
    QLineEdit* productUrl_;
    QLineEdit* title_;
    QLineEdit* readme_;
    QLineEdit* version_;
    QLineEdit* versionUrl_;
    QLineEdit* developer_;
    QLineEdit* developerUrl_;
};

}  // namespace zpak::ui
