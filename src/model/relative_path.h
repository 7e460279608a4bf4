#pragma once

#include <string>

namespace zpak {

// `path` relative to the folder `base`, with "\" between its components, or
// empty when `path` does not lie below `base` (compared ignoring case). The
// base counts only when a separator follows it in `path`; one trailing
// separator of the base is taken as that separator.
std::string MakeRelativePath(const std::string& base, const std::string& path);

}  // namespace zpak
