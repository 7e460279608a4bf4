#include "generate/launch_scripts.h"

#include "generate/product_paths.h"
#include "model/project_document.h"
#include "platform/message_sink.h"
#include "platform/output_file.h"
#include "platform/text_format.h"

namespace zpak {

namespace {

bool WriteScript(const ProjectDocument& document, const std::string& suffix,
                 const std::string& separator, std::filesystem::path& path, MessageSink& sink)
{
    path = SystemFile(document, TextOf(document.product->product) + suffix);
    OutputFile file;
    if (!file.Create(path, 0755)) {
        sink.ShowMessage(FormatText("Could not create the linux shell script %s", {path.string()}));
        return false;
    }
    file.Write(LaunchScriptText(document, separator));
    if (!file.Close()) {
        sink.ShowMessage(FormatText("Could not write the shell script %s: %s",
                                    {path.string(), file.Error()}));
        return false;
    }
    return true;
}

}  // namespace

std::string LaunchScriptText(const ProjectDocument& document, const std::string& separator)
{
    std::string executable = GameExecutableName(document.GameFolderText());
    for (char& c : executable)
        c = FoldCase(c);
    const std::string parameters = document.product ? TextOf(document.product->shortcut) : "";
    return "#!/bin/sh\n\n" + executable + separator + parameters;
}

bool WriteLinuxScript(const ProjectDocument& document, std::filesystem::path& path,
                      MessageSink& sink)
{
    return WriteScript(document, ".sh", " ", path, sink);
}

bool WriteMacScript(const ProjectDocument& document, std::filesystem::path& path,
                    MessageSink& sink)
{
    return WriteScript(document, "_mac.sh", "-bin ", path, sink);
}

}  // namespace zpak
