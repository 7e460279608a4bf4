#include "ui/pages/ini_changes/ini_changes_page.h"

#include "generate/field_problems.h"
#include "ini/ini_file.h"
#include "model/project_document.h"
#include "model/record_edits.h"
#include "model/record_ref.h"
#include "model/relative_path.h"
#include "platform/file_search.h"
#include "platform/folder_index.h"
#include "rules/ini_change_rules.h"
#include "ui/app/control_ids.h"
#include "ui/app/dialog_service.h"
#include "ui/app/layout_helpers.h"
#include "ui/app/project_text.h"
#include "ui/app/tree_selection.h"
#include "ui/app/wizard_dialog.h"
#include "ui/pages/ini_changes/ini_changes_model.h"
#include "ui/pages/ini_changes/ini_dialogs.h"

#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QTreeView>
#include <QVBoxLayout>

namespace zpak::ui {
namespace {

using EditIniChangeCommand = EditFieldsCommand<INIDefinition, IniChangeFields, &StoreFields>;

void StoreInstallGroup(GroupInfo* const& group, INIGroup& file)
{
    file.group = group;
}

using EditInstallGroupCommand = EditFieldsCommand<INIGroup, GroupInfo*, &StoreInstallGroup>;

}  // namespace

IniChangesPage::IniChangesPage(WizardDialog& wizard)
    : WizardPage(wizard), model_(new IniChangesModel(wizard.Context().document, this)), tree_(new QTreeView)
{
    auto* layout = new QVBoxLayout(this);
    SetControlId(
        AddText(
            layout,
            QStringLiteral("This section allows developers to change/add INI values. If you need modify an "
                           "INI file on the target system, then you'll need to do it here. The INI file you "
                           "wish to modify is depicted as a root element.")),
        ids::kIntroText, "introText");
    SetControlId(tree_, ids::kIniTree, "iniTree");
    tree_->setModel(model_);
    tree_->setHeaderHidden(true);
    tree_->setUniformRowHeights(true);
    tree_->setToolTip(QStringLiteral("The game's INI files that installation changes, each with its changes. "
                                     "Delete removes the selected change; a double click edits it."));
    tree_->installEventFilter(this);

    auto* buttons = new QVBoxLayout;
    const auto button = [&](const QString& caption, int id, const char* name,
                            void (IniChangesPage::*handler)(), const QString& tip) {
        QPushButton* push = AddButton(buttons, caption, id, name);
        push->setToolTip(tip);
        connect(push, &QPushButton::clicked, this, handler);
        return push;
    };
    button(QStringLiteral("Add"), ids::kAddIniFile, "addIniFileButton", &IniChangesPage::OnAdd,
           QStringLiteral("An INI file of the game's System folder that installation changes."));
    addEntry_ =
        button(QStringLiteral("Add Entry"), ids::kAddIniEntry, "addEntryButton", &IniChangesPage::OnAddEntry,
               QStringLiteral("A change of the selected file: a key to set, or a line to add."));
    removeEntry_ = button(QStringLiteral("Remove Entry"), ids::kRemoveIniEntry, "removeEntryButton",
                          &IniChangesPage::OnRemoveEntry, QStringLiteral("Removes the selected change."));
    removeFile_ = button(QStringLiteral("Remove File"), ids::kRemoveIniFile, "removeIniFileButton",
                         &IniChangesPage::OnRemoveFile,
                         QStringLiteral("Removes the selected file with all its changes."));
    edit_ = button(QStringLiteral("Edit"), ids::kEditIni, "editIniButton", &IniChangesPage::OnEdit,
                   QStringLiteral("A change: edit it. A file: tie it to an install group, so that its "
                                  "changes are made only when that group is installed."));
    import_ = button(QStringLiteral("Import Keys"), ids::kImportKeys, "importKeysButton",
                     &IniChangesPage::OnImportKeys,
                     QStringLiteral("Adds every key of one of the game's INI files as new lines."));
    buttons->addStretch();
    for (QPushButton* push : {addEntry_, removeEntry_, removeFile_, edit_, import_})
        push->setEnabled(false);

    auto* row = new QHBoxLayout;
    row->addWidget(tree_, 1);
    row->addLayout(buttons);
    layout->addLayout(row, 1);
    AddText(layout, QStringLiteral("Any additions or changes will be listed under the affected INI file."));

    OnSelectedRowChanged(tree_, [this](const QModelIndex& selected) { OnSelectionChanged(selected); });
    connect(tree_, &QTreeView::doubleClicked, this, [this](const QModelIndex& index) {
        if (model_->ChildAt(index))
            OnEdit();
    });
}

void IniChangesPage::OnSetActive()
{
    // The rows are new and none is selected: the buttons that act on one wait for a choice.
    model_->Reload();
}

INIGroup* IniChangesPage::CurrentIniFile() const
{
    return Document().FindIniFileByHandle(currentIniFile_);
}

INIDefinition* IniChangesPage::CurrentIniEntry() const
{
    return Document().FindIniEntryByHandle(currentIniEntry_);
}

std::filesystem::path IniChangesPage::SystemIniPath(const std::string& name) const
{
    return NativeGamePath(Document().GameFolderText() + "\\System\\" + name);
}

std::vector<std::string> IniChangesPage::GameIniFiles() const
{
    return ListMatchingFiles(NativeGamePath(Document().GameFolderText() + "\\System"), "*.ini");
}

void IniChangesPage::OnSelectionChanged(const QModelIndex& selected)
{
    const INIGroup* file = model_->ParentAt(selected);
    const INIDefinition* change = model_->ChildAt(selected);
    currentIniFile_ = file ? file->viewHandle : 0;
    currentIniEntry_ = change ? change->viewHandle : 0;
    addEntry_->setEnabled(file);
    removeFile_->setEnabled(file);
    import_->setEnabled(file);
    edit_->setEnabled(file || change);
    removeEntry_->setEnabled(change);
}

void IniChangesPage::ShowRecord(const RecordRef& record)
{
    const auto& files = Document().iniFiles;
    if (record.index >= files.size())
        return;
    const INIGroup& file = *files[record.index];
    tree_->expand(model_->IndexOf(file));
    if (record.kind == RecordRef::Kind::IniChange && record.child < file.entries.size())
        Reveal(tree_, model_->IndexOf(*file.entries[record.child]));
    else
        Reveal(tree_, model_->IndexOf(file));
    tree_->setFocus(Qt::OtherFocusReason);
}

void IniChangesPage::AddEntries(const INIGroup& file, std::vector<std::unique_ptr<INIDefinition>> entries,
                                const QString& text)
{
    const auto place = PlaceOf(Document(), file);
    if (!place || entries.empty())
        return;
    InsertRecordsCommand::Records records;
    for (auto& entry : entries)
        records.emplace_back(RecordRef::IniChange(place->index, file.entries.size() + records.size()),
                             std::move(entry));
    Wizard().Perform(std::make_unique<InsertRecordsCommand>(Wizard(), std::move(records), text));
    // The file stays selected, for the next Add Entry; its changes show below it.
    const QModelIndex last = model_->IndexOf(*file.entries.back());
    Reveal(tree_, last.parent());
    tree_->expand(last.parent());
    tree_->scrollTo(last);
}

void IniChangesPage::OnAdd()
{
    const auto check = [this](const std::string& name) -> std::optional<Problem> {
        if (Document().GameFolderText().empty())
            return std::nullopt;
        FolderIndex index(WinePrefix(), false);
        return IniFileProblem(name, NativeGamePath(Document().GameFolderText() + "\\System"), index);
    };
    AddIniFileDialog dialog(GameIniFiles(), check, Dialogs(), this);
    if (dialog.exec() != QDialog::Accepted)
        return;
    InsertRecordsCommand::Records file;
    file.emplace_back(RecordRef::IniFile(Document().iniFiles.size()),
                      std::make_unique<INIGroup>(StoredGamePath(dialog.FileName())));
    Wizard().Perform(std::make_unique<InsertRecordsCommand>(
        Wizard(), std::move(file),
        QStringLiteral("Add INI File %1").arg(FromProjectText(dialog.FileName()))));
}

void IniChangesPage::OnAddEntry()
{
    const INIGroup* file = CurrentIniFile();
    if (!file)
        return;
    IniFile ini;
    ini.Load(SystemIniPath(file->NameText()));
    IniPropertyDialog dialog(ini, Dialogs(), this);
    if (dialog.exec() != QDialog::Accepted)
        return;
    if (INIGroup* target = CurrentIniFile()) {
        const IniChangeFields fields = dialog.Fields();
        INIGroup made;
        made.AddEntry(fields.section, fields.key, fields.value, fields.addNewLine ? 1 : 0);
        const QString text = QStringLiteral("Add Change %1").arg(FromProjectText(made.entries[0]->GetName()));
        AddEntries(*target, std::move(made.entries), text);
    }
}

void IniChangesPage::OnEdit()
{
    INIGroup* file = model_->ParentAt(SelectedRow(tree_));
    if (!file) {
        EditCurrentEntry();
        return;
    }
    std::vector<GroupInfo*> groups;
    for (const auto& group : Document().groups)
        groups.push_back(group.get());
    IniGroupingDialog dialog(groups, file->group, Dialogs(), this);
    if (dialog.exec() != QDialog::Accepted)
        return;
    if (const auto place = PlaceOf(Document(), *file)) {
        Wizard().Perform(std::make_unique<EditInstallGroupCommand>(
            Wizard(), *place, file->group, dialog.Chosen(),
            QStringLiteral("Edit INI File %1").arg(FromProjectText(file->NameText()))));
    }
}

void IniChangesPage::EditCurrentEntry()
{
    const INIDefinition* entry = CurrentIniEntry();
    if (!entry)
        ShowMessage(QStringLiteral("Could not load the current property."));
    const IniChangeFields current = entry ? FieldsOf(*entry) : IniChangeFields();
    IniPropertyDialog dialog(entry ? &current : nullptr, Dialogs(), this);
    if (dialog.exec() != QDialog::Accepted || !dialog.Loaded())
        return;
    if (const INIDefinition* edited = CurrentIniEntry()) {
        if (const auto place = PlaceOf(Document(), *edited)) {
            Wizard().Perform(std::make_unique<EditIniChangeCommand>(
                Wizard(), *place, FieldsOf(*edited), dialog.Fields(),
                QStringLiteral("Edit Change %1").arg(FromProjectText(edited->GetName()))));
        }
    }
}

void IniChangesPage::OnRemoveFile()
{
    const INIGroup* file = model_->ParentAt(SelectedRow(tree_));
    if (!file) {
        ShowMessage(QStringLiteral("Only groups can be removed via this action."));
        return;
    }
    // The changes of a file may be the work of many adds: ask first.
    const std::size_t changes = file->entries.size();
    if (changes > 0
        && !Dialogs().Ask(this,
                          (changes == 1 ? QStringLiteral("Remove the INI file %1 and its %2 change?")
                                        : QStringLiteral("Remove the INI file %1 and its %2 changes?"))
                              .arg(FromProjectText(file->NameText()))
                              .arg(changes)))
        return;
    if (const auto place = PlaceOf(Document(), *file)) {
        Wizard().Perform(std::make_unique<RemoveRecordCommand>(
            Wizard(), *place, QStringLiteral("Remove File %1").arg(FromProjectText(file->NameText()))));
    }
}

void IniChangesPage::OnRemoveEntry()
{
    const INIDefinition* entry = CurrentIniEntry();
    if (!entry)
        return;
    if (const auto place = PlaceOf(Document(), *entry)) {
        Wizard().Perform(std::make_unique<RemoveRecordCommand>(
            Wizard(), *place, QStringLiteral("Remove Change %1").arg(FromProjectText(entry->GetName()))));
    }
}

void IniChangesPage::OnImportKeys()
{
    if (!CurrentIniFile())
        return;
    ImportIniDialog dialog(GameIniFiles(), Dialogs(), this);
    if (dialog.exec() != QDialog::Accepted)
        return;
    IniFile source;
    source.Load(SystemIniPath(dialog.FileName()));
    if (INIGroup* file = CurrentIniFile()) {
        INIGroup made;
        ImportIniEntries(source, made);
        AddEntries(*file, std::move(made.entries),
                   QStringLiteral("Import Keys of %1").arg(FromProjectText(dialog.FileName())));
    }
}

bool IniChangesPage::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == tree_ && event->type() == QEvent::KeyPress
        && static_cast<QKeyEvent*>(event)->key() == Qt::Key_Delete) {
        const QModelIndex selected = SelectedRow(tree_);
        if (model_->ParentAt(selected))
            OnRemoveFile();
        else if (model_->ChildAt(selected))
            OnRemoveEntry();
        return true;
    }
    return WizardPage::eventFilter(watched, event);
}

}  // namespace zpak::ui
