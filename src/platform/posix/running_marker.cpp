#include "platform/running_marker.h"

namespace zpak {

// The package manager replaces the files of a running program safely: there
// is nobody to tell.
RunningMarker::RunningMarker() = default;

}  // namespace zpak
