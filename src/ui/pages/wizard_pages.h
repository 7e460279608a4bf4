#pragma once

#include "ui/app/page_table.h"

namespace zpak::ui {

// The pages of the wizard, one entry for each ProjectPage; the application
// hands them to the window.
PageTable WizardPages();

}  // namespace zpak::ui
