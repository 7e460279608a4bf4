#pragma once

#include <QModelIndex>

#include <functional>

class QAbstractItemView;

namespace zpak::ui {

// A page's buttons act on one row: the one the user sees selected. A view
// also keeps a current row, which focusing it moves to the first row without
// selecting anything; that row is never acted on.

// The current row when it is selected too; invalid otherwise.
QModelIndex SelectedRow(const QAbstractItemView* view);

// Calls `changed` with SelectedRow whenever the selected row may differ:
// a row selected, the selection cleared, the current row moved.
void OnSelectedRowChanged(QAbstractItemView* view, const std::function<void(const QModelIndex&)>& changed);

// Selects the row and makes it current, opens its parent and scrolls it
// into view.
void Reveal(QAbstractItemView* view, const QModelIndex& index);

}  // namespace zpak::ui
