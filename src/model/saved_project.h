#pragma once

#include <optional>
#include <string>

namespace zpak {

class ProjectDocument;

// The text of the project file as it was when the project was last opened
// or saved, so that unsaved changes can be told from none: any edit that
// changes what Save would write counts, and nothing else.
class SavedProject {
public:
    void Remember(ProjectDocument& document);
    // A project that no file holds yet (an import): it differs from every
    // document until it is remembered.
    void Forget() { text_.reset(); }
    bool Differs(ProjectDocument& document) const;

private:
    std::optional<std::string> text_;
};

// What Save would write, leaving the document as it was (the writer stores
// the product's default archive name on the way).
std::string ProjectText(ProjectDocument& document);

}  // namespace zpak
