#include "model/project_writer.h"

#include "model/project_document.h"
#include "model/project_format.h"
#include "model/readback_check.h"
#include "model/record_kinds.h"
#include "model/text_archive.h"
#include "platform/atomic_file.h"
#include "platform/message_sink.h"
#include "platform/text_encoding.h"
#include "platform/text_format.h"

namespace zpak {

namespace {

void WriteProject(ProjectDocument& document, TextArchive& archive)
{
    archive.WriteLine(document.GameFolderText());
    archive.WriteLine(format::kVersionLine);
    for (const RecordKindFacts& kind : RecordKinds()) {
        if (kind.header.empty())
            continue;
        for (std::size_t i = 0; i < kind.list.size(document); ++i) {
            ProjectNode& record = *kind.list.at(document, i);
            archive.WriteLine(kind.header);
            if (kind.fields.forEach)
                kind.fields.forEach(record,
                                    [&archive](std::string_view key, std::string_view,
                                               const std::optional<std::string>& text) {
                                        archive.WriteLine(key, TextOf(text));
                                    });
            else
                record.Serialize(archive);
        }
    }
    archive.Finish();
}

}  // namespace

std::string SerializeProject(ProjectDocument& document)
{
    TextArchive archive;
    WriteProject(document, archive);
    return archive.TakeText();
}

bool SaveProject(ProjectDocument& document, const std::filesystem::path& file, MessageSink& sink)
{
    AtomicFile out;
    if (out.Open(file)) {
        TextArchive archive([&out](std::string_view block) { out.Write(block); });
        WriteProject(document, archive);
    }
    if (!out.Commit()) {
        sink.ShowMessage(
            FormatText("The project could not be saved to %s: %s. The file on disk was not changed.",
                       {TextFromPath(file), out.Error()}));
        return false;
    }
    if (const auto unreadable = FindUnreadableTexts(document); !unreadable.empty())
        sink.ShowMessage(DescribeUnreadableTexts(unreadable));
    return true;
}

}  // namespace zpak
