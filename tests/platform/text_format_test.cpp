#include "platform/message_sink.h"
#include "platform/text_format.h"

#include <gtest/gtest.h>

#include <sstream>

namespace zpak {
namespace {

TEST(FormatTextTest, FillsPlaceholdersInOrderAndLeavesUserPercentSignsAlone)
{
    EXPECT_EQ(FormatText("Not %d. See Line #%d", {"2", "14"}), "Not 2. See Line #14");
    EXPECT_EQ(FormatText("Group name [%s] at %d", {"50%d %s", "3"}), "Group name [50%d %s] at 3");
    EXPECT_EQ(FormatText("100% sure %s", {}), "100% sure %s");
}

// Progress speaks the unit that fits the whole: small archives in KB.
TEST(SizeProgressTextTest, UsesTheUnitOfTheTotal)
{
    EXPECT_EQ(SizeProgressText(0, 0), "0 of 0 KB");
    EXPECT_EQ(SizeProgressText(1, 3000), "1 of 3 KB");
    EXPECT_EQ(SizeProgressText(512 * 1024, 1024 * 1024 - 1), "512 of 1024 KB");
    EXPECT_EQ(SizeProgressText(13 * 1024 * 1024 / 10, 201 * 1024 * 1024), "1.3 of 201.0 MB");
}

TEST(StreamSinkTest, PrintsEachMessageOnItsOwnLine)
{
    std::ostringstream out;
    StreamSink sink(out);
    sink.ShowMessage("first");
    sink.ShowMessage("second\nline");
    EXPECT_EQ(out.str(), "first\nsecond\nline\n");
}

}  // namespace
}  // namespace zpak
