#pragma once

#include "model/ini_group.h"

#include <QAbstractItemModel>
#include <QIcon>

#include <string>
#include <vector>

namespace zpak {
class ProjectDocument;
}

namespace zpak::ui {

// The INI files that installation changes and their changes, as a two-level
// tree over the project (nothing is copied, so any number shows at once). A
// file's row names the group it is tied to; a change reads as
// "[Section] Key = Value" with what it does. Every change to the INI files
// goes through here, so that the view follows it.
class IniChangesModel final : public QAbstractItemModel {
    Q_OBJECT

public:
    IniChangesModel(ProjectDocument& document, QObject* parent);

    // Shows the project anew: view handles are given again in project
    // order, starting at 1.
    void Reload();

    INIGroup* FileAt(const QModelIndex& index) const;
    INIDefinition* ChangeAt(const QModelIndex& index) const;
    QModelIndex IndexOf(const INIGroup& file) const;
    QModelIndex IndexOfHandle(ViewHandle handle) const;

    INIGroup& AppendFile(std::string name);
    // Appends changes to the file through `add`, which gives them (a single
    // change, or an import); the rows follow.
    template <typename Add> std::vector<INIDefinition*> AppendChanges(INIGroup& file, Add add);
    void RemoveFile(ViewHandle handle);
    void RemoveChange(ViewHandle handle);
    void Changed(const ProjectNode& record);

    QModelIndex index(int row, int column, const QModelIndex& parent = {}) const override;
    QModelIndex parent(const QModelIndex& child) const override;
    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;

private:
    int RowOf(const INIGroup& file) const;
    void BeginAppend(const INIGroup& file, int count);
    void Number(const std::vector<INIDefinition*>& changes);

    ProjectDocument& doc_;
    ViewHandle lastHandle_ = 0;
    QIcon fileIcon_;
    QIcon changeIcon_;
};

template <typename Add> std::vector<INIDefinition*> IniChangesModel::AppendChanges(INIGroup& file, Add add)
{
    // The changes are known only once made: they are made on the side and
    // moved in between the begin and the end of the insertion.
    INIGroup scratch;
    std::vector<INIDefinition*> added = add(scratch);
    if (added.empty())
        return added;
    BeginAppend(file, static_cast<int>(scratch.entries.size()));
    for (auto& change : scratch.entries)
        file.entries.push_back(std::move(change));
    Number(added);
    endInsertRows();
    return added;
}

}  // namespace zpak::ui
