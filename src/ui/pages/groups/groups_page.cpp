#include "ui/pages/groups/groups_page.h"

#include "model/project_document.h"
#include "model/record_ref.h"
#include "platform/folder_index.h"
#include "platform/message_sink.h"
#include "platform/text_encoding.h"
#include "rules/group_rules.h"
#include "ui/app/control_ids.h"
#include "ui/app/dialog_service.h"
#include "ui/app/layout_helpers.h"
#include "ui/app/project_text.h"
#include "ui/app/tree_selection.h"
#include "ui/app/wizard_dialog.h"
#include "ui/pages/groups/groups_dialogs.h"
#include "ui/pages/groups/groups_model.h"

#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QTreeView>
#include <QVBoxLayout>

#include <algorithm>

namespace zpak::ui {

namespace {

bool AnyGroupHasFiles(const ProjectDocument& document)
{
    return std::ranges::any_of(document.groups, [](const auto& group) { return !group->files.empty(); });
}

bool IsWildcard(const FileInfo& file)
{
    return file.NameText().find('*') != std::string::npos;
}

}  // namespace

GroupsPage::GroupsPage(WizardDialog& wizard)
    : WizardPage(wizard),
      model_(new GroupsModel(wizard.Context().document, wizard.Context().winePrefix, this)),
      tree_(new QTreeView)
{
    auto* layout = new QVBoxLayout(this);
    SetControlId(AddText(layout,
                         QStringLiteral(
                             "Groups organize all the files the zpak will install into logical units. You "
                             "MUST define at least one group and add a file to it. First, create a GROUP and "
                             "then associate the desired files with the group.")),
                 ids::kIntroText, "introText");
    SetControlId(tree_, ids::kGroupsTree, "groupsTree");
    tree_->setModel(model_);
    tree_->setHeaderHidden(true);
    tree_->setUniformRowHeights(true);  // rows of one height: a tree of any size scrolls at once
    tree_->setAcceptDrops(true);
    tree_->setDragDropMode(QAbstractItemView::DropOnly);
    tree_->setDropIndicatorShown(true);
    tree_->setToolTip(QStringLiteral("The install groups and what each installs. Drop files here from your "
                                     "file manager to add them to a group; Delete removes the selected row; "
                                     "a double click opens its options."));
    tree_->installEventFilter(this);

    auto* buttons = new QVBoxLayout;
    const auto button = [&](const QString& caption, int id, const char* name, void (GroupsPage::*handler)(),
                            const QString& tip) {
        QPushButton* push = AddButton(buttons, caption, id, name);
        push->setToolTip(tip);
        connect(push, &QPushButton::clicked, this, handler);
        return push;
    };
    button(QStringLiteral("Create Group"), ids::kCreateGroup, "createGroupButton", &GroupsPage::OnCreateGroup,
           QStringLiteral("A new install group: a part of the product the player may choose to install."));
    addFile_ = button(QStringLiteral("Add File"), ids::kAddFile, "addFileButton", &GroupsPage::OnAddFile,
                      QStringLiteral("Files of the game folder that the highlighted group installs."));
    remove_ =
        button(QStringLiteral("Delete"), ids::kDeleteEntry, "deleteButton", &GroupsPage::OnDelete,
               QStringLiteral("Removes the selected group or entry from the product (no file is deleted)."));
    addWildcard_ = button(
        QStringLiteral("Add Wildcard"), ids::kAddWildcard, "addWildcardButton", &GroupsPage::OnAddWildcard,
        QStringLiteral("A pattern such as Maps\\FR-*.map: every file it matches when the product is "
                       "built goes in."));
    groupOptions_ =
        button(QStringLiteral("Group Options"), ids::kGroupOptions, "groupOptionsButton",
               &GroupsPage::OnGroupOptions,
               QStringLiteral("How the installer shows the highlighted group: selectable, visible, required, "
                              "selected at first, its caption and description."));
    renameGroup_ =
        button(QStringLiteral("Rename Group"), ids::kRenameGroup, "renameGroupButton",
               &GroupsPage::OnRenameGroup, QStringLiteral("A new name for the highlighted group."));
    fileOptions_ = button(
        QStringLiteral("File Options"), ids::kFileOptions, "fileOptionsButton", &GroupsPage::OnFileOptions,
        QStringLiteral("The name the selected file is installed under on the player's machine."));
    buttons->addStretch();

    auto* row = new QHBoxLayout;
    row->addWidget(tree_, 1);
    row->addLayout(buttons);
    layout->addLayout(row, 1);

    UpdateButtons({});
    OnSelectedRowChanged(tree_, [this](const QModelIndex& selected) { OnSelectionChanged(selected); });
    connect(tree_, &QTreeView::doubleClicked, this, &GroupsPage::OnDoubleClicked);
    connect(model_, &GroupsModel::FilesDropped, this, &GroupsPage::OnFilesDropped);
}

void GroupsPage::OnSetActive()
{
    // The rows are new and none is selected: the buttons that act on one wait for a choice.
    model_->Reload();
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

GroupInfo* GroupsPage::CurrentGroup() const
{
    return Document().FindGroupByHandle(currentGroup_);
}

void GroupsPage::OnSelectionChanged(const QModelIndex& selected)
{
    const GroupInfo* group = model_->ParentAt(selected);
    currentGroup_ = group ? group->viewHandle : 0;
    UpdateButtons(selected);
}

void GroupsPage::UpdateButtons(const QModelIndex& selected)
{
    const bool group = model_->ParentAt(selected) != nullptr;
    const FileInfo* file = model_->ChildAt(selected);
    addFile_->setEnabled(group);
    addWildcard_->setEnabled(group);
    groupOptions_->setEnabled(group);
    renameGroup_->setEnabled(group);
    remove_->setEnabled(selected.isValid());
    fileOptions_->setEnabled(file && !IsWildcard(*file));
}

void GroupsPage::ShowRecord(const RecordRef& record)
{
    const auto& groups = Document().groups;
    if (record.index >= groups.size())
        return;
    const GroupInfo& group = *groups[record.index];
    if (record.kind == RecordRef::Kind::Entry && record.child < group.files.size()) {
        Reveal(tree_, model_->IndexOf(*group.files[record.child]));
    } else if (record.kind == RecordRef::Kind::Group) {
        Reveal(tree_, model_->IndexOf(group));
    }
    tree_->setFocus(Qt::OtherFocusReason);
}

void GroupsPage::AddEntries(GroupInfo& group, const std::vector<std::string>& names)
{
    std::vector<std::unique_ptr<FileInfo>> entries;
    for (const std::string& name : names)
        entries.push_back(std::make_unique<FileInfo>(name));
    if (model_->InsertChildren(group, std::move(entries)).empty())
        return;
    tree_->expand(model_->IndexOf(group));
    Wizard().EnableNext(true);
    Wizard().ProjectEdited();
}

void GroupsPage::AddPickedFiles(GroupInfo& group, const QStringList& paths)
{
    std::vector<std::string> natives;
    for (const QString& path : paths)
        natives.push_back(ToProjectText(path));
    AddEntries(group, PickedFileNames(Document(), TextFromPath(model_->GameFolder()), natives, Sink()));
}

void GroupsPage::OnCreateGroup()
{
    CreateGroupDialog dialog(Dialogs(), this);
    if (dialog.exec() != QDialog::Accepted || !CheckGroupNameUnused(Document(), dialog.Name(), Sink()))
        return;
    const GroupInfo& group = model_->InsertParent(std::make_unique<GroupInfo>(dialog.Name()));
    Reveal(tree_, model_->IndexOf(group));
    Wizard().ProjectEdited();
}

void GroupsPage::OnAddFile()
{
    GroupInfo* group = CurrentGroup();
    if (!group)
        return;
    const QString folder = FromNativePath(model_->GameFolder());
    const QStringList paths =
        Dialogs().GetOpenFileNames(this, QStringLiteral("All Files (*.*)|*.*||"), folder);
    // The group may have gone while the dialog was open.
    if ((group = CurrentGroup()))
        AddPickedFiles(*group, paths);
}

void GroupsPage::OnAddWildcard()
{
    if (!CurrentGroup())
        return;
    // Typed with "/" or "\", a wildcard is stored with "\" as every path of the project.
    const auto stored = [](std::string expression) {
        std::replace(expression.begin(), expression.end(), '/', '\\');
        return expression;
    };
    FolderIndex index(WinePrefix());
    const std::filesystem::path gameFolder = index.ToNative(Document().GameFolderText());
    const LiveWildcard live(Document(), index, gameFolder);
    AddWildcardDialog dialog(
        [this, stored](const std::string& expression, MessageSink& sink) {
            return CheckWildcard(Document(), stored(expression), WinePrefix(), sink);
        },
        [&live, stored](const std::string& expression) { return live.Matches(stored(expression)); },
        Dialogs(), this);
    GroupInfo* group = dialog.exec() == QDialog::Accepted ? CurrentGroup() : nullptr;
    if (group && !dialog.Expression().empty())
        AddEntries(*group, {stored(dialog.Expression())});
}

void GroupsPage::OnGroupOptions()
{
    GroupInfo* group = CurrentGroup();
    if (!group)
        return;
    GroupOptionsDialog dialog(OptionsOf(*group), this);
    if (dialog.exec() != QDialog::Accepted)
        return;
    ApplyGroupOptions(dialog.Options(), *group);
    Wizard().ProjectEdited();
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
    model_->Changed(*group);
    Wizard().ProjectEdited();
}

void GroupsPage::OnFileOptions()
{
    FileInfo* file = model_->ChildAt(SelectedRow(tree_));
    if (!file) {
        ShowMessage(QStringLiteral("Could not find the selected file."));
        return;
    }
    FileDestinationDialog dialog(file->NameText(), file->GetSrc(), Dialogs(), Document().GameFolderText(),
                                 GameFolderOnDisk(), this);
    if (dialog.exec() != QDialog::Accepted)
        return;
    SetFileDestination(*file, dialog.Destination());
    model_->Changed(*file);
    Wizard().ProjectEdited();
}

void GroupsPage::OnDelete()
{
    const QModelIndex selected = SelectedRow(tree_);
    if (!selected.isValid())
        return;
    if (const GroupInfo* group = model_->ParentAt(selected)) {
        if (Document().groups.size() < 2) {
            NoGroupsDialog dialog(this);
            dialog.exec();
            return;
        }
        if (!CheckGroupRemovable(Document(), *group, Sink()))
            return;
        // Work of many adds may go with one click: ask first.
        if (!group->files.empty()
            && !Dialogs().Ask(this,
                              QStringLiteral("Delete the group %1 and the %2 entries it installs?")
                                  .arg(FromProjectText(group->NameText()))
                                  .arg(group->files.size())))
            return;
        model_->TakeParent(*group);
    } else if (const FileInfo* file = model_->ChildAt(selected)) {
        model_->TakeChild(*file);
    } else {
        ShowMessage(QStringLiteral("Could not remove the file!"));
        return;
    }
    OnSelectionChanged(SelectedRow(tree_));
    UpdateNext();
    Wizard().ProjectEdited();
}

void GroupsPage::OnDoubleClicked(const QModelIndex& index)
{
    if (model_->ParentAt(index)) {
        OnGroupOptions();
        return;
    }
    const FileInfo* file = model_->ChildAt(index);
    if (file && !IsWildcard(*file))
        OnFileOptions();
}

void GroupsPage::OnFilesDropped(GroupInfo* group, const QStringList& paths)
{
    if (Wizard().IsBusy() || !group)
        return;
    Reveal(tree_, model_->IndexOf(*group));
    AddPickedFiles(*group, paths);
}

bool GroupsPage::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == tree_ && event->type() == QEvent::KeyPress
        && static_cast<QKeyEvent*>(event)->key() == Qt::Key_Delete) {
        OnDelete();
        return true;
    }
    return WizardPage::eventFilter(watched, event);
}

}  // namespace zpak::ui
