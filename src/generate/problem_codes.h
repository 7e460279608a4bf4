#pragma once

// The codes of the problems a check reports: short, stable names that tools
// and people can filter on. A code keeps its meaning once released; a new
// kind of problem takes a new code.
namespace zpak::codes {

// Errors: what generation refuses.
inline constexpr const char* kUnreadableProject = "Z001";  // the reader's error
inline constexpr const char* kCannotOpenProject = "Z002";
inline constexpr const char* kProjectReadNotice = "Z003";  // a warning; reading went on
inline constexpr const char* kProductName = "Z101";        // no product, or a name that cannot be used
inline constexpr const char* kNoGameFolder = "Z102";
inline constexpr const char* kOutsideGameFolder = "Z103";
inline constexpr const char* kControlCharacter = "Z104";
inline constexpr const char* kMissingFile = "Z105";
inline constexpr const char* kWildcardMatchesNothing = "Z106";
inline constexpr const char* kUnreadableFolder = "Z107";
inline constexpr const char* kMissingLogo = "Z108";
inline constexpr const char* kMissingReadme = "Z109";
inline constexpr const char* kPackageName = "Z110";
inline constexpr const char* kTooManyZipEntries = "Z111";
inline constexpr const char* kMissingPackagingTool = "Z112";
inline constexpr const char* kDestinationNamesNothing =
    "Z113";  // "." or a path that comes back to the folder
inline constexpr const char* kMissingGameFolder = "Z114";
inline constexpr const char* kBadSourceDate = "Z115";        // SOURCE_DATE_EPOCH that is not a number
inline constexpr const char* kUnusablePackageName = "Z116";  // no plain file name, or a file the run uses
inline constexpr const char* kPathTooLong = "Z117";          // longer than any path can be
inline constexpr const char* kUnreadableFile = "Z118";       // a file that cannot be examined or read

// Warnings: what generation accepts but a player would regret.
inline constexpr const char* kNoPackagingTool = "Z201";  // for choices that do not run it
inline constexpr const char* kArchiveInsideItself = "Z202";
inline constexpr const char* kEmptyGroup = "Z203";
inline constexpr const char* kSameDestination = "Z204";
inline constexpr const char* kListedTwice = "Z205";
inline constexpr const char* kFolderCase = "Z206";
inline constexpr const char* kMissingIniFile = "Z207";
inline constexpr const char* kMissingIniSection = "Z208";
inline constexpr const char* kMissingIniKey = "Z209";
inline constexpr const char* kZipWouldOverflow = "Z210";
inline constexpr const char* kLogoNotBitmap = "Z211";
inline constexpr const char* kWildcardIntoFileName =
    "Z212";                                              // a wildcard's destination that looks like a file
inline constexpr const char* kPackageOverFile = "Z213";  // an existing file that is no package
inline constexpr const char* kWildcardInstallsNoFile = "Z214";  // it matches folders only
inline constexpr const char* kRequirementVersion = "Z215";      // not a whole number
inline constexpr const char* kVisibleWithoutCaption = "Z216";   // the player sees a group without a text

// Errors of verify: an output differs from what the project gives now.
inline constexpr const char* kNotBuiltYet = "Z401";
inline constexpr const char* kTextDiffers = "Z402";        // the manifest pair or a launch script
inline constexpr const char* kArchiveUnreadable = "Z403";  // cut short, or not a zip file
inline constexpr const char* kEntryMissing = "Z404";
inline constexpr const char* kEntryExtra = "Z405";
inline constexpr const char* kEntryOutOfOrder = "Z406";
inline constexpr const char* kSourceChanged = "Z407";    // the entry holds other bytes than its file now
inline constexpr const char* kEntryDamaged = "Z408";     // its data does not unpack to what its CRC says
inline constexpr const char* kWrongCrc = "Z409";         // its data is right, the CRC it records is not
inline constexpr const char* kChecksumDiffers = "Z410";  // a package that its .sha256 file does not describe

// Import of a manifest pair: what the pair holds that the project cannot,
// and what the project had to assume.
inline constexpr const char* kUnreadableManifest = "Z301";  // an error
inline constexpr const char* kNotAManifest = "Z302";        // an error: no [Setup]
inline constexpr const char* kNoLocalizedManifest = "Z303";
inline constexpr const char* kLineWithoutPlace = "Z304";  // unknown key, stray line, repeated key
inline constexpr const char* kSectionNamedByNothing = "Z305";
inline constexpr const char* kUnwrittenForm = "Z306";  // a File=, Copy= or Ini= form never written
inline constexpr const char* kValueNotKept = "Z307";   // generating would write something else
inline constexpr const char* kDefaultsTaken = "Z308";  // a note
inline constexpr const char* kMissingSection = "Z309";
inline constexpr const char* kLaunchScriptUnread = "Z310";
inline constexpr const char* kSetupGroupFiles = "Z311";
inline constexpr const char* kUtf16Manifest = "Z312";  // a note

}  // namespace zpak::codes
