#pragma once

#include <ioapi.h>

namespace zpak {

// The file functions through which minizip writes an archive. The name given
// to zipOpen2_64 is a native path's c_str(): UTF-16 on Windows, so that any
// name opens, and bytes on Linux.
zlib_filefunc64_def ZipFileFunctions();

}  // namespace zpak
