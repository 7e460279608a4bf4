#include "ui/pages/requirements_dialogs.h"

#include "ini/ini_file.h"
#include "ui/app/control_ids.h"
#include "ui/app/dialog_service.h"
#include "ui/app/layout_helpers.h"
#include "ui/app/project_text.h"

#include <QComboBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QLineEdit>
#include <QVBoxLayout>

namespace zpak::ui {

namespace {

// The fields in the order of the edits.
constexpr std::string RequirementFields::*kFieldOrder[] = {
    &RequirementFields::product,    &RequirementFields::version,    &RequirementFields::developer,
    &RequirementFields::productURL, &RequirementFields::versionURL, &RequirementFields::developerURL};

}  // namespace

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
    product_ = AddEdit(form, QStringLiteral("Product:"), ids::kRequiredProduct, "productEdit",
                       QStringLiteral("The product the player must have installed, as it names itself (the "
                                      "game, or another mod). The installer also takes its folder as the "
                                      "default place to install."));
    version_ = AddEdit(form, QStringLiteral("Version:"), ids::kRequiredVersion, "versionEdit",
                       QStringLiteral("The lowest version of it that your mod works with."));
    developer_ = AddEdit(form, QStringLiteral("Developer:"), ids::kRequiredDeveloper, "developerEdit",
                         QStringLiteral("Who makes the required product."));
    productUrl_ = AddEdit(form, QStringLiteral("Product URL:"), ids::kRequiredProductUrl, "productUrlEdit",
                          QStringLiteral("Where players get the required product when they lack it."));
    versionUrl_ = AddEdit(form, QStringLiteral("Version URL:"), ids::kRequiredVersionUrl, "versionUrlEdit",
                          QStringLiteral("Where players get the required version when theirs is older."));
    developerUrl_ = AddEdit(form, QStringLiteral("Developer URL:"), ids::kRequiredDeveloperUrl,
                            "developerUrlEdit", QStringLiteral("The web page of its developer."));
    layout->addWidget(box);
    AddOkCancel(this, layout);
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

std::array<QLineEdit*, 6> AddRequirementDialog::Edits() const
{
    return {product_, version_, developer_, productUrl_, versionUrl_, developerUrl_};
}

RequirementFields AddRequirementDialog::Fields() const
{
    RequirementFields fields;
    const auto edits = Edits();
    for (std::size_t i = 0; i < edits.size(); ++i)
        fields.*kFieldOrder[i] = ToProjectText(edits[i]->text());
    return fields;
}

void AddRequirementDialog::ShowFields(const RequirementFields& fields)
{
    const auto edits = Edits();
    for (std::size_t i = 0; i < edits.size(); ++i)
        edits[i]->setText(FromProjectText(fields.*kFieldOrder[i]));
}

void AddRequirementDialog::accept()
{
    DialogSink sink(dialogs_, this);
    if (check_(Fields(), sink))
        QDialog::accept();
}

}  // namespace zpak::ui
