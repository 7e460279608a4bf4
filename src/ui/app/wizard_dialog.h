#pragma once

#include "model/record_ref.h"
#include "model/saved_project.h"
#include "ui/app/dialog_service.h"
#include "ui/app/page_table.h"
#include "ui/app/recent_projects.h"
#include "ui/app/undo_commands.h"
#include "ui/app/wizard_context.h"
#include "ui/app/wizard_sheet.h"

#include <memory>
#include <optional>
#include <string>
#include <vector>

class QHBoxLayout;
class QVBoxLayout;
class QMenu;
class QPushButton;
class QUndoStack;

namespace zpak::ui {

class FieldFeedback;

struct PageLink {
    int id = 0;
    int nextId = 0;      // 0: none
    int previousId = 0;  // 0: none
};

// The main window: the pages of its page table in one frame, Next and Back
// in the order of kProjectPages, Save and Open of the project, the import of
// a manifest pair, About, the logo and Cancel. Work is never lost without a
// question: Cancel, closing the window, Open and Import ask to save a
// project with unsaved changes, and the title says whether there are any.
// Every change to the project is a command of the undo stack: Undo takes the
// user to the page of the record it restores.
class WizardDialog final : public WizardSheet, public EditTarget {
    Q_OBJECT

public:
    WizardDialog(WizardContext context, PageTable pages, QWidget* parent = nullptr);
    ~WizardDialog() override;

    const WizardContext& Context() const { return context_; }
    MessageSink& Sink() { return sink_; }

    // Makes `to` follow `from`; gives the link of `to`.
    PageLink* SetNextPage(ProjectPage from, ProjectPage to);
    void EnableNext(bool enable);
    // Next is enabled exactly when the page's rule finds nothing missing;
    // what is missing shows beside it.
    void SetNextProblem(const std::optional<std::string>& missing);
    PageLink* FindLink(int id) const;

    void OnNext();
    void OnBack();
    // Walks from the page on display to `page` and selects the record there:
    // Back, or Next, which stores each page on the way and stops where one
    // refuses. A page off the way (the shortcuts page while shortcuts are
    // off) is stood for by the page before it.
    void GoToRecord(ProjectPage page, const RecordRef& record);
    // Walks to `page` as GoToRecord does; false when a page on the way refused.
    bool GoToPage(ProjectPage page);
    // Straight on to the Generate page from wherever the user is.
    void OnGoToGenerate();
    void OnSave();
    void OnOpen();
    void OnImport();
    void OnAbout();
    void OnLogo();
    void OnCancel();

    // Saves to the project's file without a question (Ctrl+S); a project
    // without a file asks for one, as SaveAs. False when nothing was saved.
    bool Save();
    // Asks for the file to save to (the Save button, Ctrl+Shift+S).
    bool SaveAs();
    // Opens a project file (Open, a dropped file, the command line, the
    // recent list), asking about unsaved changes first.
    void OpenProjectFile(const QString& file);
    // A page or dialog stored something into the project.
    void ProjectEdited();
    // Does the change and keeps it for Undo.
    void Perform(std::unique_ptr<QUndoCommand> command);
    QUndoStack& UndoStack() const { return *undoStack_; }
    ProjectDocument& Document() override { return context_.document; }
    void RecordChanged(const RecordRef& place) override;
    // True when Save would write something else than the project's file
    // holds, or the page on display holds typed text not stored yet.
    bool HasUnsavedChanges();
    const QString& ProjectFile() const { return projectFile_; }

    // While long work runs (ModalWork), every action of the window is refused
    // and closing the window is put off until the work has ended.
    void SetBusy(bool busy);
    bool IsBusy() const { return busy_; }
    void reject() override;

protected:
    void closeEvent(QCloseEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    WizardPage* CreatePage(int id) override;
    void OnPageShown(int id, bool shown) override;
    // Escape does not end the program; only Cancel and the close button do.
    void keyPressEvent(QKeyEvent* event) override;

private:
    // The control id of the page; 0 for a page the table lacks.
    int IdOf(ProjectPage page) const;
    QVBoxLayout* CreateBanner();
    void AddProjectPages();
    QWidget* CreateButtons();
    void AddUndoButtons(QHBoxLayout* buttons);
    static void FocusFirstField(QWidget* page);
    void FixTabOrder();
    void FitSmallestFrame();
    // Asks whether to save unsaved changes; false when the user cancelled
    // (or the save failed), so that what was about to happen does not.
    bool MaybeSave();
    void Opened(const QString& file);
    // The project of a manifest pair replaces the document when the pair
    // reads; it has no file until it is saved. What the pair holds that the
    // project could not take over is listed in a dialog that leads to it.
    void Imported(const QString& manifest);
    // Another project is in the document: the pages forget what was typed for the old one.
    void ProjectReplaced();
    void UpdateTitle();
    // Where Save As starts: the project's file, the one an import proposed,
    // or <product>.zproj in the game folder.
    QString SaveStart() const;
    bool SaveTo(const QString& file);
    void FillRecentMenu();

    WizardContext context_;
    PageTable pageTable_;
    DialogSink sink_;
    std::vector<std::unique_ptr<PageLink>> links_;
    int currentPageId_ = 0;
    QPushButton* next_ = nullptr;
    QPushButton* back_ = nullptr;
    QPushButton* goToGenerate_ = nullptr;
    FieldFeedback* nextProblem_ = nullptr;
    QUndoStack* undoStack_ = nullptr;
    QMenu* recentMenu_ = nullptr;
    QWidget* firstButton_ = nullptr;
    QWidget* lastButton_ = nullptr;
    QString projectFile_;   // opened or last saved; empty for a new project
    QString proposedFile_;  // where Save starts for a project without a file
    SavedProject saved_;
    RecentProjects recent_;
    bool busy_ = false;
    bool closeWhenIdle_ = false;
};

}  // namespace zpak::ui
