#include "platform/text_format.h"

#include <cstdio>

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

std::string SizeProgressText(std::uint64_t done, std::uint64_t total)
{
    constexpr double kKilo = 1024.0;
    constexpr double kMega = kKilo * 1024.0;
    char text[64];
    if (static_cast<double>(total) < kMega) {
        const auto kb = [](std::uint64_t bytes) { return (bytes + 1023) / 1024; };
        std::snprintf(text, sizeof text, "%llu of %llu KB", static_cast<unsigned long long>(kb(done)),
                      static_cast<unsigned long long>(kb(total)));
    } else {
        std::snprintf(text, sizeof text, "%.1f of %.1f MB", static_cast<double>(done) / kMega,
                      static_cast<double>(total) / kMega);
    }
    return text;
}

}  // namespace zpak
