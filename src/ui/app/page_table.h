#pragma once

#include "model/project_pages.h"

#include <span>

namespace zpak::ui {

class WizardDialog;
class WizardPage;

// How the window makes the page of a ProjectPage: the page's control id and
// object name, and the function that creates it. The window takes the order
// and the links between pages from kProjectPages.
struct PageEntry {
    ProjectPage page;
    int id;
    const char* name;
    WizardPage* (*create)(WizardDialog& wizard);
};

using PageTable = std::span<const PageEntry>;

}  // namespace zpak::ui
