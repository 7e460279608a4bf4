#include "import/manifest_text.h"

#include "ini/ini_encoding.h"

namespace zpak {

namespace {

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
    const ini::IniEncoding encoding = ini::DetectIniEncoding(bytes);
    text.wasUtf16 = encoding == ini::IniEncoding::Utf16LE || encoding == ini::IniEncoding::Utf16BE;
    // Imported texts are stored in the project, so they must be valid UTF-8.
    const std::string decoded = ini::DecodeIniText(bytes, encoding, ini::LoneSurrogate::Replace);
    bytes = decoded;
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
