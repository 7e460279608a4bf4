#include "platform/game_path.h"

#include "platform/folder_index.h"

namespace zpak {

std::filesystem::path GamePathToNative(std::string_view gamePath, const std::filesystem::path& winePrefix)
{
    // A single lookup: components that exist as typed are taken without
    // listing their folders.
    return FolderIndex(winePrefix, false).ToNative(gamePath);
}

}  // namespace zpak
