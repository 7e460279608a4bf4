#include "ui/pages/requirements_page.h"

#include "ini/ini_file.h"
#include "model/project_document.h"
#include "platform/message_sink.h"
#include "rules/requirement_rules.h"
#include "ui/app/control_ids.h"
#include "ui/app/dialog_service.h"
#include "ui/app/layout_helpers.h"
#include "ui/app/project_text.h"
#include "ui/app/wizard_dialog.h"
#include "ui/pages/requirements_dialogs.h"
#include "ui/pages/tree_items.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace zpak::ui {

RequirementsPage::RequirementsPage(WizardDialog& wizard)
    : WizardPage(wizard, ids::kRequirementsPage, "requirementsPage"), tree_(new QTreeWidget)
{
    auto* layout = new QVBoxLayout(this);
    SetControlId(AddText(layout,
                         QStringLiteral(
                             "Specify any requirements that your product has. For an example, a Vantor "
                             "modification requires Vantor. If you do not set a requirement, the zpak will "
                             "fail to display a default directory for the client, making your mod harder to "
                             "install.")),
                 ids::kRequirementsText, "introText");
    SetControlId(tree_, ids::kRequirementsTree, "requirementsTree");
    tree_->setHeaderHidden(true);
    tree_->setRootIsDecorated(false);

    auto* buttons = new QVBoxLayout;
    const auto button = [&](const QString& caption, int id, const char* name,
                            void (RequirementsPage::*handler)()) {
        connect(AddButton(buttons, caption, id, name), &QPushButton::clicked, this, handler);
    };
    button(QStringLiteral("Add"), ids::kAddRequirement, "addRequirementButton", &RequirementsPage::OnAdd);
    button(QStringLiteral("Remove"), ids::kRemoveRequirement, "removeRequirementButton",
           &RequirementsPage::OnRemove);
    button(QStringLiteral("Edit"), ids::kEditRequirement, "editRequirementButton", &RequirementsPage::OnEdit);
    buttons->addStretch();

    auto* row = new QHBoxLayout;
    row->addWidget(tree_, 1);
    row->addLayout(buttons);
    layout->addLayout(row, 1);

    connect(tree_, &QTreeWidget::currentItemChanged, this, [this](QTreeWidgetItem* item) {
        if (item && Document().FindRequirementByHandle(HandleOf(item)))
            currentRequirement_ = HandleOf(item);
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
    currentRequirement_ = 0;
    for (const auto& requirement : Document().requirements) {
        auto* item = new QTreeWidgetItem(tree_, QStringList(FromProjectText(TextOf(requirement->product))));
        requirement->viewHandle = HandleOf(item);
    }
}

void RequirementsPage::AddItem(RequirementInfo& requirement)
{
    auto* item = new QTreeWidgetItem(tree_, QStringList(FromProjectText(TextOf(requirement.product))));
    requirement.viewHandle = HandleOf(item);
    currentRequirement_ = requirement.viewHandle;
}

void RequirementsPage::OnAdd()
{
    IniFile presets;
    presets.Load(Wizard().Context().presets);
    AddRequirementDialog dialog(
        presets,
        [this](const RequirementFields& fields, MessageSink& sink) {
            return CheckNewRequirement(Document(), fields, sink);
        },
        Dialogs(), this);
    if (dialog.exec() != QDialog::Accepted)
        return;
    if (RequirementInfo* added = AddRequirement(Document(), dialog.Fields(), Sink())) {
        AddItem(*added);
        RecordPreset(presets, dialog.Fields());
    }
}

void RequirementsPage::OnEdit()
{
    RequirementInfo* requirement = Document().FindRequirementByHandle(currentRequirement_);
    if (currentRequirement_ != 0 && !requirement) {
        ShowMessage(QStringLiteral("UNEXPECTED ERROR: Node not selected."));
        return;
    }
    if (!requirement) {
        OnAdd();  // Edit with nothing remembered adds, as Add does
        return;
    }
    AddRequirementDialog dialog(FieldsOf(*requirement), CheckRequirementEdit, Dialogs(), this);
    if (dialog.exec() != QDialog::Accepted)
        return;
    if (RequirementInfo* edited = Document().FindRequirementByHandle(currentRequirement_))
        StoreFields(dialog.Fields(), *edited);
}

void RequirementsPage::OnRemove()
{
    QTreeWidgetItem* selected = tree_->currentItem();
    RequirementInfo* requirement =
        selected ? Document().FindRequirementByHandle(HandleOf(selected)) : nullptr;
    if (!requirement) {
        ShowMessage(QStringLiteral("Could not find the item to remove!"));
        return;
    }
    if (currentRequirement_ == requirement->viewHandle)
        currentRequirement_ = 0;
    delete selected;
    Document().RemoveRequirement(*requirement);
}

}  // namespace zpak::ui
