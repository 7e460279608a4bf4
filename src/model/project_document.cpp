#include "model/project_document.h"

#include <algorithm>

namespace zpak {

ProjectDocument::ProjectDocument(ProjectDocument&& other) noexcept
{
    *this = std::move(other);
}

ProjectDocument& ProjectDocument::operator=(ProjectDocument&& other) noexcept
{
    if (this != &other) {
        Release();
        gameFolder = std::move(other.gameFolder);
        groups = std::move(other.groups);
        iniFiles = std::move(other.iniFiles);
        requirements = std::move(other.requirements);
        product = std::move(other.product);
        other.Release();
    }
    return *this;
}

void ProjectDocument::Release()
{
    groups.clear();
    iniFiles.clear();
    requirements.clear();
    product.reset();
    gameFolder.reset();
}

GroupInfo* ProjectDocument::FindGroupByName(const std::string& text) const
{
    for (const auto& group : groups) {
        if (group->NameText() == text)
            return group.get();
    }
    return nullptr;
}

bool ProjectDocument::GroupNameExists(const std::string& text) const
{
    return FindGroupByName(text) != nullptr;
}

bool ProjectDocument::FileAlreadyDefined(const std::string& text) const
{
    return std::ranges::any_of(groups, [&](const auto& group) {
        return std::ranges::any_of(group->files, [&](const auto& file) { return file->NameText() == text; });
    });
}

GroupInfo* ProjectDocument::FindGroupByHandle(ViewHandle handle) const
{
    for (const auto& group : groups) {
        if (group->IsShownAs(handle))
            return group.get();
    }
    return nullptr;
}

FileInfo* ProjectDocument::FindFileByHandle(ViewHandle handle) const
{
    for (const auto& group : groups) {
        if (FileInfo* file = group->FindFileByHandle(handle))
            return file;
    }
    return nullptr;
}

GroupInfo* ProjectDocument::FindGroupOf(const FileInfo& file) const
{
    for (const auto& group : groups) {
        if (std::ranges::any_of(group->files, [&](const auto& f) { return f.get() == &file; }))
            return group.get();
    }
    return nullptr;
}

RequirementInfo* ProjectDocument::FindRequirementByHandle(ViewHandle handle) const
{
    for (const auto& requirement : requirements) {
        if (requirement->IsShownAs(handle))
            return requirement.get();
    }
    return nullptr;
}

void ProjectDocument::RemoveGroup(const GroupInfo& group)
{
    std::erase_if(groups, [&](const auto& g) { return g.get() == &group; });
}

void ProjectDocument::RemoveFile(const FileInfo& file)
{
    if (GroupInfo* group = FindGroupOf(file))
        std::erase_if(group->files, [&](const auto& f) { return f.get() == &file; });
}

void ProjectDocument::RemoveRequirement(const RequirementInfo& requirement)
{
    std::erase_if(requirements, [&](const auto& r) { return r.get() == &requirement; });
}

INIGroup* ProjectDocument::FindIniFileByHandle(ViewHandle handle) const
{
    for (const auto& iniFile : iniFiles) {
        if (iniFile->IsShownAs(handle))
            return iniFile.get();
    }
    return nullptr;
}

INIDefinition* ProjectDocument::FindIniEntryByHandle(ViewHandle handle) const
{
    for (const auto& iniFile : iniFiles) {
        for (const auto& entry : iniFile->entries) {
            if (entry->IsShownAs(handle))
                return entry.get();
        }
    }
    return nullptr;
}

void ProjectDocument::RemoveIniFile(ViewHandle handle)
{
    const auto it =
        std::ranges::find_if(iniFiles, [&](const auto& iniFile) { return iniFile->IsShownAs(handle); });
    if (it != iniFiles.end())
        iniFiles.erase(it);
}

void ProjectDocument::RemoveIniEntry(ViewHandle handle)
{
    for (const auto& iniFile : iniFiles) {
        auto& entries = iniFile->entries;
        const auto it =
            std::ranges::find_if(entries, [&](const auto& entry) { return entry->IsShownAs(handle); });
        if (it != entries.end()) {
            entries.erase(it);
            return;
        }
    }
}

}  // namespace zpak
