#pragma once

#include "model/project_node.h"
#include "ui/app/wizard_page.h"

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

class QModelIndex;
class QPushButton;
class QTreeView;

namespace zpak {
class INIDefinition;
class INIGroup;
}  // namespace zpak

namespace zpak::ui {

class IniChangesModel;

// The INI files of the game that installation changes, each with its
// changes, in a two-level tree. Every edit goes straight into the project.
class IniChangesPage final : public WizardPage {
    Q_OBJECT

public:
    explicit IniChangesPage(WizardDialog& wizard);

    void OnSetActive() override;
    void ShowRecord(const RecordRef& record) override;

    // The file and change the page works on; null when there is none (also
    // after the record is gone).
    INIGroup* CurrentIniFile() const;
    INIDefinition* CurrentIniEntry() const;

    void OnAdd();
    void OnAddEntry();
    void OnEdit();
    void OnRemoveFile();
    void OnRemoveEntry();
    void OnImportKeys();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // Adds the changes to the file as one step of the undo history, named
    // `text`, and shows them below the file, which stays selected.
    void AddEntries(const INIGroup& file, std::vector<std::unique_ptr<INIDefinition>> entries,
                    const QString& text);
    void OnSelectionChanged(const QModelIndex& selected);
    void EditCurrentEntry();
    // gameFolder\System\<name>, as a native path.
    std::filesystem::path SystemIniPath(const std::string& name) const;
    // The names of the game's System\*.ini files.
    std::vector<std::string> GameIniFiles() const;

    IniChangesModel* model_;
    QTreeView* tree_;
    QPushButton* addEntry_;
    QPushButton* removeEntry_;
    QPushButton* removeFile_;
    QPushButton* edit_;
    QPushButton* import_;
    ViewHandle currentIniFile_ = 0;
    ViewHandle currentIniEntry_ = 0;
};

}  // namespace zpak::ui
