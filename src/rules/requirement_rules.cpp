#include "rules/requirement_rules.h"

#include "ini/ini_file.h"
#include "model/project_document.h"
#include "platform/message_sink.h"
#include "platform/text_case.h"

#include <algorithm>

namespace zpak {

RequirementFields FieldsOf(const RequirementInfo& requirement)
{
    RequirementFields fields;
    for (const RequirementField& field : kRequirementFields)
        fields.*field.text = TextOf(requirement.*field.member);
    return fields;
}

void StoreFields(const RequirementFields& fields, RequirementInfo& requirement)
{
    for (const RequirementField& field : kRequirementFields)
        requirement.*field.member = fields.*field.text;
}

void ApplyPreset(const IniFile& presets, const std::string& section, RequirementFields& fields)
{
    std::vector<std::string> keys;
    std::vector<std::string> values;
    if (presets.GetSectionEntries(section, keys, values) < 0)
        return;
    for (std::size_t i = 0; i < keys.size(); ++i) {
        for (const RequirementField& field : kRequirementFields) {
            if (EqualsIgnoringCase(keys[i], field.presetKey))
                fields.*field.text = values[i];
        }
    }
}

void RecordPreset(IniFile& presets, const RequirementFields& fields)
{
    if (presets.FindSection(fields.product) >= 0) {
        // The section's Product value is left as it is.
        for (const RequirementField& field : kRequirementFields) {
            if (field.text != &RequirementFields::product)
                presets.SetValue(fields.product, field.presetKey, fields.*field.text);
        }
    } else {
        std::vector<std::string> keys;
        std::vector<std::string> values;
        for (const RequirementField& field : kRequirementFields) {
            keys.emplace_back(field.presetKey);
            values.push_back(fields.*field.text);
        }
        presets.AddSection(fields.product, keys, values);
    }
    presets.Save();
}

bool CheckRequirementEdit(const RequirementFields& fields, MessageSink& sink)
{
    if (!fields.product.empty())
        return true;
    sink.ShowMessage("You must define a product.");
    return false;
}

bool CheckNewRequirement(const ProjectDocument& document, const RequirementFields& fields, MessageSink& sink)
{
    if (!CheckRequirementEdit(fields, sink))
        return false;
    const bool known = std::ranges::any_of(
        document.requirements, [&](const auto& r) { return TextOf(r->product) == fields.product; });
    if (known)
        sink.ShowMessage("You already defined this product. Please choose a different name.");
    return !known;
}

RequirementInfo* AddRequirement(ProjectDocument& document, const RequirementFields& fields, MessageSink& sink)
{
    if (!CheckNewRequirement(document, fields, sink))
        return nullptr;
    auto& requirement = *document.requirements.emplace_back(std::make_unique<RequirementInfo>());
    StoreFields(fields, requirement);
    return &requirement;
}

}  // namespace zpak
