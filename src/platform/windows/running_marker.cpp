#include "platform/running_marker.h"

#include "platform/text_encoding.h"
#include "zpak/version.h"

#include <windows.h>

namespace zpak {

RunningMarker::RunningMarker()
{
    // Each running program holds a handle of its own; the mutex lasts until
    // the last of them closes. Not owned: nobody waits for it.
    const std::wstring name = WideFromText(std::string("Global\\") + kRunningMarker);
    mutex_ = FileHandle(::CreateMutexW(nullptr, FALSE, name.c_str()));
}

}  // namespace zpak
