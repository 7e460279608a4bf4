#include "ui/app/tree_selection.h"

#include <QAbstractItemView>
#include <QItemSelectionModel>
#include <QTreeView>

namespace zpak::ui {

QModelIndex SelectedRow(const QAbstractItemView* view)
{
    const QItemSelectionModel* selection = view->selectionModel();
    const QModelIndex current = view->currentIndex();
    return selection && current.isValid() && selection->isSelected(current) ? current : QModelIndex();
}

void OnSelectedRowChanged(QAbstractItemView* view, const std::function<void(const QModelIndex&)>& changed)
{
    // A view that owns its model (a QTreeWidget) resets it while the view is
    // destroyed, when only its QObject and QWidget parts (and the page around
    // it, the same) are left: qobject_cast sees that and nothing is called.
    QObject* object = view;
    const auto update = [object, changed] {
        if (const auto* live = qobject_cast<const QAbstractItemView*>(object))
            changed(SelectedRow(live));
    };
    QItemSelectionModel* selection = view->selectionModel();
    QObject::connect(selection, &QItemSelectionModel::currentChanged, view, update);
    QObject::connect(selection, &QItemSelectionModel::selectionChanged, view, update);
    // A reset model drops its selection without a signal of the selection model.
    QObject::connect(view->model(), &QAbstractItemModel::modelReset, view, update);
}

void Reveal(QAbstractItemView* view, const QModelIndex& index)
{
    if (auto* tree = qobject_cast<QTreeView*>(view); tree && index.parent().isValid())
        tree->expand(index.parent());
    view->selectionModel()->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect);
    view->scrollTo(index);
}

}  // namespace zpak::ui
