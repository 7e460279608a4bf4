#include "model/record_kinds.h"

#include "model/project_document.h"
#include "model/record_list.h"
#include "model/requirement_fields.h"

#include <algorithm>
#include <type_traits>

namespace zpak {

namespace {

// A list of the document, `ProjectDocument::*member`, as a RecordList.
template <auto member> struct ListOf {
    using Records = std::remove_cvref_t<decltype(std::declval<ProjectDocument&>().*member)>;
    using Record = typename Records::value_type::element_type;

    static std::size_t Size(const ProjectDocument& document) { return (document.*member).size(); }

    static ProjectNode* AtIndex(const ProjectDocument& document, std::size_t index)
    {
        return At(document.*member, index);
    }

    static ProjectNode& Append(ProjectDocument& document)
    {
        return *(document.*member).emplace_back(std::make_unique<Record>());
    }

    static std::unique_ptr<ProjectNode> TakeAt(ProjectDocument& document, std::size_t index)
    {
        return Take(document.*member, index);
    }

    static bool PutAt(ProjectDocument& document, std::size_t index, std::unique_ptr<ProjectNode>& record)
    {
        return Put(document.*member, index, record);
    }

    static constexpr RecordList kList{&Size, &AtIndex, &Append, &TakeAt, &PutAt};
};

// The product: a list of at most one, which undo does not move.
struct TheProduct {
    static std::size_t Size(const ProjectDocument& document) { return document.product ? 1 : 0; }

    static ProjectNode* At(const ProjectDocument& document, std::size_t index)
    {
        return index == 0 ? document.product.get() : nullptr;
    }

    static ProjectNode& Append(ProjectDocument& document)
    {
        document.product = std::make_unique<ProductData>();
        return *document.product;
    }

    static constexpr RecordList kList{&Size, &At, &Append, nullptr, nullptr};
};

// The texts of `Record` as the field table `table` lists them (each row
// with its `key`, `member` and `caption`).
template <typename Record, const auto& table> struct FieldsOf {
    static void ForEach(const ProjectNode& node, const TextVisitor& visit)
    {
        const auto& record = static_cast<const Record&>(node);
        for (const auto& field : table)
            visit(field.key, field.caption, record.*field.member);
    }

    static bool Read(ProjectNode& node, std::string_view key, std::string_view value)
    {
        const auto field = std::ranges::find(table, key, [](const auto& f) { return f.key; });
        if (field == std::ranges::end(table))
            return false;
        static_cast<Record&>(node).*(field->member) = std::string(value);
        return true;
    }

    static constexpr RecordFields kFields{&ForEach, &Read};
};

using RequirementTexts = FieldsOf<RequirementInfo, kRequirementFields>;

constexpr RecordKindFacts kKinds[] = {
    {RecordRef::Kind::Project, "project", ProjectPage::Generate, {}, {}, {}, {}},
    {RecordRef::Kind::GameFolder, "gameFolder", ProjectPage::GameFolder, {}, {}, {}, {}},
    {RecordRef::Kind::Group,
     "group",
     ProjectPage::Groups,
     "[Group]",
     "UNNAMED",
     ListOf<&ProjectDocument::groups>::kList,
     {}},
    {RecordRef::Kind::Entry, "entry", ProjectPage::Groups, {}, {}, {}, {}},
    // An INI file is named by its header less the last character until its name= line.
    {RecordRef::Kind::IniFile,
     "iniFile",
     ProjectPage::IniChanges,
     "[INI]",
     "[INI",
     ListOf<&ProjectDocument::iniFiles>::kList,
     {}},
    {RecordRef::Kind::IniChange, "iniChange", ProjectPage::IniChanges, {}, {}, {}, {}},
    {RecordRef::Kind::Requirement,
     "requirement",
     ProjectPage::Requirements,
     "[Requirement]",
     {},
     ListOf<&ProjectDocument::requirements>::kList,
     RequirementTexts::kFields},
    // The product has the requirement's texts and lines of its own after them.
    {RecordRef::Kind::Product,
     "product",
     ProjectPage::Product,
     "[Product]",
     {},
     TheProduct::kList,
     {nullptr, &RequirementTexts::Read}},
};

}  // namespace

std::span<const RecordKindFacts> RecordKinds()
{
    return kKinds;
}

const RecordKindFacts& FactsOf(RecordRef::Kind kind)
{
    for (const RecordKindFacts& facts : kKinds) {
        if (facts.kind == kind)
            return facts;
    }
    return kKinds[0];
}

const RecordKindFacts* KindOfHeader(std::string_view line)
{
    for (const RecordKindFacts& facts : kKinds) {
        if (!facts.header.empty() && facts.header == line)
            return &facts;
    }
    return nullptr;
}

}  // namespace zpak
