#pragma once

#include "model/group_info.h"
#include "model/ini_group.h"
#include "model/product_data.h"
#include "model/requirement_info.h"

#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace zpak {

// The description of the mod product: the one document that every page edits,
// the project file stores and generation reads. It owns every record.
class ProjectDocument {
public:
    ProjectDocument() = default;
    ProjectDocument(const ProjectDocument&) = delete;
    ProjectDocument& operator=(const ProjectDocument&) = delete;
    ProjectDocument(ProjectDocument&& other) noexcept;
    // Releases this document's records first, then takes over the other's.
    ProjectDocument& operator=(ProjectDocument&& other) noexcept;
    ~ProjectDocument() { Release(); }

    // Destroys groups, INI files, requirements, the product, then the game folder.
    void Release();

    GroupInfo* FindGroupByName(const std::string& text) const;
    bool GroupNameExists(const std::string& text) const;
    bool FileAlreadyDefined(const std::string& text) const;

    GroupInfo* FindGroupByHandle(ViewHandle handle) const;
    FileInfo* FindFileByHandle(ViewHandle handle) const;
    // The group that holds the entry, or null.
    GroupInfo* FindGroupOf(const FileInfo& file) const;
    INIGroup* FindIniFileByHandle(ViewHandle handle) const;
    INIDefinition* FindIniEntryByHandle(ViewHandle handle) const;
    RequirementInfo* FindRequirementByHandle(ViewHandle handle) const;

    // Each removes the record (and what it owns); nothing for a record that
    // is not in the document.
    void RemoveGroup(const GroupInfo& group);
    void RemoveFile(const FileInfo& file);
    void RemoveIniFile(ViewHandle handle);
    void RemoveIniEntry(ViewHandle handle);
    void RemoveRequirement(const RequirementInfo& requirement);

    const std::string& GameFolderText() const { return TextOf(gameFolder); }

    std::optional<std::string> gameFolder;
    std::vector<std::unique_ptr<GroupInfo>> groups;
    std::vector<std::unique_ptr<INIGroup>> iniFiles;
    std::vector<std::unique_ptr<RequirementInfo>> requirements;
    std::unique_ptr<ProductData> product;
};

}  // namespace zpak
