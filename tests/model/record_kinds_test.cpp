#include "model/project_document.h"
#include "model/project_reader.h"
#include "model/project_writer.h"
#include "model/record_edits.h"
#include "model/record_kinds.h"
#include "platform/message_sink.h"

#include <gtest/gtest.h>

#include <map>

namespace zpak {
namespace {

// Each text of a flat record by its key.
std::map<std::string, std::string> TextsOf(const RecordKindFacts& kind, const ProjectNode& record)
{
    std::map<std::string, std::string> texts;
    kind.fields.forEach(record,
                        [&](std::string_view key, std::string_view, const std::optional<std::string>& text) {
                            texts.emplace(key, TextOf(text));
                        });
    return texts;
}

// A document with one record of every top-level kind; a flat record's texts
// each hold their own key, so that a text read into another field shows.
ProjectDocument OneOfEachKind()
{
    ProjectDocument doc;
    for (const RecordKindFacts& kind : RecordKinds()) {
        if (kind.header.empty())
            continue;
        ProjectNode& record = kind.list.append(doc);
        if (!kind.fields.forEach)
            continue;
        for (const auto& [key, text] : TextsOf(kind, record))
            EXPECT_TRUE(kind.fields.read(record, key, "<" + key + ">")) << kind.name << " " << key;
    }
    return doc;
}

// The file gives back every kind it writes, each flat text in its own field,
// and writes again as it was.
TEST(RecordKindsTest, EveryKindWrittenIsReadBack)
{
    ProjectDocument doc = OneOfEachKind();
    const std::string text = SerializeProject(doc);

    for (const RecordKindFacts& kind : RecordKinds()) {
        if (!kind.header.empty()) {
            EXPECT_EQ(KindOfHeader(kind.header), &kind) << kind.name;
        }
    }

    ProjectDocument reread;
    SilentSink sink;
    ASSERT_TRUE(ParseProject(text, reread, sink)) << text;
    for (const RecordKindFacts& kind : RecordKinds()) {
        if (kind.header.empty())
            continue;
        ASSERT_EQ(kind.list.size(reread), 1u) << kind.name;
        if (kind.fields.forEach) {
            EXPECT_EQ(TextsOf(kind, *kind.list.at(reread, 0)), TextsOf(kind, *kind.list.at(doc, 0)))
                << kind.name;
        }
    }
    EXPECT_EQ(SerializeProject(reread), text);
}

// Undo takes a record of any list out and puts the same object back.
TEST(RecordKindsTest, EveryListGivesBackWhatWasTaken)
{
    ProjectDocument doc = OneOfEachKind();
    for (const RecordKindFacts& kind : RecordKinds()) {
        if (!kind.list.take)
            continue;
        const ProjectNode* first = kind.list.at(doc, 0);
        const ProjectNode* second = &kind.list.append(doc);
        const RecordRef place{kind.kind, 1, 0, {}};
        EXPECT_EQ(PlaceOf(doc, *second), place) << kind.name;
        EXPECT_EQ(RecordAt(doc, place), second) << kind.name;
        std::unique_ptr<ProjectNode> taken = TakeRecord(doc, place);
        ASSERT_EQ(taken.get(), second) << kind.name;
        EXPECT_EQ(kind.list.size(doc), 1u) << kind.name;
        EXPECT_TRUE(PutRecord(doc, place, taken)) << kind.name;
        EXPECT_EQ(kind.list.at(doc, 0), first) << kind.name;
        EXPECT_EQ(kind.list.at(doc, 1), second) << kind.name;
    }
}

}  // namespace
}  // namespace zpak
