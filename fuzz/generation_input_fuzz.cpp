// Feeds arbitrary bytes to what generation reads from outside: a path of the
// project that must stay inside the game folder, and the journal an earlier
// run left. Neither may crash; a path that comes through has no component
// that could lead elsewhere, and a journal reads back as written.
#include "generate/package_journal.h"
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

void CheckJournal(std::string_view text)
{
    const auto journal = zpak::PackageJournal::Parse(text);
    if (!journal)
        return;
    const auto again = zpak::PackageJournal::Parse(journal->Serialize());
    if (!again || again->Serialize() != journal->Serialize())
        __builtin_trap();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    CheckPath(text);
    CheckJournal(text);
    return 0;
}
