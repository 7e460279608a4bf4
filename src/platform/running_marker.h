#pragma once

#include "platform/file_handle.h"

namespace zpak {

// While it lives, the system can tell that one of the wizard's programs
// runs: on Windows it holds the named mutex "Global\<kRunningMarker>", which
// the installer and the uninstaller look for so that they never replace or
// remove a program in use. Nothing on Linux, where the package manager
// replaces files in use safely.
class RunningMarker {
public:
    RunningMarker();

private:
    FileHandle mutex_;
};

}  // namespace zpak
