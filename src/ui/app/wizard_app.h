#pragma once

#include "ui/app/page_table.h"

#include <QString>

#include <iosfwd>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace zpak::ui {

// The application: one window, run modally, over the real dialogs and the
// registry of this machine; the project is released when the window closes.
class WizardApp {
public:
    WizardApp(int& argc, char** argv);
    WizardApp(const WizardApp&) = delete;
    WizardApp& operator=(const WizardApp&) = delete;
    ~WizardApp();

    // Shows the window with those pages, with `project` opened when one is
    // given; gives the process exit code.
    int Run(PageTable pages, const QString& project = {});

private:
    struct State;
    std::unique_ptr<State> state_;
};

// What the command line asks that needs no window (--version, --help, a
// wrong option): the exit code once it is answered; otherwise nothing, with
// the project file named, if any, in `project`. Runs before any window or
// display exists. The arguments are those of ProgramArguments.
std::optional<int> AnswerWithoutWindow(const std::vector<std::string>& args, std::ostream& out,
                                       std::ostream& err, QString& project);

}  // namespace zpak::ui
