#pragma once

#include "model/group_info.h"
#include "platform/folder_index.h"
#include "ui/app/record_tree_model.h"

#include <QIcon>

#include <filesystem>
#include <unordered_map>

namespace zpak {
class ProjectDocument;
}

namespace zpak::ui {

// The install groups and their entries as a tree over the project. A row
// says what it means (where a file is installed, how many files a wildcard
// matches); one icon per kind tells a missing file from a present one.
class GroupsModel final : public RecordTreeModel<GroupInfo, FileInfo> {
    Q_OBJECT

public:
    GroupsModel(ProjectDocument& document, std::filesystem::path winePrefix, QObject* parent);

    // The files on disk may have changed (a wildcard's matches): look again.
    void Refresh();
    // The game folder as it lies on disk, as last looked up.
    const std::filesystem::path& GameFolder() const { return gameFolder_; }

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

protected:
    QVariant ParentData(const GroupInfo& group, int role) const override;
    QVariant ChildData(const FileInfo& file, int role) const override;
    void Forget(const FileInfo& file) override { facts_.erase(&file); }
    // The files on disk are looked up again.
    void Reloading() override;

private:
    // What the disk says about an entry, looked up when its row is first shown.
    struct EntryFacts {
        bool present = false;  // a plain file that is there
        int matches = -1;      // a wildcard: how many files it matches
    };

    const EntryFacts& FactsOf(const FileInfo& file) const;
    QString EntryText(const FileInfo& file) const;
    GroupInfo* DropTarget(const QModelIndex& parent) const;

    ProjectDocument& doc_;
    std::filesystem::path gameFolder_;
    mutable FolderIndex index_;
    mutable std::unordered_map<const FileInfo*, EntryFacts> facts_;
    QIcon groupIcon_;
    QIcon fileIcon_;
    QIcon missingIcon_;
    QIcon wildcardIcon_;
};

}  // namespace zpak::ui
