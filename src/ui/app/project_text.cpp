#include "ui/app/project_text.h"

#include "platform/text_encoding.h"
#include "platform/utf8_text.h"

namespace zpak::ui {

namespace {

constexpr char16_t kEscapeBase = 0xDC00;

}  // namespace

QString FromProjectText(const std::string& text)
{
    QString out;
    out.reserve(static_cast<qsizetype>(text.size()));
    std::size_t i = 0;
    while (i < text.size()) {
        const std::size_t length = Utf8SequenceLength(text, i);
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
