// Feeds arbitrary bytes to the zip reader as an archive file, as verify reads
// one from anywhere. No archive may crash or hang it, nor make it allocate by
// what the archive claims rather than what it holds: an entry whose data can
// be read lies inside the file, and no entry hands out more bytes than it
// records.
#include "generate/zip_reader.h"
#include "platform/readable_file.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include <sys/mman.h>
#include <unistd.h>

namespace {

// The archive lives in memory, under a path the reader opens as any file.
int ArchiveDescriptor()
{
    static const int descriptor = memfd_create("archive.zip", MFD_CLOEXEC);
    return descriptor;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const int descriptor = ArchiveDescriptor();
    if (descriptor < 0 || ftruncate(descriptor, 0) != 0
        || pwrite(descriptor, data, size, 0) != static_cast<ssize_t>(size))
        __builtin_trap();
    const zpak::ReadableFile archive("/proc/self/fd/" + std::to_string(descriptor));
    if (archive.Size() != size)
        __builtin_trap();

    const zpak::ZipDirectory directory = zpak::ReadZipDirectory(archive);
    zpak::ZipEntryReader reader;
    bool stopEarly = false;
    for (const zpak::ZipRecord& record : directory.records) {
        if (!record.problem && (record.dataOffset > size || record.packedSize > size - record.dataOffset))
            __builtin_trap();
        std::uint64_t handed = 0;
        reader.Read(archive, record, [&](std::string_view bytes) {
            handed += bytes.size();
            return !stopEarly;
        });
        if (handed > record.size)
            __builtin_trap();
        // Every other entry is given up after its first piece, as a reader
        // that has seen enough does.
        stopEarly = !stopEarly;
    }
    return 0;
}
