#include "platform/text_format.h"

namespace zpak {

std::string FormatText(std::string_view pattern, std::initializer_list<std::string_view> args)
{
    std::string out;
    out.reserve(pattern.size() + 32);
    auto next = args.begin();
    for (std::size_t i = 0; i < pattern.size(); ++i) {
        const bool placeholder = pattern[i] == '%' && i + 1 < pattern.size()
            && (pattern[i + 1] == 's' || pattern[i + 1] == 'd') && next != args.end();
        if (placeholder) {
            out += *next++;
            ++i;
        } else {
            out += pattern[i];
        }
    }
    return out;
}

bool EqualsIgnoringCase(std::string_view a, std::string_view b)
{
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (FoldCase(a[i]) != FoldCase(b[i]))
            return false;
    }
    return true;
}

std::string FoldedText(std::string_view text)
{
    std::string folded(text);
    for (char& c : folded)
        c = FoldCase(c);
    return folded;
}

}  // namespace zpak
