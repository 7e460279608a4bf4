#include "platform/wine_prefix.h"

#include "platform/text_case.h"
#include "platform/text_encoding.h"

#include <cstdlib>
#include <system_error>

namespace zpak {

std::filesystem::path DefaultWinePrefix()
{
#ifdef _WIN32
    // Drive letters are the system's own: nothing to map them through.
    return {};
#else
    if (const char* prefix = std::getenv("WINEPREFIX"); prefix && *prefix)
        return prefix;
    const char* home = std::getenv("HOME");
    return home && *home ? std::filesystem::path(home) / ".wine" : std::filesystem::path();
#endif
}

std::optional<std::string> MapWineDrive(const std::filesystem::path& prefix, std::string_view windowsPath)
{
    const bool drive = windowsPath.size() >= 2 && windowsPath[1] == ':'
        && ((windowsPath[0] >= 'A' && windowsPath[0] <= 'Z')
            || (windowsPath[0] >= 'a' && windowsPath[0] <= 'z'))
        && (windowsPath.size() == 2 || windowsPath[2] == '\\' || windowsPath[2] == '/');
#ifdef _WIN32
    return std::nullopt;  // drive letters are the system's own
#endif
    if (!drive || prefix.empty())
        return std::nullopt;

    const std::string device = std::string(1, FoldCase(windowsPath[0])) + ":";
    std::error_code ec;
    const std::filesystem::path base = std::filesystem::canonical(prefix / "dosdevices" / device, ec);
    if (ec)
        return std::nullopt;

    std::string native = TextFromPath(base);
    for (char c : windowsPath.substr(2))
        native += c == '\\' ? '/' : c;
    return native;
}

}  // namespace zpak
