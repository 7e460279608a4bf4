#include "ui/app/wizard_app.h"

int main(int argc, char** argv)
{
    return zpak::ui::RunWizardApp(argc, argv);
}
