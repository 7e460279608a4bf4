#include "platform/text_encoding.h"

#include "platform/utf8_text.h"

namespace zpak {

bool IsValidUtf8(std::string_view text)
{
    for (std::size_t i = 0; i < text.size();) {
        const std::size_t length = Utf8SequenceLength(text, i);
        if (length == 0)
            return false;
        i += length;
    }
    return true;
}

}  // namespace zpak
