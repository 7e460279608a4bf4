#include "ui/app/undo_commands.h"

namespace zpak::ui {

RemoveRecordCommand::RemoveRecordCommand(EditTarget& target, RecordRef place, const QString& text)
    : QUndoCommand(text), target_(target), place_(std::move(place))
{
}

void RemoveRecordCommand::redo()
{
    taken_ = TakeRecord(target_.Document(), place_);
    target_.RecordChanged(place_);
}

void RemoveRecordCommand::undo()
{
    if (taken_)
        PutRecord(target_.Document(), place_, taken_);
    target_.RecordChanged(place_);
}

InsertRecordsCommand::InsertRecordsCommand(EditTarget& target, Records records, const QString& text)
    : QUndoCommand(text), target_(target), records_(std::move(records))
{
}

void InsertRecordsCommand::redo()
{
    for (auto& [place, record] : records_)
        PutRecord(target_.Document(), place, record);
    if (!records_.empty())
        target_.RecordChanged(records_.back().first);
}

void InsertRecordsCommand::undo()
{
    for (auto it = records_.rbegin(); it != records_.rend(); ++it)
        it->second = TakeRecord(target_.Document(), it->first);
    if (!records_.empty())
        target_.RecordChanged(records_.front().first);
}

ProjectFieldsCommand::ProjectFieldsCommand(EditTarget& target, RecordRef place, ProjectFields before,
                                           ProjectFields after, const QString& text)
    : QUndoCommand(text), target_(target), place_(std::move(place)), before_(std::move(before)),
      after_(std::move(after))
{
}

void ProjectFieldsCommand::redo()
{
    StoreProjectFields(after_, target_.Document());
    if (!std::exchange(stored_, false))
        target_.RecordChanged(place_);
}

void ProjectFieldsCommand::undo()
{
    StoreProjectFields(before_, target_.Document());
    target_.RecordChanged(place_);
}

}  // namespace zpak::ui
