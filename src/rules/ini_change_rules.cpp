#include "rules/ini_change_rules.h"

#include "ini/ini_file.h"
#include "model/ini_group.h"
#include "platform/message_sink.h"

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

IniChangeFields FieldsOf(const INIDefinition& change)
{
    return {TextOf(change.section), TextOf(change.key), TextOf(change.value), change.addNewLine != 0};
}

void StoreFields(const IniChangeFields& fields, INIDefinition& change)
{
    change.section = fields.section;
    change.key = fields.key;
    change.value = fields.value;
    change.addNewLine = fields.addNewLine ? 1 : 0;
}

bool CheckIniChange(const IniChangeFields& fields, MessageSink& sink)
{
    if (fields.section.empty()) {
        sink.ShowMessage("You must enter/select the INI Section.");
        return false;
    }
    if (fields.key.empty()) {
        sink.ShowMessage("You must enter/select the INI key.");
        return false;
    }
    return true;
}

}  // namespace zpak
