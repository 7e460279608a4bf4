#pragma once

#include <optional>
#include <string_view>

namespace zpak {

struct RecordRef;

// The wizard's pages, as places where a record is edited, in the order Next
// shows them (the shortcuts page only for a product that installs shortcuts).
enum class ProjectPage {
    GameFolder,
    Groups,
    IniChanges,
    Requirements,
    Product,
    Packaging,
    Shortcuts,
    Generate
};

struct ProjectPageFacts {
    ProjectPage page;
    const char* name;  // as reports name the page
    // The page Next leads to. None for the last page, and for the packaging
    // page, which links itself by its "Install Shortcuts" switch to one of
    // the two after it.
    std::optional<ProjectPage> next;
};

// Every page, in order. The window creates and links its pages from this
// table, and the check names and sorts by it.
inline constexpr ProjectPageFacts kProjectPages[] = {
    {ProjectPage::GameFolder, "game folder", ProjectPage::Groups},
    {ProjectPage::Groups, "groups", ProjectPage::IniChanges},
    {ProjectPage::IniChanges, "INI changes", ProjectPage::Requirements},
    {ProjectPage::Requirements, "requirements", ProjectPage::Product},
    {ProjectPage::Product, "product", ProjectPage::Packaging},
    {ProjectPage::Packaging, "packaging", std::nullopt},
    {ProjectPage::Shortcuts, "shortcuts", ProjectPage::Generate},
    {ProjectPage::Generate, "generate", std::nullopt},
};

const char* PageName(ProjectPage page);

// The page on which a record is edited; a field of the product is on the
// page its field table names.
ProjectPage PageOf(const RecordRef& record);

}  // namespace zpak
