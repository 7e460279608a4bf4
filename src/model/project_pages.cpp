#include "model/project_pages.h"

#include "model/product_fields.h"
#include "model/record_kinds.h"

namespace zpak {

const char* PageName(ProjectPage page)
{
    for (const ProjectPageFacts& facts : kProjectPages) {
        if (facts.page == page)
            return facts.name;
    }
    return "generate";
}

ProjectPage PageOf(const RecordRef& record)
{
    if (record.kind == RecordRef::Kind::Product) {
        // The fields a requirement has too are on the product page.
        if (const ProductField* field = FindProductField(record.field))
            return field->page;
    }
    return FactsOf(record.kind).page;
}

}  // namespace zpak
