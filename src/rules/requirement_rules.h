#pragma once

#include "model/requirement_fields.h"

#include <string>

namespace zpak {

class IniFile;
class MessageSink;
class ProjectDocument;

RequirementFields FieldsOf(const RequirementInfo& requirement);
void StoreFields(const RequirementFields& fields, RequirementInfo& requirement);

// Fills the fields that the preset section names (by their preset keys,
// ignoring case); other fields keep their text.
void ApplyPreset(const IniFile& presets, const std::string& section, RequirementFields& fields);

// Records a new requirement as a preset: the section of its product (found
// ignoring case) gets its values where it has the keys, or a new section is
// added with every key; then the presets are saved.
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
