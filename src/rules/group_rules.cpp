#include "rules/group_rules.h"

#include "model/project_document.h"
#include "model/relative_path.h"
#include "platform/file_search.h"
#include "platform/folder_index.h"
#include "platform/message_sink.h"
#include "platform/text_case.h"
#include "platform/text_encoding.h"
#include "platform/text_format.h"

#include <algorithm>

namespace zpak {

bool CheckGroupName(const std::string& name, MessageSink& sink)
{
    if (name.empty()) {
        sink.ShowMessage("The group name cannot be empty. Please enter a name.");
        return false;
    }
    if (name.find_first_of("[]") != std::string::npos) {
        sink.ShowMessage(FormatText(
            "The group name %s contains invalid characters. Please choose a different name.", {name}));
        return false;
    }
    if (IsReservedGroupName(name)) {
        sink.ShowMessage(
            FormatText("The group name %s is reserved. Please choose a different name.", {name}));
        return false;
    }
    return true;
}

std::optional<std::string> GroupsNextProblem(const ProjectDocument& document)
{
    if (std::ranges::any_of(document.groups, [](const auto& group) { return !group->files.empty(); }))
        return std::nullopt;
    return "Add a file or a wildcard to a group: the product installs at least one file.";
}

bool CheckGroupNameUnused(const ProjectDocument& document, const std::string& name, MessageSink& sink)
{
    if (!document.GroupNameExists(name))
        return true;
    sink.ShowMessage("That group name has already been used. Please choose another.");
    return false;
}

std::vector<std::string> PickedFileNames(const ProjectDocument& document, const std::string& resolvedFolder,
                                         const std::vector<std::string>& paths, MessageSink& sink)
{
    std::vector<std::string> names;
    const std::string& folder = document.GameFolderText();
    for (const std::string& path : paths) {
        std::string name = GameFolderRelativePath(folder, resolvedFolder, path);
        if (name.empty()) {
            sink.ShowMessage(
                FormatText("The file %s is not contained within the target folder %s", {path, folder}));
            break;
        }
        if (document.FileAlreadyDefined(name) || std::ranges::find(names, name) != names.end()) {
            sink.ShowMessage(FormatText("The file %s has already been defined.", {path}));
            break;
        }
        names.push_back(std::move(name));
    }
    return names;
}

bool CheckWildcard(const ProjectDocument& document, const std::string& expression,
                   const std::filesystem::path& winePrefix, MessageSink& sink)
{
    if (expression.find('*') == std::string::npos) {
        sink.ShowMessage("The wildcard must use the '*' character.");
        return false;
    }
    if (LeavesFolder(expression)) {
        sink.ShowMessage(FormatText("The wildcard %s leaves the game folder. Please enter a path "
                                    "relative to the game folder, without \"..\".",
                                    {expression}));
        return false;
    }
    if (!AnyFileMatches(document.GameFolderText() + "\\" + expression, winePrefix)) {
        sink.ShowMessage(FormatText("The wildcard [%s] is not valid. No files were found.",
                                    {document.GameFolderText() + "\\" + expression}));
        return false;
    }
    return true;
}

bool EntryFilePresent(FolderIndex& index, const std::filesystem::path& gameFolder, const std::string& name)
{
    const auto components = ComponentsInsideFolder(name);
    if (!components || components->empty())
        return false;
    const FolderIndex::Found found = index.Find(gameFolder, *components);
    return found.entry && FolderIndex::IsReadableFile(*found.folder, *found.entry);
}

namespace {

// Calls `matched` with each entry of the wildcard's folder that its file
// name matches, files and folders alike, the folder's listing and its path.
template <typename Matched>
void ForEachMatch(FolderIndex& index, const std::filesystem::path& gameFolder, const std::string& expression,
                  const Matched& matched)
{
    auto components = ComponentsInsideFolder(expression);
    if (!components || components->empty())
        return;
    const std::string pattern = components->back();
    components->pop_back();
    const FolderIndex::Found folder = index.Find(gameFolder, *components);
    if (!components->empty() && !folder.entry)
        return;
    const FolderListing& listing = index.List(folder.path);
    for (const FolderEntry& entry : listing.entries) {
        if (MatchesWildcard(entry.name, pattern))
            matched(listing, entry, folder.path);
    }
}

}  // namespace

std::vector<std::string> WildcardMatches(FolderIndex& index, const std::filesystem::path& gameFolder,
                                         const std::string& expression)
{
    std::vector<std::string> matches;
    ForEachMatch(index, gameFolder, expression,
                 [&](const FolderListing& listing, const FolderEntry& entry, const std::filesystem::path&) {
                     if (FolderIndex::IsReadableFile(listing, entry))
                         matches.push_back(entry.name);
                 });
    return matches;
}

std::size_t WildcardFolderMatches(FolderIndex& index, const std::filesystem::path& gameFolder,
                                  const std::string& expression)
{
    std::size_t folders = 0;
    ForEachMatch(index, gameFolder, expression,
                 [&](const FolderListing&, const FolderEntry& entry, const std::filesystem::path& folder) {
                     std::error_code ec;
                     folders += entry.type == EntryType::Folder
                         || ((entry.type == EntryType::Link || entry.type == EntryType::Unknown)
                             && std::filesystem::is_directory(folder / PathFromText(entry.name), ec));
                 });
    return folders;
}

LiveWildcard::LiveWildcard(const ProjectDocument& document, FolderIndex& index,
                           std::filesystem::path gameFolder)
    : doc_(document), index_(index), gameFolder_(std::move(gameFolder))
{
}

namespace {

// An entry's folder text against a folder already folded (as InstalledFrom
// takes it), in place: "/" and "\" alike, letter case ignored.
bool IsSameFolder(std::string_view entryFolder, const std::string& folder)
{
    if (entryFolder.size() != folder.size())
        return false;
    for (std::size_t i = 0; i < folder.size(); ++i) {
        const char c = entryFolder[i] == '/' ? '\\' : FoldCase(entryFolder[i]);
        if (c != folder[i])
            return false;
    }
    return true;
}

}  // namespace

const std::unordered_set<std::string>& LiveWildcard::InstalledFrom(const std::string& folder) const
{
    const auto known = installedByFolder_.find(folder);
    if (known != installedByFolder_.end())
        return known->second;
    // One pass over the entries.
    std::unordered_set<std::string>& installed = installedByFolder_[folder];
    for (const auto& group : doc_.groups) {
        for (const auto& file : group->files) {
            const std::string& name = file->NameText();
            const std::size_t slash = name.find_last_of("\\/");
            const std::string_view entryFolder =
                slash == std::string::npos ? std::string_view() : std::string_view(name).substr(0, slash);
            if (!IsSameFolder(entryFolder, folder))
                continue;
            const std::string_view last = std::string_view(name).substr(slash + 1);
            if (last.find('*') == std::string_view::npos) {
                installed.insert(FoldedText(last));
                continue;
            }
            for (const std::string& match : WildcardMatches(index_, gameFolder_, name))
                installed.insert(FoldedText(match));
        }
    }
    return installed;
}

WildcardMatchList LiveWildcard::Matches(const std::string& expression) const
{
    WildcardMatchList list;
    auto components = ComponentsInsideFolder(expression);
    if (expression.find('*') == std::string::npos) {
        list.problem = "A wildcard needs a * in its file name.";
        return list;
    }
    if (!components || components->empty()) {
        list.problem = "The wildcard leaves the game folder.";
        return list;
    }
    components->pop_back();
    std::string folder;
    for (const std::string& component : *components)
        folder += (folder.empty() ? "" : "\\") + FoldedText(component);
    const std::unordered_set<std::string>& installed = InstalledFrom(folder);
    for (std::string& name : WildcardMatches(index_, gameFolder_, expression)) {
        const bool covered = installed.count(FoldedText(name)) != 0;
        list.files.push_back({std::move(name), covered});
    }
    if (list.files.empty()) {
        const std::size_t folders = WildcardFolderMatches(index_, gameFolder_, expression);
        list.problem = folders == 0
            ? std::string("The wildcard matches nothing.")
            : FormatText("The wildcard matches %s and no file: the entry would install "
                         "nothing, as a folder's files are not taken.",
                         {folders == 1 ? std::string("1 folder") : std::to_string(folders) + " folders"});
    }
    return list;
}

GroupOptions OptionsOf(const GroupInfo& group)
{
    return {group.Selectable != 0, group.Visible != 0, group.Required != 0,
            group.Selected != 0,   group.GetCaption(), group.GetDescription()};
}

void ApplyGroupOptions(const GroupOptions& options, GroupInfo& group)
{
    group.Selectable = options.selectable;
    group.Visible = options.visible;
    group.Required = options.required;
    group.Selected = options.selected;
    group.caption = options.caption;
    group.description = options.description;
}

void SetFileDestination(FileInfo& file, const std::string& destination)
{
    if (destination.empty())
        file.src.reset();
    else if (destination != file.GetSrc())
        file.src = StoredGamePath(destination);
}

bool CheckGroupRemovable(const ProjectDocument& document, const GroupInfo& group, MessageSink& sink)
{
    std::string tied;
    for (const auto& iniFile : document.iniFiles) {
        if (iniFile->group == &group)
            tied += (tied.empty() ? "" : ", ") + iniFile->NameText();
    }
    if (tied.empty())
        return true;
    sink.ShowMessage(FormatText("The group %s cannot be deleted: the changes of %s belong to it. "
                                "Tie them to another group on the INI changes page first.",
                                {group.NameText(), tied}));
    return false;
}

}  // namespace zpak
