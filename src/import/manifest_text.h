#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace zpak {

// One "key=value" line of a manifest file.
struct ManifestEntry {
    int line = 0;       // 1-based
    std::string key;    // without the blanks around it
    std::string value;  // as written; trimmed only when the key had blanks around it
};

// A section of a manifest file: its header and its entries, in file order.
struct ManifestSection {
    std::string name;  // between "[" and the last "]", as written
    int line = 0;      // of the header
    std::vector<ManifestEntry> entries;
};

// A line that is no header, entry, comment or blank line, or an entry before
// the first header.
struct StrayLine {
    int line = 0;
    std::string text;
};

// A manifest file read as the installer's INI syntax, tolerant of what hand
// editing does: LF or CR LF line ends, a byte-order mark, blank lines, ";"
// comments, blanks around "=" and around the line. What this program writes
// comes back byte for byte: a value is taken as written unless its line is
// spaced by hand (blanks before "="), as this program never writes it.
struct ManifestText {
    std::vector<ManifestSection> sections;
    std::vector<StrayLine> stray;
    bool wasUtf16 = false;  // the file was UTF-16 (with its mark); the texts are UTF-8
};

// Reads a manifest file. With `keep`, only the entries of the sections it
// accepts are kept (the others are listed without entries).
ManifestText ParseManifestText(std::string_view bytes,
                               const std::function<bool(std::string_view section)>& keep = nullptr);

}  // namespace zpak
