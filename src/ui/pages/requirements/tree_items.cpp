#include "ui/pages/requirements/tree_items.h"

#include <QTreeWidget>
#include <QTreeWidgetItemIterator>

namespace zpak::ui {

ViewHandle HandleOf(const QTreeWidgetItem* item)
{
    return reinterpret_cast<ViewHandle>(item);
}

QTreeWidgetItem* ItemOf(const QTreeWidget* tree, ViewHandle handle)
{
    for (QTreeWidgetItemIterator it(const_cast<QTreeWidget*>(tree)); *it; ++it) {
        if (HandleOf(*it) == handle)
            return *it;
    }
    return nullptr;
}

}  // namespace zpak::ui
