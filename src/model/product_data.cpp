#include "model/product_data.h"

#include "model/project_format.h"
#include "model/text_archive.h"

namespace zpak {

void ProductData::Serialize(TextArchive& out)
{
    RequirementInfo::Serialize(out);
    if (readme)
        out.WriteLine("readme", *readme);
    out.WriteLine("title", GetTitle());
    if (cleanup)
        out.WriteLine("cleanup", format::kProductFlagOn);
    if (windows)
        out.WriteLine("windows", format::kProductFlagOn);
    if (linux)
        out.WriteLine("linux", format::kProductFlagOn);
    if (mac)
        out.WriteLine("mac", format::kProductFlagOn);
    if (license)
        out.WriteLine("license", *license);
    if (logo)
        out.WriteLine("logo", *logo);
    if (shortcut) {
        out.WriteLine("shortcut", *shortcut);
        out.WriteLine("shortcutCaption", TextOf(shortcutCaption));
        out.WriteLine("documentationCaption", GetDocumentationCaption());
    }
    KeepArchiveName();
    out.WriteLine("archive", GetArchiveName());
}

std::string ProductData::GetTag() const
{
    return std::string(format::kProductHeader);
}

std::string ProductData::GetTitle() const
{
    return title ? *title : TextOf(product);
}

std::string ProductData::GetArchiveName() const
{
    if (archive)
        return *archive;
    if (product)
        return *product + std::string(format::kArchiveExtension);
    return std::string(format::kDefaultArchive);
}

void ProductData::KeepArchiveName()
{
    if (!archive && product)
        archive = GetArchiveName();
}

std::string ProductData::GetDocumentationCaption() const
{
    return documentationCaption.empty() ? std::string(format::kDefaultDocumentationCaption)
                                        : documentationCaption;
}

}  // namespace zpak
