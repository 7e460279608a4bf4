#pragma once

#include "model/group_info.h"
#include "model/ini_group.h"
#include "model/product_data.h"
#include "model/record_list.h"
#include "model/requirement_info.h"

#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace zpak {

// The records of a project: moved together, and empty once moved from.
// A new kind of top-level record is a list here and a row of RecordKinds().
struct ProjectRecords {
    std::optional<std::string> gameFolder;
    RecordVector<GroupInfo> groups;
    RecordVector<INIGroup> iniFiles;
    RecordVector<RequirementInfo> requirements;
    std::unique_ptr<ProductData> product;
};

// The description of the mod product: the one document that every page edits,
// the project file stores and generation reads. It owns every record.
class ProjectDocument : public ProjectRecords {
public:
    ProjectDocument() = default;
    ProjectDocument(const ProjectDocument&) = delete;
    ProjectDocument& operator=(const ProjectDocument&) = delete;
    ProjectDocument(ProjectDocument&& other) noexcept;
    // Releases this document's records first, then takes over the other's.
    ProjectDocument& operator=(ProjectDocument&& other) noexcept;
    ~ProjectDocument() { Release(); }

    // Destroys every record and forgets the game folder.
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

    // Each removes the record (and what it owns); nothing for a record that
    // is not in the document. A flat list's record is found and removed by
    // FindByHandle and Remove (model/record_list.h).
    void RemoveGroup(const GroupInfo& group);
    void RemoveFile(const FileInfo& file);
    void RemoveIniFile(ViewHandle handle);
    void RemoveIniEntry(ViewHandle handle);

    const std::string& GameFolderText() const { return TextOf(gameFolder); }
};

}  // namespace zpak
