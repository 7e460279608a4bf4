#pragma once

#include "model/project_node.h"
#include "ui/app/wizard_page.h"

#include <QFileIconProvider>

#include <filesystem>
#include <string>
#include <vector>

class QPushButton;
class QTreeWidget;
class QTreeWidgetItem;

namespace zpak {
class IniFile;
class INIDefinition;
class INIGroup;
}

namespace zpak::ui {

// The INI files of the game that installation changes, each with its
// changes, in a two-level tree. Every edit goes straight into the project.
class IniChangesPage final : public WizardPage {
    Q_OBJECT

public:
    explicit IniChangesPage(WizardDialog& wizard);

    void OnInitDialog() override;
    void OnSetActive() override;

    void AddIniFile(const std::string& name);
    void AddIniEntry(const std::string& section, const std::string& key, const std::string& value,
                     int addNewLine);
    // gameFolder\System\<name of the current file>, as a native path.
    std::filesystem::path GetCurrentIniPath() const;
    std::filesystem::path SystemIniPath(const std::string& name) const;
    // Appends every entry of `source` to the current file as "Add new line" changes.
    void ImportEntries(const IniFile& source);
    // The file and change the page works on; null when there is none (also
    // after the record is gone).
    INIGroup* GetCurrentFile() const;
    INIDefinition* GetCurrentEntry() const;
    void RefreshCurrentEntry();
    // The names of the game's System\*.ini files, sorted.
    std::vector<std::string> GameIniFiles() const;

    void OnAdd();
    void OnAddEntry();
    void OnEdit();
    void OnRemoveFile();
    void OnRemoveEntry();
    void OnImportKeys();

private:
    void FillTree();
    QTreeWidgetItem* AddFileItem(INIGroup& file);
    void AddEntryItem(QTreeWidgetItem* parent, INIDefinition& entry);
    void OnSelectionChanged(QTreeWidgetItem* selected);

    QTreeWidget* tree_;
    QPushButton* addEntry_;
    QPushButton* removeEntry_;
    QPushButton* removeFile_;
    QPushButton* edit_;
    QPushButton* import_;
    ViewHandle currentFile_ = 0;
    ViewHandle currentEntry_ = 0;
    QFileIconProvider icons_;
};

}  // namespace zpak::ui
