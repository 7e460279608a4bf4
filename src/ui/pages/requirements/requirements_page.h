#pragma once

#include "model/project_node.h"
#include "ui/app/wizard_page.h"

class QPushButton;
class QTreeWidget;

namespace zpak {
class RequirementInfo;
}

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
    void AddItem(RequirementInfo& requirement);
    void UpdateButtons();

    QTreeWidget* tree_;
    QPushButton* remove_ = nullptr;
    QPushButton* edit_ = nullptr;
    ViewHandle currentRequirement_ = 0;  // the requirement last selected or added
};

}  // namespace zpak::ui
