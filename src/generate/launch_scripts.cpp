#include "generate/launch_scripts.h"

#include "generate/product_paths.h"
#include "model/project_document.h"
#include "platform/text_case.h"

namespace zpak {

std::string LaunchScriptText(const ProjectDocument& document, const std::string& separator)
{
    std::string executable = GameExecutableName(document.GameFolderText());
    for (char& c : executable)
        c = FoldCase(c);
    const std::string parameters = document.product ? TextOf(document.product->shortcut) : "";
    return "#!/bin/sh\n\n" + executable + separator + parameters;
}

LaunchScript LinuxScript(const ProjectDocument& document)
{
    return {TextOf(document.product->product) + ".sh", LaunchScriptText(document, " ")};
}

LaunchScript MacScript(const ProjectDocument& document)
{
    return {TextOf(document.product->product) + "_mac.sh", LaunchScriptText(document, "-bin ")};
}

}  // namespace zpak
