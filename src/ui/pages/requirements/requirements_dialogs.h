#pragma once

#include "rules/requirement_rules.h"

#include <QDialog>

#include <functional>

class QComboBox;
class QLineEdit;

namespace zpak {
class IniFile;
class MessageSink;
}  // namespace zpak

namespace zpak::ui {

class DialogService;

// The six texts of a requirement; presets (sections of presets.ini) fill
// them. The check it is given decides whether the fields close the dialog.
class AddRequirementDialog final : public QDialog {
    Q_OBJECT

public:
    using Check = std::function<bool(const RequirementFields& fields, MessageSink& sink)>;

    // A new requirement; `presets` must outlive the dialog.
    AddRequirementDialog(const IniFile& presets, Check check, DialogService& dialogs, QWidget* parent);
    // An edit of `current`: the product and the presets cannot change.
    AddRequirementDialog(const RequirementFields& current, Check check, DialogService& dialogs,
                         QWidget* parent);
    void accept() override;
    RequirementFields Fields() const;

private:
    AddRequirementDialog(Check check, DialogService& dialogs, QWidget* parent);
    void OnPresetChosen(int index);
    QLineEdit* Edit(const RequirementField& field) const;
    void ShowFields(const RequirementFields& fields);

    Check check_;
    DialogService& dialogs_;
    const IniFile* presets_ = nullptr;
    QComboBox* presetList_;
    QLineEdit* product_;
};

}  // namespace zpak::ui
