#pragma once

#include <QWidget>

#include <filesystem>
#include <functional>
#include <string>

namespace zpak {
struct RecordRef;
class MessageSink;
class ProjectDocument;
}  // namespace zpak

namespace zpak::ui {

class DialogService;
class WizardDialog;

// The base of every page. A page fills its controls from the project when it
// is shown and stores them when Next or Save asks; it may refuse after
// showing its own message. Enter in a page goes Next; Escape does nothing.
class WizardPage : public QWidget {
    Q_OBJECT

public:
    // The window gives the page its control id and object name (PageTable).
    explicit WizardPage(WizardDialog& wizard);
    ~WizardPage() override;

    // Runs once the page exists, inside AddPage: pages make their links here.
    virtual void OnInitDialog() {}
    virtual void OnSetActive() {}
    virtual void OnKillActive() {}
    virtual void OnPageCreated() {}
    virtual void OnPageDestroyed() {}
    virtual bool OnCommit() { return true; }
    virtual bool OnWizardNext() { return true; }
    // Open replaced the project: forget text typed for the old one, so that
    // the next fill starts from empty fields.
    virtual void OnProjectReplaced() {}
    // Shows the project's values in every field, typed text that was not
    // stored included: an undo or a redo changed them.
    virtual void ShowStoredValues() {}
    // True when the page shows typed text that Next or Save would store.
    virtual bool HasPendingEdits() const { return false; }
    // Selects the record (or focuses the field) a problem is about. A field
    // of the product is the control its field table names, when this page
    // has it.
    virtual void ShowRecord(const RecordRef& record);

    ProjectDocument& Document() const;
    WizardDialog& Wizard() const { return wizard_; }

protected:
    DialogService& Dialogs() const;
    MessageSink& Sink() const;
    // A message box over the wizard.
    void ShowMessage(const QString& text) const;
    // A path of the project (gameFolder\..., Windows separators) as the file
    // system names it here.
    std::filesystem::path NativeGamePath(const std::string& gamePath) const;
    const std::filesystem::path& WinePrefix() const;
    // The game folder as it lies on disk here (a drive letter through the Wine prefix).
    std::string GameFolderOnDisk() const;
    // Runs `store`, a rule that stores fields of the product or the game
    // folder, and keeps what it changed as one step of the undo history named
    // `text`, which leads back to `place`. Returns what `store` returned.
    bool StoreAsStep(const QString& text, const RecordRef& place, const std::function<bool()>& store);
    // Gives the field the focus, its text selected.
    static void FocusField(QWidget* field);

    // Escape never closes the window from a page.
    void keyPressEvent(QKeyEvent* event) override;

private:
    WizardDialog& wizard_;
};

}  // namespace zpak::ui
