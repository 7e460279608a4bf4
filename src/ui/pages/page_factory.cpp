#include "ui/pages/page_factory.h"

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

WizardPage* CreateWizardPage(WizardDialog& wizard, int id)
{
    switch (id) {
    case ids::kGamePathPage:
        return new GamePathPage(wizard);
    case ids::kGroupsPage:
        return new GroupsPage(wizard);
    case ids::kIniChangesPage:
        return new IniChangesPage(wizard);
    case ids::kRequirementsPage:
        return new RequirementsPage(wizard);
    case ids::kProductPage:
        return new ProductPage(wizard);
    case ids::kPackagePage:
        return new PackagePage(wizard);
    case ids::kGeneratePage:
        return new GeneratePage(wizard);
    case ids::kShortcutsPage:
        return new ShortcutsPage(wizard);
    default:
        return nullptr;
    }
}

}  // namespace zpak::ui
