#include "ui/pages/requirements/requirements_dialogs.h"

#include "generate/field_problems.h"
#include "ini/ini_file.h"
#include "model/product_fields.h"
#include "ui/app/control_ids.h"
#include "ui/app/dialog_service.h"
#include "ui/app/field_feedback.h"
#include "ui/app/layout_helpers.h"
#include "ui/app/project_text.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QLineEdit>
#include <QVBoxLayout>

namespace zpak::ui {

AddRequirementDialog::AddRequirementDialog(Check check, DialogService& dialogs, QWidget* parent)
    : QDialog(parent), check_(std::move(check)), dialogs_(dialogs), presetList_(new QComboBox)
{
    setWindowTitle(QStringLiteral("Add Requirement"));
    auto* layout = new QVBoxLayout(this);
    auto* top = new QFormLayout;
    SetControlId(presetList_, ids::kPresets, "presetCombo");
    presetList_->setToolTip(QStringLiteral("Requirements you added before: choosing one fills the fields."));
    top->addRow(QStringLiteral("Requirement Preset:"), presetList_);
    layout->addLayout(top);

    auto* box = new QGroupBox(QStringLiteral("Properties"));
    auto* form = new QFormLayout(box);
    product_ =
        AddEdits(form,
                 {{QStringLiteral("Product:"), ids::kRequiredProduct, ControlNameOf("product"),
                   QStringLiteral(
                       "The product the player must have installed, as it names itself (the game, or "
                       "another mod). The installer also takes its folder as the default place to install.")},
                  {QStringLiteral("Version:"), ids::kRequiredVersion, ControlNameOf("version"),
                   QStringLiteral("The lowest version of it that your mod works with.")},
                  {QStringLiteral("Developer:"), ids::kRequiredDeveloper, ControlNameOf("developer"),
                   QStringLiteral("Who makes the required product.")},
                  {QStringLiteral("Product URL:"), ids::kRequiredProductUrl, ControlNameOf("productURL"),
                   QStringLiteral("Where players get the required product when they lack it.")},
                  {QStringLiteral("Version URL:"), ids::kRequiredVersionUrl, ControlNameOf("versionURL"),
                   QStringLiteral("Where players get the required version when theirs is older.")},
                  {QStringLiteral("Developer URL:"), ids::kRequiredDeveloperUrl,
                   ControlNameOf("developerURL"), QStringLiteral("The web page of its developer.")}})[0];
    layout->addWidget(box);
    QLineEdit* version = Edit(kRequirementFields[1]);
    auto* problem = new FieldFeedback("versionProblem");
    form->insertRow(2, QString(), problem);
    problem->Bind(AddOkCancel(this, layout)->button(QDialogButtonBox::Ok));
    const auto rule = [this, version] {
        return RequirementVersionProblem(ToProjectText(product_->text()), ToProjectText(version->text()));
    };
    problem->Watch(product_, rule);
    problem->Watch(version, rule);
}

AddRequirementDialog::AddRequirementDialog(const IniFile& presets, Check check, DialogService& dialogs,
                                           QWidget* parent)
    : AddRequirementDialog(std::move(check), dialogs, parent)
{
    presets_ = &presets;
    QStringList names;
    for (int i = 0; i < presets.GetSectionCount(); ++i)
        names << FromProjectText(presets.GetSectionName(i));
    names.sort(Qt::CaseInsensitive);
    presetList_->addItems(names);
    presetList_->setCurrentIndex(-1);
    connect(presetList_, &QComboBox::currentIndexChanged, this, &AddRequirementDialog::OnPresetChosen);
}

AddRequirementDialog::AddRequirementDialog(const RequirementFields& current, Check check,
                                           DialogService& dialogs, QWidget* parent)
    : AddRequirementDialog(std::move(check), dialogs, parent)
{
    ShowFields(current);
    product_->setEnabled(false);
    presetList_->setEnabled(false);
}

void AddRequirementDialog::OnPresetChosen(int index)
{
    if (index < 0 || !presets_)
        return;
    RequirementFields fields = Fields();
    ApplyPreset(*presets_, ToProjectText(presetList_->itemText(index)), fields);
    ShowFields(fields);
}

QLineEdit* AddRequirementDialog::Edit(const RequirementField& field) const
{
    return findChild<QLineEdit*>(QLatin1String(field.objectName));
}

RequirementFields AddRequirementDialog::Fields() const
{
    RequirementFields fields;
    for (const RequirementField& field : kRequirementFields)
        fields.*field.text = ToProjectText(Edit(field)->text());
    return fields;
}

void AddRequirementDialog::ShowFields(const RequirementFields& fields)
{
    for (const RequirementField& field : kRequirementFields)
        Edit(field)->setText(FromProjectText(fields.*field.text));
}

void AddRequirementDialog::accept()
{
    DialogSink sink(dialogs_, this);
    if (check_(Fields(), sink))
        QDialog::accept();
}

}  // namespace zpak::ui
