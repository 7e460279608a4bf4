#pragma once

#include <string_view>

namespace zpak {

// Files of our own that a run keeps in the game's System folder. None of them
// matches the manifest's "System\Manifest.*", nor is it ever packed.
inline constexpr std::string_view kLockFileName = "zpak_build.lock";
inline constexpr std::string_view kJournalFileName = "zpak_build.journal";

// The game's own manifest pair, and the names it is set aside under while
// the packaging tool runs.
inline constexpr std::string_view kGameManifest = "Manifest.ini";
inline constexpr std::string_view kGameLocalizedManifest = "Manifest.int";
inline constexpr std::string_view kManifestBackup = "zpak_manifest_backup.ini";
inline constexpr std::string_view kLocalizedManifestBackup = "zpak_manifest_backup.int";

inline constexpr std::string_view kPackagingTool = "MKR.exe";

}  // namespace zpak
