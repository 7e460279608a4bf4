#include "model/project_document.h"
#include "model/relative_path.h"
#include "platform/message_sink.h"
#include "rules/product_rules.h"

#include <gtest/gtest.h>

namespace zpak {
namespace {

TEST(VersionTest, ReadsTheLeadingNumberAsAtoiDoes)
{
    EXPECT_EQ(LeadingNumber("2.5"), 2);
    EXPECT_EQ(LeadingNumber("  12abc"), 12);
    EXPECT_EQ(LeadingNumber("-3"), -3);
    EXPECT_EQ(LeadingNumber("abc"), 0);
    // Which versions the product page takes: WizardShellTest.
    EXPECT_EQ(NormalisedVersion("12abc"), "12");
    EXPECT_EQ(NormalisedVersion("abc"), "abc");
}

TEST(ProductFormTest, StoresInTheOrderTheChecksAllow)
{
    ProjectDocument doc;
    RecordingSink sink;
    ProductForm form;
    FillProductForm(doc, form);  // no product: nothing happens
    EXPECT_EQ(form.version, "");

    form.readme = "Help\\Readme.txt";
    EXPECT_FALSE(StoreProductFields(doc, form, sink));
    ASSERT_NE(doc.product, nullptr);  // created before the refusal
    EXPECT_FALSE(doc.product->readme.has_value());

    form.product = "MyMod";
    form.version = "0";
    EXPECT_FALSE(StoreProductFields(doc, form, sink));
    EXPECT_EQ(doc.product->readme, "Help\\Readme.txt");  // stored before the version check
    EXPECT_FALSE(doc.product->product.has_value());

    form.version = "1.5";
    form.readme.clear();
    ASSERT_TRUE(StoreProductFields(doc, form, sink));
    EXPECT_EQ(form.title, "MyMod Setup");
    EXPECT_EQ(doc.product->title, "MyMod Setup");
    EXPECT_EQ(doc.product->version, "1.5");
    EXPECT_EQ(doc.product->readme, "Help\\Readme.txt");  // an empty field keeps it
    EXPECT_EQ(doc.product->developer, "");
    EXPECT_EQ(sink.messages,
              (std::vector<std::string>{"You must complete the product field.",
                                        "You must enter a numerical number into the version field."}));

    ProductForm shown;
    shown.developer = "typed";
    doc.product->version.reset();
    doc.product->developer.reset();
    FillProductForm(doc, shown);
    EXPECT_EQ(shown.version, "100");
    EXPECT_EQ(shown.developer, "typed");
    EXPECT_EQ(shown.title, "MyMod Setup");
}

TEST(PackageFormTest, LicenceMustComeFromTheList)
{
    ProjectDocument doc;
    RecordingSink sink;
    PackageForm form{"Frontier.zpack2", "", 2, "Frontier.int"};
    ASSERT_TRUE(StorePackageFields(doc, form, sink));
    EXPECT_EQ(doc.product->license, "Frontier.int");
    EXPECT_FALSE(doc.product->logo.has_value());

    form.licenseSelection.reset();
    form.licenseText = "Typed.int";
    form.archive = "";
    EXPECT_FALSE(StorePackageFields(doc, form, sink));
    EXPECT_EQ(doc.product->archive, "Frontier.zpack2");

    // The archive names the package the tool writes into System: a plain
    // name of no file the build uses.
    form.licenseText.clear();
    form.logo = "Help\\Logo.bmp";
    for (const char* archive : {"", "..\\Vantor.exe", "MKR.exe"}) {
        form.archive = archive;
        sink.messages.clear();
        EXPECT_FALSE(StorePackageFields(doc, form, sink)) << archive;
        EXPECT_EQ(sink.messages.size(), 1u);
        EXPECT_EQ(doc.product->archive, "Frontier.zpack2");
    }
    form.archive = "Other.zpack2";
    ASSERT_TRUE(StorePackageFields(doc, form, sink));
    EXPECT_FALSE(doc.product->license.has_value());
    EXPECT_EQ(doc.product->archive, "Other.zpack2");
    EXPECT_EQ(doc.product->logo, "Help\\Logo.bmp");

    form.licenseSelection = 0;
    form.licenseText = "--None--";
    ASSERT_TRUE(StorePackageFields(doc, form, sink));
    EXPECT_FALSE(doc.product->license.has_value());
}

TEST(ShortcutFormTest, SwitchAndStore)
{
    ProjectDocument doc;
    RecordingSink sink;
    ShortcutForm form;
    form.parameters = "-log";
    EXPECT_FALSE(StoreShortcutFields(doc, form, sink));
    EXPECT_EQ(doc.product->shortcut, "-log");  // stored before the refusal

    form.caption = "Play";
    form.documentationCaption = "";
    EXPECT_FALSE(StoreShortcutFields(doc, form, sink));
    EXPECT_EQ(doc.product->shortcutCaption, "Play");

    form.windows = form.linux = form.mac = true;
    ASSERT_TRUE(StoreShortcutFields(doc, form, sink));
    ShortcutForm shown;
    FillShortcutForm(doc, shown);
    EXPECT_EQ(shown.documentationCaption, "Release Notes");

    ApplyShortcutSwitch(doc, false);
    EXPECT_FALSE(doc.product->shortcut.has_value());
    EXPECT_FALSE(doc.product->shortcutCaption.has_value());
    EXPECT_FALSE(doc.product->windows || doc.product->linux);
    EXPECT_TRUE(doc.product->mac);
}

TEST(MakeRelativePathTest, AcceptsOnlyPathsBelowTheFolder)
{
    EXPECT_EQ(MakeRelativePath("C:\\Game", "c:\\game\\Maps\\x.map"), "Maps\\x.map");
    EXPECT_EQ(MakeRelativePath("C:\\Game", "D:\\Other\\x.map"), "");
    EXPECT_EQ(MakeRelativePath("C:\\Game", "C:\\Game"), "");
    EXPECT_EQ(MakeRelativePath("C:\\Game", "C:\\GameX\\a.bmp"), "");
    EXPECT_EQ(MakeRelativePath("/games/Vantor/", "/games/Vantor/Help/R.txt"), "Help\\R.txt");
    EXPECT_EQ(MakeRelativePath("/games/Vantor", "/games/vantor/Help/R.txt"), "Help\\R.txt");
}

}  // namespace
}  // namespace zpak
