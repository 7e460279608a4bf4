#include "platform/file_operations.h"

#include <windows.h>

namespace zpak {

bool MoveFileNoReplace(const std::filesystem::path& from, const std::filesystem::path& to)
{
    // Without MOVEFILE_REPLACE_EXISTING the move fails when `to` exists.
    return ::MoveFileExW(from.c_str(), to.c_str(), MOVEFILE_WRITE_THROUGH) != 0;
}

bool DeleteFileAt(const std::filesystem::path& file)
{
    return ::DeleteFileW(file.c_str()) != 0;
}

bool PathExists(const std::filesystem::path& path)
{
    return ::GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

}  // namespace zpak
