#pragma once

#include "model/project_node.h"
#include "model/record_ref.h"

#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace zpak {

class ProjectDocument;

// A record of the document by its place: what undoing a removal needs is the
// record itself and the place it left, not a copy of the document. The same
// record object goes out and comes back, so that whatever borrows it (an INI
// file's install group) stays right.

// The record at the place (a group, an entry, an INI file, a change or a
// requirement); null when there is none.
ProjectNode* RecordAt(const ProjectDocument& document, const RecordRef& place);

// Where the record stands in the document, if it is one of its records.
std::optional<RecordRef> PlaceOf(const ProjectDocument& document, const ProjectNode& record);

// Takes the record at the place out of the document, with what it owns; null
// when there is none.
std::unique_ptr<ProjectNode> TakeRecord(ProjectDocument& document, const RecordRef& place);

// Puts a record taken from the place (or a new one) there; `record` is empty
// afterwards. False, and `record` kept, when the place does not exist or the
// record is of another kind.
bool PutRecord(ProjectDocument& document, const RecordRef& place, std::unique_ptr<ProjectNode>& record);

// The fields of the project that are no record of a list: the product's
// texts and switches (by the field tables) and the game folder. Small enough
// to keep before and after each step of the pages that edit them.
struct ProjectFields {
    bool hasProduct = false;
    std::vector<std::optional<std::string>> texts;  // the requirement's fields, then the product's texts
    std::vector<int> flags;                         // the product's switches
    std::optional<std::string> gameFolder;

    bool operator==(const ProjectFields&) const = default;
};

ProjectFields ProjectFieldsOf(const ProjectDocument& document);
// Stores every field back; without a product the document has none.
void StoreProjectFields(const ProjectFields& fields, ProjectDocument& document);

}  // namespace zpak
