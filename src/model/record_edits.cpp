#include "model/record_edits.h"

#include "model/product_fields.h"
#include "model/project_document.h"
#include "model/requirement_fields.h"

#include <algorithm>
#include <vector>

namespace zpak {
namespace {

template <typename Record> Record* At(const std::vector<std::unique_ptr<Record>>& list, std::size_t index)
{
    return index < list.size() ? list[index].get() : nullptr;
}

template <typename Record>
std::optional<std::size_t> IndexIn(const std::vector<std::unique_ptr<Record>>& list,
                                   const ProjectNode& record)
{
    const auto it = std::find_if(list.begin(), list.end(), [&](const auto& r) { return r.get() == &record; });
    if (it == list.end())
        return std::nullopt;
    return static_cast<std::size_t>(it - list.begin());
}

template <typename Record>
std::unique_ptr<ProjectNode> Take(std::vector<std::unique_ptr<Record>>& list, std::size_t index)
{
    if (index >= list.size())
        return nullptr;
    std::unique_ptr<ProjectNode> taken = std::move(list[index]);
    list.erase(list.begin() + static_cast<std::ptrdiff_t>(index));
    return taken;
}

template <typename Record>
bool Put(std::vector<std::unique_ptr<Record>>& list, std::size_t index, std::unique_ptr<ProjectNode>& record)
{
    if (!dynamic_cast<Record*>(record.get()) || index > list.size())
        return false;
    list.insert(list.begin() + static_cast<std::ptrdiff_t>(index),
                std::unique_ptr<Record>(static_cast<Record*>(record.release())));
    return true;
}

}  // namespace

ProjectNode* RecordAt(const ProjectDocument& document, const RecordRef& place)
{
    switch (place.kind) {
    case RecordRef::Kind::Group:
        return At(document.groups, place.index);
    case RecordRef::Kind::Entry: {
        const GroupInfo* group = At(document.groups, place.index);
        return group ? At(group->files, place.child) : nullptr;
    }
    case RecordRef::Kind::IniFile:
        return At(document.iniFiles, place.index);
    case RecordRef::Kind::IniChange: {
        const INIGroup* file = At(document.iniFiles, place.index);
        return file ? At(file->entries, place.child) : nullptr;
    }
    case RecordRef::Kind::Requirement:
        return At(document.requirements, place.index);
    default:
        return nullptr;
    }
}

std::optional<RecordRef> PlaceOf(const ProjectDocument& document, const ProjectNode& record)
{
    if (const auto group = IndexIn(document.groups, record))
        return RecordRef::Group(*group);
    if (const auto file = IndexIn(document.iniFiles, record))
        return RecordRef::IniFile(*file);
    if (const auto requirement = IndexIn(document.requirements, record))
        return RecordRef{RecordRef::Kind::Requirement, *requirement, 0, {}};
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
    case RecordRef::Kind::Group:
        return Take(document.groups, place.index);
    case RecordRef::Kind::Entry: {
        GroupInfo* group = At(document.groups, place.index);
        return group ? Take(group->files, place.child) : nullptr;
    }
    case RecordRef::Kind::IniFile:
        return Take(document.iniFiles, place.index);
    case RecordRef::Kind::IniChange: {
        INIGroup* file = At(document.iniFiles, place.index);
        return file ? Take(file->entries, place.child) : nullptr;
    }
    case RecordRef::Kind::Requirement:
        return Take(document.requirements, place.index);
    default:
        return nullptr;
    }
}

bool PutRecord(ProjectDocument& document, const RecordRef& place, std::unique_ptr<ProjectNode>& record)
{
    switch (place.kind) {
    case RecordRef::Kind::Group:
        return Put(document.groups, place.index, record);
    case RecordRef::Kind::Entry: {
        GroupInfo* group = At(document.groups, place.index);
        return group && Put(group->files, place.child, record);
    }
    case RecordRef::Kind::IniFile:
        return Put(document.iniFiles, place.index, record);
    case RecordRef::Kind::IniChange: {
        INIGroup* file = At(document.iniFiles, place.index);
        return file && Put(file->entries, place.child, record);
    }
    case RecordRef::Kind::Requirement:
        return Put(document.requirements, place.index, record);
    default:
        return false;
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
