#pragma once

#include "generate/resolved_run.h"

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace zpak {

class FolderIndex;
class GroupInfo;

// The checks of single values of the project, made by generation and the
// check on the whole project and by the window as a value is typed, so that
// both say the same with the same code. A problem's record is left empty for
// the caller to fill. Errors do not say that generation stops; the run adds it.

// What atoi reads: optional blanks, an optional sign, then decimal digits up
// to the first other character; 0 without digits.
int LeadingNumber(std::string_view text);

// A path of the project that must stay inside the game folder (`gameFolder`,
// as messages show it): refused when it is too long to name a file, holds a
// control character or leaves the folder. `what` names it ("The logo").
std::optional<Problem> PathInsideProblem(std::string_view path, std::string_view what,
                                         const std::string& gameFolder);

// An entry's destination, when it has one: a path inside the game folder that names a file,
// or the folder a wildcard's files go to (a file name there is warned about).
std::optional<Problem> DestinationProblem(std::string_view entry, std::string_view destination,
                                          const std::string& gameFolder);

// The logo: a path inside the game folder (`gameFolder` on disk) of a file
// that can be read.
std::optional<Problem> LogoProblem(std::string_view logo, const std::filesystem::path& gameFolder,
                                   FolderIndex& index);

// The game's copy of an INI file whose changes modify lines, in the game's
// System folder (`systemFolder` on disk): warned about when it is not there,
// refused when a folder on the way cannot be read. `found` receives the file
// when it is there.
std::optional<Problem> IniFileProblem(std::string_view name, const std::filesystem::path& systemFolder,
                                      FolderIndex& index, std::filesystem::path* found = nullptr);

// A required product's version, which the installer reads as a whole number:
// warned about when it is not one (an empty version requires any).
std::optional<Problem> RequirementVersionProblem(std::string_view product, std::string_view version);

// A group the player sees in the installer's list and that has no caption.
std::optional<Problem> GroupCaptionProblem(std::string_view group, bool visible, std::string_view caption);

}  // namespace zpak
