#pragma once

#include "generate/install_preview.h"
#include "generate/project_check.h"

#include <QDialog>

#include <filesystem>
#include <optional>
#include <vector>

class QCheckBox;
class QTreeWidget;

namespace zpak {
class ProjectDocument;
}

namespace zpak::ui {

class DiagnosticList;

// What the product would install for a choice of groups, under every
// problem of the project. Activating a problem closes the dialog; Chosen()
// then names it, for the wizard to go to its record.
class PreviewDialog final : public QDialog {
    Q_OBJECT

public:
    PreviewDialog(const ProjectDocument& document, ResolvedRun run, std::vector<Diagnostic> diagnostics,
                  std::filesystem::path winePrefix, QWidget* parent);

    const std::optional<Diagnostic>& Chosen() const;
    // The groups ticked now, by index.
    std::vector<std::size_t> ChosenGroups() const;

private:
    void ShowInstall();

    const ProjectDocument& doc_;
    const ResolvedRun run_;
    const std::filesystem::path winePrefix_;
    DiagnosticList* problems_;
    std::vector<QCheckBox*> groups_;
    QTreeWidget* install_;
};

}  // namespace zpak::ui
