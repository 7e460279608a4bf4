#pragma once

#include <QString>

#include <filesystem>
#include <string>

namespace zpak::ui {

// Project texts are bytes. They are shown as UTF-8 where they are UTF-8; any
// other byte is shown as a stand-in character (U+DC80 to U+DCFF) that turns
// back into the same byte, so every byte value survives a trip through a field.
QString FromProjectText(const std::string& text);
std::string ToProjectText(const QString& text);

// A path chosen in a file dialog as the file system names it.
std::filesystem::path ToNativePath(const QString& path);

}  // namespace zpak::ui
