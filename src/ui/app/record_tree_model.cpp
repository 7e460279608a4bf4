#include "ui/app/record_tree_model.h"

#include <QTreeView>

namespace zpak::ui {

void Reveal(QTreeView* view, const QModelIndex& index)
{
    if (index.parent().isValid())
        view->expand(index.parent());
    view->setCurrentIndex(index);
    view->scrollTo(index);
}

}  // namespace zpak::ui
