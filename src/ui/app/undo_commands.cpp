#include "ui/app/undo_commands.h"

namespace zpak::ui {

RemoveRecordCommand::RemoveRecordCommand(EditTarget& target, RecordRef place, const QString& text)
    : QUndoCommand(text), target_(target), place_(std::move(place))
{
}

void RemoveRecordCommand::redo()
{
    taken_ = TakeRecord(target_.Document(), place_);
    target_.RecordChanged(place_, false);
}

void RemoveRecordCommand::undo()
{
    if (taken_)
        PutRecord(target_.Document(), place_, std::move(taken_));
    target_.RecordChanged(place_, true);
}

}  // namespace zpak::ui
