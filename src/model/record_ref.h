#pragma once

#include "model/project_pages.h"

#include <cstddef>
#include <string>
#include <utility>

namespace zpak {

// Names a record of a project by its place in the document's lists, so that
// a report about it can lead to it (a line of the file, a row of a page).
struct RecordRef {
    enum class Kind { Project, GameFolder, Group, Entry, IniFile, IniChange, Requirement, Product };
    Kind kind = Kind::Project;
    std::size_t index = 0;  // the group, the INI file or the requirement
    std::size_t child = 0;  // the entry of the group, the change of the INI file
    std::string field;      // a key of the product ("logo", "readme"), or empty

    static RecordRef GameFolder() { return {Kind::GameFolder, 0, 0, {}}; }
    static RecordRef Group(std::size_t group) { return {Kind::Group, group, 0, {}}; }
    static RecordRef Entry(std::size_t group, std::size_t entry) { return {Kind::Entry, group, entry, {}}; }
    static RecordRef IniFile(std::size_t file) { return {Kind::IniFile, file, 0, {}}; }
    static RecordRef IniChange(std::size_t file, std::size_t change)
    {
        return {Kind::IniChange, file, change, {}};
    }
    static RecordRef Requirement(std::size_t requirement) { return {Kind::Requirement, requirement, 0, {}}; }
    static RecordRef Product(std::string field = {}) { return {Kind::Product, 0, 0, std::move(field)}; }

    bool operator==(const RecordRef&) const = default;
};

}  // namespace zpak
