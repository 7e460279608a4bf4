#include "ui/app/import_report_dialog.h"

#include "ui/app/control_ids.h"
#include "ui/app/diagnostic_list.h"
#include "ui/app/layout_helpers.h"

#include <QDialogButtonBox>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace zpak::ui {

ImportReportDialog::ImportReportDialog(const QString& manifest, const QString& made,
                                       std::vector<Diagnostic> diagnostics, QWidget* parent)
    : QDialog(parent)
{
    setWindowTitle(QStringLiteral("Import of a Manifest Pair"));
    resize(820, 420);
    const bool any = !diagnostics.empty();
    auto* layout = new QVBoxLayout(this);
    QLabel* summary =
        AddText(layout,
                QStringLiteral("Imported %1: %2. The project has no file yet: Save asks where to keep it.")
                    .arg(QFileInfo(manifest).fileName(), made));
    summary->setObjectName(QStringLiteral("importSummary"));
    summary->setToolTip(QDir::toNativeSeparators(manifest));
    if (any)
        AddText(layout,
                QStringLiteral("Below is what the pair holds that a project cannot, and what the "
                               "project assumed where the pair says nothing. Double-click a line "
                               "to go to the record it is about."));

    diagnostics_ = new DiagnosticList(std::move(diagnostics),
                                      QStringLiteral("Everything the pair holds was taken over."),
                                      QStringLiteral("zpakbuild import lists them all."), this);
    SetControlId(diagnostics_, ids::kImportDiagnostics, "importDiagnostics");
    diagnostics_->setToolTip(QStringLiteral("Each line of the manifest pair that the project could not "
                                            "take over as it is. Double-click one to go to its record."));
    layout->addWidget(diagnostics_, 1);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close);
    buttons->button(QDialogButtonBox::Close)->setToolTip(QStringLiteral("Back to the imported project."));
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);
}

const std::optional<Diagnostic>& ImportReportDialog::Chosen() const
{
    return diagnostics_->Chosen();
}

}  // namespace zpak::ui
