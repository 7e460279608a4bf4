#include "model/product_data.h"

#include "model/product_fields.h"
#include "model/project_format.h"
#include "model/text_archive.h"

namespace zpak {

void ProductData::Serialize(TextArchive& out)
{
    for (const RequirementField& field : kRequirementFields)
        out.WriteLine(field.key, TextOf(this->*field.member));
    // The archive line names the default archive: from now on it is the product's own.
    KeepArchiveName();
    for (const ProductField& field : kProductFields) {
        if (const auto text = WrittenText(*this, field))
            out.WriteLine(field.key, *text);
    }
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
    return TextOf(documentationCaption).empty() ? std::string(format::kDefaultDocumentationCaption)
                                                : *documentationCaption;
}

}  // namespace zpak
