#pragma once

#include "model/project_node.h"

class QTreeWidget;
class QTreeWidgetItem;

namespace zpak::ui {

// A tree item as the view handle its record keeps.
ViewHandle HandleOf(const QTreeWidgetItem* item);
// The item of `tree` with that handle, or null.
QTreeWidgetItem* ItemOf(const QTreeWidget* tree, ViewHandle handle);

}  // namespace zpak::ui
