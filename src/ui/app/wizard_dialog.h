#pragma once

#include "ui/app/dialog_service.h"
#include "ui/app/wizard_context.h"
#include "ui/app/wizard_sheet.h"

#include <memory>
#include <vector>

class QPushButton;

namespace zpak::ui {

struct PageLink {
    int id = 0;
    int nextId = 0;      // 0: none
    int previousId = 0;  // 0: none
};

// The main window: eight pages in one frame, Next and Back in the order the
// pages link themselves, Save and Open of the project, About, the logo and
// Cancel.
class WizardDialog final : public WizardSheet {
    Q_OBJECT

public:
    explicit WizardDialog(WizardContext context, QWidget* parent = nullptr);
    ~WizardDialog() override;

    const WizardContext& Context() const { return context_; }
    MessageSink& Sink() { return sink_; }

    // Makes `to` follow `from`; gives the link of `to`.
    PageLink* SetNextPage(int from, int to);
    void EnableNext(bool enable);
    PageLink* FindLink(int id) const;

    void OnNext();
    void OnBack();
    void OnSave();
    void OnOpen();
    void OnAbout();
    void OnLogo();
    void OnCancel();

    // While long work runs (ModalWork), every action of the window is refused
    // and closing the window is put off until the work has ended.
    void SetBusy(bool busy);
    bool IsBusy() const { return busy_; }
    void reject() override;

protected:
    void closeEvent(QCloseEvent* event) override;
    WizardPage* CreatePage(int id) override;
    void OnPageShown(int id, bool shown) override;
    // Escape does not end the program; only Cancel and the close button do.
    void keyPressEvent(QKeyEvent* event) override;

private:
    WizardContext context_;
    DialogSink sink_;
    std::vector<std::unique_ptr<PageLink>> links_;
    int currentPageId_ = 0;
    QPushButton* next_ = nullptr;
    QPushButton* back_ = nullptr;
    bool busy_ = false;
    bool closeWhenIdle_ = false;
};

}  // namespace zpak::ui
