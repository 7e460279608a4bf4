#include "ui/app/project_text.h"

#include "platform/text_encoding.h"

namespace zpak::ui {

namespace {

constexpr char16_t kEscapeBase = 0xDC00;

// Length of the valid UTF-8 sequence at `i`, or 0.
std::size_t Utf8Length(const std::string& text, std::size_t i)
{
    const auto byte = [&](std::size_t k) { return static_cast<unsigned char>(text[k]); };
    const unsigned char lead = byte(i);
    std::size_t length = 0;
    unsigned code = 0;
    if (lead < 0x80)
        return 1;
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
        code = lead & 0x1F;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        code = lead & 0x0F;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        code = lead & 0x07;
    } else {
        return 0;
    }
    if (i + length > text.size())
        return 0;
    for (std::size_t k = 1; k < length; ++k) {
        if ((byte(i + k) & 0xC0) != 0x80)
            return 0;
        code = (code << 6) | (byte(i + k) & 0x3F);
    }
    const bool overlong = (length == 3 && code < 0x800) || (length == 4 && code < 0x10000);
    const bool surrogate = code >= 0xD800 && code < 0xE000;
    return overlong || surrogate || code > 0x10FFFF ? 0 : length;
}

}  // namespace

QString FromProjectText(const std::string& text)
{
    QString out;
    out.reserve(static_cast<qsizetype>(text.size()));
    std::size_t i = 0;
    while (i < text.size()) {
        const std::size_t length = Utf8Length(text, i);
        if (length == 0) {
            out += QChar(static_cast<char16_t>(kEscapeBase + static_cast<unsigned char>(text[i])));
            ++i;
        } else {
            out += QString::fromUtf8(text.data() + i, static_cast<qsizetype>(length));
            i += length;
        }
    }
    return out;
}

std::string ToProjectText(const QString& text)
{
    std::string out;
    out.reserve(static_cast<std::size_t>(text.size()));
    qsizetype start = 0;
    const auto flush = [&](qsizetype end) {
        if (end > start)
            out += text.mid(start, end - start).toStdString();
    };
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t unit = text[i].unicode();
        if (unit >= kEscapeBase + 0x80 && unit <= kEscapeBase + 0xFF) {
            flush(i);
            out += static_cast<char>(unit - kEscapeBase);
            start = i + 1;
        }
    }
    flush(text.size());
    return out;
}

// A path shown is a text like any other of the project's: a name's bytes that
// are not UTF-8 (Linux) travel as U+DC80-U+DCFF and come back as themselves.
std::filesystem::path ToNativePath(const QString& path)
{
    return PathFromText(ToProjectText(path));
}

QString FromNativePath(const std::filesystem::path& path)
{
    return FromProjectText(TextFromPath(path));
}

}  // namespace zpak::ui
