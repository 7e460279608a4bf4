#include "model/ini_group.h"

#include "model/group_info.h"
#include "model/text_archive.h"

namespace zpak {

void INIGroup::Serialize(TextArchive& archive)
{
    archive.WriteLine("name", NameText());
    for (const auto& entry : entries)
        archive.WriteLine(entry->ChangeLine());
    if (group)
        archive.WriteLine("group", group->NameText());
}

INIDefinition& INIGroup::AddEntry(std::string section, std::string key, std::string value, int addNewLine)
{
    entries.push_back(
        std::make_unique<INIDefinition>(std::move(section), std::move(key), std::move(value), addNewLine));
    return *entries.back();
}

}  // namespace zpak
