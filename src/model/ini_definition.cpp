#include "model/ini_definition.h"

#include "model/project_format.h"

namespace zpak {

std::string INIDefinition::GetName() const
{
    if (!section || !key || !value)
        return {};
    return *section + "," + *key + "," + *value;
}

std::string INIDefinition::ChangeLine() const
{
    std::string line;
    line.reserve(TextOf(section).size() + TextOf(key).size() + TextOf(value).size() + 9);
    line += TextOf(section);
    line += ',';
    line += TextOf(key);
    line += ',';
    line += TextOf(value);
    line += ',';
    line += addNewLine ? format::kAddNewLine : format::kModifyLine;
    return line;
}

}  // namespace zpak
