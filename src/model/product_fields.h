#pragma once

#include "model/product_data.h"
#include "model/project_pages.h"
#include "model/requirement_fields.h"

#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace zpak {

// What the product page edits: the six fields a requirement has too, the
// readme and the setup window's title.
struct ProductForm : RequirementFields {
    std::string readme;
    std::string title;

    bool operator==(const ProductForm&) const = default;
};

// When the project file has a line for a field of the product.
enum class FieldLine {
    Always,
    WhenSet,       // the text is present, or the switch is on
    WithShortcut,  // the product installs shortcuts
};

// One field of the product beyond those of a requirement: a text, or a
// switch written as "True".
struct ProductField {
    std::string_view key;                           // in the project file
    std::optional<std::string> ProductData::*text;  // a text, or null
    int ProductData::*flag;                         // a switch, or null
    ProjectPage page;                               // where the window edits it
    std::string_view caption;                       // as messages name it
    const char* objectName;                         // its control in the window
    FieldLine line;                                 // when the file has its line
    std::string (ProductData::*written)() const;    // what the line holds, when not the text (a default)
    std::string ProductForm::*form;                 // its text in the product page's form, or null
};

// Every field, in the order of the project file (after the requirement's).
// The reader, the writer, the read-back check, the check's pages, the
// product form and the window's ShowRecord all go by this table.
inline constexpr ProductField kProductFields[] = {
    {"readme", &ProductData::readme, nullptr, ProjectPage::Product, "readme", "readmeEdit",
     FieldLine::WhenSet, nullptr, &ProductForm::readme},
    {"title", &ProductData::title, nullptr, ProjectPage::Product, "setup title", "setupTitleEdit",
     FieldLine::Always, &ProductData::GetTitle, &ProductForm::title},
    {"cleanup", nullptr, &ProductData::cleanup, ProjectPage::Generate, "cleanup", "cleanupBox",
     FieldLine::WhenSet, nullptr, nullptr},
    {"windows", nullptr, &ProductData::windows, ProjectPage::Shortcuts, "Windows shortcuts", "windowsBox",
     FieldLine::WhenSet, nullptr, nullptr},
    {"linux", nullptr, &ProductData::linux, ProjectPage::Shortcuts, "Linux script", "linuxBox",
     FieldLine::WhenSet, nullptr, nullptr},
    {"mac", nullptr, &ProductData::mac, ProjectPage::Shortcuts, "Mac script", "macBox", FieldLine::WhenSet,
     nullptr, nullptr},
    {"license", &ProductData::license, nullptr, ProjectPage::Packaging, "licence", "licenseCombo",
     FieldLine::WhenSet, nullptr, nullptr},
    {"logo", &ProductData::logo, nullptr, ProjectPage::Packaging, "logo", "logoEdit", FieldLine::WhenSet,
     nullptr, nullptr},
    {"shortcut", &ProductData::shortcut, nullptr, ProjectPage::Shortcuts, "shortcut parameters",
     "parametersEdit", FieldLine::WithShortcut, nullptr, nullptr},
    {"shortcutCaption", &ProductData::shortcutCaption, nullptr, ProjectPage::Shortcuts, "shortcut caption",
     "shortcutCaptionEdit", FieldLine::WithShortcut, nullptr, nullptr},
    {"documentationCaption", &ProductData::documentationCaption, nullptr, ProjectPage::Shortcuts,
     "documentation caption", "documentationCaptionEdit", FieldLine::WithShortcut,
     &ProductData::GetDocumentationCaption, nullptr},
    {"archive", &ProductData::archive, nullptr, ProjectPage::Packaging, "archive name", "archiveEdit",
     FieldLine::Always, &ProductData::GetArchiveName, nullptr},
};

// The field of a project-file key, or null (also for the requirement's keys).
const ProductField* FindProductField(std::string_view key);

// What the field's line holds, or nothing when the file has no line for it.
std::optional<std::string> WrittenText(const ProductData& product, const ProductField& field);

// Stores the value of the field's line: a text as it is, a switch as on.
void ReadField(ProductData& product, const ProductField& field, std::string_view value);

// One text of the product form with the product's field it shows.
struct ProductFormField {
    std::string_view key;
    const char* objectName;
    std::optional<std::string> ProductData::*member;
    std::string ProductForm::*text;
};

// The fields of the product form, in the order of the project file.
std::span<const ProductFormField> ProductFormFields();

// The name of the window's control for a key of the product or of a
// requirement, or null.
const char* ControlNameOf(std::string_view key);

}  // namespace zpak
