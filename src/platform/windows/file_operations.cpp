#include "platform/file_operations.h"

#include "platform/file_handle.h"

#include <cstdint>
#include <string>

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

PathState StateOfPath(const std::filesystem::path& path)
{
    if (::GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES)
        return PathState::Present;
    const DWORD code = ::GetLastError();
    return code == ERROR_FILE_NOT_FOUND || code == ERROR_PATH_NOT_FOUND ? PathState::Absent
                                                                        : PathState::Unknown;
}

std::string FolderIdentity(const std::filesystem::path& folder)
{
    const FileHandle handle(::CreateFileW(folder.c_str(), FILE_READ_ATTRIBUTES,
                                          FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                          OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    BY_HANDLE_FILE_INFORMATION info{};
    if (!handle.IsOpen() || !::GetFileInformationByHandle(handle.Get(), &info)
        || (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0)
        return {};
    const std::uint64_t index = (std::uint64_t{info.nFileIndexHigh} << 32) | info.nFileIndexLow;
    return std::to_string(info.dwVolumeSerialNumber) + ":" + std::to_string(index);
}

}  // namespace zpak
