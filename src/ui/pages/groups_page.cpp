#include "ui/pages/groups_page.h"

#include "model/project_document.h"
#include "platform/message_sink.h"
#include "rules/group_rules.h"
#include "ui/app/control_ids.h"
#include "ui/app/dialog_service.h"
#include "ui/app/layout_helpers.h"
#include "ui/app/project_text.h"
#include "ui/app/wizard_dialog.h"
#include "ui/pages/groups_dialogs.h"
#include "ui/pages/tree_items.h"

#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QStyle>
#include <QTreeWidget>
#include <QVBoxLayout>

#include <algorithm>

namespace zpak::ui {

namespace {

bool AnyGroupHasFiles(const ProjectDocument& document)
{
    return std::ranges::any_of(document.groups, [](const auto& group) { return !group->files.empty(); });
}

}  // namespace

GroupsPage::GroupsPage(WizardDialog& wizard)
    : WizardPage(wizard, ids::kGroupsPage, "groupsPage"), tree_(new QTreeWidget)
{
    auto* layout = new QVBoxLayout(this);
    SetControlId(AddText(layout,
                         QStringLiteral(
                             "Groups organize all the files the zpak will install into logical units. You "
                             "MUST define at least one group and add a file to it. First, create a GROUP and "
                             "then associate the desired files with the group.")),
                 ids::kIntroText, "introText");
    SetControlId(tree_, ids::kGroupsTree, "groupsTree");
    tree_->setHeaderHidden(true);
    tree_->setRootIsDecorated(true);

    auto* buttons = new QVBoxLayout;
    const auto button = [&](const QString& caption, int id, const char* name, void (GroupsPage::*handler)()) {
        QPushButton* push = AddButton(buttons, caption, id, name);
        connect(push, &QPushButton::clicked, this, handler);
        return push;
    };
    button(QStringLiteral("Create Group"), ids::kCreateGroup, "createGroupButton",
           &GroupsPage::OnCreateGroup);
    addFile_ = button(QStringLiteral("Add File"), ids::kAddFile, "addFileButton", &GroupsPage::OnAddFile);
    remove_ = button(QStringLiteral("Delete"), ids::kDeleteEntry, "deleteButton", &GroupsPage::OnDelete);
    addWildcard_ = button(QStringLiteral("Add Wildcard"), ids::kAddWildcard, "addWildcardButton",
                          &GroupsPage::OnAddWildcard);
    groupOptions_ = button(QStringLiteral("Group Options"), ids::kGroupOptions, "groupOptionsButton",
                           &GroupsPage::OnGroupOptions);
    renameGroup_ = button(QStringLiteral("Rename Group"), ids::kRenameGroup, "renameGroupButton",
                          &GroupsPage::OnRenameGroup);
    fileOptions_ = button(QStringLiteral("File Options"), ids::kFileOptions, "fileOptionsButton",
                          &GroupsPage::OnFileOptions);
    buttons->addStretch();

    auto* row = new QHBoxLayout;
    row->addWidget(tree_, 1);
    row->addLayout(buttons);
    layout->addLayout(row, 1);

    UpdateButtons(nullptr);
    connect(tree_, &QTreeWidget::currentItemChanged, this, &GroupsPage::OnSelectionChanged);
}

void GroupsPage::OnInitDialog()
{
    Wizard().SetNextPage(ids::kGroupsPage, ids::kIniChangesPage);
}

void GroupsPage::OnSetActive()
{
    RebuildTree();
    UpdateNext();
}

void GroupsPage::OnProjectReplaced()
{
    currentGroup_ = 0;
}

void GroupsPage::UpdateNext()
{
    Wizard().EnableNext(AnyGroupHasFiles(Document()));
}

void GroupsPage::RebuildTree()
{
    const QSignalBlocker quiet(tree_);
    tree_->clear();
    // The items are new: nothing remembered from the old tree may be used.
    currentGroup_ = 0;
    UpdateButtons(nullptr);
    for (const auto& group : Document().groups) {
        QTreeWidgetItem* item = AddGroupItem(*group);
        for (const auto& file : group->files)
            AddEntryItem(item, *file);
    }
}

QTreeWidgetItem* GroupsPage::AddGroupItem(GroupInfo& group)
{
    auto* item = new QTreeWidgetItem(tree_, QStringList(FromProjectText(group.NameText())));
    item->setIcon(0, icons_.icon(QFileIconProvider::Folder));
    group.viewHandle = HandleOf(item);
    return item;
}

void GroupsPage::AddEntryItem(QTreeWidgetItem* parent, FileInfo& file)
{
    auto* item = new QTreeWidgetItem(parent, QStringList(FromProjectText(file.NameText())));
    const auto native = NativeGamePath(file.GetFullPath(Document().GameFolderText()));
    QIcon icon = icons_.icon(QFileInfo(QString::fromStdString(native.string())));
    // A wildcard, or a file that is gone, has no icon of its own.
    if (icon.isNull())
        icon = style()->standardIcon(file.NameText().find('*') != std::string::npos
                                         ? QStyle::SP_FileDialogContentsView
                                         : QStyle::SP_FileIcon);
    item->setIcon(0, icon);
    file.viewHandle = HandleOf(item);
}

GroupInfo* GroupsPage::CurrentGroup() const
{
    return Document().FindGroupByHandle(currentGroup_);
}

void GroupsPage::OnSelectionChanged()
{
    QTreeWidgetItem* selected = tree_->currentItem();
    if (selected && Document().FindGroupByHandle(HandleOf(selected)))
        currentGroup_ = HandleOf(selected);
    UpdateButtons(selected);
}

void GroupsPage::UpdateButtons(QTreeWidgetItem* selected)
{
    const ViewHandle handle = HandleOf(selected);
    const bool group = selected && Document().FindGroupByHandle(handle);
    const FileInfo* file = selected ? Document().FindFileByHandle(handle) : nullptr;
    const bool plainFile = file && file->NameText().find('*') == std::string::npos;
    addFile_->setEnabled(group);
    addWildcard_->setEnabled(group);
    groupOptions_->setEnabled(group);
    renameGroup_->setEnabled(group);
    remove_->setEnabled(selected != nullptr);
    fileOptions_->setEnabled(plainFile);
}

void GroupsPage::AddEntries(const std::vector<FileInfo*>& files)
{
    GroupInfo* group = CurrentGroup();
    QTreeWidgetItem* item = group ? ItemOf(tree_, group->viewHandle) : nullptr;
    if (!item || files.empty())
        return;
    for (FileInfo* file : files)
        AddEntryItem(item, *file);
    item->setExpanded(true);
    Wizard().EnableNext(true);
}

void GroupsPage::OnCreateGroup()
{
    CreateGroupDialog dialog(Dialogs(), this);
    if (dialog.exec() != QDialog::Accepted || !CheckGroupNameUnused(Document(), dialog.Name(), Sink()))
        return;
    auto& group = *Document().groups.emplace_back(std::make_unique<GroupInfo>(dialog.Name()));
    currentGroup_ = HandleOf(AddGroupItem(group));
}

void GroupsPage::OnAddFile()
{
    GroupInfo* group = CurrentGroup();
    if (!group || !ItemOf(tree_, group->viewHandle))
        return;
    const QString folder = QString::fromStdString(NativeGamePath(Document().GameFolderText()).string());
    std::vector<std::string> paths;
    for (const QString& path :
         Dialogs().GetOpenFileNames(this, QStringLiteral("All Files (*.*)|*.*||"), folder))
        paths.push_back(ToProjectText(path));
    AddEntries(AddPickedFiles(Document(), *group, paths, Sink()));
}

void GroupsPage::OnAddWildcard()
{
    if (!CurrentGroup())
        return;
    AddWildcardDialog dialog(
        [this](const std::string& expression, MessageSink& sink) {
            return CheckWildcard(Document(), expression, WinePrefix(), sink);
        },
        Dialogs(), this);
    // The group may have gone while the dialog was open.
    GroupInfo* group = dialog.exec() == QDialog::Accepted ? CurrentGroup() : nullptr;
    if (group && !dialog.Expression().empty())
        AddEntries({&group->AddFile(dialog.Expression())});
}

void GroupsPage::OnGroupOptions()
{
    GroupInfo* group = CurrentGroup();
    if (!group)
        return;
    GroupOptionsDialog dialog(OptionsOf(*group), this);
    if (dialog.exec() == QDialog::Accepted)
        ApplyGroupOptions(dialog.Options(), *group);
}

void GroupsPage::OnRenameGroup()
{
    if (!CurrentGroup())
        return;
    RenameGroupDialog dialog(Dialogs(), this);
    if (dialog.exec() != QDialog::Accepted)
        return;
    GroupInfo* group = CurrentGroup();
    if (!group || !CheckGroupNameUnused(Document(), dialog.Name(), Sink()))
        return;
    group->SetName(dialog.Name());
    if (QTreeWidgetItem* item = ItemOf(tree_, group->viewHandle))
        item->setText(0, FromProjectText(dialog.Name()));
}

void GroupsPage::OnFileOptions()
{
    QTreeWidgetItem* selected = tree_->currentItem();
    FileInfo* file = selected ? Document().FindFileByHandle(HandleOf(selected)) : nullptr;
    if (!file) {
        ShowMessage(QStringLiteral("Could not find the selected file."));
        return;
    }
    FileDestinationDialog dialog(file->NameText(), file->GetSrc(), Dialogs(), Document().GameFolderText(),
                                 this);
    if (dialog.exec() == QDialog::Accepted)
        SetFileDestination(*file, dialog.Destination());
}

void GroupsPage::OnDelete()
{
    QTreeWidgetItem* selected = tree_->currentItem();
    if (!selected)
        return;
    const ViewHandle handle = HandleOf(selected);
    if (GroupInfo* group = Document().FindGroupByHandle(handle)) {
        if (Document().groups.size() < 2) {
            NoGroupsDialog dialog(this);
            dialog.exec();
            return;
        }
        if (!CheckGroupRemovable(Document(), *group, Sink()))
            return;
        delete selected;
        Document().RemoveGroup(*group);
    } else {
        FileInfo* file = Document().FindFileByHandle(handle);
        if (!file) {
            ShowMessage(QStringLiteral("Could not remove the file!"));
            return;
        }
        delete selected;
        Document().RemoveFile(*file);
    }
    if (!Document().FindGroupByHandle(currentGroup_))
        currentGroup_ = 0;
    UpdateButtons(tree_->currentItem());
    UpdateNext();
}

}  // namespace zpak::ui
