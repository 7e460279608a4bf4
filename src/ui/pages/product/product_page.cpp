#include "ui/pages/product/product_page.h"

#include "model/project_document.h"
#include "model/record_ref.h"
#include "ui/app/browse.h"
#include "ui/app/control_ids.h"
#include "ui/app/layout_helpers.h"
#include "ui/app/project_text.h"
#include "ui/app/wizard_dialog.h"

#include <QFormLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace zpak::ui {
namespace {

// The field's name as messages give it ("product URL").
QString CaptionOf(std::string_view key)
{
    std::string_view caption = key;
    if (const ProductField* field = FindProductField(key))
        caption = field->caption;
    for (const RequirementField& field : kRequirementFields) {
        if (field.key == key)
            caption = field.caption;
    }
    return QString::fromUtf8(caption.data(), static_cast<qsizetype>(caption.size()));
}

}  // namespace

ProductPage::ProductPage(WizardDialog& wizard) : WizardPage(wizard)
{
    auto* layout = new QVBoxLayout(this);
    AddText(layout,
            QStringLiteral("You must fill out information about your mod. Complete all the "
                           "entries and click Next to continue."));
    auto* form = new QFormLayout;
    name_ = AddEdits(
        form,
        {{QStringLiteral("Product Name"), ids::kProductName, ControlNameOf("product"),
          QStringLiteral("The name of your mod. It names what is built: System\\<name>MOD.ini and .int, "
                         "<name>MOD.zip, and the package <name>.zpack2 unless you name it.")},
         {QStringLiteral("Product URL"), ids::kProductUrl, ControlNameOf("productURL"),
          QStringLiteral("The web page of your mod, offered by the installer.")},
         {QStringLiteral("Setup Window Title"), ids::kSetupTitle, ControlNameOf("title"),
          QStringLiteral("The title of the installer's window; empty shows the product name.")}})[0];

    auto* readme = new QLineEdit;
    SetControlId(readme, ids::kReadme, ControlNameOf("readme"));
    readme->setToolTip(QStringLiteral("A text file inside the game folder that the installer shows and "
                                      "installs with the mod."));
    QPushButton* browse =
        AddBrowseRow(form, QStringLiteral("Readme File Location"), readme, ids::kReadmeBrowse,
                     "readmeBrowseButton", QStringLiteral("Choose the readme file in the game folder."));

    version_ = AddEdits(
        form,
        {{QStringLiteral("Version"), ids::kVersion, ControlNameOf("version"),
          QStringLiteral("The version of your mod, a whole number above 0 (Next keeps the number it starts "
                         "with). Other mods may require at least this version.")},
         {QStringLiteral("Version URL"), ids::kVersionUrl, ControlNameOf("versionURL"),
          QStringLiteral("A web page about this version, offered by the installer.")},
         {QStringLiteral("Developer"), ids::kDeveloper, ControlNameOf("developer"),
          QStringLiteral("Who made the mod, shown by the installer.")},
         {QStringLiteral("Developer URL"), ids::kDeveloperUrl, ControlNameOf("developerURL"),
          QStringLiteral("The developer's web page, offered by the installer.")}})[0];
    layout->addLayout(form);
    layout->addStretch();
    for (const ProductFormField& field : ProductFormFields()) {
        auto* edit = findChild<QLineEdit*>(QLatin1String(field.objectName));
        fields_.push_back({edit, field.text});
        connect(edit, &QLineEdit::editingFinished, this, [this, field, edit] { CommitField(field, *edit); });
    }

    connect(name_, &QLineEdit::textChanged, this, &ProductPage::UpdateNext);
    connect(version_, &QLineEdit::textChanged, this, &ProductPage::UpdateNext);
    connect(browse, &QPushButton::clicked, this, [this, readme] {
        BrowseRelativeFile(Dialogs(), readme, QStringLiteral("Readme File (*.*)|*.*||"),
                           Document().GameFolderText(), GameFolderOnDisk());
    });
}

ProductForm ProductPage::ReadForm() const
{
    ProductForm form;
    for (const auto& [edit, text] : fields_)
        form.*text = ToProjectText(edit->text());
    return form;
}

void ProductPage::ShowForm(const ProductForm& form)
{
    for (const auto& [edit, text] : fields_) {
        const QString shown = FromProjectText(form.*text);
        if (edit->text() != shown)
            edit->setText(shown);
    }
}

void ProductPage::OnSetActive()
{
    ProductForm form = ReadForm();
    FillProductForm(Document(), form);
    ShowForm(form);
    UpdateNext();
}

void ProductPage::UpdateNext()
{
    // Only the page on display steers Next.
    if (!isHidden())
        Wizard().SetNextProblem(
            ProductNextProblem(ToProjectText(name_->text()), ToProjectText(version_->text())));
}

bool ProductPage::OnCommit()
{
    ProductForm form = ReadForm();
    const bool stored = StoreAsStep(QStringLiteral("Edit Product"), RecordRef::Product("product"),
                                    [&] { return StoreProductFields(Document(), form, Sink()); });
    ShowForm(form);
    return stored;
}

// A field the user leaves is stored as one step of its own, unless Next
// would refuse it: Next then says what is missing.
void ProductPage::CommitField(const ProductFormField& field, QLineEdit& edit)
{
    auto* title = findChild<QLineEdit*>(QLatin1String(ControlNameOf("title")));
    const std::string titleBefore = Document().product ? Document().product->GetTitle() : std::string();
    const bool stored = StoreAsStep(
        QStringLiteral("Edit %1").arg(CaptionOf(field.key)), RecordRef::Product(std::string(field.key)),
        [&] { return StoreProductField(Document(), field, ToProjectText(edit.text())); });
    // The field shows what was stored: an empty title its default, a readme
    // its "\" separators. An empty readme keeps the stored one.
    if (!stored)
        return;
    // A title that followed the old name follows the new one.
    if (field.text == &ProductForm::product && title->text() == FromProjectText(titleBefore))
        title->setText(FromProjectText(Document().product->GetTitle()));
    if (edit.text().isEmpty() && field.text != &ProductForm::title)
        return;
    const QString shown = FromProjectText(TextOf(Document().product.get()->*field.member));
    if (edit.text() != shown)
        edit.setText(shown);
}

bool ProductPage::OnWizardNext()
{
    version_->setText(FromProjectText(NormalisedVersion(ToProjectText(version_->text()))));
    return OnCommit();
}

void ProductPage::ShowStoredValues()
{
    ProductForm form;
    FillProductForm(Document(), form);
    ShowForm(form);
    UpdateNext();
}

bool ProductPage::HasPendingEdits() const
{
    ProductForm stored;
    FillProductForm(Document(), stored);
    return ReadForm() != stored;
}

void ProductPage::OnProjectReplaced()
{
    for (QLineEdit* edit : findChildren<QLineEdit*>())
        edit->clear();
}

}  // namespace zpak::ui
