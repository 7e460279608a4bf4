#pragma once

#include <QObject>

#include <functional>

class QWidget;

namespace zpak::ui {

class WizardDialog;

// Long work (a generation run) done on a worker thread while the wizard
// takes no input at all: no button, page or key acts, and closing the window
// waits until the work has ended. Only `allowed` (the progress dialog, with
// its Cancel) still receives input. The window keeps painting meanwhile.
class ModalWork final : public QObject {
    Q_OBJECT

public:
    ModalWork(WizardDialog& wizard, QWidget* allowed);
    ~ModalWork() override;
    ModalWork(const ModalWork&) = delete;
    ModalWork& operator=(const ModalWork&) = delete;

    // Runs `work` on a worker thread; returns when it has ended, having kept
    // the user interface alive meanwhile.
    void Run(const std::function<void()>& work);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    WizardDialog& wizard_;
    QWidget* allowed_;
};

}  // namespace zpak::ui
