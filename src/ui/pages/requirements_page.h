#pragma once

#include "ini/requirement_presets.h"
#include "model/project_node.h"
#include "ui/app/wizard_page.h"

#include <QDialog>

#include <array>
#include <memory>

class QComboBox;
class QLineEdit;
class QTreeWidget;

namespace zpak {
class IniFile;
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

    void AddRequirementToTree(RequirementInfo& requirement);

    void OnAdd();
    void OnEdit();
    void OnRemove();

private:
    RequirementInfo* FindRequirement(ViewHandle handle) const;

    QTreeWidget* tree_;
    ViewHandle remembered_ = 0;  // the requirement last selected or added
};

// Adds a requirement (and records it as a preset) or edits one; presets
// from presets.ini fill the fields.
class AddRequirementDialog final : public QDialog {
    Q_OBJECT

public:
    AddRequirementDialog(RequirementsPage& page, RequirementInfo* edited, QWidget* parent);
    ~AddRequirementDialog() override;
    void accept() override;

private:
    void OnPresetChosen(int index);
    std::array<QLineEdit*, 6> Edits() const;
    RequirementFields ReadFields() const;
    void ShowFields(const RequirementFields& fields);

    RequirementsPage& page_;
    RequirementInfo* edited_;
    std::unique_ptr<IniFile> presets_;
    QComboBox* presetList_;
    QLineEdit* product_;
    QLineEdit* version_;
    QLineEdit* developer_;
    QLineEdit* productUrl_;
    QLineEdit* versionUrl_;
    QLineEdit* developerUrl_;
};

}  // namespace zpak::ui
