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
    : RecordTreeModel(document.groups, &GroupInfo::files, parent), doc_(document),
      index_(std::move(winePrefix)), groupIcon_(QApplication::style()->standardIcon(QStyle::SP_DirIcon)),
      fileIcon_(QApplication::style()->standardIcon(QStyle::SP_FileIcon)),
      missingIcon_(QApplication::style()->standardIcon(QStyle::SP_MessageBoxWarning)),
      wildcardIcon_(QApplication::style()->standardIcon(QStyle::SP_FileDialogContentsView))
{
}

void GroupsModel::Reloading()
{
    facts_.clear();
    index_.Forget();
    gameFolder_ = index_.ToNative(doc_.GameFolderText());
}

void GroupsModel::Refresh()
{
    Reloading();
    if (!doc_.groups.empty())
        Q_EMIT dataChanged(index(0, 0), index(rowCount() - 1, 0));
    for (int row = 0; row < rowCount(); ++row) {
        const QModelIndex group = index(row, 0);
        if (rowCount(group) > 0)
            Q_EMIT dataChanged(index(0, 0, group), index(rowCount(group) - 1, 0, group));
    }
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

QVariant GroupsModel::ChildData(const FileInfo& file, int role) const
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

QVariant GroupsModel::ParentData(const GroupInfo& group, int role) const
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
    if (GroupInfo* group = ParentAt(parent))
        return group;
    const FileInfo* file = ChildAt(parent);
    return file ? ParentOf(*file) : nullptr;
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
