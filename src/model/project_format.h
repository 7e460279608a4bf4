#pragma once

#include <string_view>

// The texts that make up a project file. The writer, the reader and the
// read-back check all take them from here so that they cannot drift apart;
// the section headers are the record kinds' own (model/record_kinds.h).
namespace zpak::format {

inline constexpr std::string_view kVersionLine = "0.8";

inline constexpr std::string_view kGroupFlagOn = "true";
inline constexpr std::string_view kProductFlagOn = "True";
inline constexpr std::string_view kAddNewLine = "TRUE";
inline constexpr std::string_view kModifyLine = "FALSE";

inline constexpr std::string_view kDefaultArchive = "mymod.zpack2";
inline constexpr std::string_view kArchiveExtension = ".zpack2";
inline constexpr std::string_view kDefaultDocumentationCaption = "Release Notes";

}  // namespace zpak::format
