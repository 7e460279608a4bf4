#pragma once

#include <string>

namespace zpak {

// The game folder as typed, made usable on Next: "~" and "~/..." lead into
// `home`, a relative folder is taken from `workingDirectory`; a folder with a
// drive letter ("C:\Games\Vantor") or an absolute one stays as typed.
std::string NormalisedGameFolder(const std::string& typed, const std::string& home,
                                 const std::string& workingDirectory);

}  // namespace zpak
