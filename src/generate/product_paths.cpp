#include "generate/product_paths.h"

#include "model/project_document.h"
#include "model/property_line.h"
#include "platform/message_sink.h"
#include "platform/text_format.h"

#include <algorithm>
#include <cstdio>

namespace zpak {

std::string ManifestBaseName(const ProjectDocument& document)
{
    if (!document.product || !document.product->product)
        return {};
    return *document.product->product + "MOD";
}

bool HasControlCharacter(std::string_view text)
{
    return std::ranges::any_of(text, [](char c) { return static_cast<unsigned char>(c) < 32; });
}

std::string ShowControlCharacters(std::string_view text)
{
    std::string shown;
    for (char c : text) {
        if (static_cast<unsigned char>(c) >= 32) {
            shown += c;
            continue;
        }
        char escape[5];
        std::snprintf(escape, sizeof escape, "\\x%02X", static_cast<unsigned>(c));
        shown += escape;
    }
    return shown;
}

std::optional<std::string> ProductNameProblem(const ProjectDocument& document)
{
    if (!document.product)
        return "You must complete the product field.";
    const std::string& name = TextOf(document.product->product);
    if (name.empty())
        return "The product has no name. Please enter one on the product page.";
    if (HasControlCharacter(name)) {
        return FormatText("The product name [%s] holds a control character, which cannot be part "
                          "of a file name. Cannot continue generating the product.",
                          {ShowControlCharacters(name)});
    }
    if (name == "." || name == ".." || name.find_first_of("\\/:") != std::string::npos) {
        return FormatText("The product name [%s] cannot be used in a file name: it must "
                          "not be \".\" or \"..\" nor hold \"\\\", \"/\" or \":\". "
                          "Cannot continue generating the product.",
                          {name});
    }
    return std::nullopt;
}

bool CheckProductName(const ProjectDocument& document, MessageSink& sink)
{
    const auto problem = ProductNameProblem(document);
    if (problem)
        sink.ShowMessage(*problem);
    return !problem;
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
