#include "platform/readable_file.h"

#include <cerrno>
#include <system_error>

namespace zpak {

bool ReadWholeFile(const std::filesystem::path& file, std::string& content)
{
    ReadableFile input(file);
    if (!input.IsOpen())
        return false;  // errno says why
    if (!input.IsRegular()) {
        std::error_code ec;
        errno = std::filesystem::is_directory(file, ec) ? EISDIR : EINVAL;
        return false;
    }

    // Read straight into the string; keep going past the size seen first in
    // case the file grew meanwhile (or its size could not be told).
    std::size_t used = 0;
    content.resize(static_cast<std::size_t>(input.Size().value_or(0)) + 1);
    for (;;) {
        const std::optional<std::size_t> got = input.ReadFull(content.data() + used, content.size() - used);
        if (!got)
            return false;
        used += *got;
        if (used < content.size())
            break;
        content.resize(content.size() * 2);
    }
    content.resize(used);
    return true;
}

bool IsReadableFile(const std::filesystem::path& file)
{
    return ReadableFile(file).IsRegular();
}

}  // namespace zpak
