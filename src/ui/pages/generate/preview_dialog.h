#pragma once

#include "generate/install_preview.h"
#include "generate/project_check.h"

#include <QDialog>

#include <filesystem>
#include <optional>
#include <vector>

class QCheckBox;
class QTreeWidget;
class QTreeWidgetItem;

namespace zpak {
class ProjectDocument;
}

namespace zpak::ui {

// What the product would install for a choice of groups, under every
// problem of the project. Double-clicking a problem closes the dialog;
// Chosen() then names it, for the wizard to go to its page.
class PreviewDialog final : public QDialog {
    Q_OBJECT

public:
    PreviewDialog(const ProjectDocument& document, ResolvedRun run, std::vector<Diagnostic> diagnostics,
                  std::filesystem::path winePrefix, QWidget* parent);

    const std::optional<Diagnostic>& Chosen() const { return chosen_; }
    // The groups ticked now, by index.
    std::vector<std::size_t> ChosenGroups() const;

private:
    void ShowDiagnostics();
    void ShowInstall();
    void OnDiagnosticActivated(QTreeWidgetItem* item);

    const ProjectDocument& doc_;
    const ResolvedRun run_;
    const std::vector<Diagnostic> diagnostics_;
    const std::filesystem::path winePrefix_;
    QTreeWidget* problems_;
    std::vector<QCheckBox*> groups_;
    QTreeWidget* install_;
    std::optional<Diagnostic> chosen_;
};

}  // namespace zpak::ui
