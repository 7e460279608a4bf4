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
