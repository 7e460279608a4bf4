#pragma once

#include "generate/run_executor.h"

#include <QDialog>
#include <QElapsedTimer>
#include <QTimer>

#include <mutex>
#include <string>

class QLabel;
class QProgressBar;
class QPushButton;

namespace zpak {
class CancelFlag;
}

namespace zpak::ui {

// What a generation run is doing, while it runs on its worker thread: what
// is being done, files and bytes, the elapsed time, and Cancel. It shows
// itself only once the run has taken a moment, so that quick runs show
// nothing, and it is closed before any message of the run appears.
class GenerationProgressDialog final : public QDialog {
    Q_OBJECT

public:
    GenerationProgressDialog(QWidget* parent, GenerationChoice choice, CancelFlag& cancel);

    // Callbacks for the worker thread: they only store what they are told.
    GenerationHooks Hooks();
    // Starts the clock; the dialog appears after `delayMs` unless Finish came first.
    void Start(int delayMs);
    void Finish();

    // Escape is Cancel: the run decides when it has stopped.
    void reject() override;

private:
    void Refresh();

    GenerationChoice choice_;
    CancelFlag& cancel_;
    QLabel* action_;
    QLabel* detail_;
    QLabel* elapsed_;
    QProgressBar* bar_;
    QPushButton* cancelButton_;
    QElapsedTimer clock_;
    QTimer ticker_;
    bool finished_ = false;

    std::mutex mutex_;  // guards what the worker reports
    ZipProgress zip_;
    bool zipStarted_ = false;
    std::string toolLine_;
    std::string toolPending_;
};

}  // namespace zpak::ui
