#pragma once

#include "platform/process.h"

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace zpak {

// What a package run set aside in the game's System folder, kept on disk
// while the packaging tool runs, so that the next run can undo exactly what
// a run that was cut off (killed, crashed, power lost) left behind. Names
// are file names in System.
struct PackageJournal {
    struct Aside {
        std::string name;    // the game's file, e.g. "Manifest.ini"
        std::string backup;  // where it is meanwhile
    };
    // The System folder it was written for (FolderIdentity), and the run
    // that wrote it. Empty in a journal of the first format, which had neither.
    std::string folder;
    std::string run;
    std::vector<Aside> aside;
    // Manifest names the game has no file for: whatever stands there
    // afterwards, the packaging tool left.
    std::vector<std::string> absent;
    // Files of the game whose names match a manifest name ignoring case but
    // that the run did not set aside: never deleted.
    std::vector<std::string> keep;
    // The packaging tool while it runs; an id of 0 before.
    ProcessTag tool;

    // The current format, whose last line holds a checksum of the others.
    std::string Serialize() const;
    // Either format; nothing when the text is not a whole journal.
    static std::optional<PackageJournal> Parse(std::string_view text);

    bool OfFirstFormat() const { return folder.empty(); }
};

// Why a journal read from `system` must not be acted on: written for another
// folder, or naming files that a package run never sets aside or leaves.
// Nothing when it may be.
std::optional<std::string> UntrustedJournal(const PackageJournal& journal,
                                            const std::filesystem::path& system);

// True when the packaging tool that the journal names may still be running.
bool ToolStillRunning(const PackageJournal& journal);

// What RestoreFromJournal could not do.
struct RestoreFailure {
    std::string name;       // a file of System
    bool leftover = false;  // a file the tool left that could not be deleted; else a backup not moved back
};

// Puts the game's files back: for each file set aside whose backup is still
// there, and for each absent name, every file of the folder named like it
// (in any letter case) that is not the game's is deleted, then the backup is
// renamed back. Stops at the first thing it cannot do, or cannot tell;
// `restored` counts the files moved back.
std::optional<RestoreFailure> RestoreFromJournal(const std::filesystem::path& system,
                                                 const PackageJournal& journal, int& restored);

}  // namespace zpak
