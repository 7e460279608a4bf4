#include "model/requirement_info.h"

#include "model/project_format.h"
#include "model/requirement_fields.h"
#include "model/text_archive.h"

namespace zpak {

void RequirementInfo::Serialize(TextArchive& archive)
{
    archive.WriteLine(GetTag());
    for (const RequirementField& field : kRequirementFields)
        archive.WriteLine(field.key, TextOf(this->*field.member));
}

std::string RequirementInfo::GetTag() const
{
    return std::string(format::kRequirementHeader);
}

const RequirementField* FindRequirementField(std::string_view key)
{
    for (const RequirementField& field : kRequirementFields) {
        if (field.key == key)
            return &field;
    }
    return nullptr;
}

}  // namespace zpak
