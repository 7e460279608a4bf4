#pragma once

#include "model/file_info.h"

#include <memory>
#include <string_view>
#include <vector>

namespace zpak {

// One install group with the entries it installs.
class GroupInfo : public ProjectNode {
public:
    GroupInfo() = default;
    explicit GroupInfo(std::string groupName) { SetName(std::move(groupName)); }

    void Serialize(TextArchive& archive) override;

    const std::string& GetCaption() const { return TextOf(caption); }
    const std::string& GetDescription() const { return TextOf(description); }
    FileInfo* FindFileByHandle(ViewHandle handle) const;

    FileInfo& AddFile(std::string entryName);

    std::optional<std::string> caption;
    std::optional<std::string> description;
    int Selectable = 0;
    int Required = 0;
    int Visible = 0;
    int Selected = 0;
    std::vector<std::unique_ptr<FileInfo>> files;
};

// Whether a group name is one of the installer manifest's own section names
// (compared ignoring case): a group of that name would share its section.
bool IsReservedGroupName(std::string_view name);

}  // namespace zpak
