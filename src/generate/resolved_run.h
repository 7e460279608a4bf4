#pragma once

#include "generate/pack_list.h"
#include "model/record_ref.h"

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace zpak {

// The three outputs of the Generate page.
enum class GenerationChoice { Package, ManifestOnly, Zip };

// A note tells what was assumed where nothing was said; it fails nothing.
enum class Severity { Error, Warning, Note };

// Something the resolution found. Errors stop the run before anything is
// written; warnings are told and the run goes on.
struct Problem {
    Severity severity = Severity::Error;
    std::string text;
    std::string code;  // a short stable name (problem_codes.h)
    RecordRef record;  // what it is about
};

// A file that the product installs (or the manifest names), as found on
// disk, and where it goes below the player's game folder.
struct ResolvedInput {
    enum class Kind { Entry, Logo, Licence, Readme, Script };
    Kind kind = Kind::Entry;
    std::size_t group = 0;               // for entries: the index of their group
    std::size_t entry = 0;               // and of the entry in it
    std::filesystem::path source;        // native; for a script, where it is written
    std::string destination;             // "/" between folders, letter case as on disk
    std::optional<std::string> content;  // a script's text
};

// Whether the zip holds the input: entries, the readme and the scripts do;
// the logo and the licence are named by the manifest only.
inline bool IsPacked(ResolvedInput::Kind kind)
{
    return kind == ResolvedInput::Kind::Entry || kind == ResolvedInput::Kind::Readme
        || kind == ResolvedInput::Kind::Script;
}

// A text file that the run writes: the manifest pair or a launch script.
struct TextOutput {
    enum class Kind { Manifest, Script };
    Kind kind = Kind::Manifest;
    std::filesystem::path path;
    std::string content;
};

// Everything a generation run needs, worked out from the project before
// anything is written: every input and output as a native path, and every
// problem. Executing it reads nothing more from the project.
struct ResolvedRun {
    GenerationChoice choice = GenerationChoice::Package;
    std::filesystem::path gameFolder;    // absolute
    std::filesystem::path systemFolder;  // gameFolder/System with its letter case on disk
    std::string baseName;                // <product>MOD
    // Every file of the product: each entry (a wildcard as its matches), the
    // logo, the licence, the readme and the launch scripts, in that order.
    std::vector<ResolvedInput> inputs;
    // Written to a temporary file of the same folder (".<name>.tmp-<n>",
    // created exclusively when the run starts) and renamed over its name.
    std::vector<TextOutput> texts;  // in the order they are written
    PackList pack;                  // the zip choice: the archive and its entries
    std::filesystem::path tool;     // the package choice: System\MKR.exe
    std::string packageName;        // the package the tool is asked to build
    // Deleted in order after a run that asked for cleanup; the first
    // deletion that fails ends the cleanup.
    std::vector<std::filesystem::path> cleanup;
    // Every file in the game folder that a run of this product writes under
    // any choice: the manifest pair, the launch scripts, the zip, the
    // checksum files and the package journal. Once it holds the lock, a run
    // removes the temporary files that killed runs left of any of them, so
    // that a run of one choice does not leave those of another behind.
    std::vector<std::filesystem::path> everyOutput;
    bool quiet = false;  // the manifest choice: no success message
    std::vector<Problem> problems;

    const Problem* FirstError() const;
    std::vector<std::string> Warnings() const;
};

}  // namespace zpak
