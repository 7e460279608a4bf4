#include "model/property_line.h"

#include "platform/message_sink.h"
#include "platform/text_format.h"

namespace zpak {

namespace {

// Index of the ")" that closes the "(" at rest[0], or npos when there is none.
std::size_t FindClosingParenthesis(std::string_view rest)
{
    int depth = 1;
    for (std::size_t i = 1; i < rest.size(); ++i) {
        if (rest[i] == '(')
            ++depth;
        else if (rest[i] == ')' && --depth == 0)
            return i;
    }
    return std::string_view::npos;
}

}  // namespace

std::vector<std::string> SplitPropertyLine(std::string_view text, char separator, bool groupParentheses,
                                           MessageSink& sink)
{
    std::vector<std::string> pieces;
    std::string_view rest = text;
    // A separator is left while the text's last one is: asking `rest` would
    // scan past every parenthesis piece to the end of the line, each time.
    const std::size_t lastSeparator = text.rfind(separator);
    const auto separatorLeft = [&] {
        return lastSeparator != std::string_view::npos && lastSeparator >= text.size() - rest.size();
    };
    while (separatorLeft()) {
        if (groupParentheses && rest.front() == '(') {
            const std::size_t close = FindClosingParenthesis(rest);
            if (close == std::string_view::npos) {
                sink.ShowMessage(
                    FormatText("Invalid Expression: Expected the expression %s to contain an equal number "
                               "of opening/closing braces.",
                               {rest}));
                break;
            }
            pieces.emplace_back(rest.substr(0, close + 1));
            // The character after ")" is taken to be the separator and skipped.
            if (rest.size() - (close + 1) <= 1)
                break;
            rest.remove_prefix(close + 2);
        } else {
            const std::size_t cut = rest.find(separator);
            pieces.emplace_back(rest.substr(0, cut));
            rest.remove_prefix(cut + 1);
        }
    }
    return pieces;
}

std::string_view LastPiece(std::string_view text, char separator)
{
    const std::size_t cut = text.rfind(separator);
    return cut == std::string_view::npos ? text : text.substr(cut + 1);
}

}  // namespace zpak
