#include "rules/product_rules.h"

#include "generate/product_paths.h"

#include "model/project_document.h"
#include "model/project_format.h"
#include "model/relative_path.h"
#include "platform/message_sink.h"

namespace zpak {

bool IsVersionValid(std::string_view version)
{
    return !version.empty() && LeadingNumber(version) != 0;
}

namespace {

// What a store of the product page refuses.
std::optional<std::string> MissingProductField(std::string_view name, std::string_view version)
{
    if (name.empty())
        return "You must complete the product field.";
    if (!IsVersionValid(version))
        return "You must enter a numerical number into the version field.";
    return std::nullopt;
}

std::string DefaultTitle(const std::string& name)
{
    return name + " Setup";
}

std::string DefaultArchive(const std::string& name)
{
    return name + std::string(format::kArchiveExtension);
}

}  // namespace

std::optional<std::string> ProductNextProblem(std::string_view name, std::string_view version)
{
    if (auto missing = MissingProductField(name, version))
        return missing;
    return ProductNameProblem(name);
}

void FollowProductName(ProductData& product, const std::string& name, std::string& title)
{
    const std::string old = TextOf(product.product);
    if (old == name)
        return;
    // A title shown for a product without one is its name.
    if (title == DefaultTitle(old) || (!old.empty() && title == old))
        title = DefaultTitle(name);
    if (product.archive && *product.archive == DefaultArchive(old))
        product.archive = DefaultArchive(name);
}

std::string NormalisedVersion(const std::string& version)
{
    const int number = LeadingNumber(version);
    return number != 0 ? std::to_string(number) : version;
}

ProductData& EnsureProduct(ProjectDocument& document)
{
    if (!document.product)
        document.product = std::make_unique<ProductData>();
    return *document.product;
}

void FillProductForm(const ProjectDocument& document, ProductForm& form)
{
    const ProductData* product = document.product.get();
    if (!product)
        return;
    for (const ProductFormField& field : ProductFormFields()) {
        if (const auto& value = product->*field.member)
            form.*field.text = *value;
    }
    if (!product->title && product->product)
        form.title = *product->product;
    form.version = product->version.value_or("100");
}

bool StoreProductFields(ProjectDocument& document, ProductForm& form, MessageSink& sink)
{
    ProductData& product = EnsureProduct(document);
    // The name is checked before the readme is stored, the version after.
    auto problem = MissingProductField(form.product, form.version);
    if (problem && form.product.empty()) {
        sink.ShowMessage(*problem);
        return false;
    }
    // A path typed anew takes "\" separators; one shown as stored keeps its form.
    if (!form.readme.empty() && form.readme != TextOf(product.readme)) {
        form.readme = StoredGamePath(form.readme);
        product.readme = form.readme;
    }
    if (problem) {
        sink.ShowMessage(*problem);
        return false;
    }
    FollowProductName(product, form.product, form.title);
    if (form.title.empty())
        form.title = DefaultTitle(form.product);
    // An empty readme field keeps the readme: it was stored above when there was one.
    for (const ProductFormField& field : ProductFormFields()) {
        if (field.member != &ProductData::readme)
            product.*field.member = form.*field.text;
    }
    return true;
}

bool StoreProductField(ProjectDocument& document, const ProductFormField& field, std::string text)
{
    ProductData* product = document.product.get();
    if (!product || (field.text == &ProductForm::product && text.empty())
        || (field.text == &ProductForm::version && !IsVersionValid(text)))
        return false;
    // Leaving a field unchanged stores nothing: an absent text shows empty.
    if ((field.member == &ProductData::readme && text.empty()) || TextOf(product->*field.member) == text)
        return true;
    if (field.text == &ProductForm::title && text.empty())
        text = DefaultTitle(TextOf(product->product));
    if (field.text == &ProductForm::product) {
        std::string title = TextOf(product->title);
        FollowProductName(*product, text, title);
        if (product->title)
            product->title = std::move(title);
    }
    if (field.member == &ProductData::readme)
        text = StoredGamePath(std::move(text));
    product->*field.member = std::move(text);
    return true;
}

bool StorePackageFields(ProjectDocument& document, const PackageForm& form, MessageSink& sink)
{
    ProductData& product = EnsureProduct(document);
    if (const auto problem = PackageNameProblem(document, form.archive)) {
        sink.ShowMessage(*problem);
        return false;
    }
    if (form.licenseSelection && *form.licenseSelection >= 1) {
        product.license = form.licenseText;
    } else if (form.licenseSelection || form.licenseText.empty()) {
        product.license.reset();
    } else {
        sink.ShowMessage("You cannot manually enter the name of a license file. License files are "
                         "limited by their localization. Please select an option from the list");
        return false;
    }
    product.archive = form.archive;
    if (form.logo.empty())
        product.logo.reset();
    else if (form.logo != TextOf(product.logo))
        product.logo = StoredGamePath(form.logo);
    return true;
}

void ApplyShortcutSwitch(ProjectDocument& document, bool installShortcuts)
{
    ProductData& product = EnsureProduct(document);
    // Present, the parameters say that the product installs shortcuts, also
    // before the shortcuts page has stored any.
    if (installShortcuts) {
        if (!product.shortcut)
            product.shortcut.emplace();
        return;
    }
    product.shortcut.reset();
    product.shortcutCaption.reset();
    product.windows = 0;
    product.linux = 0;
}

void FillShortcutForm(const ProjectDocument& document, ShortcutForm& form)
{
    const ProductData* product = document.product.get();
    if (!product)
        return;
    if (product->shortcut)
        form.parameters = *product->shortcut;
    if (product->shortcutCaption)
        form.caption = *product->shortcutCaption;
    form.documentationCaption = product->GetDocumentationCaption();
    form.windows = product->windows != 0;
    form.linux = product->linux != 0;
    form.mac = product->mac != 0;
}

bool StoreShortcutFields(ProjectDocument& document, const ShortcutForm& form, MessageSink& sink)
{
    ProductData& product = EnsureProduct(document);
    product.shortcut = form.parameters;
    if (form.caption.empty()) {
        sink.ShowMessage("You must define a name for the link.");
        return false;
    }
    product.shortcutCaption = form.caption;
    product.documentationCaption = form.documentationCaption;
    if (!form.windows && !form.linux && !form.mac) {
        sink.ShowMessage("You must select either the Windows, Mac, or Linux Operating System.");
        return false;
    }
    product.windows = form.windows;
    product.linux = form.linux;
    product.mac = form.mac;
    return true;
}

}  // namespace zpak
