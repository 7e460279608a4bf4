#include "generate/field_problems.h"

#include "generate/problem_codes.h"
#include "generate/product_paths.h"
#include "model/relative_path.h"
#include "platform/folder_index.h"
#include "platform/readable_file.h"
#include "platform/text_encoding.h"
#include "platform/text_format.h"

#include <cerrno>
#include <climits>
#include <cstring>

namespace zpak {

namespace fs = std::filesystem;

namespace {

Problem Error(const char* code, std::string text)
{
    return {Severity::Error, std::move(text), code, {}};
}

Problem Warning(const char* code, std::string text)
{
    return {Severity::Warning, std::move(text), code, {}};
}

bool EndsWithSeparator(std::string_view text)
{
    return text.ends_with('\\') || text.ends_with('/');
}

// A name with an extension ("Only.map"), not a pattern.
bool LooksLikeFileName(std::string_view name)
{
    const std::size_t dot = name.rfind('.');
    return name.find('*') == std::string_view::npos && dot != std::string_view::npos && dot > 0
        && dot + 1 < name.size();
}

}  // namespace

int LeadingNumber(std::string_view text)
{
    std::size_t i = 0;
    while (i < text.size() && (text[i] == ' ' || (text[i] >= '\t' && text[i] <= '\r')))
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-'))
        negative = text[i++] == '-';
    long long number = 0;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
        number = number * 10 + (text[i] - '0');
        if (number > static_cast<long long>(INT_MAX) + 1)
            number = static_cast<long long>(INT_MAX) + 1;  // stays out of int's range, like atoi's overflow
    }
    if (negative)
        number = -number;
    return number > INT_MAX ? INT_MAX : static_cast<int>(number);
}

std::optional<Problem> PathInsideProblem(std::string_view path, std::string_view what,
                                         const std::string& gameFolder)
{
    if (path.size() > kLongestPath)
        return Error(codes::kPathTooLong,
                     FormatText("%s [%s] is %d characters long, longer than any file name can be.",
                                {what, ShortenedText(path), std::to_string(path.size())}));
    if (HasControlCharacter(path))
        return Error(codes::kControlCharacter,
                     FormatText("%s [%s] holds a control character.", {what, ShowControlCharacters(path)}));
    if (!ComponentsInsideFolder(path))
        return Error(codes::kOutsideGameFolder,
                     FormatText("%s [%s] lies outside the game folder %s.", {what, path, gameFolder}));
    return std::nullopt;
}

std::optional<Problem> DestinationProblem(std::string_view entry, std::string_view destination,
                                          const std::string& gameFolder)
{
    if (destination.empty())
        return std::nullopt;  // the entry installs under its own name
    if (auto problem = PathInsideProblem(destination, "The destination", gameFolder))
        return problem;
    const auto components = ComponentsInsideFolder(destination);
    if (components->empty())
        return Error(codes::kDestinationNamesNothing,
                     FormatText("The destination [%s] of [%s] names no file: name the file, or the folder "
                                "followed by \\, that it installs as.",
                                {destination, entry}));
    if (entry.find('*') != std::string_view::npos && !EndsWithSeparator(destination)
        && LooksLikeFileName(components->back()))
        return Warning(codes::kWildcardIntoFileName,
                       FormatText("The destination [%s] of the wildcard [%s] is a folder, as for every "
                                  "wildcard: its files go into %s\\ under their own names. End the "
                                  "destination with \\ to say so.",
                                  {destination, entry, destination}));
    return std::nullopt;
}

std::optional<Problem> LogoProblem(std::string_view logo, const fs::path& gameFolder, FolderIndex& index)
{
    if (auto problem = PathInsideProblem(logo, "The bitmap file", TextFromPath(gameFolder)))
        return problem;
    const fs::path path = index.Resolve(gameFolder, *ComponentsInsideFolder(logo));
    if (!IsReadableFile(path))
        return Error(codes::kMissingLogo,
                     FormatText("The bitmap file [%s] does not exist.", {TextFromPath(path)}));
    return std::nullopt;
}

std::optional<Problem> IniFileProblem(std::string_view name, const fs::path& systemFolder, FolderIndex& index,
                                      fs::path* found)
{
    const auto components = ComponentsInsideFolder(name);
    bool there = false;
    fs::path path;
    if (components && !systemFolder.empty())
        path = index.Resolve(systemFolder, *components, &there);
    if (there) {
        if (found)
            *found = path;
        return std::nullopt;
    }
    if (components && !systemFolder.empty()) {
        const int error = index.List(path.parent_path()).error;
        if (error != 0 && error != ENOENT && error != ENOTDIR)
            return Error(codes::kUnreadableFolder,
                         FormatText("The game's System folder %s, or a folder in it, cannot be read to find "
                                    "the INI file [%s]: %s.",
                                    {TextFromPath(systemFolder), name, std::strerror(error)}));
    }
    return Warning(codes::kMissingIniFile,
                   FormatText("The INI file [%s] is not in the game's System folder %s; its changes "
                              "modify nothing there.",
                              {name, TextFromPath(systemFolder)}));
}

std::optional<Problem> RequirementVersionProblem(std::string_view product, std::string_view version)
{
    if (version.empty() || std::to_string(LeadingNumber(version)) == version)
        return std::nullopt;
    return Warning(codes::kRequirementVersion,
                   FormatText("The version [%s] of the required product [%s] is not a whole number; the "
                              "installer reads it as %d.",
                              {version, product, std::to_string(LeadingNumber(version))}));
}

std::optional<Problem> GroupCaptionProblem(std::string_view group, bool visible, std::string_view caption)
{
    if (!visible || !caption.empty())
        return std::nullopt;
    return Warning(codes::kVisibleWithoutCaption,
                   FormatText("The group [%s] is visible but has no caption; the installer lists it "
                              "without a text.",
                              {group}));
}

}  // namespace zpak
