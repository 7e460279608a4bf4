#pragma once

#include <array>
#include <string_view>

namespace zpak {

// Files of our own that a run keeps in the game folder: the lock, and the
// journal of a package run, in a folder of ours there. Wildcards (ours, and
// the packaging tool's "System\*.*") do not look into folders, so neither
// file is ever packed. The lock and the folder go when the run ends; the
// journal too, once the game's files are back.
inline constexpr std::string_view kWorkFolderName = ".zpak_build";
inline constexpr std::string_view kLockFileName = "lock";
inline constexpr std::string_view kJournalFileName = "journal";

// Where earlier versions kept them, in System: a run takes the old lock too
// and removes it, and honours an old journal.
inline constexpr std::string_view kOldLockFileName = "zpak_build.lock";
inline constexpr std::string_view kOldJournalFileName = "zpak_build.journal";

// The game's own manifest pair, and the names it is set aside under while
// the packaging tool runs.
inline constexpr std::string_view kGameManifest = "Manifest.ini";
inline constexpr std::string_view kGameLocalizedManifest = "Manifest.int";
inline constexpr std::string_view kManifestBackup = "zpak_manifest_backup.ini";
inline constexpr std::string_view kLocalizedManifestBackup = "zpak_manifest_backup.int";

// Each file a package run sets aside, and its name meanwhile: the only names
// a journal may speak of.
struct SetAsideName {
    std::string_view name;
    std::string_view backup;
};
inline constexpr std::array<SetAsideName, 2> kSetAsideNames{
    {{kGameManifest, kManifestBackup}, {kGameLocalizedManifest, kLocalizedManifestBackup}}};

inline constexpr std::string_view kPackagingTool = "MKR.exe";

}  // namespace zpak
