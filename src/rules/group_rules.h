#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <unordered_map>
#include <unordered_set>
#include <vector>

namespace zpak {

class FileInfo;
class FolderIndex;
class GroupInfo;
class MessageSink;
class ProjectDocument;

// Every group name becomes a section header "[name]" of the installer
// manifest, beside the manifest's own sections: refuses (with a message) a
// name that is empty, holds "[" or "]", or is one of the manifest's own
// section names (compared ignoring case).
bool CheckGroupName(const std::string& name, MessageSink& sink);

// What the groups page misses before Next: a file in some group, as a
// product installs at least one. Nothing when Next may go on.
std::optional<std::string> GroupsNextProblem(const ProjectDocument& document);

// Refuses a name another group already has (compared exactly).
bool CheckGroupNameUnused(const ProjectDocument& document, const std::string& name, MessageSink& sink);

// The entry names of files picked in a file dialog (native paths), in order,
// relative to the game folder with "\" separators. The game folder counts as
// the project holds it and as it lies on disk (`resolvedFolder`: a
// drive-letter folder found in a Wine prefix). Stops at the first file
// outside the game folder or already an entry (of the project, or earlier in
// the same pick), with a message; the names before it are given.
std::vector<std::string> PickedFileNames(const ProjectDocument& document, const std::string& resolvedFolder,
                                         const std::vector<std::string>& paths, MessageSink& sink);

// Checks a wildcard expression before it becomes an entry: it must hold
// "*", stay inside the game folder (no absolute path, no ".." component) and
// match something there.
bool CheckWildcard(const ProjectDocument& document, const std::string& expression,
                   const std::filesystem::path& winePrefix, MessageSink& sink);

// What the disk holds for an entry, looked up through an index of the game
// folder (`gameFolder` as it lies on disk): whether a plain entry's file is
// there, and the names of the files a wildcard matches (one folder level,
// letter case as on disk, in byte order).
bool EntryFilePresent(FolderIndex& index, const std::filesystem::path& gameFolder, const std::string& name);
std::vector<std::string> WildcardMatches(FolderIndex& index, const std::filesystem::path& gameFolder,
                                         const std::string& expression);
// How many folders the wildcard matches in the same place: a folder matches
// as a file does, but its files are not installed.
std::size_t WildcardFolderMatches(FolderIndex& index, const std::filesystem::path& gameFolder,
                                  const std::string& expression);

// What a wildcard being typed would add, told before it is added.
struct WildcardMatch {
    std::string name;      // letter case as on disk
    bool covered = false;  // another entry of the project installs it already
};
struct WildcardMatchList {
    std::vector<WildcardMatch> files;
    std::string problem;  // why it matches nothing, or empty
};

// Looks up wildcards as they are typed. What the project's entries install
// is worked out for one folder at a time, the first time a wildcard names it,
// so that opening the dialog costs nothing however large the project.
class LiveWildcard {
public:
    LiveWildcard(const ProjectDocument& document, FolderIndex& index, std::filesystem::path gameFolder);
    WildcardMatchList Matches(const std::string& expression) const;

private:
    // The folded names of the files entries install from a folder ("maps\\sub", folded).
    const std::unordered_set<std::string>& InstalledFrom(const std::string& folder) const;

    const ProjectDocument& doc_;
    FolderIndex& index_;
    std::filesystem::path gameFolder_;
    mutable std::unordered_map<std::string, std::unordered_set<std::string>> installedByFolder_;
};

// What the group options dialog edits.
struct GroupOptions {
    bool selectable = false;
    bool visible = false;
    bool required = false;
    bool selected = false;
    std::string caption;
    std::string description;
};
GroupOptions OptionsOf(const GroupInfo& group);
void ApplyGroupOptions(const GroupOptions& options, GroupInfo& group);

// The name an entry is installed under, stored with "\" separators unless it
// is the one stored already; an empty text installs it under its own name.
void SetFileDestination(FileInfo& file, const std::string& destination);

// A group may go unless it is the last one (the caller shows why) or INI
// files are tied to it (refused here, naming them).
bool CheckGroupRemovable(const ProjectDocument& document, const GroupInfo& group, MessageSink& sink);

}  // namespace zpak
