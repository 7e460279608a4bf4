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

// A path as the window shows it (a file dialog's answer, a folder of
// QStandardPaths, a project named on the command line) as the file system
// names it, and back, with the stand-ins above: on Linux every byte of a name
// survives; on Windows the name goes to UTF-16 as PathFromText reads a
// project text, so any name survives whatever the ANSI code page holds.
std::filesystem::path ToNativePath(const QString& path);
QString FromNativePath(const std::filesystem::path& path);

}  // namespace zpak::ui
