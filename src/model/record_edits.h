#pragma once

#include "model/project_node.h"
#include "model/record_ref.h"

#include <memory>
#include <optional>

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

// Puts a record taken from the place back there. False (and the record kept
// by nobody) when the place no longer exists or the record is of another kind.
bool PutRecord(ProjectDocument& document, const RecordRef& place, std::unique_ptr<ProjectNode> record);

}  // namespace zpak
