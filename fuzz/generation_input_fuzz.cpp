// Feeds arbitrary bytes to a path of the project that must stay inside the
// game folder: it may not crash, and a path that comes through has no
// component that could lead elsewhere.
#include "model/relative_path.h"

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace {

void CheckPath(std::string_view path)
{
    const auto components = zpak::ComponentsInsideFolder(path);
    if (!components)
        return;
    for (const std::string& component : *components) {
        if (component.empty() || component == "." || component == ".."
            || component.find_first_of("\\/") != std::string::npos)
            __builtin_trap();
    }
    if (!path.empty() && (path.front() == '\\' || path.front() == '/' || (path.size() > 1 && path[1] == ':')))
        __builtin_trap();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    CheckPath(text);
    return 0;
}
