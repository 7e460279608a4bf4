// Off Windows, the registry of this machine is that of its Wine prefixes.
#include "game/wine_registry.h"

namespace zpak {

std::unique_ptr<RegistryBackend> OpenSystemRegistry()
{
    return WineRegistry::Load(FindWinePrefixes(WineSearchFromEnvironment()));
}

}  // namespace zpak
