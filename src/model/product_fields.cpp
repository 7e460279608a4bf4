#include "model/product_fields.h"

#include "model/project_format.h"

#include <vector>

namespace zpak {

const ProductField* FindProductField(std::string_view key)
{
    for (const ProductField& field : kProductFields) {
        if (field.key == key)
            return &field;
    }
    return nullptr;
}

std::optional<std::string> WrittenText(const ProductData& product, const ProductField& field)
{
    if (field.line == FieldLine::WithShortcut && !product.shortcut)
        return std::nullopt;
    if (field.flag) {
        if (product.*field.flag)
            return std::string(format::kProductFlagOn);
        return std::nullopt;
    }
    if (field.line == FieldLine::WhenSet && !(product.*field.text))
        return std::nullopt;
    return field.written ? (product.*field.written)() : TextOf(product.*field.text);
}

void ReadField(ProductData& product, const ProductField& field, std::string_view value)
{
    if (field.flag)
        product.*field.flag = 1;
    else
        product.*field.text = std::string(value);
}

std::span<const ProductFormField> ProductFormFields()
{
    static const std::vector<ProductFormField> fields = [] {
        std::vector<ProductFormField> all;
        for (const RequirementField& field : kRequirementFields)
            all.push_back({field.key, field.objectName, field.member, field.text});
        for (const ProductField& field : kProductFields) {
            if (field.form)
                all.push_back({field.key, field.objectName, field.text, field.form});
        }
        return all;
    }();
    return fields;
}

const char* ControlNameOf(std::string_view key)
{
    if (const ProductField* field = FindProductField(key))
        return field->objectName;
    const RequirementField* field = FindRequirementField(key);
    return field ? field->objectName : nullptr;
}

}  // namespace zpak
