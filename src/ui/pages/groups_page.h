#pragma once

#include "model/project_node.h"
#include "ui/app/wizard_page.h"

#include <QFileIconProvider>

class QPushButton;
class QTreeWidget;
class QTreeWidgetItem;

namespace zpak {
class FileInfo;
class GroupInfo;
}  // namespace zpak

namespace zpak::ui {

// The install groups and the files and wildcards each installs, in a tree.
// Every edit goes straight into the project.
class GroupsPage final : public WizardPage {
    Q_OBJECT

public:
    explicit GroupsPage(WizardDialog& wizard);

    void OnInitDialog() override;
    void OnSetActive() override;
    void OnProjectReplaced() override;

    // The group Add File, Add Wildcard, Group Options and Rename Group work
    // on; null when there is none (also after its record is gone).
    GroupInfo* CurrentGroup() const;

    void OnCreateGroup();
    void OnAddFile();
    void OnAddWildcard();
    void OnGroupOptions();
    void OnRenameGroup();
    void OnFileOptions();
    void OnDelete();

private:
    void RebuildTree();
    QTreeWidgetItem* AddGroupItem(GroupInfo& group);
    void AddEntryItem(QTreeWidgetItem* parent, FileInfo& file);
    // The entry's item added under the current group's item.
    void AddEntries(const std::vector<FileInfo*>& files);
    void OnSelectionChanged();
    void UpdateButtons(QTreeWidgetItem* selected);
    void UpdateNext();

    QTreeWidget* tree_;
    QPushButton* addFile_;
    QPushButton* remove_;
    QPushButton* addWildcard_;
    QPushButton* groupOptions_;
    QPushButton* renameGroup_;
    QPushButton* fileOptions_;
    ViewHandle currentGroup_ = 0;
    QFileIconProvider icons_;
};

}  // namespace zpak::ui
