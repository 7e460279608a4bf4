#pragma once

#include "model/project_document.h"
#include "model/record_edits.h"
#include "model/record_ref.h"

#include <QUndoCommand>

#include <memory>

namespace zpak::ui {

// Where commands change the project: the document, and the window that shows
// the change (the page of the record, the record selected after an undo).
class EditTarget {
public:
    virtual ~EditTarget() = default;
    virtual ProjectDocument& Document() = 0;
    // The record at `place` changed; `undone` when an undo put it back, so
    // that the user sees it on its page.
    virtual void RecordChanged(const RecordRef& place, bool undone) = 0;
};

// Removes one record with what it owns; undo puts the same record back at
// the place it left.
class RemoveRecordCommand final : public QUndoCommand {
public:
    RemoveRecordCommand(EditTarget& target, RecordRef place, const QString& text);
    void redo() override;
    void undo() override;

private:
    EditTarget& target_;
    RecordRef place_;
    std::unique_ptr<ProjectNode> taken_;
};

// Stores a form into the record at a place (a requirement, an INI change):
// the command keeps the form before and after, and undo stores the one
// before. `Store` writes every field of the form into the record.
template <typename Record, typename Fields, void (*Store)(const Fields&, Record&)>
class EditFieldsCommand final : public QUndoCommand {
public:
    EditFieldsCommand(EditTarget& target, RecordRef place, Fields before, Fields after, const QString& text)
        : QUndoCommand(text), target_(target), place_(std::move(place)), before_(std::move(before)),
          after_(std::move(after))
    {
    }
    void redo() override { Apply(after_, false); }
    void undo() override { Apply(before_, true); }

private:
    void Apply(const Fields& fields, bool undone)
    {
        if (auto* record = dynamic_cast<Record*>(RecordAt(target_.Document(), place_)))
            Store(fields, *record);
        target_.RecordChanged(place_, undone);
    }

    EditTarget& target_;
    RecordRef place_;
    Fields before_;
    Fields after_;
};

}  // namespace zpak::ui
