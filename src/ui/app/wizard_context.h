#pragma once

#include <filesystem>

namespace zpak {
class ProjectDocument;
class RegistryBackend;
}  // namespace zpak

namespace zpak::ui {

class DialogService;

// What the wizard window and its pages work with; all borrowed.
struct WizardContext {
    ProjectDocument& document;
    DialogService& dialogs;
    const RegistryBackend& registry;
    std::filesystem::path userGuide;       // opened by the logo
    std::filesystem::path presets;         // presets.ini of the requirement dialog
    std::filesystem::path winePrefix;      // where drive-letter paths ("C:\Games") lie
    std::filesystem::path recentProjects;  // the list of projects offered beside Open
};

}  // namespace zpak::ui
