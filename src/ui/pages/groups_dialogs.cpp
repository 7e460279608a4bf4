#include "ui/pages/groups_dialogs.h"

#include "model/group_rules.h"
#include "model/project_document.h"
#include "ui/app/browse.h"
#include "ui/app/control_ids.h"
#include "ui/app/dialog_service.h"
#include "ui/app/project_text.h"
#include "ui/pages/groups_page.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace zpak::ui {

namespace {

QLabel* Text(QVBoxLayout* layout, const QString& text)
{
    auto* label = new QLabel(text);
    label->setWordWrap(true);
    layout->addWidget(label);
    return label;
}

QLineEdit* Edit(QVBoxLayout* layout, int id)
{
    auto* edit = new QLineEdit;
    SetControlId(edit, id);
    layout->addWidget(edit);
    return edit;
}

void AddOkCancel(QDialog* dialog, QVBoxLayout* layout)
{
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    QObject::connect(buttons, &QDialogButtonBox::accepted, dialog, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, dialog, &QDialog::reject);
    layout->addWidget(buttons);
}

}  // namespace

GroupNameDialog::GroupNameDialog(const QString& title, const QString& prompt, int editId,
                                 DialogService& dialogs, QWidget* parent)
    : QDialog(parent), dialogs_(dialogs)
{
    setWindowTitle(title);
    auto* layout = new QVBoxLayout(this);
    Text(layout, prompt);
    name_ = Edit(layout, editId);
    AddOkCancel(this, layout);
}

void GroupNameDialog::accept()
{
    const std::string name = ToProjectText(name_->text());
    DialogSink sink(dialogs_, this);
    if (!CheckGroupName(name, sink))
        return;
    QDialog::accept();
    Apply(name);
}

CreateGroupDialog::CreateGroupDialog(GroupsPage& page, DialogService& dialogs, QWidget* parent)
    : GroupNameDialog(QStringLiteral("Create Group"), QStringLiteral("Enter a name for a group"),
                      ids::kCreateGroupName, dialogs, parent),
      page_(page)
{
}

void CreateGroupDialog::Apply(const std::string& name)
{
    page_.CreateGroup(name);
}

RenameGroupDialog::RenameGroupDialog(GroupsPage& page, DialogService& dialogs, QWidget* parent)
    : GroupNameDialog(QStringLiteral("Rename Group"), QStringLiteral("Enter a new name for the group"),
                      ids::kRenameGroupName, dialogs, parent),
      page_(page)
{
}

void RenameGroupDialog::Apply(const std::string& name)
{
    page_.RenameSelectedGroup(name);
}

NoGroupsDialog::NoGroupsDialog(QWidget* parent) : QDialog(parent)
{
    setWindowTitle(QStringLiteral("No Groups Defined"));
    auto* layout = new QVBoxLayout(this);
    Text(layout, QStringLiteral("You must define at least one group to store the files to install your product."));
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    layout->addWidget(buttons);
}

GroupOptionsDialog::GroupOptionsDialog(GroupInfo& group, QWidget* parent) : QDialog(parent), group_(group)
{
    setWindowTitle(QStringLiteral("Group Options"));
    auto* layout = new QVBoxLayout(this);
    const auto box = [&](const QString& text, int id, int flag) {
        auto* check = new QCheckBox(text);
        SetControlId(check, id);
        check->setChecked(flag != 0);
        layout->addWidget(check);
        return check;
    };
    selectable_ = box(QStringLiteral("Selectable"), ids::kGroupSelectable, group.Selectable);
    visible_ = box(QStringLiteral("Visible"), ids::kGroupVisible, group.Visible);
    required_ = box(QStringLiteral("Required"), ids::kGroupRequired, group.Required);
    selected_ = box(QStringLiteral("Selected"), ids::kGroupSelected, group.Selected);
    auto* form = new QFormLayout;
    caption_ = new QLineEdit(FromProjectText(group.GetCaption()));
    SetControlId(caption_, ids::kGroupCaption);
    form->addRow(QStringLiteral("Caption:"), caption_);
    description_ = new QLineEdit(FromProjectText(group.GetDescription()));
    SetControlId(description_, ids::kGroupDescription);
    form->addRow(QStringLiteral("Description"), description_);
    layout->addLayout(form);
    Text(layout, QStringLiteral("These options configure how the group is displayed to the user. "
                                "Normally, these options are unnecessary unless you're installing a "
                                "total conversion modification."));
    AddOkCancel(this, layout);
}

void GroupOptionsDialog::accept()
{
    group_.Selectable = selectable_->isChecked();
    group_.Visible = visible_->isChecked();
    group_.Required = required_->isChecked();
    group_.Selected = selected_->isChecked();
    group_.caption = ToProjectText(caption_->text());
    group_.description = ToProjectText(description_->text());
    QDialog::accept();
}

FileDestinationDialog::FileDestinationDialog(FileInfo& entry, DialogService& dialogs,
                                             const std::string& gameFolder, QWidget* parent)
    : QDialog(parent), entry_(entry)
{
    setWindowTitle(QStringLiteral("Change File Destination"));
    auto* layout = new QVBoxLayout(this);
    Text(layout, QStringLiteral("This dialog allows you to change the destination of the source file. "
                                "This is useful for developers who wish to import a file (like "
                                "Default.ini) and rename it to Mod.ini when the zpak is extracted."));
    auto* form = new QFormLayout;
    auto* master = new QLabel(FromProjectText(entry.NameText()));
    SetControlId(master, ids::kMasterFile);
    form->addRow(QStringLiteral("Master File:"), master);
    destination_ = new QLineEdit(FromProjectText(entry.GetSrc()));
    SetControlId(destination_, ids::kDestination);
    destination_->setCursorPosition(0);
    auto* browse = new QPushButton(QStringLiteral("..."));
    SetControlId(browse, ids::kDestinationBrowse);
    auto* row = new QHBoxLayout;
    row->addWidget(destination_);
    row->addWidget(browse);
    form->addRow(QStringLiteral("Destination Filename/Location:"), row);
    layout->addLayout(form);
    AddOkCancel(this, layout);
    connect(browse, &QPushButton::clicked, this, [this, &dialogs, gameFolder] {
        BrowseRelativeFile(dialogs, destination_, QStringLiteral("Source Filename (*.*)|*.*||"), gameFolder);
    });
}

void FileDestinationDialog::accept()
{
    if (destination_->text().isEmpty())
        entry_.src.reset();
    else
        entry_.src = ToProjectText(destination_->text());
    QDialog::accept();
}

AddWildcardDialog::AddWildcardDialog(GroupsPage& page, DialogService& dialogs, QWidget* parent)
    : QDialog(parent), page_(page), dialogs_(dialogs)
{
    setWindowTitle(QStringLiteral("Add Wildcard Path"));
    auto* layout = new QVBoxLayout(this);
    expression_ = Edit(layout, ids::kWildcard);
    Text(layout, QStringLiteral("This option allows developers to add a wildcard string to a group. "
                                "Wildcards allows zpaks to import content based on a simple file "
                                "expression. The file path must be relative to the game directory."));
    Text(layout, QStringLiteral("For example: Maps\\FR-*.map"));
    auto* recurse = new QCheckBox(QStringLiteral("Recurse Subdirectories"));
    SetControlId(recurse, ids::kWildcardRecurse);
    recurse->hide();  // never shown: wildcards are added without the flag
    layout->addWidget(recurse);
    AddOkCancel(this, layout);
}

void AddWildcardDialog::accept()
{
    const std::string expression = ToProjectText(expression_->text());
    if (!expression.empty()) {
        DialogSink sink(dialogs_, this);
        if (!page_.CurrentGroup() || !CheckWildcard(page_.Document(), expression, sink))
            return;
        page_.AddFileEntry(expression);
    }
    QDialog::accept();
}

}  // namespace zpak::ui
