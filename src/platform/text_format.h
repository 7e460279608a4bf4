#pragma once

#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>

namespace zpak {

// Fills a message pattern: each "%s" or "%d" takes the next argument, in order.
// Arguments are inserted as they are, so user text holding '%' is safe.
std::string FormatText(std::string_view pattern, std::initializer_list<std::string_view> args);

// "340 of 512 KB", "12.4 of 201.0 MB": an amount done of a total, in the
// unit that fits the total.
std::string SizeProgressText(std::uint64_t done, std::uint64_t total);

}  // namespace zpak
