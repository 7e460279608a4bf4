// Feeds arbitrary bytes to the INI reader and to the rewriting of sections:
// no input may crash, hang or read out of bounds, a file with a byte-order
// mark must come back byte for byte from its text, and a rewritten text must
// give back the sections that were written.
#include "ini/ini_encoding.h"
#include "ini/ini_text.h"
#include "platform/text_case.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const zpak::ini::IniEncoding encoding = zpak::ini::DetectIniEncoding(bytes);
    const std::string text = zpak::ini::DecodeIniText(bytes, encoding);
    // A last odd byte of a UTF-16 file is no code unit, and is not kept.
    const bool utf16 =
        encoding == zpak::ini::IniEncoding::Utf16LE || encoding == zpak::ini::IniEncoding::Utf16BE;
    const std::size_t kept = utf16 ? size & ~std::size_t{1} : size;
    if (zpak::ini::EncodeIniText(text, encoding) != bytes.substr(0, kept))
        __builtin_trap();
    const auto lines = zpak::ini::ParseIniText(text);

    std::vector<zpak::ini::SectionUpdate> updates;
    for (const auto& line : lines) {
        if (line.kind == zpak::ini::IniLine::Kind::Section && updates.size() < 4)
            updates.push_back({line.name, {"k=v", "x=" + std::string(line.name)}});
    }
    updates.push_back({"zpak fuzz", {"a=b"}});
    const std::string rewritten = zpak::ini::RewriteSections(text, updates);
    const auto again = zpak::ini::ParseIniText(rewritten);
    // The text may already hold that section in another letter case: then it
    // receives the entry in place.
    bool found = false;
    for (const auto& line : again)
        found = found
            || (line.kind == zpak::ini::IniLine::Kind::Section
                && zpak::EqualsIgnoringCase(line.name, "zpak fuzz"));
    if (!found)
        __builtin_trap();
    return 0;
}
