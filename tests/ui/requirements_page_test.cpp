#include "ui/pages/requirements/requirements_dialogs.h"
#include "ui/pages/requirements/requirements_page.h"
#include "wizard_fixture.h"

#include <QComboBox>
#include <QTreeWidget>

namespace zpak::ui::test {
namespace {

using namespace ids;

class RequirementsPageTest : public WizardFixture {
protected:
    void SetUp() override { wizard->SetActivePage(kRequirementsPage); }

    bool Dialog(int button, const std::function<void(AddRequirementDialog&)>& act)
    {
        return UseDialog<AddRequirementDialog>(kRequirementsPage, button, act);
    }

    static void Fill(AddRequirementDialog& dialog, int id, const QString& text)
    {
        FindControl<QLineEdit>(&dialog, id)->setText(text);
    }

    QTreeWidget* Tree() const { return Control<QTreeWidget>(kRequirementsPage, kRequirementsTree); }
};

TEST_F(RequirementsPageTest, AddingRecordsPresetsAndEditingDoesNot)
{
    QStringList presetNames;
    EXPECT_TRUE(Dialog(kAddRequirement, [&](AddRequirementDialog& dialog) {
        presetNames = Items(FindControl<QComboBox>(&dialog, kPresets));
        Fill(dialog, kRequiredProduct, "Vantor");
        Fill(dialog, kRequiredVersion, "1100");
    }));
    EXPECT_EQ(presetNames, QStringList{""});  // no presets.ini yet: one empty entry
    ASSERT_EQ(doc.requirements.size(), 1u);   // and recorded as a preset, which the third Add offers

    EXPECT_FALSE(Dialog(kAddRequirement,
                        [](AddRequirementDialog& dialog) { Fill(dialog, kRequiredProduct, "Vantor"); }));
    EXPECT_EQ(dialogs.messages.last(), "You already defined this product. Please choose a different name.");
    EXPECT_FALSE(Dialog(kAddRequirement, [](AddRequirementDialog&) {}));
    EXPECT_EQ(dialogs.messages.last(), "You must define a product.");

    // A preset fills the fields; adding another product in a new letter case is fine.
    EXPECT_TRUE(Dialog(kAddRequirement, [](AddRequirementDialog& dialog) {
        auto* presets = FindControl<QComboBox>(&dialog, kPresets);
        ASSERT_EQ(presets->count(), 1);
        presets->setCurrentIndex(0);
        EXPECT_EQ(FindControl<QLineEdit>(&dialog, kRequiredVersion)->text(), "1100");
        Fill(dialog, kRequiredProduct, "VANTOR");
        Fill(dialog, kRequiredDeveloper, "Corvex");
    }));
    ASSERT_EQ(doc.requirements.size(), 2u);
    EXPECT_NE(zpak::test::ReadFile(dir / "presets.ini").find("Developer=Corvex"), std::string::npos);

    // Edit acts on the requirement last added; the product cannot change.
    const std::string presetsBefore = zpak::test::ReadFile(dir / "presets.ini");
    EXPECT_TRUE(Dialog(kEditRequirement, [](AddRequirementDialog& dialog) {
        EXPECT_FALSE(FindControl<QLineEdit>(&dialog, kRequiredProduct)->isEnabled());
        EXPECT_EQ(FindControl<QLineEdit>(&dialog, kRequiredProduct)->text(), "VANTOR");
        Fill(dialog, kRequiredVersion, "1200");
    }));
    EXPECT_EQ(doc.requirements[1]->version, "1200");
    EXPECT_EQ(zpak::test::ReadFile(dir / "presets.ini"), presetsBefore);
}

// Remove acts on the selection. A removed requirement is forgotten, also when
// nothing else gets selected in its place, and showing the page again forgets
// the remembered one: Edit then has nothing to reach for.
TEST_F(RequirementsPageTest, RemoveActsOnTheSelectionAndForgetsIt)
{
    EXPECT_FALSE(Enabled(kRequirementsPage, kRemoveRequirement));  // nothing selected
    for (const char* product : {"A", "B"})
        doc.requirements.emplace_back(std::make_unique<RequirementInfo>())->product = product;
    wizard->SetActivePage(kRequirementsPage);
    Tree()->setCurrentItem(Tree()->topLevelItem(0));
    ClickOn(kRequirementsPage, kRemoveRequirement);
    ASSERT_EQ(doc.requirements.size(), 1u);
    EXPECT_EQ(doc.requirements[0]->product, "B");
    // The tree selected B in its place, so Edit opens B.
    EXPECT_TRUE(Dialog(kEditRequirement, [](AddRequirementDialog& dialog) {
        EXPECT_EQ(FindControl<QLineEdit>(&dialog, kRequiredProduct)->text(), "B");
    }));

    wizard->SetActivePage(kRequirementsPage);
    EXPECT_FALSE(Enabled(kRequirementsPage, kEditRequirement));
    EXPECT_FALSE(Enabled(kRequirementsPage, kRemoveRequirement));

    Tree()->setCurrentItem(Tree()->topLevelItem(0));
    EXPECT_TRUE(Enabled(kRequirementsPage, kEditRequirement));
    ClickOn(kRequirementsPage, kRemoveRequirement);
    ASSERT_TRUE(doc.requirements.empty());
    EXPECT_FALSE(Enabled(kRequirementsPage, kEditRequirement));
    EXPECT_FALSE(Enabled(kRequirementsPage, kRemoveRequirement));
}

}  // namespace
}  // namespace zpak::ui::test
