#pragma once

#include "model/ini_definition.h"

#include <memory>
#include <vector>

namespace zpak {

class GroupInfo;

// One INI file of the game's System folder whose settings installation changes.
class INIGroup : public ProjectNode {
public:
    INIGroup() = default;
    explicit INIGroup(std::string fileName) { SetName(std::move(fileName)); }

    void Serialize(TextArchive& archive) override;

    INIDefinition& AddEntry(std::string section, std::string key, std::string value, int addNewLine);

    // The install group the changes belong to; borrowed from the document.
    GroupInfo* group = nullptr;
    std::vector<std::unique_ptr<INIDefinition>> entries;
};

}  // namespace zpak
