#include "ui/pages/ini_changes_page.h"

#include "ini/ini_file.h"
#include "model/project_document.h"
#include "platform/file_search.h"
#include "rules/ini_change_rules.h"
#include "ui/app/control_ids.h"
#include "ui/app/dialog_service.h"
#include "ui/app/layout_helpers.h"
#include "ui/app/project_text.h"
#include "ui/app/wizard_dialog.h"
#include "ui/pages/ini_dialogs.h"
#include "ui/pages/tree_items.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QStyle>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace zpak::ui {

IniChangesPage::IniChangesPage(WizardDialog& wizard)
    : WizardPage(wizard, ids::kIniChangesPage, "iniChangesPage"), tree_(new QTreeWidget)
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
    tree_->setHeaderHidden(true);

    auto* buttons = new QVBoxLayout;
    const auto button = [&](const QString& caption, int id, const char* name,
                            void (IniChangesPage::*handler)()) {
        QPushButton* push = AddButton(buttons, caption, id, name);
        connect(push, &QPushButton::clicked, this, handler);
        return push;
    };
    button(QStringLiteral("Add"), ids::kAddIniFile, "addIniFileButton", &IniChangesPage::OnAdd);
    addEntry_ =
        button(QStringLiteral("Add Entry"), ids::kAddIniEntry, "addEntryButton", &IniChangesPage::OnAddEntry);
    removeEntry_ = button(QStringLiteral("Remove Entry"), ids::kRemoveIniEntry, "removeEntryButton",
                          &IniChangesPage::OnRemoveEntry);
    removeFile_ = button(QStringLiteral("Remove File"), ids::kRemoveIniFile, "removeIniFileButton",
                         &IniChangesPage::OnRemoveFile);
    edit_ = button(QStringLiteral("Edit"), ids::kEditIni, "editIniButton", &IniChangesPage::OnEdit);
    import_ = button(QStringLiteral("Import Keys"), ids::kImportKeys, "importKeysButton",
                     &IniChangesPage::OnImportKeys);
    buttons->addStretch();
    for (QPushButton* push : {addEntry_, removeEntry_, removeFile_, edit_, import_})
        push->setEnabled(false);

    auto* row = new QHBoxLayout;
    row->addWidget(tree_, 1);
    row->addLayout(buttons);
    layout->addLayout(row, 1);
    AddText(layout, QStringLiteral("Any additions or changes will be listed under the affected INI file."));

    connect(tree_, &QTreeWidget::currentItemChanged, this, &IniChangesPage::OnSelectionChanged);
}

void IniChangesPage::OnInitDialog()
{
    Wizard().SetNextPage(ids::kIniChangesPage, ids::kRequirementsPage);
    FillTree();
}

void IniChangesPage::OnSetActive()
{
    FillTree();
}

void IniChangesPage::FillTree()
{
    const QSignalBlocker quiet(tree_);
    tree_->clear();
    // The old items are gone; what the page remembered must go with them.
    currentIniFile_ = 0;
    currentIniEntry_ = 0;
    for (const auto& file : Document().iniFiles) {
        QTreeWidgetItem* item = AddFileItem(*file);
        for (const auto& entry : file->entries)
            AddEntryItem(item, *entry);
    }
}

QTreeWidgetItem* IniChangesPage::AddFileItem(INIGroup& file)
{
    auto* item = new QTreeWidgetItem(tree_, QStringList(FromProjectText(file.GetName())));
    item->setIcon(0, style()->standardIcon(QStyle::SP_FileIcon));
    file.viewHandle = HandleOf(item);
    return item;
}

void IniChangesPage::AddEntryItem(QTreeWidgetItem* parent, INIDefinition& entry)
{
    auto* item = new QTreeWidgetItem(parent, QStringList(FromProjectText(entry.GetName())));
    item->setIcon(0, style()->standardIcon(QStyle::SP_FileDialogDetailedView));
    entry.viewHandle = HandleOf(item);
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

void IniChangesPage::OnSelectionChanged(QTreeWidgetItem* selected)
{
    const ViewHandle handle = HandleOf(selected);
    const bool file = selected && Document().FindIniFileByHandle(handle);
    if (file) {
        currentIniFile_ = handle;
        currentIniEntry_ = 0;
    } else {
        currentIniEntry_ = selected && Document().FindIniEntryByHandle(handle) ? handle : 0;
    }
    addEntry_->setEnabled(file);
    removeFile_->setEnabled(file);
    import_->setEnabled(file);
    edit_->setEnabled(true);
    removeEntry_->setEnabled(!file);
}

void IniChangesPage::ShowNewEntries(const std::vector<INIDefinition*>& entries)
{
    INIGroup* file = CurrentIniFile();
    QTreeWidgetItem* item = file ? ItemOf(tree_, file->viewHandle) : nullptr;
    if (!item)
        return;
    for (INIDefinition* entry : entries) {
        AddEntryItem(item, *entry);
        currentIniEntry_ = entry->viewHandle;
    }
    item->setExpanded(true);
}

void IniChangesPage::OnAdd()
{
    AddIniFileDialog dialog(GameIniFiles(), Dialogs(), this);
    if (dialog.exec() != QDialog::Accepted)
        return;
    auto& file = *Document().iniFiles.emplace_back(std::make_unique<INIGroup>(dialog.FileName()));
    currentIniFile_ = HandleOf(AddFileItem(file));
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
        ShowNewEntries(
            {&target->AddEntry(fields.section, fields.key, fields.value, fields.addNewLine ? 1 : 0)});
    }
}

void IniChangesPage::OnEdit()
{
    QTreeWidgetItem* selected = tree_->currentItem();
    INIGroup* file = selected ? Document().FindIniFileByHandle(HandleOf(selected)) : nullptr;
    if (!file) {
        EditCurrentEntry();
        return;
    }
    std::vector<GroupInfo*> groups;
    for (const auto& group : Document().groups)
        groups.push_back(group.get());
    IniGroupingDialog dialog(groups, file->group, Dialogs(), this);
    if (dialog.exec() == QDialog::Accepted)
        file->group = dialog.Chosen();
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
    if (INIDefinition* edited = CurrentIniEntry()) {
        StoreFields(dialog.Fields(), *edited);
        if (QTreeWidgetItem* item = ItemOf(tree_, edited->viewHandle))
            item->setText(0, FromProjectText(edited->GetName()));
    }
}

void IniChangesPage::OnRemoveFile()
{
    QTreeWidgetItem* selected = tree_->currentItem();
    const ViewHandle handle = HandleOf(selected);
    if (!selected || !Document().FindIniFileByHandle(handle)) {
        ShowMessage(QStringLiteral("Only groups can be removed via this action."));
        return;
    }
    Document().RemoveIniFile(handle);
    delete selected;
}

void IniChangesPage::OnRemoveEntry()
{
    INIDefinition* entry = CurrentIniEntry();
    if (!entry)
        return;
    const ViewHandle handle = entry->viewHandle;
    Document().RemoveIniEntry(handle);
    delete ItemOf(tree_, handle);
    currentIniEntry_ = 0;
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
    if (INIGroup* file = CurrentIniFile())
        ShowNewEntries(ImportIniEntries(source, *file));
}

}  // namespace zpak::ui
