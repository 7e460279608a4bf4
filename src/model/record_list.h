#pragma once

#include "model/project_node.h"

#include <algorithm>
#include <cstddef>
#include <memory>
#include <optional>
#include <vector>

namespace zpak {

// What is done the same way to every list of records the document owns (its
// top-level lists, a group's entries, an INI file's changes).
template <typename Record> using RecordVector = std::vector<std::unique_ptr<Record>>;

// The record at `index`, or null past the end.
template <typename Record> Record* At(const RecordVector<Record>& list, std::size_t index)
{
    return index < list.size() ? list[index].get() : nullptr;
}

template <typename Record>
std::optional<std::size_t> IndexIn(const RecordVector<Record>& list, const ProjectNode& record)
{
    const auto it = std::ranges::find_if(list, [&](const auto& r) { return r.get() == &record; });
    if (it == list.end())
        return std::nullopt;
    return static_cast<std::size_t>(it - list.begin());
}

// The record shown as the tree item `handle`, or null.
template <typename Record> Record* FindByHandle(const RecordVector<Record>& list, ViewHandle handle)
{
    const auto it = std::ranges::find_if(list, [&](const auto& r) { return r->IsShownAs(handle); });
    return it == list.end() ? nullptr : it->get();
}

// Removes the record (and what it owns); nothing for a record not in the list.
template <typename Record> void Remove(RecordVector<Record>& list, const ProjectNode& record)
{
    std::erase_if(list, [&](const auto& r) { return r.get() == &record; });
}

// Takes the record at `index` out of the list; null past the end.
template <typename Record> std::unique_ptr<ProjectNode> Take(RecordVector<Record>& list, std::size_t index)
{
    if (index >= list.size())
        return nullptr;
    std::unique_ptr<ProjectNode> taken = std::move(list[index]);
    list.erase(list.begin() + static_cast<std::ptrdiff_t>(index));
    return taken;
}

// Puts a taken record (or a new one) at `index`; `record` is empty afterwards.
// False, and `record` kept, past the end or for a record of another kind.
template <typename Record>
bool Put(RecordVector<Record>& list, std::size_t index, std::unique_ptr<ProjectNode>& record)
{
    if (!dynamic_cast<Record*>(record.get()) || index > list.size())
        return false;
    list.insert(list.begin() + static_cast<std::ptrdiff_t>(index),
                std::unique_ptr<Record>(static_cast<Record*>(record.release())));
    return true;
}

}  // namespace zpak
