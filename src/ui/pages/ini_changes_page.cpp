#include "ui/pages/ini_changes_page.h"

#include "ini/ini_import.h"
#include "model/project_document.h"
#include "platform/file_search.h"
#include "platform/game_path.h"
#include "ui/app/control_ids.h"
#include "ui/app/dialog_service.h"
#include "ui/app/project_text.h"
#include "ui/app/wizard_dialog.h"
#include "ui/pages/ini_dialogs.h"
#include "ui/pages/page_layout.h"
#include "ui/pages/tree_items.h"

#include <QGridLayout>
#include <QLabel>
#include <QPushButton>
#include <QStyle>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace zpak::ui {

IniChangesPage::IniChangesPage(WizardDialog& wizard) : WizardPage(wizard, ids::kIniChangesPage), tree_(new QTreeWidget)
{
    auto* layout = new QVBoxLayout(this);
    SetControlId(AddText(layout, QStringLiteral(
                     "This section allows developers to change/add INI values. If you need modify an "
                     "INI file on the target system, then you'll need to do it here. The INI file you "
                     "wish to modify is depicted as a root element.")),
                 ids::kIntroText);
    SetControlId(tree_, ids::kIniTree);
    tree_->setHeaderHidden(true);

    auto* buttons = new QVBoxLayout;
    const auto button = [&](const QString& caption, int id, void (IniChangesPage::*handler)()) {
        auto* push = new QPushButton(caption);
        SetControlId(push, id);
        push->setAutoDefault(false);
        connect(push, &QPushButton::clicked, this, handler);
        buttons->addWidget(push);
        return push;
    };
    button(QStringLiteral("Add"), ids::kAddIniFile, &IniChangesPage::OnAdd);
    addEntry_ = button(QStringLiteral("Add Entry"), ids::kAddIniEntry, &IniChangesPage::OnAddEntry);
    removeEntry_ = button(QStringLiteral("Remove Entry"), ids::kRemoveIniEntry, &IniChangesPage::OnRemoveEntry);
    removeFile_ = button(QStringLiteral("Remove File"), ids::kRemoveIniFile, &IniChangesPage::OnRemoveFile);
    edit_ = button(QStringLiteral("Edit"), ids::kEditIni, &IniChangesPage::OnEdit);
    import_ = button(QStringLiteral("Import Keys"), ids::kImportKeys, &IniChangesPage::OnImportKeys);
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
    currentFile_ = 0;
    currentEntry_ = 0;
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

INIGroup* IniChangesPage::GetCurrentFile() const
{
    return Document().FindIniFileByHandle(currentFile_);
}

INIDefinition* IniChangesPage::GetCurrentEntry() const
{
    return Document().FindIniEntryByHandle(currentEntry_);
}

std::filesystem::path IniChangesPage::SystemIniPath(const std::string& name) const
{
    return GamePathToNative(Document().GameFolderText() + "\\System\\" + name);
}

std::filesystem::path IniChangesPage::GetCurrentIniPath() const
{
    const INIGroup* file = GetCurrentFile();
    return SystemIniPath(file ? file->NameText() : std::string());
}

std::vector<std::string> IniChangesPage::GameIniFiles() const
{
    return ListMatchingFiles(GamePathToNative(Document().GameFolderText() + "\\System"), "*.ini");
}

void IniChangesPage::OnSelectionChanged(QTreeWidgetItem* selected)
{
    const ViewHandle handle = HandleOf(selected);
    const bool file = selected && Document().FindIniFileByHandle(handle);
    if (file) {
        currentFile_ = handle;
        currentEntry_ = 0;
    } else {
        currentEntry_ = selected && Document().FindIniEntryByHandle(handle) ? handle : 0;
    }
    addEntry_->setEnabled(file);
    removeFile_->setEnabled(file);
    import_->setEnabled(file);
    edit_->setEnabled(true);
    removeEntry_->setEnabled(!file);
}

void IniChangesPage::AddIniFile(const std::string& name)
{
    auto& file = *Document().iniFiles.emplace_back(std::make_unique<INIGroup>(name));
    currentFile_ = HandleOf(AddFileItem(file));
}

void IniChangesPage::AddIniEntry(const std::string& section, const std::string& key, const std::string& value,
                                 int addNewLine)
{
    INIGroup* file = GetCurrentFile();
    QTreeWidgetItem* item = file ? ItemOf(tree_, file->viewHandle) : nullptr;
    if (!item)
        return;
    INIDefinition& entry = file->AddEntry(section, key, value, addNewLine);
    AddEntryItem(item, entry);
    currentEntry_ = entry.viewHandle;
    item->setExpanded(true);
}

void IniChangesPage::ImportEntries(const IniFile& source)
{
    INIGroup* file = GetCurrentFile();
    QTreeWidgetItem* item = file ? ItemOf(tree_, file->viewHandle) : nullptr;
    if (!item)
        return;
    for (INIDefinition* entry : ImportIniEntries(source, *file)) {
        AddEntryItem(item, *entry);
        currentEntry_ = entry->viewHandle;
    }
    item->setExpanded(true);
}

void IniChangesPage::RefreshCurrentEntry()
{
    if (INIDefinition* entry = GetCurrentEntry()) {
        if (QTreeWidgetItem* item = ItemOf(tree_, entry->viewHandle))
            item->setText(0, FromProjectText(entry->GetName()));
    }
}

void IniChangesPage::OnAdd()
{
    AddIniFileDialog dialog(*this, Dialogs(), this);
    dialog.exec();
}

void IniChangesPage::OnAddEntry()
{
    if (!GetCurrentFile())
        return;
    IniPropertyDialog dialog(IniPropertyDialog::Mode::Add, *this, Dialogs(), this);
    dialog.exec();
}

void IniChangesPage::OnEdit()
{
    QTreeWidgetItem* selected = tree_->currentItem();
    if (INIGroup* file = selected ? Document().FindIniFileByHandle(HandleOf(selected)) : nullptr) {
        IniGroupingDialog dialog(*file, Document(), Dialogs(), this);
        dialog.exec();
        return;
    }
    IniPropertyDialog dialog(IniPropertyDialog::Mode::Modify, *this, Dialogs(), this);
    dialog.exec();
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
    INIDefinition* entry = GetCurrentEntry();
    if (!entry)
        return;
    const ViewHandle handle = entry->viewHandle;
    Document().RemoveIniEntry(handle);
    delete ItemOf(tree_, handle);
    currentEntry_ = 0;
}

void IniChangesPage::OnImportKeys()
{
    if (!GetCurrentFile())
        return;
    ImportIniDialog dialog(*this, Dialogs(), this);
    dialog.exec();
}

}  // namespace zpak::ui
