#pragma once

#include <string>

namespace zpak {

class IniFile;
class MessageSink;
class ProjectDocument;
class RequirementInfo;

// The six texts of a requirement, as the requirement dialog edits them.
struct RequirementFields {
    std::string product;
    std::string version;
    std::string developer;
    std::string productURL;
    std::string versionURL;
    std::string developerURL;

    bool operator==(const RequirementFields&) const = default;
};

RequirementFields FieldsOf(const RequirementInfo& requirement);
void StoreFields(const RequirementFields& fields, RequirementInfo& requirement);

// Fills the fields that the preset section names (keys Product, Version,
// Developer, ProductURL, VersionURL, DeveloperURL, ignoring case); other
// fields keep their text.
void ApplyPreset(const IniFile& presets, const std::string& section, RequirementFields& fields);

// Records a new requirement as a preset: the section of its product (found
// ignoring case) gets its values where it has the keys, or a new section is
// added with the six keys; then the presets are saved.
void RecordPreset(IniFile& presets, const RequirementFields& fields);

// A new requirement needs a product that the project does not require yet
// (compared exactly); refuses with a message otherwise.
bool CheckNewRequirement(const ProjectDocument& document, const RequirementFields& fields, MessageSink& sink);

// An edited requirement keeps a product; refuses with a message otherwise.
bool CheckRequirementEdit(const RequirementFields& fields, MessageSink& sink);

// Appends a requirement to the project after CheckNewRequirement; null when
// it refused.
RequirementInfo* AddRequirement(ProjectDocument& document, const RequirementFields& fields,
                                MessageSink& sink);

}  // namespace zpak
