#include "ui/pages/groups_page.h"

#include "model/group_rules.h"
#include "model/project_document.h"
#include "platform/game_path.h"
#include "ui/app/control_ids.h"
#include "ui/app/dialog_service.h"
#include "ui/app/project_text.h"
#include "ui/app/wizard_dialog.h"
#include "ui/pages/groups_dialogs.h"
#include "ui/pages/page_layout.h"
#include "ui/pages/tree_items.h"

#include <QFileInfo>
#include <QLabel>
#include <QGridLayout>
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

GroupsPage::GroupsPage(WizardDialog& wizard) : WizardPage(wizard, ids::kGroupsPage), tree_(new QTreeWidget)
{
    auto* layout = new QVBoxLayout(this);
    SetControlId(AddText(layout, QStringLiteral(
                     "Groups organize all the files the zpak will install into logical units. You "
                     "MUST define at least one group and add a file to it. First, create a GROUP and "
                     "then associate the desired files with the group.")),
                 ids::kIntroText);
    SetControlId(tree_, ids::kGroupsTree);
    tree_->setHeaderHidden(true);
    tree_->setRootIsDecorated(true);

    auto* buttons = new QGridLayout;
    const auto button = [&](const QString& caption, int id, int row, int column, void (GroupsPage::*handler)()) {
        auto* push = new QPushButton(caption);
        SetControlId(push, id);
        push->setAutoDefault(false);
        connect(push, &QPushButton::clicked, this, handler);
        buttons->addWidget(push, row, column);
        return push;
    };
    button(QStringLiteral("Create Group"), ids::kCreateGroup, 0, 0, &GroupsPage::OnCreateGroup);
    addFile_ = button(QStringLiteral("Add File"), ids::kAddFile, 1, 0, &GroupsPage::OnAddFile);
    remove_ = button(QStringLiteral("Delete"), ids::kDeleteEntry, 2, 0, &GroupsPage::OnDelete);
    addWildcard_ = button(QStringLiteral("Add Wildcard"), ids::kAddWildcard, 3, 0, &GroupsPage::OnAddWildcard);
    groupOptions_ = button(QStringLiteral("Group Options"), ids::kGroupOptions, 4, 0, &GroupsPage::OnGroupOptions);
    renameGroup_ = button(QStringLiteral("Rename Group"), ids::kRenameGroup, 5, 0, &GroupsPage::OnRenameGroup);
    fileOptions_ = button(QStringLiteral("File Options"), ids::kFileOptions, 6, 0, &GroupsPage::OnFileOptions);
    buttons->setRowStretch(7, 1);

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
    const auto native = GamePathToNative(file.GetFullPath(Document().GameFolderText()));
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

void GroupsPage::CreateGroup(const std::string& name)
{
    if (!CheckGroupNameUnused(Document(), name, Sink()))
        return;
    auto& group = *Document().groups.emplace_back(std::make_unique<GroupInfo>(name));
    currentGroup_ = HandleOf(AddGroupItem(group));
}

void GroupsPage::RenameSelectedGroup(const std::string& name)
{
    GroupInfo* group = CurrentGroup();
    if (!group || !CheckGroupNameUnused(Document(), name, Sink()))
        return;
    group->SetName(name);
    if (QTreeWidgetItem* item = ItemOf(tree_, group->viewHandle))
        item->setText(0, FromProjectText(name));
}

void GroupsPage::AddFileEntry(const std::string& name)
{
    GroupInfo* group = CurrentGroup();
    QTreeWidgetItem* item = group ? ItemOf(tree_, group->viewHandle) : nullptr;
    if (!item)
        return;
    AddEntryItem(item, group->AddFile(name));
    item->setExpanded(true);
    Wizard().EnableNext(true);
}

void GroupsPage::OnCreateGroup()
{
    CreateGroupDialog dialog(*this, Dialogs(), this);
    dialog.exec();
}

void GroupsPage::OnAddFile()
{
    GroupInfo* group = CurrentGroup();
    QTreeWidgetItem* item = group ? ItemOf(tree_, group->viewHandle) : nullptr;
    if (!item)
        return;
    const QString folder = QString::fromStdString(GamePathToNative(Document().GameFolderText()).string());
    std::vector<std::string> paths;
    for (const QString& path : Dialogs().GetOpenFileNames(this, QStringLiteral("All Files (*.*)|*.*||"), folder))
        paths.push_back(ToProjectText(path));
    const std::vector<FileInfo*> added = AddPickedFiles(Document(), *group, paths, Sink());
    for (FileInfo* file : added)
        AddEntryItem(item, *file);
    if (!added.empty()) {
        item->setExpanded(true);
        Wizard().EnableNext(true);
    }
}

void GroupsPage::OnAddWildcard()
{
    if (!CurrentGroup())
        return;
    AddWildcardDialog dialog(*this, Dialogs(), this);
    dialog.exec();
}

void GroupsPage::OnGroupOptions()
{
    if (GroupInfo* group = CurrentGroup()) {
        GroupOptionsDialog dialog(*group, this);
        dialog.exec();
    }
}

void GroupsPage::OnRenameGroup()
{
    if (!CurrentGroup())
        return;
    RenameGroupDialog dialog(*this, Dialogs(), this);
    dialog.exec();
}

void GroupsPage::OnFileOptions()
{
    QTreeWidgetItem* selected = tree_->currentItem();
    FileInfo* file = selected ? Document().FindFileByHandle(HandleOf(selected)) : nullptr;
    if (!file) {
        ShowMessage(QStringLiteral("Could not find the selected file."));
        return;
    }
    FileDestinationDialog dialog(*file, Dialogs(), Document().GameFolderText(), this);
    dialog.exec();
}

void GroupsPage::OnDelete()
{
    QTreeWidgetItem* selected = tree_->currentItem();
    if (!selected)
        return;
    const ViewHandle handle = HandleOf(selected);
    auto& groups = Document().groups;
    if (GroupInfo* group = Document().FindGroupByHandle(handle)) {
        if (groups.size() < 2) {
            NoGroupsDialog dialog(this);
            dialog.exec();
            return;
        }
        if (!CheckGroupRemovable(Document(), *group, Sink()))
            return;
        delete selected;
        std::erase_if(groups, [group](const auto& g) { return g.get() == group; });
    } else {
        GroupInfo* owner = nullptr;
        for (const auto& g : groups) {
            if (g->FindFileByHandle(handle))
                owner = g.get();
        }
        if (!owner) {
            ShowMessage(QStringLiteral("Could not remove the file!"));
            return;
        }
        delete selected;
        std::erase_if(owner->files, [handle](const auto& f) { return f->IsShownAs(handle); });
    }
    if (!Document().FindGroupByHandle(currentGroup_))
        currentGroup_ = 0;
    UpdateButtons(tree_->currentItem());
    UpdateNext();
}

}  // namespace zpak::ui
