#pragma once

#include "model/project_node.h"

namespace zpak {

// One file or wildcard entry of a group. `name` is the master path relative to
// the game folder, or a wildcard expression relative to it.
class FileInfo : public ProjectNode {
public:
    explicit FileInfo(std::string entryName) { SetName(std::move(entryName)); }

    void Serialize(TextArchive& archive) override;

    // The name the file is installed under, when it differs from the master path.
    const std::string& GetSrc() const { return TextOf(src); }
    std::string GetFullPath(const std::string& gameFolder) const;

    std::optional<std::string> src;
    int recurse = 0;
};

}  // namespace zpak
