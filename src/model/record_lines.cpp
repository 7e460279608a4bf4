#include "model/record_lines.h"

namespace zpak {

int RecordLines::LineOf(const void* record) const
{
    const auto found = lines_.find(record);
    return found == lines_.end() ? 0 : found->second;
}

int RecordLines::LineOf(const void* record, std::string_view key) const
{
    const auto found = keys_.find(std::pair<const void*, std::string>(record, key));
    return found == keys_.end() ? LineOf(record) : found->second;
}

}  // namespace zpak
