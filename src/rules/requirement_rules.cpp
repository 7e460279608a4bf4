#include "rules/requirement_rules.h"

#include "ini/ini_file.h"
#include "model/project_document.h"
#include "platform/message_sink.h"
#include "platform/text_case.h"

#include <algorithm>

namespace zpak {

namespace {

struct PresetKey {
    const char* key;
    std::string RequirementFields::*field;
};

constexpr PresetKey kPresetKeys[] = {
    {"Product", &RequirementFields::product},       {"Version", &RequirementFields::version},
    {"Developer", &RequirementFields::developer},   {"ProductURL", &RequirementFields::productURL},
    {"VersionURL", &RequirementFields::versionURL}, {"DeveloperURL", &RequirementFields::developerURL},
};

}  // namespace

RequirementFields FieldsOf(const RequirementInfo& r)
{
    return {TextOf(r.product),    TextOf(r.version),    TextOf(r.developer),
            TextOf(r.productURL), TextOf(r.versionURL), TextOf(r.developerURL)};
}

void StoreFields(const RequirementFields& fields, RequirementInfo& r)
{
    r.product = fields.product;
    r.version = fields.version;
    r.developer = fields.developer;
    r.productURL = fields.productURL;
    r.versionURL = fields.versionURL;
    r.developerURL = fields.developerURL;
}

void ApplyPreset(const IniFile& presets, const std::string& section, RequirementFields& fields)
{
    std::vector<std::string> keys;
    std::vector<std::string> values;
    if (presets.GetSectionEntries(section, keys, values) < 0)
        return;
    for (std::size_t i = 0; i < keys.size(); ++i) {
        for (const PresetKey& preset : kPresetKeys) {
            if (EqualsIgnoringCase(keys[i], preset.key))
                fields.*(preset.field) = values[i];
        }
    }
}

void RecordPreset(IniFile& presets, const RequirementFields& fields)
{
    if (presets.FindSection(fields.product) >= 0) {
        // The section's Product value is left as it is.
        for (const PresetKey& preset : kPresetKeys) {
            if (preset.field != &RequirementFields::product)
                presets.SetValue(fields.product, preset.key, fields.*(preset.field));
        }
    } else {
        std::vector<std::string> keys;
        std::vector<std::string> values;
        for (const PresetKey& preset : kPresetKeys) {
            keys.emplace_back(preset.key);
            values.push_back(fields.*(preset.field));
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
