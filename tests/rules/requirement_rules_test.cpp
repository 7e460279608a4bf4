#include "ini/ini_file.h"
#include "model/project_document.h"
#include "platform/message_sink.h"
#include "rules/requirement_rules.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

namespace zpak {
namespace {

TEST(RequirementPresetsTest, PresetsFillAndGrow)
{
    test::TempDir dir;
    const auto path = dir.Write("presets.ini", "[vantor]\r\nproduct=Vantor\r\nVERSION=1100\r\nOther=x\r\n");
    IniFile presets;
    presets.Load(path);
    RequirementFields fields{"", "", "kept", "", "", ""};
    ApplyPreset(presets, "VANTOR", fields);
    EXPECT_EQ(fields.product, "Vantor");
    EXPECT_EQ(fields.version, "1100");
    EXPECT_EQ(fields.developer, "kept");

    fields.version = "1200";
    fields.developer = "Corvex";
    RecordPreset(presets, fields);  // updates only the keys the section has
    EXPECT_EQ(test::ReadFile(path), "[vantor]\r\nproduct=Vantor\r\nVERSION=1200\r\nOther=x\r\n");

    RecordPreset(presets, {"Frontier", "1", "Lakeside", "", "", ""});
    EXPECT_EQ(test::ReadFile(path),
              "[vantor]\r\nproduct=Vantor\r\nVERSION=1200\r\nOther=x\r\n\r\n[Frontier]\r\n"
              "Product=Frontier\r\nVersion=1\r\nDeveloper=Lakeside\r\nProductURL=\r\nVersionURL=\r\n"
              "DeveloperURL=\r\n");
}

TEST(RequirementPresetsTest, ProjectRefusesEmptyAndRepeatedProducts)
{
    ProjectDocument doc;
    RecordingSink sink;
    EXPECT_EQ(AddRequirement(doc, {}, sink), nullptr);
    ASSERT_NE(AddRequirement(doc, {"Vantor", "1100", "", "", "", ""}, sink), nullptr);
    EXPECT_EQ(AddRequirement(doc, {"Vantor", "1", "", "", "", ""}, sink), nullptr);
    EXPECT_NE(AddRequirement(doc, {"vantor", "1", "", "", "", ""}, sink), nullptr);
    EXPECT_EQ(doc.requirements.size(), 2u);
    EXPECT_EQ(doc.requirements[0]->developerURL, "");  // all six texts present
    EXPECT_EQ(
        sink.messages,
        (std::vector<std::string>{"You must define a product.",
                                  "You already defined this product. Please choose a different name."}));
}

}  // namespace
}  // namespace zpak
