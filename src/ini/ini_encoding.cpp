#include "ini/ini_encoding.h"

#include <cstdint>

namespace zpak::ini {

namespace {

constexpr std::string_view kUtf8Bom = "\xEF\xBB\xBF";
constexpr std::string_view kUtf16LEBom = "\xFF\xFE";
constexpr std::string_view kUtf16BEBom = "\xFE\xFF";

std::uint32_t UnitAt(std::string_view bytes, std::size_t i, bool bigEndian)
{
    const auto first = static_cast<unsigned char>(bytes[i]);
    const auto second = static_cast<unsigned char>(bytes[i + 1]);
    return bigEndian ? (first << 8U) | second : (second << 8U) | first;
}

void AppendUtf8(std::string& out, std::uint32_t code)
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

void AppendUnit(std::string& out, std::uint32_t unit, bool bigEndian)
{
    const auto high = static_cast<char>(unit >> 8);
    const auto low = static_cast<char>(unit & 0xFF);
    out += bigEndian ? high : low;
    out += bigEndian ? low : high;
}

// The code point of the UTF-8 sequence at `i` and its length. Surrogates
// are taken as they come (they are what DecodeIniText made of lone units);
// a byte that starts no sequence stands for itself, as in code page 1252.
std::pair<std::uint32_t, std::size_t> CodeAt(std::string_view text, std::size_t i)
{
    const auto lead = static_cast<unsigned char>(text[i]);
    const std::size_t length = lead < 0x80 ? 1 : lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC0 ? 2 : 0;
    if (length == 1)
        return {lead, 1};
    if (length == 0 || i + length > text.size())
        return {lead, 1};
    std::uint32_t code = lead & (0x7FU >> length);
    for (std::size_t k = 1; k < length; ++k) {
        const auto next = static_cast<unsigned char>(text[i + k]);
        if ((next & 0xC0) != 0x80)
            return {lead, 1};
        code = (code << 6) | (next & 0x3FU);
    }
    return {code, length};
}

}  // namespace

IniEncoding DetectIniEncoding(std::string_view bytes)
{
    if (bytes.starts_with(kUtf8Bom))
        return IniEncoding::Utf8WithBom;
    if (bytes.starts_with(kUtf16LEBom))
        return IniEncoding::Utf16LE;
    if (bytes.starts_with(kUtf16BEBom))
        return IniEncoding::Utf16BE;
    return IniEncoding::Bytes;
}

std::string DecodeIniText(std::string_view bytes, IniEncoding encoding, LoneSurrogate lone)
{
    switch (encoding) {
    case IniEncoding::Bytes:
        return std::string(bytes);
    case IniEncoding::Utf8WithBom:
        return std::string(bytes.substr(kUtf8Bom.size()));
    case IniEncoding::Utf16LE:
    case IniEncoding::Utf16BE:
        break;
    }
    const bool bigEndian = encoding == IniEncoding::Utf16BE;
    std::string text;
    text.reserve(bytes.size() / 2);
    const std::size_t end = bytes.size() & ~std::size_t{1};
    for (std::size_t i = 2; i < end; i += 2) {
        std::uint32_t code = UnitAt(bytes, i, bigEndian);
        if (code >= 0xD800 && code < 0xDC00 && i + 2 < end) {
            const std::uint32_t low = UnitAt(bytes, i + 2, bigEndian);
            if (low >= 0xDC00 && low < 0xE000) {
                code = 0x10000 + ((code - 0xD800) << 10) + (low - 0xDC00);
                i += 2;
            }
        }
        const bool unpaired = code >= 0xD800 && code < 0xE000;
        AppendUtf8(text, unpaired && lone == LoneSurrogate::Replace ? 0xFFFD : code);
    }
    return text;
}

std::string EncodeIniText(std::string_view text, IniEncoding encoding)
{
    switch (encoding) {
    case IniEncoding::Bytes:
        return std::string(text);
    case IniEncoding::Utf8WithBom:
        return std::string(kUtf8Bom) + std::string(text);
    case IniEncoding::Utf16LE:
    case IniEncoding::Utf16BE:
        break;
    }
    const bool bigEndian = encoding == IniEncoding::Utf16BE;
    std::string bytes(bigEndian ? kUtf16BEBom : kUtf16LEBom);
    bytes.reserve(2 + text.size() * 2);
    for (std::size_t i = 0; i < text.size();) {
        const auto [code, length] = CodeAt(text, i);
        i += length;
        if (code < 0x10000) {
            AppendUnit(bytes, code, bigEndian);
        } else {
            AppendUnit(bytes, 0xD800 + ((code - 0x10000) >> 10), bigEndian);
            AppendUnit(bytes, 0xDC00 + ((code - 0x10000) & 0x3FF), bigEndian);
        }
    }
    return bytes;
}

}  // namespace zpak::ini
