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
    return {LinuxScriptName(document), LaunchScriptText(document, " ")};
}

LaunchScript MacScript(const ProjectDocument& document)
{
    return {MacScriptName(document), LaunchScriptText(document, "-bin ")};
}

}  // namespace zpak
