#pragma once

#include <string>

namespace zpak {

// The system's text for a Windows error code (GetLastError), in UTF-8
// without the line break the system ends it with.
std::string WindowsErrorText(unsigned long code);

}  // namespace zpak
