#pragma once

#include "generate/project_check.h"

#include <QTreeWidget>

#include <optional>
#include <vector>

class QDialog;

namespace zpak::ui {

// Problems of a project, one a row: what, its code, the page of its record,
// and, when a problem was read from a file, the file's name and line.
// Activating a row (a double click, Enter) closes the dialog that holds the
// list; Chosen() then names the problem, and the window goes to its record
// (WizardDialog::GoToRecord). Rows stop after a thousand, with a last row
// saying how many more there are and where to see them (`rest`: "zpakbuild
// check lists them all.").
class DiagnosticList final : public QTreeWidget {
    Q_OBJECT

public:
    DiagnosticList(std::vector<Diagnostic> diagnostics, const QString& none, const QString& rest,
                   QDialog* dialog);

    const std::optional<Diagnostic>& Chosen() const { return chosen_; }

private:
    void Choose(const QTreeWidgetItem* item);

    const std::vector<Diagnostic> diagnostics_;
    QDialog* dialog_;
    std::optional<Diagnostic> chosen_;
};

}  // namespace zpak::ui
