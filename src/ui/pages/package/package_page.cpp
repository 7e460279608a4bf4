#include "ui/pages/package/package_page.h"

#include "generate/field_problems.h"
#include "generate/product_paths.h"
#include "model/product_fields.h"
#include "model/project_document.h"
#include "model/record_ref.h"
#include "platform/file_search.h"
#include "platform/folder_index.h"
#include "platform/game_path.h"
#include "platform/text_encoding.h"
#include "rules/product_rules.h"
#include "ui/app/browse.h"
#include "ui/app/control_ids.h"
#include "ui/app/field_feedback.h"
#include "ui/app/layout_helpers.h"
#include "ui/app/project_text.h"
#include "ui/app/wizard_dialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace zpak::ui {

namespace {
const QString kNoLicence = QStringLiteral("--None--");
}

PackagePage::PackagePage(WizardDialog& wizard)
    : WizardPage(wizard), logo_(new QLineEdit), archive_(new QLineEdit), archiveProblem_(new QLabel),
      logoProblem_(new FieldFeedback("logoProblem")), license_(new QComboBox),
      shortcuts_(new QCheckBox(QStringLiteral("Install Shortcuts")))
{
    auto* layout = new QVBoxLayout(this);
    AddText(layout,
            QStringLiteral(
                "If you want to use a logo for your product, specify the location here. If you do not "
                "specify a logo, then the default corvex logo will be displayed. The logo should be a 256 "
                "colour bitmap file and should be 340x82 in size."));
    SetControlId(logo_, ids::kLogoEdit, ControlNameOf("logo"));
    logo_->setToolTip(QStringLiteral("A bitmap inside the game folder shown at the top of the installer; "
                                     "empty shows the game's own logo."));
    auto* logoForm = new QFormLayout;
    QPushButton* browse =
        AddBrowseRow(logoForm, QStringLiteral("Logo Location:"), logo_, ids::kLogoBrowse, "logoBrowseButton",
                     QStringLiteral("Choose the logo bitmap in the game folder."));
    logoForm->addRow(QString(), logoProblem_);
    layout->addLayout(logoForm);

    AddText(layout,
            QStringLiteral("Next, verify the name of the archive. For Vantor, you must use "
                           "the zpack2 file extension. Corvex Classic uses zpak extension."));
    SetControlId(archive_, ids::kArchive, ControlNameOf("archive"));
    archive_->setToolTip(QStringLiteral("The file name of the package the packaging tool builds in the game "
                                        "folder; this is what players download and install."));
    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("Archive name:"), archive_);
    archiveProblem_->setObjectName(QStringLiteral("archiveProblem"));
    archiveProblem_->setWordWrap(true);
    archiveProblem_->setStyleSheet(QStringLiteral("color: #b00020;"));
    archiveProblem_->hide();
    form->addRow(QString(), archiveProblem_);
    SetControlId(license_, ids::kLicense, ControlNameOf("license"));
    license_->setToolTip(QStringLiteral("A text file of the game's System folder that the installer shows "
                                        "and the player must accept before installing; empty shows none."));
    license_->setEditable(true);
    license_->setInsertPolicy(QComboBox::NoInsert);
    form->addRow(QStringLiteral("License File:"), license_);
    layout->addLayout(form);
    AddText(layout,
            QStringLiteral(
                "If you wish to display a license agreement, go ahead and specify the license text file "
                "here. The license agreement must be an int (english localized) file located in the "
                "\\System folder."));

    SetControlId(shortcuts_, ids::kInstallShortcuts, "installShortcutsBox");
    shortcuts_->setToolTip(QStringLiteral("The installer makes a shortcut that starts the game with your "
                                          "parameters, and one for the readme (set on the next page)."));
    layout->addWidget(shortcuts_);
    AddText(layout,
            QStringLiteral(
                "If your product needs to pass command line parameters to the game engine then you will "
                "need to install a shortcut on the client machine. Check this checkbox if you require a "
                "shortcut."));
    layout->addStretch();

    connect(shortcuts_, &QCheckBox::clicked, this, [this](bool checked) {
        StoreAsStep(checked ? QStringLiteral("Install Shortcuts") : QStringLiteral("No Shortcuts"),
                    RecordRef::Product("shortcut"), [this] {
                        ApplyShortcutSwitch();
                        return true;
                    });
    });
    connect(archive_, &QLineEdit::textChanged, this, &PackagePage::CheckFields);
    connect(logo_, &QLineEdit::textChanged, this, &PackagePage::CheckFields);
    connect(browse, &QPushButton::clicked, this, [this] {
        BrowseRelativeFile(Dialogs(), logo_, QStringLiteral("Bitmap File (*.bmp)|*.bmp||"),
                           Document().GameFolderText(), GameFolderOnDisk());
    });
}

void PackagePage::OnInitDialog()
{
    Wizard().EnableNext(true);
    const ProductData* product = Document().product.get();
    LinkNext(product && product->shortcut);
}

void PackagePage::LinkNext(bool shortcuts)
{
    Wizard().SetNextPage(ProjectPage::Packaging, shortcuts ? ProjectPage::Shortcuts : ProjectPage::Generate);
}

void PackagePage::OnSetActive()
{
    ProductData& product = EnsureProduct(Document());
    product.KeepArchiveName();
    archive_->setText(FromProjectText(product.GetArchiveName()));
    if (product.logo)
        logo_->setText(FromProjectText(*product.logo));
    FillLicences();
    shortcuts_->setChecked(product.shortcut.has_value());
    ApplyShortcutSwitch();
}

void PackagePage::FillLicences()
{
    license_->clear();
    license_->setEditText(QString());
    const auto system = NativeGamePath(Document().GameFolderText() + "\\System");
    QStringList names;
    for (const std::string& name : ListMatchingFiles(system, "*.int"))
        names << FromProjectText(name);
    names.sort(Qt::CaseInsensitive);  // as the other lists of the wizard
    license_->addItems(names);
    const ProductData& product = *Document().product;
    int selected = -1;
    if (product.license)
        selected =
            license_->findText(FromProjectText(*product.license), Qt::MatchExactly | Qt::MatchCaseSensitive);
    license_->insertItem(0, kNoLicence);
    license_->setCurrentIndex(selected >= 0 ? selected + 1 : -1);
    if (selected < 0)
        license_->setEditText(QString());
}

void PackagePage::CheckFields()
{
    const auto problem = PackageNameProblem(Document(), ToProjectText(archive_->text()));
    archiveProblem_->setText(problem ? FromProjectText(*problem) : QString());
    archiveProblem_->setVisible(problem.has_value());
    std::optional<Problem> logoProblem;
    const std::string logo = ToProjectText(logo_->text());
    if (const std::string folder = GameFolderOnDisk(); !logo.empty() && !folder.empty()) {
        FolderIndex index(WinePrefix(), false);
        logoProblem = LogoProblem(logo, PathFromText(folder), index);
    }
    logoProblem_->Show(logoProblem);
    // Only the page on display steers Next.
    if (isHidden())
        return;
    if (problem)
        Wizard().SetNextProblem(problem);
    else if (logoProblem_->Refuses())
        Wizard().SetNextProblem(logoProblem->text);
    else
        Wizard().SetNextProblem(std::nullopt);
}

void PackagePage::ApplyShortcutSwitch()
{
    CheckFields();
    const bool install = shortcuts_->isChecked();
    LinkNext(install);
    zpak::ApplyShortcutSwitch(Document(), install);
}

bool PackagePage::StorePackageFields()
{
    PackageForm form;
    form.archive = ToProjectText(archive_->text());
    form.logo = ToProjectText(logo_->text());
    form.licenseText = ToProjectText(license_->currentText());
    // A typed text that is not an item of the list is no selection.
    const int index = license_->currentIndex();
    if (index >= 0 && license_->itemText(index) == license_->currentText())
        form.licenseSelection = index;
    const bool stored = StoreAsStep(QStringLiteral("Edit Packaging"), RecordRef::Product("archive"),
                                    [&] { return zpak::StorePackageFields(Document(), form, Sink()); });
    if (stored)
        logo_->setText(FromProjectText(TextOf(Document().product->logo)));  // with "\" separators
    return stored;
}

void PackagePage::ShowStoredValues()
{
    if (const ProductData* product = Document().product.get())
        logo_->setText(FromProjectText(TextOf(product->logo)));
}

bool PackagePage::HasPendingEdits() const
{
    const ProductData* product = Document().product.get();
    if (!product)
        return !archive_->text().isEmpty() || !logo_->text().isEmpty();
    const bool noLicence = license_->currentIndex() <= 0 && license_->currentText().isEmpty();
    const bool licenceShown = product->license ? ToProjectText(license_->currentText()) == *product->license
                                               : noLicence || license_->currentIndex() == 0;
    return ToProjectText(archive_->text()) != TextOf(product->archive)
        || ToProjectText(logo_->text()) != TextOf(product->logo) || !licenceShown;
}

void PackagePage::ShowRecord(const RecordRef& record)
{
    // With shortcuts off, their fields are reached through the switch that
    // brings their page back.
    if (record.kind == RecordRef::Kind::Product && PageOf(record) == ProjectPage::Shortcuts)
        FocusField(shortcuts_);
    else
        WizardPage::ShowRecord(record);
}

void PackagePage::OnProjectReplaced()
{
    logo_->clear();
    archive_->clear();
}

}  // namespace zpak::ui
