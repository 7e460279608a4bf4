#pragma once

#include "model/project_document.h"
#include "model/record_edits.h"
#include "model/record_ref.h"

#include <QUndoCommand>

#include <memory>
#include <utility>
#include <vector>

namespace zpak::ui {

// Where commands change the project: the document, and the window that shows
// the change (the page of the record, the record selected after an undo).
class EditTarget {
public:
    virtual ~EditTarget() = default;
    virtual ProjectDocument& Document() = 0;
    // The record at `place` changed: its page shows it, selected.
    virtual void RecordChanged(const RecordRef& place) = 0;
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

// Puts new records into the document: a group, the entries added to a
// group, an INI file, the changes of an import, a requirement. Each goes to
// its place, in the order given; undo takes them out again, last first, and
// keeps them for the redo.
class InsertRecordsCommand final : public QUndoCommand {
public:
    using Records = std::vector<std::pair<RecordRef, std::unique_ptr<ProjectNode>>>;
    InsertRecordsCommand(EditTarget& target, Records records, const QString& text);
    void redo() override;
    void undo() override;

private:
    EditTarget& target_;
    Records records_;  // each record is held here while it is out of the document
};

// Stores the fields of the product and the game folder as they were before a
// page's step or after it. The step is stored when the command is made (by
// the page's rule), so the first redo shows nothing anew.
class ProjectFieldsCommand final : public QUndoCommand {
public:
    ProjectFieldsCommand(EditTarget& target, RecordRef place, ProjectFields before, ProjectFields after,
                         const QString& text);
    void redo() override;
    void undo() override;

private:
    EditTarget& target_;
    RecordRef place_;
    ProjectFields before_;
    ProjectFields after_;
    bool stored_ = true;  // the page stored `after_` itself
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
    void redo() override { Apply(after_); }
    void undo() override { Apply(before_); }

private:
    void Apply(const Fields& fields)
    {
        if (auto* record = dynamic_cast<Record*>(RecordAt(target_.Document(), place_)))
            Store(fields, *record);
        target_.RecordChanged(place_);
    }

    EditTarget& target_;
    RecordRef place_;
    Fields before_;
    Fields after_;
};

}  // namespace zpak::ui
