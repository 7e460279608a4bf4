#include "model/group_info.h"

#include "model/project_format.h"
#include "model/record_list.h"
#include "model/text_archive.h"
#include "platform/text_case.h"

#include <algorithm>

namespace zpak {

namespace {

constexpr std::string_view kReservedNames[] = {
    "SetupGroup", "PlayShortcut", "UninstallShortcut", "DesktopShortcut", "DocumentationShortcut", "Setup"};

}  // namespace

bool IsReservedGroupName(std::string_view name)
{
    return std::ranges::any_of(
        kReservedNames, [name](std::string_view reserved) { return EqualsIgnoringCase(name, reserved); });
}

void GroupInfo::Serialize(TextArchive& archive)
{
    archive.WriteLine("name", NameText());
    if (Required)
        archive.WriteLine("Required", format::kGroupFlagOn);
    if (Selectable)
        archive.WriteLine("Selectable", format::kGroupFlagOn);
    if (Selected)
        archive.WriteLine("Selected", format::kGroupFlagOn);
    if (Visible)
        archive.WriteLine("Visible", format::kGroupFlagOn);
    if (!GetCaption().empty())
        archive.WriteLine("caption", GetCaption());
    if (!GetDescription().empty())
        archive.WriteLine("description", GetDescription());
    for (const auto& file : files)
        file->Serialize(archive);
}

FileInfo* GroupInfo::FindFileByHandle(ViewHandle handle) const
{
    return FindByHandle(files, handle);
}

FileInfo& GroupInfo::AddFile(std::string entryName)
{
    files.push_back(std::make_unique<FileInfo>(std::move(entryName)));
    return *files.back();
}

}  // namespace zpak
