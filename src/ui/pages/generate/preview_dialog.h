#pragma once

#include "generate/install_preview.h"
#include "generate/project_check.h"

#include <QDialog>

#include <filesystem>
#include <optional>
#include <vector>

class QCheckBox;
class QSplitter;
class QTreeWidget;
class QWidget;

namespace zpak {
class ProjectDocument;
}

namespace zpak::ui {

class DiagnosticList;

// What the product would install for a choice of groups, under every
// problem of the project. The dialog opens at once, saying that it is
// checking; Found() fills it with the resolved run (worked out on a worker
// thread: a large project takes seconds). Activating a problem closes the
// dialog; Chosen() then names it, for the wizard to go to its record.
class PreviewDialog final : public QDialog {
    Q_OBJECT

public:
    PreviewDialog(const ProjectDocument& document, std::filesystem::path winePrefix, QWidget* parent);

    void Found(ResolvedRun run, std::vector<Diagnostic> diagnostics);
    // True once Found() has filled the dialog.
    bool IsReady() const { return run_.has_value(); }
    // Once filled, the first problem is the current row and has the focus,
    // for a user who came from a failed Generate.
    void StartAtFirstProblem() { atFirstProblem_ = true; }
    const std::optional<Diagnostic>& Chosen() const;
    // The groups ticked now, by index.
    std::vector<std::size_t> ChosenGroups() const;

private:
    // The groups' check boxes, in rows that scroll.
    QWidget* MakeGroupBoxes();
    void ShowInstall();

    const ProjectDocument& doc_;
    std::optional<ResolvedRun> run_;
    const std::filesystem::path winePrefix_;
    QSplitter* splitter_;
    QWidget* checking_;
    DiagnosticList* problems_ = nullptr;
    QWidget* groupsBox_;
    std::vector<QCheckBox*> groups_;
    QTreeWidget* install_;
    std::optional<Diagnostic> none_;
    bool atFirstProblem_ = false;
};

}  // namespace zpak::ui
