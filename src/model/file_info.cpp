#include "model/file_info.h"

#include "model/project_format.h"
#include "model/text_archive.h"

namespace zpak {

void FileInfo::Serialize(TextArchive& archive)
{
    archive.WriteLine(NameText());
    if (!GetSrc().empty())
        archive.WriteLine("src", GetSrc());
    if (recurse)
        archive.WriteLine("recurse", format::kGroupFlagOn);
}

std::string FileInfo::GetFullPath(const std::string& gameFolder) const
{
    return gameFolder + "\\" + NameText();
}

}  // namespace zpak
