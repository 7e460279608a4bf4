#include "model/product_fields.h"
#include "model/project_document.h"
#include "model/project_reader.h"
#include "model/project_writer.h"
#include "model/readback_check.h"
#include "model/record_kinds.h"
#include "platform/message_sink.h"
#include "support/document_dump.h"

#include <gtest/gtest.h>

#include <random>

namespace zpak {
namespace {

// Builds random documents. With `risky` set, texts also hold the characters
// and words that the project file cannot always carry.
class DocumentGenerator {
public:
    // A quarter of the risky documents hold safe texts only, so that the check
    // is seen passing as well as failing however many texts a document holds.
    DocumentGenerator(unsigned seed, bool risky) : random_(seed), risky_(risky && Pick(4) != 0) {}

    ProjectDocument Make()
    {
        ProjectDocument doc;
        doc.gameFolder = Optional();
        for (int g = Count(4); g > 0; --g) {
            // Group names are unique in an edited project; risky ones may repeat.
            std::string name = risky_ ? Text() : Text() + "#" + std::to_string(g);
            auto& group = *doc.groups.emplace_back(std::make_unique<GroupInfo>(std::move(name)));
            group.caption = Optional();
            group.description = Optional();
            for (int* flag : {&group.Selectable, &group.Required, &group.Visible, &group.Selected})
                *flag = Flag();
            for (int f = Count(5); f > 0; --f) {
                auto& file = group.AddFile(Text());
                file.src = Optional();
                file.recurse = Flag();
            }
        }
        for (int i = Count(3); i > 0; --i) {
            auto& ini = *doc.iniFiles.emplace_back(std::make_unique<INIGroup>(Text()));
            if (!doc.groups.empty() && Flag())
                ini.group = doc.groups[Pick(doc.groups.size())].get();
            for (int e = Count(4); e > 0; --e) {
                auto& entry = ini.entries.emplace_back(std::make_unique<INIDefinition>());
                for (auto* text : {&entry->section, &entry->key, &entry->value})
                    *text = Optional();
                entry->addNewLine = Flag();
            }
        }
        AddFlatRecords(doc);
        if (Flag()) {
            doc.product = std::make_unique<ProductData>();
            ProductData& p = *doc.product;
            FillIdentity(p);
            for (const ProductField& field : kProductFields) {
                if (field.text)
                    p.*field.text = Optional();
                else
                    p.*field.flag = Flag();
            }
        }
        return doc;
    }

private:
    int Count(int most) { return static_cast<int>(Pick(static_cast<std::size_t>(most) + 1)); }
    std::size_t Pick(std::size_t n) { return std::uniform_int_distribution<std::size_t>(0, n - 1)(random_); }
    int Flag() { return Pick(2) ? static_cast<int>(Pick(5)) + 1 : 0; }

    std::string Text()
    {
        static const std::string safe = "abcXYZ019 .\\-_*%";
        static const std::string risky = "=,()[]\n\r";
        static const char* words[] = {"[Group]", "[INI]", "[Product]", "name=", "group=", "TRUE"};
        if (risky_ && Pick(12) == 0)
            return words[Pick(std::size(words))];
        std::string text;
        for (std::size_t n = Pick(9); n > 0; --n) {
            const bool odd = risky_ && Pick(6) == 0;
            const std::string& from = odd ? risky : safe;
            text += from[Pick(from.size())];
        }
        return text;
    }

    std::optional<std::string> Optional()
    {
        if (Pick(4) == 0)
            return std::nullopt;
        return Text();
    }

    void FillIdentity(RequirementInfo& r)
    {
        for (const RequirementField& field : kRequirementFields)
            r.*field.member = Optional();
    }

    // Records of each flat kind, their texts by its field table; absent ones
    // stay absent.
    void AddFlatRecords(ProjectDocument& doc)
    {
        for (const RecordKindFacts& kind : RecordKinds()) {
            for (int r = kind.fields.forEach ? Count(3) : 0; r > 0; --r) {
                ProjectNode& record = kind.list.append(doc);
                kind.fields.forEach(record, [&](std::string_view key, std::string_view, const auto&) {
                    if (auto text = Optional())
                        kind.fields.read(record, key, *text);
                });
            }
        }
    }

    std::mt19937 random_;
    bool risky_;
};

void Present(std::optional<std::string>& text)
{
    text = TextOf(text);
}

void AbsentWhenEmpty(std::optional<std::string>& text)
{
    if (text && text->empty())
        text.reset();
}

// What a save followed by an open is meant to give back.
void ApplyReloadDifferences(ProjectDocument& doc)
{
    Present(doc.gameFolder);
    for (auto& group : doc.groups) {
        Present(group->name);
        AbsentWhenEmpty(group->caption);
        AbsentWhenEmpty(group->description);
        for (auto& file : group->files)
            AbsentWhenEmpty(file->src);
    }
    for (auto& ini : doc.iniFiles) {
        Present(ini->name);
        for (auto& entry : ini->entries) {
            for (auto* text : {&entry->section, &entry->key, &entry->value})
                Present(*text);
        }
    }
    // A flat record's texts are all written, absent ones as empty.
    for (const RecordKindFacts& kind : RecordKinds()) {
        for (std::size_t i = 0; kind.fields.forEach && i < kind.list.size(doc); ++i) {
            ProjectNode& record = *kind.list.at(doc, i);
            std::vector<std::pair<std::string_view, std::string>> written;
            kind.fields.forEach(record, [&](std::string_view key, std::string_view, const auto& text) {
                written.emplace_back(key, TextOf(text));
            });
            for (const auto& [key, text] : written)
                kind.fields.read(record, key, text);
        }
    }
    if (ProductData* p = doc.product.get()) {
        // Derived from the texts as they were written, before absent ones become empty.
        p->title = p->GetTitle();
        p->archive = p->GetArchiveName();
        for (const RequirementField& field : kRequirementFields)
            Present(p->*field.member);
        if (p->shortcut) {
            Present(p->shortcutCaption);
            p->documentationCaption = p->GetDocumentationCaption();
        } else {
            p->shortcutCaption.reset();
            p->documentationCaption.reset();
        }
    }
}

struct Reloaded {
    bool equal;
    bool flagged;
    std::string expected;  // dumps, shown when a case fails
    std::string reread;
};

Reloaded SaveAndReload(unsigned seed, bool risky)
{
    ProjectDocument doc = DocumentGenerator(seed, risky).Make();
    const std::string text = SerializeProject(doc);
    const bool flagged = !FindUnreadableTexts(doc).empty();

    ProjectDocument expected = DocumentGenerator(seed, risky).Make();
    ApplyReloadDifferences(expected);

    ProjectDocument reread;
    SilentSink sink;
    const bool read = ParseProject(text, reread, sink);
    const std::string want = test::Dump(expected);
    const std::string got = read ? test::Dump(reread) : "<not read>";
    return {got == want, flagged, want, got};
}

TEST(RoundTripTest, SavedDocumentsOpenAsTheyWereSaved)
{
    for (unsigned seed = 1; seed <= 400; ++seed) {
        const Reloaded result = SaveAndReload(seed, false);
        EXPECT_TRUE(result.equal) << "seed " << seed << "\nexpected:\n"
                                  << result.expected << "read:\n"
                                  << result.reread;
        EXPECT_FALSE(result.flagged) << "seed " << seed;
    }
}

// The check after Save must name a text exactly when the file fails to give
// the document back.
TEST(RoundTripTest, CheckFlagsExactlyTheDocumentsThatComeBackChanged)
{
    int changed = 0;
    for (unsigned seed = 1; seed <= 1500; ++seed) {
        const Reloaded result = SaveAndReload(seed, true);
        EXPECT_NE(result.equal, result.flagged) << "seed " << seed << "\nexpected:\n"
                                                << result.expected << "read:\n"
                                                << result.reread;
        changed += !result.equal;
    }
    EXPECT_GT(changed, 100);  // the generator does reach the risky cases
    EXPECT_LT(changed, 1400);
}

}  // namespace
}  // namespace zpak
