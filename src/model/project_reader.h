#pragma once

#include <filesystem>
#include <string>
#include <string_view>

namespace zpak {

class MessageSink;
class ProjectDocument;
class RecordLines;

// Reads the text of a project file into `document`, which should be empty.
// Stops at the first error, which it shows through `sink`; the records read
// before it stay in `document`. True when the text was read to its end.
// `lines`, when given, learns where each record was read and where the
// reader stopped.
bool ParseProject(std::string_view text, ProjectDocument& document, MessageSink& sink,
                  RecordLines* lines = nullptr);

// True when folder\System\MKR.exe is a file that can be opened for reading.
// A drive-letter folder is looked for in the Wine prefix.
bool IsGameFolderValid(const std::string& folder, const std::filesystem::path& winePrefix);

enum class OpenResult {
    Opened,      // read without error; the document holds the project
    CannotOpen,  // nothing reported; the document is unchanged
    Failed,      // an error was reported; the document is unchanged
};

struct OpenOptions {
    // Replaces the file's first line (a command line may point the project
    // at another copy of the game).
    const std::string* gameFolder = nullptr;
    // Learns where each record was read.
    RecordLines* lines = nullptr;
    // Learns the system's reason when the file cannot be opened.
    std::string* cannotOpenReason = nullptr;
};

// Opens a project file. The project is read into a fresh document that
// replaces `document` only when the whole file was read without error; the
// game folder warning is shown after that. The game folder is checked
// through the Wine prefix.
OpenResult OpenProject(const std::filesystem::path& file, ProjectDocument& document, MessageSink& sink,
                       const std::filesystem::path& winePrefix, const OpenOptions& options = {});

}  // namespace zpak
