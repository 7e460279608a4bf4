#include "platform/file_handle.h"

#include <windows.h>

namespace zpak {

FileHandle::Native FileHandle::Invalid()
{
    return INVALID_HANDLE_VALUE;
}

bool FileHandle::IsOpen() const
{
    // Some calls fail with a null handle rather than INVALID_HANDLE_VALUE.
    return native_ != INVALID_HANDLE_VALUE && native_ != nullptr;
}

bool FileHandle::Close()
{
    if (!IsOpen())
        return true;
    return ::CloseHandle(Release()) != 0;
}

}  // namespace zpak
