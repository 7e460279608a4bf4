#include "model/record_edits.h"

#include "model/product_fields.h"
#include "model/project_document.h"
#include "model/record_kinds.h"
#include "model/record_list.h"
#include "model/requirement_fields.h"

#include <vector>

namespace zpak {
ProjectNode* RecordAt(const ProjectDocument& document, const RecordRef& place)
{
    switch (place.kind) {
    case RecordRef::Kind::Entry: {
        const GroupInfo* group = At(document.groups, place.index);
        return group ? At(group->files, place.child) : nullptr;
    }
    case RecordRef::Kind::IniChange: {
        const INIGroup* file = At(document.iniFiles, place.index);
        return file ? At(file->entries, place.child) : nullptr;
    }
    default:
        const RecordList& list = FactsOf(place.kind).list;
        return list.take ? list.at(document, place.index) : nullptr;
    }
}

std::optional<RecordRef> PlaceOf(const ProjectDocument& document, const ProjectNode& record)
{
    for (const RecordKindFacts& kind : RecordKinds()) {
        for (std::size_t i = 0; kind.list.take && i < kind.list.size(document); ++i) {
            if (kind.list.at(document, i) == &record)
                return RecordRef{kind.kind, i, 0, {}};
        }
    }
    for (std::size_t group = 0; group < document.groups.size(); ++group) {
        if (const auto entry = IndexIn(document.groups[group]->files, record))
            return RecordRef::Entry(group, *entry);
    }
    for (std::size_t file = 0; file < document.iniFiles.size(); ++file) {
        if (const auto change = IndexIn(document.iniFiles[file]->entries, record))
            return RecordRef::IniChange(file, *change);
    }
    return std::nullopt;
}

std::unique_ptr<ProjectNode> TakeRecord(ProjectDocument& document, const RecordRef& place)
{
    switch (place.kind) {
    case RecordRef::Kind::Entry: {
        GroupInfo* group = At(document.groups, place.index);
        return group ? Take(group->files, place.child) : nullptr;
    }
    case RecordRef::Kind::IniChange: {
        INIGroup* file = At(document.iniFiles, place.index);
        return file ? Take(file->entries, place.child) : nullptr;
    }
    default:
        const RecordList& list = FactsOf(place.kind).list;
        return list.take ? list.take(document, place.index) : nullptr;
    }
}

bool PutRecord(ProjectDocument& document, const RecordRef& place, std::unique_ptr<ProjectNode>& record)
{
    switch (place.kind) {
    case RecordRef::Kind::Entry: {
        GroupInfo* group = At(document.groups, place.index);
        return group && Put(group->files, place.child, record);
    }
    case RecordRef::Kind::IniChange: {
        INIGroup* file = At(document.iniFiles, place.index);
        return file && Put(file->entries, place.child, record);
    }
    default:
        const RecordList& list = FactsOf(place.kind).list;
        return list.put && list.put(document, place.index, record);
    }
}

namespace {

// Calls `text` with each text member of the product and `flag` with each
// switch, in the order of the field tables.
template <typename Text, typename Flag> void ForEachProductField(const Text& text, const Flag& flag)
{
    for (const RequirementField& field : kRequirementFields)
        text(static_cast<std::optional<std::string> ProductData::*>(field.member));
    for (const ProductField& field : kProductFields) {
        if (field.text)
            text(field.text);
        else
            flag(field.flag);
    }
}

}  // namespace

ProjectFields ProjectFieldsOf(const ProjectDocument& document)
{
    ProjectFields fields;
    fields.gameFolder = document.gameFolder;
    if (const ProductData* product = document.product.get()) {
        fields.hasProduct = true;
        ForEachProductField([&](auto member) { fields.texts.push_back(product->*member); },
                            [&](auto member) { fields.flags.push_back(product->*member); });
    }
    return fields;
}

void StoreProjectFields(const ProjectFields& fields, ProjectDocument& document)
{
    document.gameFolder = fields.gameFolder;
    if (!fields.hasProduct) {
        document.product.reset();
        return;
    }
    if (!document.product)
        document.product = std::make_unique<ProductData>();
    ProductData& product = *document.product;
    std::size_t text = 0;
    std::size_t flag = 0;
    ForEachProductField([&](auto member) { product.*member = fields.texts.at(text++); },
                        [&](auto member) { product.*member = fields.flags.at(flag++); });
}

}  // namespace zpak
