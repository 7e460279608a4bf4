#pragma once

#include "model/project_node.h"

namespace zpak {

// A product that must be installed before the mod.
class RequirementInfo : public ProjectNode {
public:
    std::optional<std::string> product;
    std::optional<std::string> version;
    std::optional<std::string> developer;
    std::optional<std::string> productURL;
    std::optional<std::string> versionURL;
    std::optional<std::string> developerURL;
};

}  // namespace zpak
