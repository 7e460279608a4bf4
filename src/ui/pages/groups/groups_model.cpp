#include "ui/pages/groups/groups_model.h"

#include "model/project_document.h"
#include "rules/group_rules.h"
#include "ui/app/project_text.h"

#include <QApplication>
#include <QMimeData>
#include <QStyle>
#include <QUrl>

#include <algorithm>

namespace zpak::ui {

namespace {

bool IsWildcard(const FileInfo& file)
{
    return file.NameText().find('*') != std::string::npos;
}

}  // namespace

GroupsModel::GroupsModel(ProjectDocument& document, std::filesystem::path winePrefix, QObject* parent)
    : QAbstractItemModel(parent), doc_(document), winePrefix_(std::move(winePrefix)), index_(winePrefix_),
      groupIcon_(QApplication::style()->standardIcon(QStyle::SP_DirIcon)),
      fileIcon_(QApplication::style()->standardIcon(QStyle::SP_FileIcon)),
      missingIcon_(QApplication::style()->standardIcon(QStyle::SP_MessageBoxWarning)),
      wildcardIcon_(QApplication::style()->standardIcon(QStyle::SP_FileDialogContentsView))
{
}

void GroupsModel::Reload()
{
    beginResetModel();
    lastHandle_ = 0;
    for (const auto& group : doc_.groups) {
        group->viewHandle = ++lastHandle_;
        for (const auto& file : group->files)
            file->viewHandle = ++lastHandle_;
    }
    facts_.clear();
    index_.Forget();
    gameFolder_ = index_.ToNative(doc_.GameFolderText());
    endResetModel();
}

void GroupsModel::Refresh()
{
    facts_.clear();
    index_.Forget();
    gameFolder_ = index_.ToNative(doc_.GameFolderText());
    if (!doc_.groups.empty())
        Q_EMIT dataChanged(index(0, 0), index(rowCount() - 1, 0));
    for (int row = 0; row < rowCount(); ++row) {
        const QModelIndex group = index(row, 0);
        if (rowCount(group) > 0)
            Q_EMIT dataChanged(index(0, 0, group), index(rowCount(group) - 1, 0, group));
    }
}

int GroupsModel::RowOf(const GroupInfo& group) const
{
    const auto it = std::ranges::find_if(doc_.groups, [&](const auto& g) { return g.get() == &group; });
    return it == doc_.groups.end() ? -1 : static_cast<int>(it - doc_.groups.begin());
}

GroupInfo* GroupsModel::GroupAt(const QModelIndex& index) const
{
    if (!index.isValid() || index.internalPointer() || index.row() >= static_cast<int>(doc_.groups.size()))
        return nullptr;
    return doc_.groups[static_cast<std::size_t>(index.row())].get();
}

FileInfo* GroupsModel::FileAt(const QModelIndex& index) const
{
    const auto* group = static_cast<const GroupInfo*>(index.isValid() ? index.internalPointer() : nullptr);
    if (!group || index.row() >= static_cast<int>(group->files.size()))
        return nullptr;
    return group->files[static_cast<std::size_t>(index.row())].get();
}

QModelIndex GroupsModel::IndexOf(const GroupInfo& group) const
{
    const int row = RowOf(group);
    return row < 0 ? QModelIndex() : createIndex(row, 0);
}

QModelIndex GroupsModel::IndexOf(const FileInfo& file) const
{
    const GroupInfo* group = doc_.FindGroupOf(file);
    if (!group)
        return {};
    const auto it = std::ranges::find_if(group->files, [&](const auto& f) { return f.get() == &file; });
    return createIndex(static_cast<int>(it - group->files.begin()), 0, const_cast<GroupInfo*>(group));
}

QModelIndex GroupsModel::IndexOfHandle(ViewHandle handle) const
{
    if (GroupInfo* group = doc_.FindGroupByHandle(handle))
        return IndexOf(*group);
    if (FileInfo* file = doc_.FindFileByHandle(handle))
        return IndexOf(*file);
    return {};
}

GroupInfo& GroupsModel::AppendGroup(std::string name)
{
    const int row = rowCount();
    beginInsertRows({}, row, row);
    GroupInfo& group = *doc_.groups.emplace_back(std::make_unique<GroupInfo>(std::move(name)));
    group.viewHandle = ++lastHandle_;
    endInsertRows();
    return group;
}

std::vector<FileInfo*> GroupsModel::AppendFiles(GroupInfo& group, const std::vector<std::string>& names)
{
    std::vector<FileInfo*> added;
    const QModelIndex parent = IndexOf(group);
    if (!parent.isValid() || names.empty())
        return added;
    const int first = static_cast<int>(group.files.size());
    beginInsertRows(parent, first, first + static_cast<int>(names.size()) - 1);
    for (const std::string& name : names) {
        FileInfo& file = group.AddFile(name);
        file.viewHandle = ++lastHandle_;
        added.push_back(&file);
    }
    endInsertRows();
    return added;
}

void GroupsModel::RemoveGroup(const GroupInfo& group)
{
    const int row = RowOf(group);
    if (row < 0)
        return;
    beginRemoveRows({}, row, row);
    for (const auto& file : group.files)
        facts_.erase(file.get());
    doc_.RemoveGroup(group);
    endRemoveRows();
}

void GroupsModel::RemoveFile(const FileInfo& file)
{
    const QModelIndex at = IndexOf(file);
    if (!at.isValid())
        return;
    beginRemoveRows(at.parent(), at.row(), at.row());
    facts_.erase(&file);
    doc_.RemoveFile(file);
    endRemoveRows();
}

void GroupsModel::Changed(const ProjectNode& record)
{
    const QModelIndex at = IndexOfHandle(record.viewHandle);
    if (!at.isValid())
        return;
    if (const FileInfo* file = FileAt(at))
        facts_.erase(file);
    Q_EMIT dataChanged(at, at);
}

QModelIndex GroupsModel::index(int row, int column, const QModelIndex& parent) const
{
    if (column != 0 || row < 0 || row >= rowCount(parent))
        return {};
    // A group's row carries no pointer; an entry's row carries its group.
    return createIndex(row, 0, parent.isValid() ? GroupAt(parent) : nullptr);
}

QModelIndex GroupsModel::parent(const QModelIndex& child) const
{
    const auto* group = static_cast<const GroupInfo*>(child.isValid() ? child.internalPointer() : nullptr);
    return group ? IndexOf(*group) : QModelIndex();
}

int GroupsModel::rowCount(const QModelIndex& parent) const
{
    if (!parent.isValid())
        return static_cast<int>(doc_.groups.size());
    const GroupInfo* group = GroupAt(parent);
    return group ? static_cast<int>(group->files.size()) : 0;
}

int GroupsModel::columnCount(const QModelIndex&) const
{
    return 1;
}

const GroupsModel::EntryFacts& GroupsModel::FactsOf(const FileInfo& file) const
{
    const auto found = facts_.find(&file);
    if (found != facts_.end())
        return found->second;
    EntryFacts facts;
    if (IsWildcard(file))
        facts.matches = static_cast<int>(WildcardMatches(index_, gameFolder_, file.NameText()).size());
    else
        facts.present = EntryFilePresent(index_, gameFolder_, file.NameText());
    return facts_.emplace(&file, facts).first->second;
}

QString GroupsModel::EntryText(const FileInfo& file) const
{
    QString text = FromProjectText(file.NameText());
    if (!file.GetSrc().empty())
        text += QStringLiteral(" \u2192 ") + FromProjectText(file.GetSrc());
    if (IsWildcard(file)) {
        const int matches = FactsOf(file).matches;
        text += matches == 1 ? QStringLiteral("  (1 file)") : QStringLiteral("  (%1 files)").arg(matches);
    }
    return text;
}

QVariant GroupsModel::EntryData(const FileInfo& file, int role) const
{
    switch (role) {
    case Qt::DisplayRole:
        return EntryText(file);
    case Qt::DecorationRole:
        if (IsWildcard(file))
            return wildcardIcon_;
        return FactsOf(file).present ? fileIcon_ : missingIcon_;
    case Qt::ToolTipRole: {
        QString tip = EntryText(file);
        if (!file.GetSrc().empty())
            tip += QStringLiteral("\nInstalled as ") + FromProjectText(file.GetSrc());
        if (!IsWildcard(file) && !FactsOf(file).present)
            tip += QStringLiteral("\nNot found in the game folder: generating will stop here.");
        return tip;
    }
    default:
        return {};
    }
}

QVariant GroupsModel::GroupData(const GroupInfo& group, int role) const
{
    switch (role) {
    case Qt::DisplayRole:
        return FromProjectText(group.NameText());
    case Qt::DecorationRole:
        return groupIcon_;
    case Qt::ToolTipRole:
        return QStringLiteral("%1\n%2 entries")
            .arg(FromProjectText(group.NameText()))
            .arg(group.files.size());
    default:
        return {};
    }
}

QVariant GroupsModel::data(const QModelIndex& index, int role) const
{
    if (const GroupInfo* group = GroupAt(index))
        return GroupData(*group, role);
    if (const FileInfo* file = FileAt(index))
        return EntryData(*file, role);
    return {};
}

Qt::ItemFlags GroupsModel::flags(const QModelIndex& index) const
{
    if (!index.isValid())
        return Qt::ItemIsDropEnabled;
    return Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsDropEnabled;
}

QStringList GroupsModel::mimeTypes() const
{
    return {QStringLiteral("text/uri-list")};
}

Qt::DropActions GroupsModel::supportedDropActions() const
{
    return Qt::CopyAction;
}

GroupInfo* GroupsModel::DropTarget(const QModelIndex& parent) const
{
    if (GroupInfo* group = GroupAt(parent))
        return group;
    const FileInfo* file = FileAt(parent);
    return file ? doc_.FindGroupOf(*file) : nullptr;
}

bool GroupsModel::canDropMimeData(const QMimeData* data, Qt::DropAction, int, int,
                                  const QModelIndex& parent) const
{
    return data->hasUrls() && DropTarget(parent) != nullptr;
}

bool GroupsModel::dropMimeData(const QMimeData* data, Qt::DropAction action, int row, int column,
                               const QModelIndex& parent)
{
    if (!canDropMimeData(data, action, row, column, parent))
        return false;
    QStringList paths;
    for (const QUrl& url : data->urls()) {
        if (url.isLocalFile())
            paths << url.toLocalFile();
    }
    Q_EMIT FilesDropped(DropTarget(parent), paths);
    return false;  // the page adds what it accepts; nothing moves
}

}  // namespace zpak::ui
