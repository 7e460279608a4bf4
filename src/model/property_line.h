#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace zpak {

class MessageSink;

// Splits an INI change line at `separator`. The text after the last separator
// is never a piece. With `groupParentheses`, a piece that begins with "(" runs
// to its matching ")" and may hold the separator; unbalanced parentheses are
// reported through `sink` and end the split, keeping the pieces found so far.
std::vector<std::string> SplitPropertyLine(std::string_view text, char separator, bool groupParentheses,
                                           MessageSink& sink);

// The text after the last `separator`; the whole text when there is none.
std::string_view LastPiece(std::string_view text, char separator);

}  // namespace zpak
