#include "ui/pages/groups/groups_page.h"

#include "model/project_document.h"
#include "model/record_edits.h"
#include "model/record_ref.h"
#include "model/relative_path.h"
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

namespace zpak::ui {

namespace {

bool IsWildcard(const FileInfo& file)
{
    return file.NameText().find('*') != std::string::npos;
}

// What renaming a group and its options dialog change, as the group holds
// it: undo gives back an absent caption as absent, not as empty.
struct GroupState {
    std::optional<std::string> name;
    std::optional<std::string> caption;
    std::optional<std::string> description;
    int selectable = 0;
    int required = 0;
    int visible = 0;
    int selected = 0;
};

GroupState StateOf(const GroupInfo& group)
{
    return {group.name,     group.caption, group.description, group.Selectable,
            group.Required, group.Visible, group.Selected};
}

void StoreState(const GroupState& state, GroupInfo& group)
{
    group.name = state.name;
    group.caption = state.caption;
    group.description = state.description;
    group.Selectable = state.selectable;
    group.Required = state.required;
    group.Visible = state.visible;
    group.Selected = state.selected;
}

void StoreDestination(const std::optional<std::string>& src, FileInfo& file)
{
    file.src = src;
}

using EditGroupCommand = EditFieldsCommand<GroupInfo, GroupState, &StoreState>;
using EditDestinationCommand = EditFieldsCommand<FileInfo, std::optional<std::string>, &StoreDestination>;

// Stores `after` into the group as one step; `text` names it, %1 the group.
void EditGroup(WizardDialog& wizard, const GroupInfo& group, const GroupState& after, const QString& text)
{
    if (const auto place = PlaceOf(wizard.Document(), group)) {
        wizard.Perform(std::make_unique<EditGroupCommand>(wizard, *place, StateOf(group), after,
                                                          text.arg(FromProjectText(group.NameText()))));
    }
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
    // The rows are new: the group the user selected before leaving shows
    // selected again; otherwise none is, and the buttons that act on one wait
    // for a choice.
    const GroupInfo* kept = CurrentGroup();
    model_->Reload();
    if (kept)
        Reveal(tree_, model_->IndexOf(*kept));
    UpdateNext();
}

void GroupsPage::OnProjectReplaced()
{
    currentGroup_ = 0;
}

void GroupsPage::UpdateNext()
{
    Wizard().SetNextProblem(GroupsNextProblem(Document()));
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
    const auto place = PlaceOf(Document(), group);
    if (!place || names.empty())
        return;
    InsertRecordsCommand::Records entries;
    for (const std::string& name : names)
        entries.emplace_back(RecordRef::Entry(place->index, group.files.size() + entries.size()),
                             std::make_unique<FileInfo>(name));
    const QString text = names.size() == 1
        ? QStringLiteral("Add Entry %1").arg(FromProjectText(names[0]))
        : QStringLiteral("Add %1 Entries to %2").arg(names.size()).arg(FromProjectText(group.NameText()));
    Wizard().Perform(std::make_unique<InsertRecordsCommand>(Wizard(), std::move(entries), text));
    // The group stays selected, for the next Add File; its entries show below it.
    const QModelIndex last = model_->IndexOf(*group.files.back());
    Reveal(tree_, last.parent());
    tree_->expand(last.parent());
    tree_->scrollTo(last);
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
    InsertRecordsCommand::Records group;
    group.emplace_back(RecordRef::Group(Document().groups.size()),
                       std::make_unique<GroupInfo>(dialog.Name()));
    Wizard().Perform(std::make_unique<InsertRecordsCommand>(
        Wizard(), std::move(group), QStringLiteral("Create Group %1").arg(FromProjectText(dialog.Name()))));
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
    const auto stored = [](const std::string& expression) { return StoredGamePath(expression); };
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
    GroupOptionsDialog dialog(group->NameText(), OptionsOf(*group), this);
    if (dialog.exec() != QDialog::Accepted || !(group = CurrentGroup()))
        return;
    GroupInfo changed;
    StoreState(StateOf(*group), changed);
    ApplyGroupOptions(dialog.Options(), changed);
    EditGroup(Wizard(), *group, StateOf(changed), QStringLiteral("Group Options %1"));
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
    GroupState renamed = StateOf(*group);
    renamed.name = dialog.Name();
    EditGroup(Wizard(), *group, renamed, QStringLiteral("Rename Group %1"));
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
    FileInfo changed(file->NameText());
    SetFileDestination(changed, dialog.Destination());
    if (const auto place = PlaceOf(Document(), *file)) {
        Wizard().Perform(std::make_unique<EditDestinationCommand>(
            Wizard(), *place, file->src, changed.src,
            QStringLiteral("File Options %1").arg(FromProjectText(file->NameText()))));
    }
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
        Remove(*group, QStringLiteral("Delete Group %1").arg(FromProjectText(group->NameText())));
    } else if (const FileInfo* file = model_->ChildAt(selected)) {
        Remove(*file, QStringLiteral("Remove Entry %1").arg(FromProjectText(file->NameText())));
    } else {
        ShowMessage(QStringLiteral("Could not remove the file!"));
    }
}

void GroupsPage::Remove(const ProjectNode& record, const QString& text)
{
    currentGroup_ = 0;
    if (const auto place = PlaceOf(Document(), record))
        Wizard().Perform(std::make_unique<RemoveRecordCommand>(Wizard(), *place, text));
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
