#pragma once

#include "generate/project_check.h"

#include <iosfwd>
#include <string>
#include <string_view>

namespace zpak {

enum class DiagnosticFormat {
    Text,    // "file:12: error: text [Z105]", as compilers write (editors jump to the line)
    GitHub,  // "::error file=…,line=12,title=Z105::text" (workflow annotations)
    Json,    // one JSON object a line
};

// Writes one diagnostic about its file, or else about `project` (the project
// as named on the command line).
void WriteDiagnostic(std::ostream& out, const Diagnostic& diagnostic, std::string_view project,
                     DiagnosticFormat format);

}  // namespace zpak
