// Feeds arbitrary bytes to the Wine registry hive parser and walks every key
// and value it finds: no input may crash, hang or read out of bounds.
#include "game/wine_hive.h"

#include <cstddef>
#include <cstdint>
#include <string>

namespace {

void Walk(const zpak::WineHive& hive, const std::string& path, int depth)
{
    for (const auto& value : hive.Values(path))
        hive.QueryValue(path, value.name);
    if (depth > 64)
        return;
    for (const auto& name : hive.SubKeys(path))
        Walk(hive, path.empty() ? name : path + "\\" + name, depth + 1);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    // Most inputs would fail the header test; give them the header.
    std::string text = "WINE REGISTRY Version 2\n";
    text.append(reinterpret_cast<const char*>(data), size);
    const zpak::WineHive hive(std::move(text));
    Walk(hive, "", 0);
    zpak::DecodeWineValue(std::string_view(reinterpret_cast<const char*>(data), size));
    return 0;
}
