#pragma once

#include "model/ini_group.h"
#include "ui/app/record_tree_model.h"

#include <QIcon>

namespace zpak {
class ProjectDocument;
}

namespace zpak::ui {

// The INI files that installation changes and their changes, as a tree over
// the project. A file's row names the group it is tied to; a change reads as
// "[Section] Key = Value" with what it does.
class IniChangesModel final : public RecordTreeModel<INIGroup, INIDefinition> {
    Q_OBJECT

public:
    IniChangesModel(ProjectDocument& document, QObject* parent);

protected:
    QVariant ParentData(const INIGroup& file, int role) const override;
    QVariant ChildData(const INIDefinition& change, int role) const override;

private:
    QIcon fileIcon_;
    QIcon changeIcon_;
};

}  // namespace zpak::ui
