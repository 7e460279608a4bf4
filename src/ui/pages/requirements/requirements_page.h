#pragma once

#include "model/project_node.h"
#include "ui/app/wizard_page.h"

class QPushButton;
class QTreeWidget;
class QTreeWidgetItem;

namespace zpak::ui {

// The products the mod requires; added and edited in AddRequirementDialog.
class RequirementsPage final : public WizardPage {
    Q_OBJECT

public:
    explicit RequirementsPage(WizardDialog& wizard);

    void OnInitDialog() override;
    void OnSetActive() override;
    void ShowRecord(const RecordRef& record) override;

    void OnAdd();
    void OnEdit();
    void OnRemove();

private:
    void UpdateButtons();
    // The row the user sees selected; null when none is.
    QTreeWidgetItem* SelectedItem() const;

    QTreeWidget* tree_;
    QPushButton* remove_ = nullptr;
    QPushButton* edit_ = nullptr;
    ViewHandle currentRequirement_ = 0;  // the selected requirement
};

}  // namespace zpak::ui
