#include "model/project_document.h"

#include <algorithm>
#include <utility>

namespace zpak {

ProjectDocument::ProjectDocument(ProjectDocument&& other) noexcept
{
    *this = std::move(other);
}

ProjectDocument& ProjectDocument::operator=(ProjectDocument&& other) noexcept
{
    if (this != &other) {
        Release();
        static_cast<ProjectRecords&>(*this) =
            std::exchange(static_cast<ProjectRecords&>(other), ProjectRecords());
    }
    return *this;
}

void ProjectDocument::Release()
{
    static_cast<ProjectRecords&>(*this) = ProjectRecords();
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
    return FindByHandle(groups, handle);
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

void ProjectDocument::RemoveGroup(const GroupInfo& group)
{
    Remove(groups, group);
}

void ProjectDocument::RemoveFile(const FileInfo& file)
{
    if (GroupInfo* group = FindGroupOf(file))
        Remove(group->files, file);
}

INIGroup* ProjectDocument::FindIniFileByHandle(ViewHandle handle) const
{
    return FindByHandle(iniFiles, handle);
}

INIDefinition* ProjectDocument::FindIniEntryByHandle(ViewHandle handle) const
{
    for (const auto& iniFile : iniFiles) {
        if (INIDefinition* entry = FindByHandle(iniFile->entries, handle))
            return entry;
    }
    return nullptr;
}

void ProjectDocument::RemoveIniFile(ViewHandle handle)
{
    if (const INIGroup* iniFile = FindByHandle(iniFiles, handle))
        Remove(iniFiles, *iniFile);
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
