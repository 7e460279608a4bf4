#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace zpak {

class MessageSink;
class ProjectDocument;

// The product name followed by "MOD": the name of the manifest pair, the
// packaging tool's argument and the zip archive. Empty without a product name.
std::string ManifestBaseName(const ProjectDocument& document);

// Why the product cannot name the files of a run: it is missing, or its name
// is empty, "." or "..", holds "\", "/" or ":", or a control character (which
// would cut or split a file name). Nothing when it can.
std::optional<std::string> ProductNameProblem(const ProjectDocument& document);
// The same of the name of a product that exists.
std::optional<std::string> ProductNameProblem(std::string_view name);

// ProductNameProblem, shown through the sink; true when there is none.
bool CheckProductName(const ProjectDocument& document, MessageSink& sink);

// The manifest pair's file names in System: <product>MOD.ini and
// <product>MOD.int.
std::string ManifestFileName(const ProjectDocument& document);
std::string LocalizedManifestFileName(const ProjectDocument& document);

// The launch scripts' file names in System: <product>.sh and <product>_mac.sh.
std::string LinuxScriptName(const ProjectDocument& document);
std::string MacScriptName(const ProjectDocument& document);

// Why `name` cannot name the package that the packaging tool builds in
// System: it is not a plain file name (empty, "." or "..", a separator, ":",
// a control character, a dot or space at its end, or a device name such as
// NUL), or it is, in any letter case, the name of a file that a package run
// uses: the game's manifest pair and the names it is set aside under, the
// packaging tool, the product's manifest pair and launch scripts, or ours.
// Nothing when it can. The message ends with what to do.
std::optional<std::string> PackageNameProblem(const ProjectDocument& document, std::string_view name);

// True when the file name has the extension of a package: ".zpack2", or
// ".zpak" of the engine's earlier games; in any letter case.
bool IsPackageName(std::string_view name);

// The longest path that can name a file: Windows' limit, longer than any
// Linux allows. A longer path of the project names nothing, and is refused
// before any work that grows with its length.
inline constexpr std::size_t kLongestPath = 32767;

// The first characters of a text too long to show whole, with "...".
std::string ShortenedText(std::string_view text);

// True when the text holds a byte below 32 (NUL, TAB, CR, LF and the like).
bool HasControlCharacter(std::string_view text);

// The text with control characters written as \xNN, for messages.
std::string ShowControlCharacters(std::string_view text);

// The name of the game's executable: the last real component of the game
// folder, after the last "\" or, when there is none, after the last "/".
std::string GameExecutableName(const std::string& gameFolder);

}  // namespace zpak
