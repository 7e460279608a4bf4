#include "model/requirement_info.h"

#include "model/requirement_fields.h"

namespace zpak {

const RequirementField* FindRequirementField(std::string_view key)
{
    for (const RequirementField& field : kRequirementFields) {
        if (field.key == key)
            return &field;
    }
    return nullptr;
}

}  // namespace zpak
