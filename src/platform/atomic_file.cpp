#include "platform/atomic_file.h"

namespace zpak {

AtomicFile::~AtomicFile()
{
    Discard();
}

bool WriteFileAtomically(const std::filesystem::path& target, std::string_view content, std::string& error,
                         const AtomicFileOptions& options)
{
    AtomicFile file;
    const bool ok = file.Open(target, options) && file.Write(content) && file.Commit();
    error = file.Error();
    return ok;
}

}  // namespace zpak
