#pragma once

namespace zpak::ui {

class WizardDialog;
class WizardPage;

// A new page of the wizard for a page id, or null for an unknown id.
WizardPage* CreateWizardPage(WizardDialog& wizard, int id);

}  // namespace zpak::ui
