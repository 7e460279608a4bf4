#pragma once

#include "ini/ini_encoding.h"

#include <filesystem>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace zpak {

// One section of an INI file: its name and its entries, in file order.
// Entry i is keys[i] with values[i].
struct IniSection {
    std::string name;
    std::vector<std::string> keys;
    std::vector<std::string> values;
};

// An INI file held in memory as ordered sections of ordered entries. It reads
// files as the Windows profile functions deliver them and writes back only
// the sections it holds, leaving every other line of the file as it was, in
// the file's own encoding (single bytes, UTF-8 or UTF-16 with a byte-order mark).
// Names of sections and keys are compared ignoring case.
class IniFile {
public:
    IniFile() = default;
    IniFile(const IniFile&) = delete;
    IniFile& operator=(const IniFile&) = delete;
    // Saves when a section was added since the last Load or Save.
    virtual ~IniFile();

    // Reads the file; a missing or empty file gives one empty-named section.
    // False (errno saying why) when a file is there but could not be read:
    // it is then held as if empty.
    bool Load(const std::filesystem::path& path);

    int GetSectionCount() const { return static_cast<int>(sections_.size()); }
    // Empty for an index out of range.
    std::string GetSectionName(int index) const;
    // Index of the first section so named, or -1.
    int FindSection(std::string_view name) const;
    // Index of the first key so named in that section, or -1.
    int FindKey(int sectionIndex, std::string_view key) const;
    // Copies the section's entries into the arrays and gives its index; a
    // section without entries leaves them as they were; -1 when there is no
    // such section.
    int GetSectionEntries(std::string_view name, std::vector<std::string>& keys,
                          std::vector<std::string>& values) const;
    int GetEntryCount(std::string_view name) const;
    std::string GetValue(std::string_view section, std::string_view key) const;

    // Appends a section unless one of that name exists (no merge); marks the file changed.
    void AddSection(std::string_view name, const std::vector<std::string>& keys,
                    const std::vector<std::string>& values);
    // Changes the value of an existing key; does not mark the file changed.
    void SetValue(std::string_view section, std::string_view key, std::string value);

    // Writes the held sections into the file atomically; false when the
    // file could not be written (it is then left as it was).
    bool Save();

    const std::filesystem::path& Path() const { return path_; }

private:
    // The section whose entries the one at `index` lists.
    const IniSection& EntriesOf(std::size_t index) const;

    bool changed_ = false;
    std::filesystem::path path_;
    ini::IniEncoding encoding_ = ini::IniEncoding::Bytes;  // of the file Load read
    // One per header. A header that repeats a name lists the first section of
    // that name again and holds no entries of its own: it shares the first's.
    std::vector<IniSection> sections_;
    std::unordered_map<std::string, std::size_t> firstByName_;  // by folded name
};

}  // namespace zpak
