#include "wizard_fixture.h"

#include "support/manifest_round_trip.h"
#include "ui/app/field_feedback.h"
#include "ui/app/wizard_sheet.h"
#include "ui/pages/groups/groups_dialogs.h"
#include "ui/pages/wizard_pages.h"

namespace zpak::ui::test {

WizardFixture::WizardFixture() : game(dir / "Vantor")
{
    std::filesystem::copy(ZPAK_EXAMPLES_DIR "/demo-game", game, std::filesystem::copy_options::recursive);
    std::string hive = "WINE REGISTRY Version 2\n"
                       "[Software\\\\Corvex Technology\\\\Installed Apps\\\\Vantor] 1\n\"Folder\"=\"";
    for (char c : game.string())
        hive += c == '\\' ? std::string("\\\\") : std::string(1, c);
    hive += "\"\n[Software\\\\Corvex Technology\\\\Installed Apps\\\\Vantor\\\\Patches] 1\n"
            "\"Folder\"=\"/patches\"\n"
            "[Software\\\\Corvex Technology\\\\Installed Apps\\\\alpha] 1\n\"Folder\"=dword:00000001\n"
            "[Software\\\\Corvex Technology\\\\Installed Apps\\\\Beta] 1\n\"Folder\"=\"/games/Beta/\"\n";
    std::vector<WineRegistry::Prefix> prefixes;
    prefixes.push_back({"/no/prefix", WineHive(hive)});
    registry = std::make_unique<WineRegistry>(std::move(prefixes));
    MakeWizard();
}

WizardFixture::~WizardFixture() = default;

void WizardFixture::TearDown()
{
    zpak::test::ExpectManifestsRoundTrip(game);
}

void WizardFixture::MakeWizard()
{
    wizard.reset();
    wizard = std::make_unique<WizardDialog>(WizardContext{doc, dialogs, *registry, "/docs/user-guide.html",
                                                          dir / "presets.ini", dir / "wine",
                                                          dir / "recent-projects"},
                                            WizardPages());
}

QString WizardFixture::NextProblem() const
{
    return wizard->findChild<FieldFeedback*>(QStringLiteral("nextProblem"))->Text();
}

QAbstractButton* WizardFixture::Button(int id) const
{
    // The window's own buttons: in its button row, or (the logo) beside the pages.
    if (auto* row =
            wizard->findChild<QWidget*>(QStringLiteral("windowButtons"), Qt::FindDirectChildrenOnly)) {
        if (auto* button = FindControl<QAbstractButton>(row, id, true))
            return button;
    }
    return FindControl<QAbstractButton>(wizard.get(), id, true);
}

WizardPage* WizardFixture::Page(int id) const
{
    const PageInfo* info = wizard->FindPage(id);
    return info ? info->page : nullptr;
}

int WizardFixture::ActivePage() const
{
    const PageInfo* info = wizard->GetActivePage();
    return info ? info->id : 0;
}

void WizardFixture::ClickOn(int page, int id) const
{
    Control<QAbstractButton>(page, id)->click();
}

QStringList WizardFixture::Items(const QComboBox* combo)
{
    QStringList items;
    for (int i = 0; i < combo->count(); ++i)
        items << combo->itemText(i);
    return items;
}

void WizardFixture::ShowEveryPage()
{
    using namespace ids;
    for (const int page : {kGamePathPage, kGroupsPage, kIniChangesPage, kRequirementsPage, kProductPage,
                           kPackagePage, kShortcutsPage, kGeneratePage})
        wizard->SetActivePage(page);
}

void WizardFixture::CreateGroup(const QString& name)
{
    if (ActivePage() != ids::kGroupsPage)
        wizard->SetActivePage(ids::kGroupsPage);
    FillDialog<CreateGroupDialog>(ids::kGroupsPage, ids::kCreateGroup, ids::kCreateGroupName, name);
}

}  // namespace zpak::ui::test
