#include "platform/game_path.h"

#include "platform/folder_index.h"
#include "platform/wine_prefix.h"

namespace zpak {

std::filesystem::path GamePathToNative(std::string_view gamePath)
{
    // A single lookup: components that exist as typed are taken without
    // listing their folders.
    return FolderIndex(DefaultWinePrefix(), false).ToNative(gamePath);
}

}  // namespace zpak
