#include "generate/product_paths.h"

#include "model/project_document.h"
#include "model/property_line.h"
#include "platform/game_path.h"
#include "platform/message_sink.h"
#include "platform/text_format.h"

namespace zpak {

std::string ManifestBaseName(const ProjectDocument& document)
{
    if (!document.product || !document.product->product)
        return {};
    return *document.product->product + "MOD";
}

bool CheckProductName(const ProjectDocument& document, MessageSink& sink)
{
    if (!document.product) {
        sink.ShowMessage("You must complete the product field.");
        return false;
    }
    const std::string& name = TextOf(document.product->product);
    if (name.empty()) {
        sink.ShowMessage("The product has no name. Please enter one on the product page.");
        return false;
    }
    if (name == "." || name == ".." || name.find_first_of("\\/:") != std::string::npos) {
        sink.ShowMessage(FormatText("The product name [%s] cannot be used in a file name: it must "
                                    "not be \".\" or \"..\" nor hold \"\\\", \"/\" or \":\". "
                                    "Cannot continue generating the product.",
                                    {name}));
        return false;
    }
    return true;
}

std::filesystem::path SystemFile(const ProjectDocument& document, const std::string& name)
{
    return GamePathToNative(document.GameFolderText() + "\\System\\" + name);
}

std::filesystem::path GameFile(const ProjectDocument& document, const std::string& relative)
{
    return GamePathToNative(document.GameFolderText() + "\\" + relative);
}

std::string GameExecutableName(const std::string& gameFolder)
{
    std::string_view folder = gameFolder;
    // A typed trailing separator is not a component of its own.
    while (folder.size() > 1 && (folder.back() == '\\' || folder.back() == '/'))
        folder.remove_suffix(1);
    const char separator = folder.find('\\') != std::string_view::npos ? '\\' : '/';
    return std::string(LastPiece(folder, separator));
}

}  // namespace zpak
