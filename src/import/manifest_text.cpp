#include "import/manifest_text.h"

namespace zpak {

namespace {

constexpr std::string_view kUtf8Mark = "\xEF\xBB\xBF";

bool IsBlank(char c)
{
    return c == ' ' || c == '\t';
}

std::string_view Trim(std::string_view text)
{
    while (!text.empty() && IsBlank(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && IsBlank(text.back()))
        text.remove_suffix(1);
    return text;
}

void AppendUtf8(std::string& out, char32_t code)
{
    if (code < 0x80) {
        out += static_cast<char>(code);
    } else if (code < 0x800) {
        out += static_cast<char>(0xC0 | (code >> 6));
        out += static_cast<char>(0x80 | (code & 0x3F));
    } else if (code < 0x10000) {
        out += static_cast<char>(0xE0 | (code >> 12));
        out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (code & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (code >> 18));
        out += static_cast<char>(0x80 | ((code >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (code & 0x3F));
    }
}

// UTF-16 text after its mark, as UTF-8; a lone surrogate becomes U+FFFD.
std::string Utf8FromUtf16(std::string_view bytes, bool bigEndian)
{
    const auto unit = [&](std::size_t i) -> char32_t {
        const auto a = static_cast<unsigned char>(bytes[i]);
        const auto b = static_cast<unsigned char>(bytes[i + 1]);
        return bigEndian ? (a << 8 | b) : (b << 8 | a);
    };
    std::string out;
    out.reserve(bytes.size() / 2);
    for (std::size_t i = 0; i + 1 < bytes.size(); i += 2) {
        char32_t code = unit(i);
        if (code >= 0xD800 && code < 0xDC00 && i + 3 < bytes.size()) {
            const char32_t low = unit(i + 2);
            if (low >= 0xDC00 && low < 0xE000) {
                code = 0x10000 + ((code - 0xD800) << 10) + (low - 0xDC00);
                i += 2;
            }
        }
        AppendUtf8(out, code >= 0xD800 && code < 0xE000 ? 0xFFFD : code);
    }
    return out;
}

// `keeping` says whether the entries of the current section are kept.
void ParseLine(ManifestText& text, std::string_view raw, int number,
               const std::function<bool(std::string_view)>& keep, bool& keeping)
{
    const std::string_view line = Trim(raw);
    if (line.empty() || line.front() == ';')
        return;
    if (line.front() == '[') {
        // A name may hold "]" when the header ends with it; a header that
        // does not may be followed by a comment.
        const std::size_t close = line.back() == ']' ? line.size() - 1 : line.find(']');
        if (close != std::string_view::npos) {
            text.sections.push_back({std::string(line.substr(1, close - 1)), number, {}});
            keeping = !keep || keep(text.sections.back().name);
            const std::string_view rest = Trim(line.substr(close + 1));
            if (!rest.empty() && rest.front() != ';')
                text.stray.push_back({number, std::string(line)});
            return;
        }
    }
    const std::size_t equals = raw.find('=');
    if (equals == std::string_view::npos || text.sections.empty()) {
        text.stray.push_back({number, std::string(line)});
        return;
    }
    if (!keeping)
        return;
    const std::string_view key = raw.substr(0, equals);
    const std::string_view trimmedKey = Trim(key);
    std::string_view value = raw.substr(equals + 1);
    if (trimmedKey.size() != key.size())
        value = Trim(value);
    text.sections.back().entries.push_back({number, std::string(trimmedKey), std::string(value)});
}

}  // namespace

ManifestText ParseManifestText(std::string_view bytes, const std::function<bool(std::string_view)>& keep)
{
    ManifestText text;
    std::string converted;
    if (bytes.starts_with("\xFF\xFE") || bytes.starts_with("\xFE\xFF")) {
        converted = Utf8FromUtf16(bytes.substr(2), bytes[0] == '\xFE');
        bytes = converted;
        text.wasUtf16 = true;
    } else if (bytes.starts_with(kUtf8Mark)) {
        bytes.remove_prefix(kUtf8Mark.size());
    }
    int number = 0;
    bool keeping = true;
    while (!bytes.empty()) {
        const std::size_t end = bytes.find('\n');
        std::string_view line = bytes.substr(0, end);
        bytes.remove_prefix(end == std::string_view::npos ? bytes.size() : end + 1);
        // CR LF ends a line, and so does LF after stray CRs.
        while (line.ends_with('\r'))
            line.remove_suffix(1);
        ParseLine(text, line, ++number, keep, keeping);
    }
    return text;
}

}  // namespace zpak
