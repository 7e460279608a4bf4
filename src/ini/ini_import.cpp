#include "ini/ini_import.h"

#include "ini/ini_file.h"
#include "model/ini_group.h"

namespace zpak {

std::vector<INIDefinition*> ImportIniEntries(const IniFile& source, INIGroup& target)
{
    std::vector<INIDefinition*> added;
    for (int i = 0; i < source.GetSectionCount(); ++i) {
        const std::string section = source.GetSectionName(i);
        std::vector<std::string> keys;
        std::vector<std::string> values;
        source.GetSectionEntries(section, keys, values);
        for (std::size_t k = 0; k < keys.size(); ++k)
            added.push_back(&target.AddEntry(section, keys[k], values[k], 1));
    }
    return added;
}

}  // namespace zpak
