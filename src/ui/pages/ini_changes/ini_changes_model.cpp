#include "ui/pages/ini_changes/ini_changes_model.h"

#include "model/project_document.h"
#include "ui/app/project_text.h"

#include <QApplication>
#include <QStyle>

#include <algorithm>

namespace zpak::ui {

IniChangesModel::IniChangesModel(ProjectDocument& document, QObject* parent)
    : QAbstractItemModel(parent), doc_(document),
      fileIcon_(QApplication::style()->standardIcon(QStyle::SP_FileIcon)),
      changeIcon_(QApplication::style()->standardIcon(QStyle::SP_FileDialogDetailedView))
{
}

void IniChangesModel::Reload()
{
    beginResetModel();
    lastHandle_ = 0;
    for (const auto& file : doc_.iniFiles) {
        file->viewHandle = ++lastHandle_;
        for (const auto& change : file->entries)
            change->viewHandle = ++lastHandle_;
    }
    endResetModel();
}

int IniChangesModel::RowOf(const INIGroup& file) const
{
    const auto it = std::ranges::find_if(doc_.iniFiles, [&](const auto& f) { return f.get() == &file; });
    return it == doc_.iniFiles.end() ? -1 : static_cast<int>(it - doc_.iniFiles.begin());
}

INIGroup* IniChangesModel::FileAt(const QModelIndex& index) const
{
    if (!index.isValid() || index.internalPointer() || index.row() >= static_cast<int>(doc_.iniFiles.size()))
        return nullptr;
    return doc_.iniFiles[static_cast<std::size_t>(index.row())].get();
}

INIDefinition* IniChangesModel::ChangeAt(const QModelIndex& index) const
{
    const auto* file = static_cast<const INIGroup*>(index.isValid() ? index.internalPointer() : nullptr);
    if (!file || index.row() >= static_cast<int>(file->entries.size()))
        return nullptr;
    return file->entries[static_cast<std::size_t>(index.row())].get();
}

QModelIndex IniChangesModel::IndexOf(const INIGroup& file) const
{
    const int row = RowOf(file);
    return row < 0 ? QModelIndex() : createIndex(row, 0);
}

QModelIndex IniChangesModel::IndexOfHandle(ViewHandle handle) const
{
    for (const auto& file : doc_.iniFiles) {
        if (file->IsShownAs(handle))
            return IndexOf(*file);
        for (std::size_t row = 0; row < file->entries.size(); ++row) {
            if (file->entries[row]->IsShownAs(handle))
                return createIndex(static_cast<int>(row), 0, file.get());
        }
    }
    return {};
}

INIGroup& IniChangesModel::AppendFile(std::string name)
{
    const int row = rowCount();
    beginInsertRows({}, row, row);
    INIGroup& file = *doc_.iniFiles.emplace_back(std::make_unique<INIGroup>(std::move(name)));
    file.viewHandle = ++lastHandle_;
    endInsertRows();
    return file;
}

void IniChangesModel::BeginAppend(const INIGroup& file, int count)
{
    const int first = static_cast<int>(file.entries.size());
    beginInsertRows(IndexOf(file), first, first + count - 1);
}

void IniChangesModel::Number(const std::vector<INIDefinition*>& changes)
{
    for (INIDefinition* change : changes)
        change->viewHandle = ++lastHandle_;
}

void IniChangesModel::RemoveFile(ViewHandle handle)
{
    const QModelIndex at = IndexOfHandle(handle);
    if (!FileAt(at))
        return;
    beginRemoveRows({}, at.row(), at.row());
    doc_.RemoveIniFile(handle);
    endRemoveRows();
}

void IniChangesModel::RemoveChange(ViewHandle handle)
{
    const QModelIndex at = IndexOfHandle(handle);
    if (!ChangeAt(at))
        return;
    beginRemoveRows(at.parent(), at.row(), at.row());
    doc_.RemoveIniEntry(handle);
    endRemoveRows();
}

void IniChangesModel::Changed(const ProjectNode& record)
{
    const QModelIndex at = IndexOfHandle(record.viewHandle);
    if (at.isValid())
        Q_EMIT dataChanged(at, at);
}

QModelIndex IniChangesModel::index(int row, int column, const QModelIndex& parent) const
{
    if (column != 0 || row < 0 || row >= rowCount(parent))
        return {};
    // A file's row carries no pointer; a change's row carries its file.
    return createIndex(row, 0, parent.isValid() ? FileAt(parent) : nullptr);
}

QModelIndex IniChangesModel::parent(const QModelIndex& child) const
{
    const auto* file = static_cast<const INIGroup*>(child.isValid() ? child.internalPointer() : nullptr);
    return file ? IndexOf(*file) : QModelIndex();
}

int IniChangesModel::rowCount(const QModelIndex& parent) const
{
    if (!parent.isValid())
        return static_cast<int>(doc_.iniFiles.size());
    const INIGroup* file = FileAt(parent);
    return file ? static_cast<int>(file->entries.size()) : 0;
}

int IniChangesModel::columnCount(const QModelIndex&) const
{
    return 1;
}

namespace {

QString FileText(const INIGroup& file)
{
    QString text = FromProjectText(file.NameText());
    if (file.group)
        text += QStringLiteral("  (group %1)").arg(FromProjectText(file.group->NameText()));
    return text;
}

QString ChangeText(const INIDefinition& change)
{
    return QStringLiteral("[%1] %2 = %3  (%4)")
        .arg(FromProjectText(TextOf(change.section)), FromProjectText(TextOf(change.key)),
             FromProjectText(TextOf(change.value)),
             change.addNewLine ? QStringLiteral("add line") : QStringLiteral("modify"));
}

}  // namespace

QVariant IniChangesModel::data(const QModelIndex& index, int role) const
{
    if (const INIGroup* file = FileAt(index)) {
        if (role == Qt::DisplayRole)
            return FileText(*file);
        if (role == Qt::DecorationRole)
            return fileIcon_;
        if (role == Qt::ToolTipRole)
            return FileText(*file)
                + (file->group ? QStringLiteral("\nChanged only when that group is installed.")
                               : QStringLiteral("\nChanged whenever the product is installed."));
        return {};
    }
    const INIDefinition* change = ChangeAt(index);
    if (!change)
        return {};
    if (role == Qt::DisplayRole)
        return ChangeText(*change);
    if (role == Qt::DecorationRole)
        return changeIcon_;
    if (role == Qt::ToolTipRole)
        return ChangeText(*change)
            + (change->addNewLine
                   ? QStringLiteral("\nAdds this line to the section, beside lines of the same key.")
                   : QStringLiteral("\nSets the key's value in the section, or adds the key."));
    return {};
}

}  // namespace zpak::ui
