#include "generate/product_paths.h"

#include "generate/build_files.h"

#include "model/project_document.h"
#include "model/project_format.h"
#include "model/property_line.h"
#include "platform/message_sink.h"
#include "platform/text_case.h"
#include "platform/text_format.h"

#include <algorithm>
#include <array>
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

std::string ShortenedText(std::string_view text)
{
    constexpr std::size_t kShown = 80;
    return text.size() <= kShown ? std::string(text) : std::string(text.substr(0, kShown)) + "...";
}

std::optional<std::string> ProductNameProblem(const ProjectDocument& document)
{
    if (!document.product)
        return "You must complete the product field.";
    return ProductNameProblem(TextOf(document.product->product));
}

std::optional<std::string> ProductNameProblem(std::string_view name)
{
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

std::string ManifestFileName(const ProjectDocument& document)
{
    return ManifestBaseName(document) + ".ini";
}

std::string LocalizedManifestFileName(const ProjectDocument& document)
{
    return ManifestBaseName(document) + ".int";
}

std::string LinuxScriptName(const ProjectDocument& document)
{
    return TextOf(document.product ? document.product->product : std::nullopt) + ".sh";
}

std::string MacScriptName(const ProjectDocument& document)
{
    return TextOf(document.product ? document.product->product : std::nullopt) + "_mac.sh";
}

namespace {

// Names that Windows gives to devices, whatever follows their first dot.
bool IsDeviceName(std::string_view name)
{
    const std::string_view stem = name.substr(0, name.find('.'));
    static constexpr std::array<std::string_view, 4> kDevices{"CON", "PRN", "AUX", "NUL"};
    if (std::ranges::any_of(kDevices,
                            [&](std::string_view device) { return EqualsIgnoringCase(stem, device); }))
        return true;
    return stem.size() == 4
        && (EqualsIgnoringCase(stem.substr(0, 3), "COM") || EqualsIgnoringCase(stem.substr(0, 3), "LPT"))
        && stem[3] >= '1' && stem[3] <= '9';
}

}  // namespace

std::optional<std::string> PackageNameProblem(const ProjectDocument& document, std::string_view name)
{
    constexpr const char* kWhatToDo = " Choose another archive name on the packaging page.";
    if (name.empty())
        return std::string("The package name is empty.") + kWhatToDo;
    if (HasControlCharacter(name))
        return FormatText("The package name [%s] holds a control character, which cannot be part of a file "
                          "name.%s",
                          {ShowControlCharacters(name), kWhatToDo});
    if (name == "." || name == ".." || name.find_first_of("\\/:") != std::string_view::npos
        || name.back() == '.' || name.back() == ' ' || IsDeviceName(name))
        return FormatText("The package name [%s] is not a plain file name: it must not be \".\" or \"..\", "
                          "hold \"\\\", \"/\" or \":\", end in a dot or a space, or be a device name such "
                          "as NUL.%s",
                          {std::string(name), kWhatToDo});
    const std::array<std::string, 12> used{std::string(kGameManifest),
                                           std::string(kGameLocalizedManifest),
                                           std::string(kManifestBackup),
                                           std::string(kLocalizedManifestBackup),
                                           std::string(kPackagingTool),
                                           ManifestFileName(document),
                                           LocalizedManifestFileName(document),
                                           LinuxScriptName(document),
                                           MacScriptName(document),
                                           std::string(kWorkFolderName),
                                           std::string(kOldLockFileName),
                                           std::string(kOldJournalFileName)};
    if (std::ranges::any_of(used, [&](const std::string& file) { return EqualsIgnoringCase(name, file); }))
        return FormatText("The package name [%s] is the name of a file that the package build itself uses "
                          "in the System folder.%s",
                          {std::string(name), kWhatToDo});
    return std::nullopt;
}

bool IsPackageName(std::string_view name)
{
    const std::size_t dot = name.rfind('.');
    if (dot == std::string_view::npos)
        return false;
    const std::string_view extension = name.substr(dot);
    return EqualsIgnoringCase(extension, format::kArchiveExtension) || EqualsIgnoringCase(extension, ".zpak");
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
