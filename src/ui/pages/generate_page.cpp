#include "ui/pages/generate_page.h"

#include "generate/generation_run.h"
#include "model/project_document.h"
#include "platform/cancel_flag.h"
#include "platform/message_sink.h"
#include "rules/product_rules.h"
#include "ui/app/control_ids.h"
#include "ui/app/layout_helpers.h"
#include "ui/app/modal_work.h"
#include "ui/app/wizard_dialog.h"
#include "ui/pages/generation_progress.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace zpak::ui {

namespace {
// Runs shorter than this show no progress at all.
constexpr int kProgressDelayMs = 400;
}  // namespace

GeneratePage::GeneratePage(WizardDialog& wizard)
    : WizardPage(wizard, ids::kGeneratePage, "generatePage"),
      package_(new QRadioButton(QStringLiteral("Create .zpak file"))),
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
    SetControlId(manifest_, ids::kManifestChoice, "manifestChoice");
    SetControlId(zip_, ids::kZipChoice, "zipChoice");
    for (QRadioButton* button : {package_, manifest_, zip_})
        options->addWidget(button);
    SetControlId(cleanup_, ids::kCleanup, "cleanupBox");
    options->addWidget(cleanup_);
    layout->addWidget(frame);
    AddText(layout, QStringLiteral("Click the Generate button to start the product generation process."));
    auto* generate = new QPushButton(QStringLiteral("Generate"));
    SetControlId(generate, ids::kGenerate, "generateButton");
    generate->setAutoDefault(false);
    layout->addWidget(generate, 0, Qt::AlignLeft);
    layout->addStretch();

    package_->setChecked(true);
    // Like every product field, the box is stored also when there is no product yet.
    connect(cleanup_, &QCheckBox::clicked, this, [this](bool checked) {
        EnsureProduct(Document()).cleanup = checked ? 1 : 0;
        Wizard().ProjectEdited();
    });
    connect(generate, &QPushButton::clicked, this, &GeneratePage::Generate);
}

void GeneratePage::OnSetActive()
{
    cleanup_->setChecked(Document().product && Document().product->cleanup);
}

void GeneratePage::Generate()
{
    if (Wizard().IsBusy())
        return;
    const GenerationChoice choice = zip_->isChecked() ? GenerationChoice::Zip
        : manifest_->isChecked()                      ? GenerationChoice::ManifestOnly
                                                      : GenerationChoice::Package;
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
