#include "platform/game_path.h"

#include "platform/text_format.h"
#include "platform/wine_prefix.h"

#include <optional>
#include <string>
#include <system_error>

namespace zpak {

namespace {

namespace fs = std::filesystem;

bool EntryExists(const fs::path& path)
{
    std::error_code ec;
    return fs::symlink_status(path, ec).type() != fs::file_type::not_found && !ec;
}

// The entry of `folder` named like `component` ignoring case. Several such
// entries can exist on a case-sensitive file system; the smallest name wins so
// that the choice does not depend on the order of the directory listing.
std::optional<std::string> FindIgnoringCase(const fs::path& folder, std::string_view component)
{
    std::error_code ec;
    fs::directory_iterator it(folder.empty() ? fs::path(".") : folder, ec);
    std::optional<std::string> best;
    for (; !ec && it != fs::directory_iterator(); it.increment(ec)) {
        std::string entry = it->path().filename().string();
        if (EqualsIgnoringCase(entry, component) && (!best || entry < *best))
            best = std::move(entry);
    }
    return best;
}

}  // namespace

fs::path GamePathToNative(std::string_view gamePath)
{
    // A folder of a project made on Windows lies in the default Wine prefix here.
    std::string text = MapWineDrive(DefaultWinePrefix(), gamePath).value_or(std::string(gamePath));
    for (char& c : text) {
        if (c == '\\')
            c = '/';
    }

    fs::path result;
    std::size_t pos = 0;
    if (!text.empty() && text.front() == '/') {
        result = "/";
        pos = 1;
    }

    bool resolving = true;
    while (pos <= text.size()) {
        std::size_t end = text.find('/', pos);
        if (end == std::string::npos)
            end = text.size();
        const std::string_view component(text.data() + pos, end - pos);
        const bool last = end == text.size();

        if (component.empty()) {
            if (last && !result.empty() && !result.native().ends_with('/'))
                result += "/";  // keep a trailing separator as typed
        } else if (!resolving || component == "." || component == ".."
                   || EntryExists(result / component)) {
            result /= component;
        } else if (auto match = FindIgnoringCase(result, component)) {
            result /= *match;
        } else {
            resolving = false;
            result /= component;
        }
        pos = end + 1;
    }
    return result;
}

}  // namespace zpak
