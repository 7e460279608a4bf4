#include "platform/file_read.h"

#include "platform/posix_file.h"

#include <sys/stat.h>

namespace zpak {

bool ReadWholeFile(const std::filesystem::path& file, std::string& content)
{
    ReadableFile input(file);
    struct stat info {};
    if (!input.IsRegular() || ::fstat(input.fd(), &info) != 0)
        return false;

    // Read straight into the string; keep going past the size seen by fstat in
    // case the file grew meanwhile.
    std::size_t used = 0;
    content.resize(static_cast<std::size_t>(info.st_size) + 1);
    for (;;) {
        const long got = input.ReadFull(content.data() + used, content.size() - used);
        if (got < 0)
            return false;
        used += static_cast<std::size_t>(got);
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
