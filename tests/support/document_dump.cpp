#include "support/document_dump.h"

#include "model/product_fields.h"
#include "model/project_document.h"
#include "model/record_kinds.h"

#include <sstream>

namespace zpak::test {

namespace {

std::string Opt(const std::optional<std::string>& text)
{
    return text ? "'" + *text + "'" : "<absent>";
}

void Identity(std::ostringstream& out, const RequirementInfo& record)
{
    for (const RequirementField& field : kRequirementFields)
        out << ' ' << field.key << '=' << Opt(record.*field.member);
    out << '\n';
}

}  // namespace

std::string Dump(const ProjectDocument& doc)
{
    std::ostringstream out;
    out << "gameFolder=" << Opt(doc.gameFolder) << '\n';
    for (const auto& group : doc.groups) {
        out << "group name=" << Opt(group->name) << " caption=" << Opt(group->caption)
            << " description=" << Opt(group->description) << " flags=" << !!group->Selectable
            << !!group->Required << !!group->Visible << !!group->Selected << '\n';
        for (const auto& file : group->files)
            out << "  file name=" << Opt(file->name) << " src=" << Opt(file->src)
                << " recurse=" << !!file->recurse << '\n';
    }
    for (const auto& iniFile : doc.iniFiles) {
        int groupIndex = -1;
        for (std::size_t i = 0; i < doc.groups.size(); ++i) {
            if (doc.groups[i].get() == iniFile->group)
                groupIndex = static_cast<int>(i);
        }
        out << "ini name=" << Opt(iniFile->name) << " group#" << groupIndex << '\n';
        for (const auto& entry : iniFile->entries)
            out << "  change " << Opt(entry->section) << ' ' << Opt(entry->key) << ' ' << Opt(entry->value)
                << ' ' << !!entry->addNewLine << '\n';
    }
    for (const RecordKindFacts& kind : RecordKinds()) {
        for (std::size_t i = 0; kind.fields.forEach && i < kind.list.size(doc); ++i) {
            out << kind.name;
            kind.fields.forEach(
                *kind.list.at(doc, i),
                [&out](std::string_view key, std::string_view, const std::optional<std::string>& text) {
                    out << ' ' << key << '=' << Opt(text);
                });
            out << '\n';
        }
    }
    if (const ProductData* product = doc.product.get()) {
        out << "product";
        Identity(out, *product);
        for (const ProductField& field : kProductFields) {
            if (field.text)
                out << ' ' << field.key << '=' << Opt(product->*field.text);
            else
                out << ' ' << field.key << '=' << !!(product->*field.flag);
        }
        out << '\n';
    }
    return out.str();
}

}  // namespace zpak::test
