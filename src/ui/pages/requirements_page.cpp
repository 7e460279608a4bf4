#include "ui/pages/requirements_page.h"

#include "ini/ini_file.h"
#include "ini/requirement_presets.h"
#include "model/project_document.h"
#include "ui/app/control_ids.h"
#include "ui/app/dialog_service.h"
#include "ui/app/project_text.h"
#include "ui/app/wizard_dialog.h"
#include "ui/pages/page_layout.h"
#include "ui/pages/tree_items.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace zpak::ui {

RequirementsPage::RequirementsPage(WizardDialog& wizard)
    : WizardPage(wizard, ids::kRequirementsPage), tree_(new QTreeWidget)
{
    auto* layout = new QVBoxLayout(this);
    SetControlId(AddText(layout, QStringLiteral(
                     "Specify any requirements that your product has. For an example, a Vantor "
                     "modification requires Vantor. If you do not set a requirement, the zpak will "
                     "fail to display a default directory for the client, making your mod harder to "
                     "install.")),
                 ids::kRequirementsText);
    SetControlId(tree_, ids::kRequirementsTree);
    tree_->setHeaderHidden(true);
    tree_->setRootIsDecorated(false);

    auto* buttons = new QVBoxLayout;
    const auto button = [&](const QString& caption, int id, void (RequirementsPage::*handler)()) {
        auto* push = new QPushButton(caption);
        SetControlId(push, id);
        push->setAutoDefault(false);
        connect(push, &QPushButton::clicked, this, handler);
        buttons->addWidget(push);
    };
    button(QStringLiteral("Add"), ids::kAddRequirement, &RequirementsPage::OnAdd);
    button(QStringLiteral("Remove"), ids::kRemoveRequirement, &RequirementsPage::OnRemove);
    button(QStringLiteral("Edit"), ids::kEditRequirement, &RequirementsPage::OnEdit);
    buttons->addStretch();

    auto* row = new QHBoxLayout;
    row->addWidget(tree_, 1);
    row->addLayout(buttons);
    layout->addLayout(row, 1);

    connect(tree_, &QTreeWidget::currentItemChanged, this, [this](QTreeWidgetItem* item) {
        if (item && FindRequirement(HandleOf(item)))
            remembered_ = HandleOf(item);
    });
}

void RequirementsPage::OnInitDialog()
{
    Wizard().EnableNext(true);
    Wizard().SetNextPage(ids::kRequirementsPage, ids::kProductPage);
}

void RequirementsPage::OnSetActive()
{
    const QSignalBlocker quiet(tree_);
    tree_->clear();
    // The old items are gone: Edit must not act through one of them.
    remembered_ = 0;
    for (const auto& requirement : Document().requirements) {
        auto* item = new QTreeWidgetItem(tree_, QStringList(FromProjectText(TextOf(requirement->product))));
        requirement->viewHandle = HandleOf(item);
    }
}

RequirementInfo* RequirementsPage::FindRequirement(ViewHandle handle) const
{
    for (const auto& requirement : Document().requirements) {
        if (requirement->IsShownAs(handle))
            return requirement.get();
    }
    return nullptr;
}

void RequirementsPage::AddRequirementToTree(RequirementInfo& requirement)
{
    auto* item = new QTreeWidgetItem(tree_, QStringList(FromProjectText(TextOf(requirement.product))));
    requirement.viewHandle = HandleOf(item);
    remembered_ = requirement.viewHandle;
}

void RequirementsPage::OnAdd()
{
    AddRequirementDialog dialog(*this, nullptr, this);
    dialog.exec();
}

void RequirementsPage::OnEdit()
{
    RequirementInfo* requirement = nullptr;
    if (remembered_ != 0) {
        requirement = FindRequirement(remembered_);
        if (!requirement) {
            ShowMessage(QStringLiteral("UNEXPECTED ERROR: Node not selected."));
            return;
        }
    }
    AddRequirementDialog dialog(*this, requirement, this);
    dialog.exec();
}

void RequirementsPage::OnRemove()
{
    QTreeWidgetItem* selected = tree_->currentItem();
    RequirementInfo* requirement = selected ? FindRequirement(HandleOf(selected)) : nullptr;
    if (!requirement) {
        ShowMessage(QStringLiteral("Could not find the item to remove!"));
        return;
    }
    if (remembered_ == requirement->viewHandle)
        remembered_ = 0;
    delete selected;
    std::erase_if(Document().requirements, [requirement](const auto& r) { return r.get() == requirement; });
}

AddRequirementDialog::AddRequirementDialog(RequirementsPage& page, RequirementInfo* edited, QWidget* parent)
    : QDialog(parent), page_(page), edited_(edited), presets_(std::make_unique<IniFile>()),
      presetList_(new QComboBox)
{
    setWindowTitle(QStringLiteral("Add Requirement"));
    presets_->Load(page_.Wizard().Context().presets);

    auto* layout = new QVBoxLayout(this);
    auto* top = new QFormLayout;
    SetControlId(presetList_, ids::kPresets);
    QStringList names;
    for (int i = 0; i < presets_->GetSectionCount(); ++i)
        names << FromProjectText(presets_->GetSectionName(i));
    names.sort(Qt::CaseInsensitive);
    presetList_->addItems(names);
    presetList_->setCurrentIndex(-1);
    top->addRow(QStringLiteral("Requirement Preset:"), presetList_);
    layout->addLayout(top);

    auto* box = new QGroupBox(QStringLiteral("Properties"));
    auto* form = new QFormLayout(box);
    product_ = AddEdit(form, QStringLiteral("Product:"), ids::kRequiredProduct);
    version_ = AddEdit(form, QStringLiteral("Version:"), ids::kRequiredVersion);
    developer_ = AddEdit(form, QStringLiteral("Developer:"), ids::kRequiredDeveloper);
    productUrl_ = AddEdit(form, QStringLiteral("Product URL:"), ids::kRequiredProductUrl);
    versionUrl_ = AddEdit(form, QStringLiteral("Version URL:"), ids::kRequiredVersionUrl);
    developerUrl_ = AddEdit(form, QStringLiteral("Developer URL:"), ids::kRequiredDeveloperUrl);
    layout->addWidget(box);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);

    if (edited_) {
        ShowFields(FieldsOf(*edited_));
        product_->setEnabled(false);
        presetList_->setEnabled(false);
    }
    connect(presetList_, &QComboBox::currentIndexChanged, this, &AddRequirementDialog::OnPresetChosen);
}

AddRequirementDialog::~AddRequirementDialog() = default;

void AddRequirementDialog::OnPresetChosen(int index)
{
    if (index < 0)
        return;
    RequirementFields fields = ReadFields();
    ApplyPreset(*presets_, ToProjectText(presetList_->itemText(index)), fields);
    ShowFields(fields);
}

std::array<QLineEdit*, 6> AddRequirementDialog::Edits() const
{
    return {product_, version_, developer_, productUrl_, versionUrl_, developerUrl_};
}

RequirementFields AddRequirementDialog::ReadFields() const
{
    RequirementFields fields;
    const auto edits = Edits();
    std::string* texts[] = {&fields.product,    &fields.version,    &fields.developer,
                            &fields.productURL, &fields.versionURL, &fields.developerURL};
    for (std::size_t i = 0; i < edits.size(); ++i)
        *texts[i] = ToProjectText(edits[i]->text());
    return fields;
}

void AddRequirementDialog::ShowFields(const RequirementFields& fields)
{
    const auto edits = Edits();
    const std::string* texts[] = {&fields.product,    &fields.version,    &fields.developer,
                                  &fields.productURL, &fields.versionURL, &fields.developerURL};
    for (std::size_t i = 0; i < edits.size(); ++i)
        edits[i]->setText(FromProjectText(*texts[i]));
}

void AddRequirementDialog::accept()
{
    const RequirementFields fields = ReadFields();
    DialogSink sink(page_.Wizard().Context().dialogs, this);
    if (edited_) {
        if (fields.product.empty()) {
            sink.ShowMessage("You must define a product.");
            return;
        }
        StoreFields(fields, *edited_);
        QDialog::accept();
        return;
    }
    RequirementInfo* added = AddRequirement(page_.Document(), fields, sink);
    if (!added)
        return;
    page_.AddRequirementToTree(*added);
    RecordPreset(*presets_, fields);
    QDialog::accept();
}

}  // namespace zpak::ui
