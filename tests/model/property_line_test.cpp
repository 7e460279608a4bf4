#include "model/property_line.h"
#include "platform/message_sink.h"

#include <gtest/gtest.h>

namespace zpak {
namespace {

struct SplitCase {
    const char* text;
    std::vector<std::string> pieces;
    bool bracesMessage;
};

void PrintTo(const SplitCase& c, std::ostream* out)
{
    *out << c.text;
}

class SplitTest : public ::testing::TestWithParam<SplitCase> {};

TEST_P(SplitTest, Splits)
{
    const SplitCase& c = GetParam();
    RecordingSink sink;
    EXPECT_EQ(SplitPropertyLine(c.text, ',', true, sink), c.pieces) << c.text;
    EXPECT_EQ(sink.messages.size(), c.bracesMessage ? 1u : 0u) << c.text;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, SplitTest,
    ::testing::Values(SplitCase{"a,b,c,TRUE", {"a", "b", "c"}, false}, SplitCase{"a,b,c", {"a", "b"}, false},
                      SplitCase{"abc", {}, false}, SplitCase{",,,", {"", "", ""}, false},
                      SplitCase{"Game.Foo,Bar,(X=1,Y=2),TRUE", {"Game.Foo", "Bar", "(X=1,Y=2)"}, false},
                      SplitCase{"Sec,Key,a(b,c),TRUE", {"Sec", "Key", "a(b", "c)"}, false},
                      SplitCase{"S,K,((a,b),(c)),TRUE", {"S", "K", "((a,b),(c))"}, false},
                      SplitCase{"(a,b),", {"(a,b)"}, false},
                      SplitCase{"(a,b)x,y,z", {"(a,b)", "", "y"}, false},
                      SplitCase{"A,B,(X=1,TRUE", {"A", "B"}, true}, SplitCase{"(,", {}, true}));

TEST(LastPieceTest, TakesTheTextAfterTheLastSeparator)
{
    EXPECT_EQ(LastPiece("a,b,TRUE", ','), "TRUE");
    EXPECT_EQ(LastPiece("plain", ','), "plain");
    EXPECT_EQ(LastPiece("ends,", ','), "");
    EXPECT_EQ(LastPiece("C:\\Games\\Vantor", '\\'), "Vantor");
}

}  // namespace
}  // namespace zpak
