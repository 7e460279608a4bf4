#include "ui/pages/generate/generate_page.h"

#include "generate/project_check.h"
#include "generate/run_executor.h"
#include "generate/run_resolver.h"
#include "model/product_fields.h"
#include "model/project_document.h"
#include "model/record_ref.h"
#include "platform/cancel_flag.h"
#include "platform/message_sink.h"
#include "rules/product_rules.h"
#include "ui/app/control_ids.h"
#include "ui/app/layout_helpers.h"
#include "ui/app/modal_work.h"
#include "ui/app/wizard_dialog.h"
#include "ui/pages/generate/generation_progress.h"
#include "ui/pages/generate/preview_dialog.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace zpak::ui {

namespace {
// Runs shorter than this show no progress at all.
constexpr int kProgressDelayMs = 400;
}  // namespace

GeneratePage::GeneratePage(WizardDialog& wizard)
    : WizardPage(wizard), package_(new QRadioButton(QStringLiteral("Create .zpak file"))),
      manifest_(new QRadioButton(QStringLiteral("Only generate .ini and .int files"))),
      zip_(new QRadioButton(QStringLiteral("Create a compressed zip file"))),
      cleanup_(new QCheckBox(QStringLiteral("Cleanup files")))
{
    auto* layout = new QVBoxLayout(this);
    AddText(layout,
            QStringLiteral(
                "The wizard is ready to generate your zpak file. The product will be saved to your \\System "
                "folder. During the product generation process, make sure you do not close this application "
                "(otherwise your corvex engine config file could become corrupted)."));
    auto* frame = new QGroupBox(QStringLiteral("File options"));
    auto* options = new QVBoxLayout(frame);
    SetControlId(package_, ids::kPackageChoice, "packageChoice");
    package_->setToolTip(QStringLiteral("Write the manifest pair, then run the game's packaging tool "
                                        "(System\\MKR.exe) to build the package named on the packaging "
                                        "page. The game's own manifest is set aside and put back."));
    SetControlId(manifest_, ids::kManifestChoice, "manifestChoice");
    manifest_->setToolTip(QStringLiteral("Write only System\\<product>MOD.ini and .int, the manifest the "
                                         "packaging tool reads, to build the package yourself."));
    SetControlId(zip_, ids::kZipChoice, "zipChoice");
    zip_->setToolTip(QStringLiteral("Compress every file of the product, with its launch scripts, into "
                                    "<product>MOD.zip in the game folder, for players who unpack by hand."));
    for (QRadioButton* button : {package_, manifest_, zip_})
        options->addWidget(button);
    SetControlId(cleanup_, ids::kCleanup, ControlNameOf("cleanup"));
    cleanup_->setToolTip(QStringLiteral("After the package is built, delete the manifest pair and the Linux "
                                        "launch script it was built from. Saved with the project."));
    options->addWidget(cleanup_);
    layout->addWidget(frame);
    AddText(layout, QStringLiteral("Click the Generate button to start the product generation process."));
    auto* generate = new QPushButton(QStringLiteral("Generate"));
    SetControlId(generate, ids::kGenerate, "generateButton");
    generate->setToolTip(QStringLiteral("Check everything, then build what is chosen above. Nothing is "
                                        "written when a check fails."));
    generate->setAutoDefault(false);
    auto* preview = new QPushButton(QStringLiteral("&Preview..."));
    SetControlId(preview, ids::kPreview, "previewButton");
    preview->setToolTip(
        QStringLiteral("Every problem of the project at once, and what a player's installation "
                       "would hold for each choice of groups, without writing anything."));
    preview->setAutoDefault(false);
    auto* actions = new QHBoxLayout;
    actions->addWidget(generate);
    actions->addWidget(preview);
    actions->addStretch();
    layout->addLayout(actions);
    layout->addStretch();

    package_->setChecked(true);
    // Like every product field, the box is stored also when there is no product yet.
    connect(cleanup_, &QCheckBox::clicked, this, [this](bool checked) {
        StoreAsStep(checked ? QStringLiteral("Cleanup On") : QStringLiteral("Cleanup Off"),
                    RecordRef::Product("cleanup"), [&] {
                        EnsureProduct(Document()).cleanup = checked ? 1 : 0;
                        return true;
                    });
    });
    connect(generate, &QPushButton::clicked, this, &GeneratePage::Generate);
    connect(preview, &QPushButton::clicked, this, &GeneratePage::Preview);
}

void GeneratePage::OnSetActive()
{
    cleanup_->setChecked(Document().product && Document().product->cleanup);
}

GenerationChoice GeneratePage::Choice() const
{
    return zip_->isChecked()     ? GenerationChoice::Zip
        : manifest_->isChecked() ? GenerationChoice::ManifestOnly
                                 : GenerationChoice::Package;
}

void GeneratePage::Preview()
{
    if (Wizard().IsBusy())
        return;
    const std::filesystem::path& prefix = Wizard().Context().winePrefix;
    KeepArchiveName(Document(), Choice());
    ResolvedRun run = ResolveGeneration(Document(), Choice(), prefix);
    // Lines are not shown: they belong to the file as read, not to the project as edited.
    std::vector<Diagnostic> diagnostics = DiagnoseRun(Document(), run, prefix);
    PreviewDialog dialog(Document(), std::move(run), std::move(diagnostics), prefix, &Wizard());
    dialog.exec();
    if (const auto& chosen = dialog.Chosen())
        Wizard().GoToRecord(chosen->page, chosen->record);
}

void GeneratePage::Generate()
{
    if (Wizard().IsBusy())
        return;
    const GenerationChoice choice = Choice();
    KeepArchiveName(Document(), choice);
    const ResolvedRun run = ResolveGeneration(Document(), choice, Wizard().Context().winePrefix);
    if (ReportResolutionError(run, Sink()))
        return;

    // The run goes on a worker thread; its messages wait until the progress
    // dialog is gone, so that no message box is ever covered by it.
    RecordingSink messages;
    CancelFlag cancel;
    GenerationProgressDialog progress(&Wizard(), choice, cancel);
    const GenerationHooks hooks = progress.Hooks();
    {
        ModalWork work(Wizard(), &progress);
        progress.Start(kProgressDelayMs);
        work.Run([&] { ExecuteGeneration(run, messages, hooks); });
        progress.Finish();
    }
    for (const std::string& message : messages.messages)
        Sink().ShowMessage(message);
}

}  // namespace zpak::ui
