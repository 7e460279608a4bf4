#pragma once

#include "model/project_node.h"
#include "ui/app/tree_selection.h"

#include <QAbstractItemModel>

#include <algorithm>
#include <memory>
#include <vector>

namespace zpak::ui {

// Two levels of records of the project as a tree: a list of the document
// (the groups, the INI files), each record of it with its own list (entries,
// changes). Nothing is copied: the view asks only for the rows it shows, so
// that a project of any size shows at once. Every change to the two lists
// goes through here, so that views follow it: insert, take out (the caller
// then owns the record, and may insert it again) and change. Each record
// keeps the view handle of its row: Reload gives them in order from 1, and
// an inserted record gets the next one.
template <typename Parent, typename Child> class RecordTreeModel : public QAbstractItemModel {
public:
    using Parents = std::vector<std::unique_ptr<Parent>>;
    using Children = std::vector<std::unique_ptr<Child>> Parent::*;

    RecordTreeModel(Parents& parents, Children children, QObject* owner)
        : QAbstractItemModel(owner), parents_(parents), children_(children)
    {
    }

    // Shows the lists anew, as they are now.
    void Reload()
    {
        beginResetModel();
        lastHandle_ = 0;
        for (const auto& parent : parents_) {
            parent->viewHandle = ++lastHandle_;
            for (const auto& child : (*parent).*children_)
                child->viewHandle = ++lastHandle_;
        }
        Reloading();
        endResetModel();
    }

    Parent* ParentAt(const QModelIndex& index) const
    {
        if (!index.isValid() || index.internalPointer() || index.row() >= Count(parents_))
            return nullptr;
        return parents_[static_cast<std::size_t>(index.row())].get();
    }

    Child* ChildAt(const QModelIndex& index) const
    {
        const auto* parent = static_cast<const Parent*>(index.isValid() ? index.internalPointer() : nullptr);
        if (!parent || index.row() >= Count((*parent).*children_))
            return nullptr;
        return ((*parent).*children_)[static_cast<std::size_t>(index.row())].get();
    }

    // The record that holds the child, or null.
    Parent* ParentOf(const Child& child) const
    {
        for (const auto& parent : parents_) {
            if (RowIn((*parent).*children_, child) >= 0)
                return parent.get();
        }
        return nullptr;
    }

    QModelIndex IndexOf(const Parent& parent) const
    {
        const int row = RowIn(parents_, parent);
        return row < 0 ? QModelIndex() : createIndex(row, 0);
    }

    QModelIndex IndexOf(const Child& child) const
    {
        Parent* parent = ParentOf(child);
        return parent ? createIndex(RowIn((*parent).*children_, child), 0, parent) : QModelIndex();
    }

    // The row of the record with that view handle; invalid for none.
    QModelIndex IndexOfHandle(ViewHandle handle) const
    {
        for (std::size_t row = 0; row < parents_.size(); ++row) {
            Parent& parent = *parents_[row];
            if (parent.IsShownAs(handle))
                return createIndex(static_cast<int>(row), 0);
            const auto& children = parent.*children_;
            for (std::size_t child = 0; child < children.size(); ++child) {
                if (children[child]->IsShownAs(handle))
                    return createIndex(static_cast<int>(child), 0, &parent);
            }
        }
        return {};
    }

    // Puts the record at `row` of the list (its end for a row past it).
    Parent& InsertParent(std::unique_ptr<Parent> record, std::size_t row = SIZE_MAX)
    {
        row = std::min(row, parents_.size());
        beginInsertRows({}, static_cast<int>(row), static_cast<int>(row));
        Number(*record);
        for (const auto& child : (*record).*children_)
            Number(*child);
        Parent& inserted =
            **parents_.insert(parents_.begin() + static_cast<std::ptrdiff_t>(row), std::move(record));
        endInsertRows();
        return inserted;
    }

    // Puts the records at `row` of the parent's list, in order; gives them.
    std::vector<Child*> InsertChildren(Parent& parent, std::vector<std::unique_ptr<Child>> records,
                                       std::size_t row = SIZE_MAX)
    {
        std::vector<Child*> inserted;
        const QModelIndex at = IndexOf(parent);
        auto& children = parent.*children_;
        if (!at.isValid() || records.empty())
            return inserted;
        row = std::min(row, children.size());
        beginInsertRows(at, static_cast<int>(row), static_cast<int>(row + records.size()) - 1);
        for (auto& record : records) {
            Number(*record);
            inserted.push_back(record.get());
        }
        children.insert(children.begin() + static_cast<std::ptrdiff_t>(row),
                        std::make_move_iterator(records.begin()), std::make_move_iterator(records.end()));
        endInsertRows();
        return inserted;
    }

    // Takes the record and its children out of the list; null when it is not there.
    std::unique_ptr<Parent> TakeParent(const Parent& record)
    {
        const int row = RowIn(parents_, record);
        if (row < 0)
            return nullptr;
        beginRemoveRows({}, row, row);
        for (const auto& child : record.*children_)
            Forget(*child);
        std::unique_ptr<Parent> taken = std::move(parents_[static_cast<std::size_t>(row)]);
        parents_.erase(parents_.begin() + row);
        endRemoveRows();
        return taken;
    }

    std::unique_ptr<Child> TakeChild(const Child& record)
    {
        const QModelIndex at = IndexOf(record);
        if (!at.isValid())
            return nullptr;
        auto& children = (*ParentOf(record)).*children_;
        beginRemoveRows(at.parent(), at.row(), at.row());
        Forget(record);
        std::unique_ptr<Child> taken = std::move(children[static_cast<std::size_t>(at.row())]);
        children.erase(children.begin() + at.row());
        endRemoveRows();
        return taken;
    }

    // The record's text changed (a new name, another destination).
    void Changed(const ProjectNode& record)
    {
        const QModelIndex at = IndexOfHandle(record.viewHandle);
        if (!at.isValid())
            return;
        if (const Child* child = ChildAt(at))
            Forget(*child);
        Q_EMIT dataChanged(at, at);
    }

    QModelIndex index(int row, int column, const QModelIndex& parent = {}) const override
    {
        if (column != 0 || row < 0 || row >= rowCount(parent))
            return {};
        // A parent's row carries no pointer; a child's row carries its parent.
        return createIndex(row, 0, parent.isValid() ? ParentAt(parent) : nullptr);
    }

    QModelIndex parent(const QModelIndex& child) const override
    {
        const auto* parent = static_cast<const Parent*>(child.isValid() ? child.internalPointer() : nullptr);
        return parent ? IndexOf(*parent) : QModelIndex();
    }

    int rowCount(const QModelIndex& parent = {}) const override
    {
        if (!parent.isValid())
            return Count(parents_);
        const Parent* record = ParentAt(parent);
        return record ? Count((*record).*children_) : 0;
    }

    int columnCount(const QModelIndex& = {}) const override { return 1; }

    QVariant data(const QModelIndex& index, int role) const override
    {
        if (const Parent* parent = ParentAt(index))
            return ParentData(*parent, role);
        if (const Child* child = ChildAt(index))
            return ChildData(*child, role);
        return {};
    }

protected:
    virtual QVariant ParentData(const Parent& parent, int role) const = 0;
    virtual QVariant ChildData(const Child& child, int role) const = 0;
    // The child leaves the tree or changes: what was learnt about it is stale.
    virtual void Forget(const Child&) {}
    // Reload is under way: every row will be new.
    virtual void Reloading() {}

private:
    template <typename List> static int Count(const List& list) { return static_cast<int>(list.size()); }

    template <typename Record>
    static int RowIn(const std::vector<std::unique_ptr<Record>>& list, const Record& record)
    {
        const auto it =
            std::find_if(list.begin(), list.end(), [&](const auto& r) { return r.get() == &record; });
        return it == list.end() ? -1 : static_cast<int>(it - list.begin());
    }

    void Number(ProjectNode& record) { record.viewHandle = ++lastHandle_; }

    Parents& parents_;
    Children children_;
    ViewHandle lastHandle_ = 0;
};

}  // namespace zpak::ui
