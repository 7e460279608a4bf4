#pragma once

#include "generate/field_problems.h"
#include "model/product_fields.h"

#include <optional>
#include <string>
#include <string_view>

namespace zpak {

class MessageSink;
class ProjectDocument;
class ProductData;

// The rules of the product, packaging and shortcuts pages, apart from their
// windows: a page copies its fields into a form, calls the rule and shows
// what the form holds afterwards.

// The version field is valid when it is not empty and its number is not 0.
bool IsVersionValid(std::string_view version);

// What the product page misses before Next: a product name, and a version
// that is valid, said as the messages of a refused store say it; then a
// name that cannot name the product's files (which Save still stores).
// Nothing when Next may go on.
std::optional<std::string> ProductNextProblem(std::string_view name, std::string_view version);

// The product is renamed to `name`: the archive name and the setup window's
// `title` follow, each while it holds what the old name gave it (a stored
// value equal to the derived one counts as not edited).
void FollowProductName(ProductData& product, const std::string& name, std::string& title);

// The version as Next stores it: its number printed, when that is not 0.
std::string NormalisedVersion(const std::string& version);

// The product record, created empty when the project has none.
ProductData& EnsureProduct(ProjectDocument& document);

// Fills the form from the product; fields the product does not hold keep
// their text. The version shows "100" when the product has none.
void FillProductForm(const ProjectDocument& document, ProductForm& form);

// Checks and stores the product page's fields. An empty title becomes the
// product name followed by " Setup", also in the form. Some fields are
// stored before a later check refuses.
bool StoreProductFields(ProjectDocument& document, ProductForm& form, MessageSink& sink);

// Stores one field of the product page as StoreProductFields stores it, the
// other fields as they are: a field left after typing; its text unchanged
// (an absent one is empty) stores nothing. False, and nothing
// stored, without a product or for what Next refuses (an empty product
// name, a version that is not a number).
bool StoreProductField(ProjectDocument& document, const ProductFormField& field, std::string text);

struct PackageForm {
    std::string archive;
    std::string logo;
    // The licence combo: the selected index (0 is "--None--") and its text.
    std::optional<int> licenseSelection;
    std::string licenseText;
};

// Stores the packaging page's fields; an archive name that cannot name the
// package (PackageNameProblem) is refused with its message, and nothing is
// stored.
bool StorePackageFields(ProjectDocument& document, const PackageForm& form, MessageSink& sink);

// The "Install Shortcuts" box: checked, it makes the shortcut parameters
// present (empty when there were none), so that the box shows checked when
// the page is shown again; cleared, it removes the shortcut parameters and
// caption and the Windows and Linux flags (the Mac flag stays).
void ApplyShortcutSwitch(ProjectDocument& document, bool installShortcuts);

struct ShortcutForm {
    std::string parameters;
    std::string caption;
    std::string documentationCaption;
    bool windows = false;
    bool linux = false;
    bool mac = false;

    bool operator==(const ShortcutForm&) const = default;
};

void FillShortcutForm(const ProjectDocument& document, ShortcutForm& form);
bool StoreShortcutFields(ProjectDocument& document, const ShortcutForm& form, MessageSink& sink);

}  // namespace zpak
