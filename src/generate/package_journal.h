#pragma once

#include "platform/process.h"

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace zpak {

// What a package run set aside in the game's System folder, kept on disk
// (System\zpak_build.journal) while the packaging tool runs, so that the next
// run can undo exactly what a run that was cut off (killed, crashed, power
// lost) left behind. Names are file names in System.
struct PackageJournal {
    struct Aside {
        std::string name;    // the game's file, e.g. "Manifest.ini"
        std::string backup;  // where it is meanwhile
    };
    std::vector<Aside> aside;
    // Manifest names the game has no file for: whatever stands there
    // afterwards, the packaging tool left.
    std::vector<std::string> absent;
    // Files of the game whose names match a manifest name ignoring case but
    // that the run did not set aside: never deleted.
    std::vector<std::string> keep;
    // The packaging tool while it runs; an id of 0 before.
    ProcessTag tool;

    std::string Serialize() const;
    static std::optional<PackageJournal> Parse(std::string_view text);
};

// True when the packaging tool that the journal names may still be running.
bool ToolStillRunning(const PackageJournal& journal);

// Puts the game's files back: for each file set aside whose backup is still
// there, and for each absent name, every file of the folder named like it
// (in any letter case) that is not the game's is deleted, then the backup is
// renamed back. Gives the name whose backup could not be moved back, if any;
// `restored` counts the files moved back.
std::optional<std::string> RestoreFromJournal(const std::filesystem::path& system,
                                              const PackageJournal& journal, int& restored);

}  // namespace zpak
