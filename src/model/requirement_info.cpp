#include "model/requirement_info.h"

#include "model/project_format.h"
#include "model/text_archive.h"

namespace zpak {

void RequirementInfo::Serialize(TextArchive& archive)
{
    archive.WriteLine(GetTag());
    archive.WriteLine("product", TextOf(product));
    archive.WriteLine("version", TextOf(version));
    archive.WriteLine("developer", TextOf(developer));
    archive.WriteLine("productURL", TextOf(productURL));
    archive.WriteLine("versionURL", TextOf(versionURL));
    archive.WriteLine("developerURL", TextOf(developerURL));
}

std::string RequirementInfo::GetTag() const
{
    return std::string(format::kRequirementHeader);
}

}  // namespace zpak
