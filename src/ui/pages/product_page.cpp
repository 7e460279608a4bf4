#include "ui/pages/product_page.h"

#include "model/project_document.h"
#include "ui/app/browse.h"
#include "ui/app/control_ids.h"
#include "ui/app/layout_helpers.h"
#include "ui/app/project_text.h"
#include "ui/app/wizard_dialog.h"

#include <QFormLayout>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace zpak::ui {

ProductPage::ProductPage(WizardDialog& wizard) : WizardPage(wizard, ids::kProductPage, "productPage")
{
    auto* layout = new QVBoxLayout(this);
    AddText(layout,
            QStringLiteral("You must fill out information about your mod. Complete all the "
                           "entries and click Next to continue."));
    auto* form = new QFormLayout;
    name_ = AddEdit(form, QStringLiteral("Product Name"), ids::kProductName, "productNameEdit",
                    QStringLiteral("The name of your mod. It names what is built: System\\<name>MOD.ini and "
                                   ".int, <name>MOD.zip, and the package <name>.zpack2 unless you name it."));
    productUrl_ = AddEdit(form, QStringLiteral("Product URL"), ids::kProductUrl, "productUrlEdit",
                          QStringLiteral("The web page of your mod, offered by the installer."));
    title_ = AddEdit(form, QStringLiteral("Setup Window Title"), ids::kSetupTitle, "setupTitleEdit",
                     QStringLiteral("The title of the installer's window; empty shows the product name."));

    readme_ = new QLineEdit;
    SetControlId(readme_, ids::kReadme, "readmeEdit");
    readme_->setToolTip(QStringLiteral("A text file inside the game folder that the installer shows and "
                                       "installs with the mod."));
    auto* browse = new QPushButton(QStringLiteral("..."));
    SetControlId(browse, ids::kReadmeBrowse, "readmeBrowseButton");
    browse->setToolTip(QStringLiteral("Choose the readme file in the game folder."));
    auto* readmeRow = new QHBoxLayout;
    readmeRow->addWidget(readme_);
    readmeRow->addWidget(browse);
    form->addRow(QStringLiteral("Readme File Location"), readmeRow);

    version_ =
        AddEdit(form, QStringLiteral("Version"), ids::kVersion, "versionEdit",
                QStringLiteral("The version of your mod, a whole number above 0 (Next keeps the "
                               "number it starts with). Other mods may require at least this version."));
    versionUrl_ = AddEdit(form, QStringLiteral("Version URL"), ids::kVersionUrl, "versionUrlEdit",
                          QStringLiteral("A web page about this version, offered by the installer."));
    developer_ = AddEdit(form, QStringLiteral("Developer"), ids::kDeveloper, "developerEdit",
                         QStringLiteral("Who made the mod, shown by the installer."));
    developerUrl_ = AddEdit(form, QStringLiteral("Developer URL"), ids::kDeveloperUrl, "developerUrlEdit",
                            QStringLiteral("The developer's web page, offered by the installer."));
    layout->addLayout(form);
    layout->addStretch();

    connect(name_, &QLineEdit::textChanged, this, &ProductPage::UpdateNext);
    connect(version_, &QLineEdit::textChanged, this, &ProductPage::UpdateNext);
    connect(browse, &QPushButton::clicked, this, [this] {
        BrowseRelativeFile(Dialogs(), readme_, QStringLiteral("Readme File (*.*)|*.*||"),
                           Document().GameFolderText());
    });
}

void ProductPage::OnInitDialog()
{
    Wizard().SetNextPage(ids::kProductPage, ids::kPackagePage);
}

ProductForm ProductPage::ReadForm() const
{
    return {{ToProjectText(name_->text()), ToProjectText(version_->text()), ToProjectText(developer_->text()),
             ToProjectText(productUrl_->text()), ToProjectText(versionUrl_->text()),
             ToProjectText(developerUrl_->text())},
            ToProjectText(readme_->text()),
            ToProjectText(title_->text())};
}

void ProductPage::ShowForm(const ProductForm& form)
{
    const std::pair<QLineEdit*, const std::string*> fields[] = {{name_, &form.identity.product},
                                                                {version_, &form.identity.version},
                                                                {developer_, &form.identity.developer},
                                                                {productUrl_, &form.identity.productURL},
                                                                {versionUrl_, &form.identity.versionURL},
                                                                {developerUrl_, &form.identity.developerURL},
                                                                {readme_, &form.readme},
                                                                {title_, &form.title}};
    for (const auto& [edit, text] : fields) {
        const QString shown = FromProjectText(*text);
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
        Wizard().EnableNext(!name_->text().isEmpty() && IsVersionValid(ToProjectText(version_->text())));
}

bool ProductPage::OnCommit()
{
    ProductForm form = ReadForm();
    const bool stored = StoreProductFields(Document(), form, Sink());
    ShowForm(form);
    return stored;
}

bool ProductPage::OnWizardNext()
{
    version_->setText(FromProjectText(NormalisedVersion(ToProjectText(version_->text()))));
    return OnCommit();
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
