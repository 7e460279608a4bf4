#pragma once

#include "model/project_node.h"
#include "platform/folder_index.h"

#include <QAbstractItemModel>
#include <QIcon>

#include <filesystem>
#include <string>
#include <unordered_map>
#include <vector>

namespace zpak {
class FileInfo;
class GroupInfo;
class ProjectDocument;
}  // namespace zpak

namespace zpak::ui {

// The install groups and their entries as a two-level tree over the project.
// Nothing is copied: the view asks only for the rows it shows, so a project
// of any size shows at once. A row says what it means (where a file is
// installed, how many files a wildcard matches); one icon per kind tells a
// missing file from a present one. Every change to the groups goes through
// here, so that the view follows it.
class GroupsModel final : public QAbstractItemModel {
    Q_OBJECT

public:
    GroupsModel(ProjectDocument& document, std::filesystem::path winePrefix, QObject* parent);

    // Shows the project anew, as it is now: view handles are given again in
    // project order, starting at 1, and the files on disk are looked up again.
    void Reload();
    // The files on disk may have changed (a wildcard's matches): look again.
    void Refresh();

    GroupInfo* GroupAt(const QModelIndex& index) const;
    FileInfo* FileAt(const QModelIndex& index) const;
    QModelIndex IndexOf(const GroupInfo& group) const;
    QModelIndex IndexOf(const FileInfo& file) const;
    // The row of the record with that view handle; invalid for none.
    QModelIndex IndexOfHandle(ViewHandle handle) const;
    // The game folder as it lies on disk, as last looked up.
    const std::filesystem::path& GameFolder() const { return gameFolder_; }

    GroupInfo& AppendGroup(std::string name);
    std::vector<FileInfo*> AppendFiles(GroupInfo& group, const std::vector<std::string>& names);
    void RemoveGroup(const GroupInfo& group);
    void RemoveFile(const FileInfo& file);
    // The record's text changed (a new name, another destination).
    void Changed(const ProjectNode& record);

    QModelIndex index(int row, int column, const QModelIndex& parent = {}) const override;
    QModelIndex parent(const QModelIndex& child) const override;
    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    QStringList mimeTypes() const override;
    Qt::DropActions supportedDropActions() const override;
    bool canDropMimeData(const QMimeData* data, Qt::DropAction action, int row, int column,
                         const QModelIndex& parent) const override;
    bool dropMimeData(const QMimeData* data, Qt::DropAction action, int row, int column,
                      const QModelIndex& parent) override;

Q_SIGNALS:
    // Files of the file manager were dropped on a group (or on one of its entries).
    void FilesDropped(zpak::GroupInfo* group, const QStringList& paths);

private:
    // What the disk says about an entry, looked up when its row is first shown.
    struct EntryFacts {
        bool present = false;  // a plain file that is there
        int matches = -1;      // a wildcard: how many files it matches
    };

    int RowOf(const GroupInfo& group) const;
    const EntryFacts& FactsOf(const FileInfo& file) const;
    QString EntryText(const FileInfo& file) const;
    QVariant EntryData(const FileInfo& file, int role) const;
    QVariant GroupData(const GroupInfo& group, int role) const;
    GroupInfo* DropTarget(const QModelIndex& parent) const;

    ProjectDocument& doc_;
    std::filesystem::path winePrefix_;
    std::filesystem::path gameFolder_;
    mutable FolderIndex index_;
    mutable std::unordered_map<const FileInfo*, EntryFacts> facts_;
    ViewHandle lastHandle_ = 0;
    QIcon groupIcon_;
    QIcon fileIcon_;
    QIcon missingIcon_;
    QIcon wildcardIcon_;
};

}  // namespace zpak::ui
