#pragma once

#include <vector>

namespace zpak {

class INIDefinition;
class INIGroup;
class IniFile;

// Appends every entry of `source`, section by section in file order, to
// `target` as "Add new line" changes. Gives the new changes.
std::vector<INIDefinition*> ImportIniEntries(const IniFile& source, INIGroup& target);

}  // namespace zpak
