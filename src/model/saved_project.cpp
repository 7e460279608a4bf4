#include "model/saved_project.h"

#include "model/project_document.h"
#include "model/project_writer.h"

namespace zpak {

std::string ProjectText(ProjectDocument& document)
{
    const std::optional<std::string> archive = document.product ? document.product->archive : std::nullopt;
    std::string text = SerializeProject(document);
    if (document.product)
        document.product->archive = archive;
    return text;
}

void SavedProject::Remember(ProjectDocument& document)
{
    text_ = ProjectText(document);
}

bool SavedProject::Differs(ProjectDocument& document) const
{
    return !text_ || ProjectText(document) != *text_;
}

}  // namespace zpak
