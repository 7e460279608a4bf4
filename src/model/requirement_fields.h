#pragma once

#include "model/requirement_info.h"

#include <string>
#include <string_view>

namespace zpak {

// The six texts of a requirement as a form edits them. The product describes
// itself with the same six.
struct RequirementFields {
    std::string product;
    std::string version;
    std::string developer;
    std::string productURL;
    std::string versionURL;
    std::string developerURL;

    bool operator==(const RequirementFields&) const = default;
};

// One field of a requirement, and of the product, which has them too.
struct RequirementField {
    std::string_view key;                                 // in the project file
    std::optional<std::string> RequirementInfo::*member;  // in the record
    std::string RequirementFields::*text;                 // in a form
    std::string_view caption;                             // as messages name it
    const char* objectName;                               // its edit in the window
    const char* presetKey;                                // in presets.ini, where case does not count
};

// Every field, in the order of the project file. The reader, the writer, the
// read-back check, the forms and the presets all go by this table.
inline constexpr RequirementField kRequirementFields[] = {
    {"product", &RequirementInfo::product, &RequirementFields::product, "product", "productNameEdit",
     "Product"},
    {"version", &RequirementInfo::version, &RequirementFields::version, "version", "versionEdit", "Version"},
    {"developer", &RequirementInfo::developer, &RequirementFields::developer, "developer", "developerEdit",
     "Developer"},
    {"productURL", &RequirementInfo::productURL, &RequirementFields::productURL, "product URL",
     "productUrlEdit", "ProductURL"},
    {"versionURL", &RequirementInfo::versionURL, &RequirementFields::versionURL, "version URL",
     "versionUrlEdit", "VersionURL"},
    {"developerURL", &RequirementInfo::developerURL, &RequirementFields::developerURL, "developer URL",
     "developerUrlEdit", "DeveloperURL"},
};

// The field of a project-file key, or null.
const RequirementField* FindRequirementField(std::string_view key);

}  // namespace zpak
