#include "ui/pages/generate_page.h"

#include "generate/generation_run.h"
#include "model/project_document.h"
#include "ui/app/control_ids.h"
#include "ui/app/project_text.h"
#include "ui/app/wizard_dialog.h"
#include "ui/pages/page_layout.h"

#include <QCheckBox>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QGroupBox>
#include <QProgressDialog>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace zpak::ui {

namespace {

// Shown while the zip is written or the packaging tool runs: the window stays
// modal but repaints, and the user sees that work goes on.
class GenerationProgress {
public:
    explicit GenerationProgress(QWidget* parent) : dialog_(parent)
    {
        dialog_.setWindowTitle(QStringLiteral("ZPAK WIZARD"));
        dialog_.setWindowModality(Qt::ApplicationModal);
        dialog_.setCancelButton(nullptr);
        dialog_.setMinimumDuration(300);
        dialog_.setAutoClose(false);
        dialog_.setAutoReset(false);
        clock_.start();
    }

    GenerationHooks Hooks()
    {
        GenerationHooks hooks;
        hooks.zipProgress = [this](const ZipProgress& p) {
            dialog_.setMaximum(1000);
            dialog_.setValue(p.bytesTotal ? static_cast<int>(p.bytesDone * 1000 / p.bytesTotal) : 1000);
            dialog_.setLabelText(QStringLiteral("Compressing %1\n%2 of %3 files, %4 of %5 MB")
                                     .arg(FromProjectText(p.currentEntry))
                                     .arg(p.filesDone)
                                     .arg(p.filesTotal)
                                     .arg(static_cast<double>(p.bytesDone) / 1e6, 0, 'f', 1)
                                     .arg(static_cast<double>(p.bytesTotal) / 1e6, 0, 'f', 1));
            QCoreApplication::processEvents();
        };
        hooks.whileToolRuns = [this] {
            dialog_.setMaximum(0);  // a busy indicator: the tool tells nothing
            const qint64 seconds = clock_.elapsed() / 1000;
            dialog_.setLabelText(QStringLiteral("Building package\u2026 %1:%2")
                                     .arg(seconds / 60)
                                     .arg(seconds % 60, 2, 10, QLatin1Char('0')));
            QCoreApplication::processEvents();
        };
        return hooks;
    }

private:
    QProgressDialog dialog_;
    QElapsedTimer clock_;
};

}  // namespace

GeneratePage::GeneratePage(WizardDialog& wizard)
    : WizardPage(wizard, ids::kGeneratePage),
      package_(new QRadioButton(QStringLiteral("Create .zpak file"))),
      manifest_(new QRadioButton(QStringLiteral("Only generate .ini and .int files"))),
      zip_(new QRadioButton(QStringLiteral("Create a compressed zip file"))),
      cleanup_(new QCheckBox(QStringLiteral("Cleanup files")))
{
    auto* layout = new QVBoxLayout(this);
    AddText(layout, QStringLiteral(
        "The wizard is ready to generate your zpak file. The product will be saved to your \\System "
        "folder. During the product generation process, make sure you do not close this application "
        "(otherwise your corvex engine config file could become corrupted)."));
    auto* frame = new QGroupBox(QStringLiteral("File options"));
    auto* options = new QVBoxLayout(frame);
    for (auto [button, id] : {std::pair{package_, ids::kPackageChoice}, std::pair{manifest_, ids::kManifestChoice},
                              std::pair{zip_, ids::kZipChoice}}) {
        SetControlId(button, id);
        options->addWidget(button);
    }
    SetControlId(cleanup_, ids::kCleanup);
    options->addWidget(cleanup_);
    layout->addWidget(frame);
    AddText(layout, QStringLiteral("Click the Generate button to start the product generation process."));
    auto* generate = new QPushButton(QStringLiteral("Generate"));
    SetControlId(generate, ids::kGenerate);
    generate->setAutoDefault(false);
    layout->addWidget(generate, 0, Qt::AlignLeft);
    layout->addStretch();

    package_->setChecked(true);
    connect(cleanup_, &QCheckBox::clicked, this, [this](bool checked) {
        if (Document().product)
            Document().product->cleanup = checked ? 1 : 0;
    });
    connect(generate, &QPushButton::clicked, this, &GeneratePage::Generate);
}

void GeneratePage::OnSetActive()
{
    cleanup_->setChecked(Document().product && Document().product->cleanup);
}

void GeneratePage::Generate()
{
    const GenerationChoice choice = zip_->isChecked()        ? GenerationChoice::Zip
                                    : manifest_->isChecked() ? GenerationChoice::ManifestOnly
                                                             : GenerationChoice::Package;
    GenerationProgress progress(&Wizard());
    RunGeneration(Document(), choice, Sink(), progress.Hooks());
}

}  // namespace zpak::ui
