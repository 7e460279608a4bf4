#include "ui/app/wizard_app.h"

#include <iostream>

int main(int argc, char** argv)
{
    QString project;
    if (const auto done = zpak::ui::AnswerWithoutWindow(std::vector<std::string>(argv + 1, argv + argc),
                                                        std::cout, std::cerr, project))
        return *done;
    zpak::ui::WizardApp app(argc, argv);
    return app.Run(project);
}
