#pragma once

#include "model/project_node.h"
#include "model/record_ref.h"

#include <cstddef>
#include <functional>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace zpak {

class ProjectDocument;

// The document's records of one top-level kind, in file order.
struct RecordList {
    std::size_t (*size)(const ProjectDocument&) = nullptr;
    // Null past the end.
    ProjectNode* (*at)(const ProjectDocument&, std::size_t) = nullptr;
    // Appends a new record, as the reader does at the kind's header.
    ProjectNode& (*append)(ProjectDocument&) = nullptr;
    // Take a record out of its place and put one back, for undo; null for the
    // product, which is no record of a list.
    std::unique_ptr<ProjectNode> (*take)(ProjectDocument&, std::size_t) = nullptr;
    bool (*put)(ProjectDocument&, std::size_t, std::unique_ptr<ProjectNode>&) = nullptr;
};

// Each text of a record with its project-file key and its caption in messages.
using TextVisitor = std::function<void(std::string_view key, std::string_view caption,
                                       const std::optional<std::string>& text)>;

// The texts of a record as its field table lists them.
struct RecordFields {
    // Visits every text in file order; null for a kind whose lines are its
    // own (`Serialize`): then the writer, the read-back check and the tests'
    // dumps leave the kind to its own code.
    void (*forEach)(const ProjectNode&, const TextVisitor&) = nullptr;
    // Stores a key=value line of the table; false for a key it does not list.
    bool (*read)(ProjectNode&, std::string_view key, std::string_view value) = nullptr;
};

// What the code knows of a kind of record. A top-level kind has a section
// header and a list in the document; a flat one (a fixed set of texts, as a
// requirement) also has its fields, and then the reader, the writer, the
// read-back check and undo need nothing else of it.
struct RecordKindFacts {
    RecordRef::Kind kind;
    const char* name;            // as reports name the kind
    ProjectPage page;            // where it is edited (a field of the product: kProductFields)
    std::string_view header;     // empty for a kind inside another, or no record at all
    std::string_view startName;  // the name a record has before its name= line, or none
    RecordList list;
    RecordFields fields;
};

// Every kind; the top-level ones in the order of the project file.
std::span<const RecordKindFacts> RecordKinds();

const RecordKindFacts& FactsOf(RecordRef::Kind kind);

// The top-level kind whose section header the line is, or null.
const RecordKindFacts* KindOfHeader(std::string_view line);

inline bool IsSectionHeader(std::string_view line)
{
    return KindOfHeader(line) != nullptr;
}

}  // namespace zpak
