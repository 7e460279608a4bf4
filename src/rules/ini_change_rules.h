#pragma once

#include <string>
#include <vector>

namespace zpak {

class INIDefinition;
class INIGroup;
class IniFile;
class MessageSink;

// Appends every entry of `source`, section by section in file order, to
// `target` as "Add new line" changes. Gives the new changes.
std::vector<INIDefinition*> ImportIniEntries(const IniFile& source, INIGroup& target);

// What the INI property dialog edits: one change of an INI file.
struct IniChangeFields {
    std::string section;
    std::string key;
    std::string value;
    bool addNewLine = false;
};

IniChangeFields FieldsOf(const INIDefinition& change);
void StoreFields(const IniChangeFields& fields, INIDefinition& change);

// A change needs a section and a key (the value may be empty); refuses
// with a message otherwise.
bool CheckIniChange(const IniChangeFields& fields, MessageSink& sink);

}  // namespace zpak
