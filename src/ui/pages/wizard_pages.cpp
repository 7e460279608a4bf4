#include "ui/pages/wizard_pages.h"

#include "ui/app/control_ids.h"
#include "ui/pages/game_path_page.h"
#include "ui/pages/generate_page.h"
#include "ui/pages/groups_page.h"
#include "ui/pages/ini_changes_page.h"
#include "ui/pages/package_page.h"
#include "ui/pages/product_page.h"
#include "ui/pages/requirements_page.h"
#include "ui/pages/shortcuts_page.h"

namespace zpak::ui {

namespace {

template <typename Page> WizardPage* Create(WizardDialog& wizard)
{
    return new Page(wizard);
}

constexpr PageEntry kPages[] = {
    {ProjectPage::GameFolder, ids::kGamePathPage, "gamePathPage", &Create<GamePathPage>},
    {ProjectPage::Groups, ids::kGroupsPage, "groupsPage", &Create<GroupsPage>},
    {ProjectPage::IniChanges, ids::kIniChangesPage, "iniChangesPage", &Create<IniChangesPage>},
    {ProjectPage::Requirements, ids::kRequirementsPage, "requirementsPage", &Create<RequirementsPage>},
    {ProjectPage::Product, ids::kProductPage, "productPage", &Create<ProductPage>},
    {ProjectPage::Packaging, ids::kPackagePage, "packagePage", &Create<PackagePage>},
    {ProjectPage::Shortcuts, ids::kShortcutsPage, "shortcutsPage", &Create<ShortcutsPage>},
    {ProjectPage::Generate, ids::kGeneratePage, "generatePage", &Create<GeneratePage>},
};

}  // namespace

PageTable WizardPages()
{
    return kPages;
}

}  // namespace zpak::ui
