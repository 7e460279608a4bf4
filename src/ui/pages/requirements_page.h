#pragma once

#include "model/project_node.h"
#include "ui/app/wizard_page.h"

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

    void OnAdd();
    void OnEdit();
    void OnRemove();

private:
    void AddItem(RequirementInfo& requirement);

    QTreeWidget* tree_;
    ViewHandle currentRequirement_ = 0;  // the requirement last selected or added
};

}  // namespace zpak::ui
