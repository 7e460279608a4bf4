#include "support/document_dump.h"

#include "model/project_document.h"

#include <sstream>

namespace zpak::test {

namespace {

std::string Opt(const std::optional<std::string>& text)
{
    return text ? "'" + *text + "'" : "<absent>";
}

void Identity(std::ostringstream& out, const RequirementInfo& record)
{
    out << " product=" << Opt(record.product) << " version=" << Opt(record.version)
        << " developer=" << Opt(record.developer) << " productURL=" << Opt(record.productURL)
        << " versionURL=" << Opt(record.versionURL) << " developerURL=" << Opt(record.developerURL) << '\n';
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
    for (const auto& requirement : doc.requirements) {
        out << "requirement";
        Identity(out, *requirement);
    }
    if (const ProductData* product = doc.product.get()) {
        out << "product";
        Identity(out, *product);
        out << "  readme=" << Opt(product->readme) << " title=" << Opt(product->title)
            << " archive=" << Opt(product->archive) << " license=" << Opt(product->license)
            << " logo=" << Opt(product->logo) << " shortcut=" << Opt(product->shortcut)
            << " shortcutCaption=" << Opt(product->shortcutCaption)
            << " documentationCaption=" << Opt(product->documentationCaption)
            << " flags=" << !!product->cleanup << !!product->windows << !!product->linux << !!product->mac
            << '\n';
    }
    return out.str();
}

}  // namespace zpak::test
