#pragma once

#include <cstddef>
#include <map>
#include <string>
#include <string_view>
#include <unordered_map>
#include <utility>
#include <vector>

namespace zpak {

// Where the records of a project were read: the line of each record's header,
// of each file entry and INI change, and of each product key. Lines belong to
// the file as read; they go stale once the project is edited.
class RecordLines {
public:
    void Note(const void* record, int line) { lines_[record] = line; }
    void NoteKey(const void* record, std::string_view key, int line)
    {
        keys_[{record, std::string(key)}] = line;
    }

    // 0 when the record was not read from a file.
    int LineOf(const void* record) const;
    // The line of the record's key, or else of the record.
    int LineOf(const void* record, std::string_view key) const;

    // The line the reader stopped at with an error; 0 when it read to the end
    // (or stopped where no line can be named).
    int errorLine = 0;
    // The line read when each message of the reader was shown, in order.
    std::vector<int> messageLines;

private:
    std::unordered_map<const void*, int> lines_;
    std::map<std::pair<const void*, std::string>, int, std::less<>> keys_;
};

}  // namespace zpak
