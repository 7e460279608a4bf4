#include "ui/app/wizard_app.h"

int main(int argc, char** argv)
{
    zpak::ui::WizardApp app(argc, argv);
    return app.Run();
}
