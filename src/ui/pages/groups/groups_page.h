#pragma once

#include "model/project_node.h"
#include "ui/app/wizard_page.h"

#include <string>
#include <vector>

class QModelIndex;
class QPushButton;
class QTreeView;

namespace zpak {
class FileInfo;
class GroupInfo;
class ProjectNode;
}  // namespace zpak

namespace zpak::ui {

class GroupsModel;

// The install groups and the files and wildcards each installs, in a tree.
// Every edit goes straight into the project.
class GroupsPage final : public WizardPage {
    Q_OBJECT

public:
    explicit GroupsPage(WizardDialog& wizard);

    void OnSetActive() override;
    void ShowRecord(const RecordRef& record) override;
    void OnProjectReplaced() override;

    // The group Add File, Add Wildcard, Group Options and Rename Group work
    // on: the one highlighted last; null when there is none (also after its
    // record is gone).
    GroupInfo* CurrentGroup() const;

    void OnCreateGroup();
    void OnAddFile();
    void OnAddWildcard();
    void OnGroupOptions();
    void OnRenameGroup();
    void OnFileOptions();
    void OnDelete();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void OnSelectionChanged(const QModelIndex& current);
    void OnDoubleClicked(const QModelIndex& index);
    void OnFilesDropped(GroupInfo* group, const QStringList& paths);
    // Adds the files (native paths) to the group as Add File does.
    void AddPickedFiles(GroupInfo& group, const QStringList& paths);
    void AddEntries(GroupInfo& group, const std::vector<std::string>& names);
    void UpdateButtons(const QModelIndex& current);
    void UpdateNext();
    // Removes the group or entry as one step of the undo history.
    void Remove(const ProjectNode& record, const QString& text);

    GroupsModel* model_;
    QTreeView* tree_;
    QPushButton* addFile_;
    QPushButton* remove_;
    QPushButton* addWildcard_;
    QPushButton* groupOptions_;
    QPushButton* renameGroup_;
    QPushButton* fileOptions_;
    ViewHandle currentGroup_ = 0;
};

}  // namespace zpak::ui
