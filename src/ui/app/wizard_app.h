#pragma once

#include <memory>

namespace zpak::ui {

// The application: one window, run modally, over the real dialogs and the
// registry of this machine; the project is released when the window closes.
class WizardApp {
public:
    WizardApp(int& argc, char** argv);
    WizardApp(const WizardApp&) = delete;
    WizardApp& operator=(const WizardApp&) = delete;
    ~WizardApp();

    // Gives the process exit code.
    int Run();

private:
    struct State;
    std::unique_ptr<State> state_;
};

}  // namespace zpak::ui
