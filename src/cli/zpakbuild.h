#pragma once

#include <iosfwd>
#include <string>
#include <vector>

namespace zpak {

// The headless command: `args` without the program name. Messages for the
// user go to `err` exactly as the wizard would show them; help and version to
// `out`. With `showProgress`, zip progress is drawn on `err` (a terminal).
// Gives the process exit code.
int RunZpakbuild(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
                 bool showProgress = false);

}  // namespace zpak
