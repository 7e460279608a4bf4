#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace zpak {

class TextArchive;

// Identifies the tree item that shows a record on a page; 0 means none.
using ViewHandle = std::uintptr_t;

// Base of every record of the project.
class ProjectNode {
public:
    ProjectNode() = default;
    ProjectNode(const ProjectNode&) = delete;
    ProjectNode& operator=(const ProjectNode&) = delete;
    virtual ~ProjectNode() = default;

    // Appends the record's lines of the project file; the writer has written
    // its section header. A flat record (model/record_kinds.h) is written
    // from its field table instead.
    virtual void Serialize(TextArchive& archive);
    virtual std::string GetName() const { return NameText(); }

    void SetName(std::string text) { name = std::move(text); }

    // True when `handle` names this record's tree item; the handle 0 names none.
    bool IsShownAs(ViewHandle handle) const { return handle != 0 && viewHandle == handle; }

    // The stored name without a copy; empty when absent.
    const std::string& NameText() const;

    std::optional<std::string> name;
    ViewHandle viewHandle = 0;
};

// The text of an optional field, empty when the field is absent.
const std::string& TextOf(const std::optional<std::string>& field);

}  // namespace zpak
