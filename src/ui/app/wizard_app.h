#pragma once

namespace zpak::ui {

// Starts the wizard: one window, run modally; the project is released when
// it closes. Gives the process exit code.
int RunWizardApp(int argc, char** argv);

}  // namespace zpak::ui
