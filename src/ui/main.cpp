#include "platform/command_line.h"
#include "platform/running_marker.h"
#include "ui/app/wizard_app.h"
#include "ui/pages/wizard_pages.h"

#include <iostream>

#ifdef _WIN32
#include <cstdio>

#include <windows.h>

namespace {

// A window program has no console of its own: what --help and --version
// print goes to the console it was started from, unless its output was
// redirected.
void UseStartingConsole()
{
    if (::GetStdHandle(STD_OUTPUT_HANDLE) || !::AttachConsole(ATTACH_PARENT_PROCESS))
        return;
    if (!std::freopen("CONOUT$", "w", stdout) || !std::freopen("CONOUT$", "w", stderr))
        return;
    ::SetConsoleOutputCP(CP_UTF8);
    std::cout.clear();
    std::cerr.clear();
}

}  // namespace
#endif

int main(int argc, char** argv)
{
    const std::vector<std::string> args = zpak::ProgramArguments(argc, argv);
#ifdef _WIN32
    if (!args.empty())
        UseStartingConsole();
#endif
    QString project;
    if (const auto done = zpak::ui::AnswerWithoutWindow(args, std::cout, std::cerr, project))
        return *done;
    const zpak::RunningMarker running;
    zpak::ui::WizardApp app(argc, argv);
    return app.Run(zpak::ui::WizardPages(), project);
}
