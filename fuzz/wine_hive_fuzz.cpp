// Feeds arbitrary bytes to the Wine registry hive parser and walks every key
// and value it finds: no input may crash, hang or read out of bounds. The
// bytes are parsed a second time keeping two subtrees only, which must hold
// what the whole hive holds there.
#include "game/wine_hive.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

namespace {

using zpak::RegistryValue;
using zpak::WineHive;

void Walk(const WineHive& hive, const std::string& path, int depth)
{
    for (const auto& value : hive.Values(path))
        hive.QueryValue(path, value.name);
    if (depth > 64)
        return;
    for (const auto& name : hive.SubKeys(path))
        Walk(hive, path.empty() ? name : path + "\\" + name, depth + 1);
}

bool Same(const std::vector<RegistryValue>& a, const std::vector<RegistryValue>& b)
{
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (a[i].name != b[i].name || a[i].type != b[i].type || a[i].data != b[i].data)
            return false;
    }
    return true;
}

// Each key kept is a key of the whole hive, no deeper than the sub-keys of
// a\b; one that has values (it is in a subtree) has the same ones.
void CheckKept(const WineHive& kept, const WineHive& whole, const std::string& path, int depth)
{
    const std::vector<RegistryValue> values = kept.Values(path);
    if (depth > 3 || !whole.HasKey(path) || (!values.empty() && !Same(values, whole.Values(path))))
        std::abort();
    for (const auto& name : kept.SubKeys(path))
        CheckKept(kept, whole, path.empty() ? name : path + "\\" + name, depth + 1);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    // Most inputs would fail the header test; give them the header.
    std::string text = "WINE REGISTRY Version 2\n";
    text.append(reinterpret_cast<const char*>(data), size);
    const WineHive hive(text);
    Walk(hive, "", 0);

    const WineHive kept(std::move(text), {{"a\\b", 1}, {"c", 0}});
    CheckKept(kept, hive, "", 0);
    // The subtrees whole, and nothing of the key on the way or below c.
    if (kept.SubKeys("a\\b") != hive.SubKeys("a\\b") || !Same(kept.Values("c"), hive.Values("c"))
        || !kept.Values("a").empty() || !kept.SubKeys("c").empty())
        std::abort();
    zpak::DecodeWineValue(std::string_view(reinterpret_cast<const char*>(data), size));
    return 0;
}
