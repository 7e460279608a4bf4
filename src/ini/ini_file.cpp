#include "ini/ini_file.h"

#include "ini/ini_encoding.h"
#include "ini/ini_text.h"
#include "platform/atomic_file.h"
#include "platform/readable_file.h"
#include "platform/text_case.h"

#include <cerrno>
#include <unordered_map>
#include <unordered_set>

namespace zpak {

IniFile::~IniFile()
{
    if (changed_)
        Save();
}

bool IniFile::Load(const std::filesystem::path& path)
{
    changed_ = false;
    path_ = path;
    sections_.clear();
    firstByName_.clear();

    std::string bytes;
    bool read = ReadWholeFile(path, bytes);
    if (!read) {
        bytes.clear();
        read = errno == ENOENT;
    }
    const int error = errno;
    encoding_ = ini::DetectIniEncoding(bytes);
    const std::string text = ini::DecodeIniText(bytes, encoding_);
    const std::vector<ini::IniLine> lines = ini::ParseIniText(text);

    // A section is listed each time its header appears; its entries are
    // those of the first section of that name, as a lookup by name gives.
    for (std::size_t i = 0; i < lines.size(); ++i) {
        if (lines[i].kind != ini::IniLine::Kind::Section)
            continue;
        IniSection& section = sections_.emplace_back(IniSection{std::string(lines[i].name), {}, {}});
        if (!firstByName_.emplace(FoldedText(section.name), sections_.size() - 1).second)
            continue;
        for (std::size_t j = i + 1; j < lines.size() && lines[j].kind != ini::IniLine::Kind::Section; ++j) {
            if (lines[j].kind == ini::IniLine::Kind::Entry) {
                section.keys.emplace_back(lines[j].name);
                section.values.emplace_back(lines[j].value);
            }
        }
    }
    if (sections_.empty()) {
        sections_.emplace_back();
        firstByName_.emplace("", 0);
    }
    errno = error;
    return read;
}

const IniSection& IniFile::EntriesOf(std::size_t index) const
{
    return sections_[firstByName_.at(FoldedText(sections_[index].name))];
}

std::string IniFile::GetSectionName(int index) const
{
    if (index < 0 || index >= GetSectionCount())
        return {};
    return sections_[static_cast<std::size_t>(index)].name;
}

int IniFile::FindSection(std::string_view name) const
{
    const auto found = firstByName_.find(FoldedText(name));
    return found == firstByName_.end() ? -1 : static_cast<int>(found->second);
}

int IniFile::FindKey(int sectionIndex, std::string_view key) const
{
    if (sectionIndex < 0 || sectionIndex >= GetSectionCount())
        return -1;
    const auto& keys = EntriesOf(static_cast<std::size_t>(sectionIndex)).keys;
    for (std::size_t i = 0; i < keys.size(); ++i) {
        if (EqualsIgnoringCase(keys[i], key))
            return static_cast<int>(i);
    }
    return -1;
}

int IniFile::GetSectionEntries(std::string_view name, std::vector<std::string>& keys,
                               std::vector<std::string>& values) const
{
    const int index = FindSection(name);
    if (index < 0)
        return -1;
    const IniSection& section = sections_[static_cast<std::size_t>(index)];
    if (!section.keys.empty()) {
        keys = section.keys;
        values = section.values;
    }
    return index;
}

int IniFile::GetEntryCount(std::string_view name) const
{
    const int index = FindSection(name);
    return index < 0 ? 0 : static_cast<int>(sections_[static_cast<std::size_t>(index)].keys.size());
}

std::string IniFile::GetValue(std::string_view section, std::string_view key) const
{
    const int index = FindSection(section);
    const int entry = FindKey(index, key);
    if (entry < 0)
        return {};
    return sections_[static_cast<std::size_t>(index)].values[static_cast<std::size_t>(entry)];
}

void IniFile::AddSection(std::string_view name, const std::vector<std::string>& keys,
                         const std::vector<std::string>& values)
{
    if (!firstByName_.emplace(FoldedText(name), sections_.size()).second)
        return;
    IniSection section{std::string(name), keys, values};
    section.values.resize(section.keys.size());
    sections_.push_back(std::move(section));
    changed_ = true;
}

void IniFile::SetValue(std::string_view section, std::string_view key, std::string value)
{
    const int index = FindSection(section);
    const int entry = FindKey(index, key);
    if (entry >= 0)
        sections_[static_cast<std::size_t>(index)].values[static_cast<std::size_t>(entry)] = std::move(value);
}

bool IniFile::Save()
{
    changed_ = false;
    std::vector<ini::SectionUpdate> updates;
    std::unordered_set<std::string> written;
    for (const IniSection& section : sections_) {
        // The section Load invents for an empty file is not written: it would
        // put a stray "[]" into the file. A name listed twice is the first
        // section's again, and only the first can have been changed.
        if ((section.name.empty() && section.keys.empty())
            || !written.insert(FoldedText(section.name)).second)
            continue;
        ini::SectionUpdate update{section.name, {}};
        for (std::size_t i = 0; i < section.keys.size(); ++i) {
            const std::string& key = section.keys[i];
            const std::string& value = section.values[i];
            // A line read without "=" goes back as it was.
            if (key.empty() && value.find('=') == std::string::npos)
                update.lines.push_back(value);
            else
                update.lines.push_back(key + "=" + value);
        }
        updates.push_back(std::move(update));
    }

    // The file as it is now, in its own encoding; a file that has gone since
    // Load is made anew in the encoding it had.
    std::string bytes;
    ini::IniEncoding encoding = encoding_;
    if (ReadWholeFile(path_, bytes))
        encoding = ini::DetectIniEncoding(bytes);
    else
        bytes.clear();
    const std::string text = ini::RewriteSections(ini::DecodeIniText(bytes, encoding), updates);
    std::string error;
    return WriteFileAtomically(path_, ini::EncodeIniText(text, encoding), error);
}

}  // namespace zpak
