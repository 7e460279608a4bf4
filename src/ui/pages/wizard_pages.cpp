#include "ui/pages/wizard_pages.h"

#include "ui/app/control_ids.h"
#include "ui/pages/game_path/game_path_page.h"
#include "ui/pages/generate/generate_page.h"
#include "ui/pages/groups/groups_page.h"
#include "ui/pages/ini_changes/ini_changes_page.h"
#include "ui/pages/package/package_page.h"
#include "ui/pages/product/product_page.h"
#include "ui/pages/requirements/requirements_page.h"
#include "ui/pages/shortcuts/shortcuts_page.h"

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
