#include "ui/pages/requirements/requirements_page.h"

#include "ini/ini_file.h"
#include "model/project_document.h"
#include "model/record_edits.h"
#include "model/record_ref.h"
#include "platform/message_sink.h"
#include "rules/requirement_rules.h"
#include "ui/app/control_ids.h"
#include "ui/app/dialog_service.h"
#include "ui/app/layout_helpers.h"
#include "ui/app/project_text.h"
#include "ui/app/tree_selection.h"
#include "ui/app/wizard_dialog.h"
#include "ui/pages/requirements/requirements_dialogs.h"
#include "ui/pages/requirements/tree_items.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace zpak::ui {
namespace {

using EditRequirementCommand = EditFieldsCommand<RequirementInfo, RequirementFields, &StoreFields>;

}  // namespace

RequirementsPage::RequirementsPage(WizardDialog& wizard) : WizardPage(wizard), tree_(new QTreeWidget)
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
    tree_->setToolTip(QStringLiteral("Products the player must have before installing yours; the installer "
                                     "refuses to go on without them."));
    tree_->setHeaderHidden(true);
    tree_->setRootIsDecorated(false);

    auto* buttons = new QVBoxLayout;
    const auto button = [&](const QString& caption, int id, const char* name,
                            void (RequirementsPage::*handler)(), const QString& tip) {
        QPushButton* push = AddButton(buttons, caption, id, name);
        push->setToolTip(tip);
        connect(push, &QPushButton::clicked, this, handler);
        return push;
    };
    button(QStringLiteral("Add"), ids::kAddRequirement, "addRequirementButton", &RequirementsPage::OnAdd,
           QStringLiteral("A product that must be installed before yours (the installer checks its "
                          "version); presets fill it in and remember it."));
    remove_ = button(QStringLiteral("Remove"), ids::kRemoveRequirement, "removeRequirementButton",
                     &RequirementsPage::OnRemove, QStringLiteral("Removes the selected requirement."));
    edit_ = button(QStringLiteral("Edit"), ids::kEditRequirement, "editRequirementButton",
                   &RequirementsPage::OnEdit, QStringLiteral("Edits the selected requirement."));
    buttons->addStretch();

    auto* row = new QHBoxLayout;
    row->addWidget(tree_, 1);
    row->addLayout(buttons);
    layout->addLayout(row, 1);

    OnSelectedRowChanged(tree_, [this](const QModelIndex&) {
        const QTreeWidgetItem* item = SelectedItem();
        currentRequirement_ = item ? HandleOf(item) : 0;
        UpdateButtons();
    });
    UpdateButtons();
}

QTreeWidgetItem* RequirementsPage::SelectedItem() const
{
    return SelectedRow(tree_).isValid() ? tree_->currentItem() : nullptr;
}

// Remove and Edit act on the selected row: with none there is nothing to act on.
void RequirementsPage::UpdateButtons()
{
    remove_->setEnabled(currentRequirement_ != 0);
    edit_->setEnabled(currentRequirement_ != 0);
}

void RequirementsPage::OnInitDialog()
{
    Wizard().EnableNext(true);
}

void RequirementsPage::OnSetActive()
{
    // The old items are gone and none is selected: Remove and Edit wait for a choice.
    tree_->clear();
    for (const auto& requirement : Document().requirements) {
        auto* item = new QTreeWidgetItem(tree_, QStringList(FromProjectText(TextOf(requirement->product))));
        requirement->viewHandle = HandleOf(item);
    }
    UpdateButtons();
}

void RequirementsPage::ShowRecord(const RecordRef& record)
{
    if (record.kind == RecordRef::Kind::Requirement
        && static_cast<int>(record.index) < tree_->topLevelItemCount()) {
        Reveal(tree_, tree_->model()->index(static_cast<int>(record.index), 0));
        tree_->setFocus(Qt::OtherFocusReason);
    }
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
    const RequirementInfo* added = AddRequirement(Document(), dialog.Fields(), Sink());
    const auto place = added ? PlaceOf(Document(), *added) : std::nullopt;
    if (!place)
        return;
    RecordPreset(presets, dialog.Fields());
    // The rule added the requirement; the step puts it back on redo.
    InsertRecordsCommand::Records records;
    records.emplace_back(*place, TakeRecord(Document(), *place));
    Wizard().Perform(std::make_unique<InsertRecordsCommand>(
        Wizard(), std::move(records),
        QStringLiteral("Add Requirement %1").arg(FromProjectText(dialog.Fields().product))));
}

void RequirementsPage::OnEdit()
{
    RequirementInfo* requirement = FindByHandle(Document().requirements, currentRequirement_);
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
    if (const RequirementInfo* edited = FindByHandle(Document().requirements, currentRequirement_)) {
        if (const auto place = PlaceOf(Document(), *edited)) {
            Wizard().Perform(std::make_unique<EditRequirementCommand>(
                Wizard(), *place, FieldsOf(*edited), dialog.Fields(),
                QStringLiteral("Edit Requirement %1").arg(FromProjectText(TextOf(edited->product)))));
        }
    }
}

void RequirementsPage::OnRemove()
{
    QTreeWidgetItem* selected = SelectedItem();
    RequirementInfo* requirement =
        selected ? FindByHandle(Document().requirements, HandleOf(selected)) : nullptr;
    if (!requirement) {
        ShowMessage(QStringLiteral("Could not find the item to remove!"));
        return;
    }
    if (const auto place = PlaceOf(Document(), *requirement)) {
        Wizard().Perform(std::make_unique<RemoveRecordCommand>(
            Wizard(), *place,
            QStringLiteral("Remove Requirement %1").arg(FromProjectText(TextOf(requirement->product)))));
    }
}

}  // namespace zpak::ui
