#pragma once

#include "rules/product_rules.h"
#include "ui/app/wizard_page.h"

#include <utility>
#include <vector>

class QLineEdit;

namespace zpak::ui {

// The product's name, version, developer, web addresses, setup title and readme.
class ProductPage final : public WizardPage {
    Q_OBJECT

public:
    explicit ProductPage(WizardDialog& wizard);

    void OnSetActive() override;
    bool OnCommit() override;
    bool OnWizardNext() override;
    void OnProjectReplaced() override;
    bool HasPendingEdits() const override;
    void ShowStoredValues() override;

private:
    ProductForm ReadForm() const;
    void ShowForm(const ProductForm& form);
    void CommitField(const ProductFormField& field, QLineEdit& edit);
    void UpdateNext();

    QLineEdit* name_;
    QLineEdit* version_;
    // The edit of each text of the form.
    std::vector<std::pair<QLineEdit*, std::string ProductForm::*>> fields_;
};

}  // namespace zpak::ui
