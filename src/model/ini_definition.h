#pragma once

#include "model/project_node.h"

namespace zpak {

// One change that installation makes to an INI file of the game.
class INIDefinition : public ProjectNode {
public:
    INIDefinition() = default;
    INIDefinition(std::string sectionName, std::string keyName, std::string valueText, int addNew)
        : section(std::move(sectionName)), key(std::move(keyName)), value(std::move(valueText)),
          addNewLine(addNew)
    {
    }

    // "section,key,value" when all three are present, otherwise empty.
    std::string GetName() const override;

    // The change line of the project file; the INI record writes it.
    std::string ChangeLine() const;

    std::optional<std::string> section;
    std::optional<std::string> key;
    std::optional<std::string> value;
    int addNewLine = 0;
};

}  // namespace zpak
