#include "platform/file_handle.h"

#include <unistd.h>

namespace zpak {

FileHandle::Native FileHandle::Invalid()
{
    return -1;
}

bool FileHandle::IsOpen() const
{
    return native_ >= 0;
}

bool FileHandle::Close()
{
    if (!IsOpen())
        return true;
    return ::close(Release()) == 0;
}

}  // namespace zpak
