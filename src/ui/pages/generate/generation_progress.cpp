#include "ui/pages/generate/generation_progress.h"

#include "platform/cancel_flag.h"
#include "platform/text_format.h"
#include "ui/app/project_text.h"

#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

namespace zpak::ui {

namespace {
constexpr int kRefreshMs = 100;
constexpr int kBarSteps = 1000;
}  // namespace

GenerationProgressDialog::GenerationProgressDialog(QWidget* parent, GenerationChoice choice,
                                                   CancelFlag& cancel)
    : QDialog(parent), choice_(choice), cancel_(cancel), action_(new QLabel(this)), detail_(new QLabel(this)),
      elapsed_(new QLabel(this)), bar_(new QProgressBar(this)),
      cancelButton_(new QPushButton(QStringLiteral("Cancel"), this))
{
    setObjectName(QStringLiteral("generationProgress"));
    setWindowTitle(QStringLiteral("ZPAK WIZARD"));
    setMinimumWidth(460);
    action_->setObjectName(QStringLiteral("progressAction"));
    detail_->setObjectName(QStringLiteral("progressDetail"));
    elapsed_->setObjectName(QStringLiteral("progressElapsed"));
    cancelButton_->setObjectName(QStringLiteral("progressCancel"));
    cancelButton_->setToolTip(QStringLiteral("Stop the run; the game's own files are put back as they "
                                             "were."));
    detail_->setTextFormat(Qt::PlainText);
    action_->setTextFormat(Qt::PlainText);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(action_);
    layout->addWidget(bar_);
    layout->addWidget(detail_);
    layout->addWidget(elapsed_);
    layout->addWidget(cancelButton_, 0, Qt::AlignRight);
    connect(cancelButton_, &QPushButton::clicked, this, &GenerationProgressDialog::reject);
    connect(&ticker_, &QTimer::timeout, this, &GenerationProgressDialog::Refresh);
    Refresh();
}

GenerationHooks GenerationProgressDialog::Hooks()
{
    GenerationHooks hooks;
    hooks.cancel = &cancel_;
    hooks.zipProgress = [this](const ZipProgress& progress) {
        const std::lock_guard lock(mutex_);
        zip_ = progress;
        zipStarted_ = true;
    };
    hooks.toolOutput = [this](std::string_view chunk) {
        const std::lock_guard lock(mutex_);
        toolPending_ += chunk;
        // The last complete line is what the tool is doing now.
        std::size_t start = 0;
        for (std::size_t end; (end = toolPending_.find('\n', start)) != std::string::npos; start = end + 1) {
            std::string line = toolPending_.substr(start, end - start);
            if (!line.empty() && line.back() == '\r')
                line.pop_back();
            if (!line.empty())
                toolLine_ = std::move(line);
        }
        toolPending_.erase(0, start);
    };
    return hooks;
}

void GenerationProgressDialog::Start(int delayMs)
{
    clock_.start();
    ticker_.start(kRefreshMs);
    QTimer::singleShot(delayMs, this, [this] {
        if (!finished_) {
            Refresh();
            show();
        }
    });
}

void GenerationProgressDialog::Finish()
{
    finished_ = true;
    ticker_.stop();
    hide();
}

void GenerationProgressDialog::reject()
{
    if (cancel_.IsSet())
        return;
    cancel_.Set();
    cancelButton_->setEnabled(false);
    action_->setText(QStringLiteral("Cancelling\u2026 the game folder is put back as it was."));
}

void GenerationProgressDialog::Refresh()
{
    const qint64 seconds = clock_.isValid() ? clock_.elapsed() / 1000 : 0;
    elapsed_->setText(
        QStringLiteral("Elapsed time: %1:%2").arg(seconds / 60).arg(seconds % 60, 2, 10, QLatin1Char('0')));
    if (cancel_.IsSet())
        return;

    const std::lock_guard lock(mutex_);
    switch (choice_) {
    case GenerationChoice::Zip:
        if (!zipStarted_) {
            action_->setText(QStringLiteral("Preparing the zip file\u2026"));
            bar_->setRange(0, 0);
            break;
        }
        action_->setText(QStringLiteral("Compressing %1").arg(FromProjectText(zip_.currentEntry)));
        bar_->setRange(0, kBarSteps);
        bar_->setValue(zip_.bytesTotal ? static_cast<int>(zip_.bytesDone * kBarSteps / zip_.bytesTotal)
                                       : kBarSteps);
        detail_->setText(QStringLiteral("%1 of %2 files, %3")
                             .arg(zip_.filesDone)
                             .arg(zip_.filesTotal)
                             .arg(QString::fromStdString(SizeProgressText(zip_.bytesDone, zip_.bytesTotal))));
        break;
    case GenerationChoice::Package:
        action_->setText(QStringLiteral("Building the package with the game's packaging tool\u2026"));
        bar_->setRange(0, 0);  // the tool tells nothing of how far it is
        detail_->setText(FromProjectText(toolLine_));
        break;
    case GenerationChoice::ManifestOnly:
        action_->setText(QStringLiteral("Writing the manifest\u2026"));
        bar_->setRange(0, 0);
        break;
    }
}

}  // namespace zpak::ui
