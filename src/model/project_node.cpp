#include "model/project_node.h"

namespace zpak {

const std::string& TextOf(const std::optional<std::string>& field)
{
    static const std::string empty;
    return field ? *field : empty;
}

void ProjectNode::Serialize(TextArchive&)
{
}

const std::string& ProjectNode::NameText() const
{
    return TextOf(name);
}

}  // namespace zpak
