#include "model/project_pages.h"

#include "model/product_fields.h"
#include "model/record_ref.h"

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
    switch (record.kind) {
    case RecordRef::Kind::Project:
        return ProjectPage::Generate;
    case RecordRef::Kind::GameFolder:
        return ProjectPage::GameFolder;
    case RecordRef::Kind::Group:
    case RecordRef::Kind::Entry:
        return ProjectPage::Groups;
    case RecordRef::Kind::IniFile:
    case RecordRef::Kind::IniChange:
        return ProjectPage::IniChanges;
    case RecordRef::Kind::Requirement:
        return ProjectPage::Requirements;
    case RecordRef::Kind::Product: {
        // The fields a requirement has too are on the product page.
        const ProductField* field = FindProductField(record.field);
        return field ? field->page : ProjectPage::Product;
    }
    }
    return ProjectPage::Generate;
}

}  // namespace zpak
