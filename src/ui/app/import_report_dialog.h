#pragma once

#include "generate/project_check.h"

#include <QDialog>

#include <optional>
#include <vector>

namespace zpak::ui {

class DiagnosticList;

// What an import of a manifest pair made, and every line of the pair that
// the project could not take over or where it assumed the wizard's defaults.
// Activating a line closes the dialog; Chosen() then names it, for the
// wizard to go to its record.
class ImportReportDialog final : public QDialog {
    Q_OBJECT

public:
    // `manifest` as the user chose it; `made` as DescribeImport says it.
    ImportReportDialog(const QString& manifest, const QString& made, std::vector<Diagnostic> diagnostics,
                       QWidget* parent);

    const std::optional<Diagnostic>& Chosen() const;

private:
    DiagnosticList* diagnostics_;
};

}  // namespace zpak::ui
