// Feeds arbitrary bytes to the project reader, then saves what it read and
// reads that again: no input may crash, hang or read out of bounds.
#include "model/project_document.h"
#include "model/project_reader.h"
#include "model/project_writer.h"
#include "model/readback_check.h"
#include "platform/message_sink.h"

#include <cstddef>
#include <cstdint>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    zpak::SilentSink sink;
    zpak::ProjectDocument doc;
    if (!zpak::ParseProject(text, doc, sink))
        return 0;

    // What was read must be writable, and the check must hold: when it finds
    // nothing, the written file reads again.
    const std::string written = zpak::SerializeProject(doc);
    const bool carried = zpak::FindUnreadableTexts(doc).empty();
    zpak::ProjectDocument again;
    if (!zpak::ParseProject(written, again, sink) && carried)
        __builtin_trap();
    return 0;
}
