#pragma once

#include "generate/resolved_run.h"
#include "rules/ini_change_rules.h"

#include <QDialog>

#include <functional>
#include <optional>
#include <string>
#include <vector>

class QComboBox;
class QLineEdit;
class QRadioButton;

namespace zpak {
class GroupInfo;
class IniFile;
}  // namespace zpak

namespace zpak::ui {

class DialogService;

// Picks (or types) the name of an INI file of the game's System folder.
// What the check it is given finds in the name shows as it is typed.
class AddIniFileDialog final : public QDialog {
    Q_OBJECT

public:
    using Check = std::function<std::optional<Problem>(const std::string& name)>;

    AddIniFileDialog(const std::vector<std::string>& gameFiles, const Check& check, DialogService& dialogs,
                     QWidget* parent);
    void accept() override;
    std::string FileName() const;

private:
    DialogService& dialogs_;
    QComboBox* files_;
};

// A change of an INI file: in add mode it offers the sections, keys and
// present values of the game's copy of the file; in modify mode it shows the
// change being edited.
class IniPropertyDialog final : public QDialog {
    Q_OBJECT

public:
    // Add mode, offering what `ini` holds (it must outlive the dialog).
    IniPropertyDialog(const IniFile& ini, DialogService& dialogs, QWidget* parent);
    // Modify mode; without a change to show, OK changes nothing.
    IniPropertyDialog(const IniChangeFields* current, DialogService& dialogs, QWidget* parent);
    void accept() override;

    // Whether there were fields to edit, and what they hold.
    bool Loaded() const { return loaded_; }
    IniChangeFields Fields() const;

private:
    explicit IniPropertyDialog(DialogService& dialogs, QWidget* parent);
    void OnSectionChosen(int index);
    void OnKeyChosen(int index);

    DialogService& dialogs_;
    const IniFile* ini_ = nullptr;  // add mode only
    bool loaded_ = true;
    QComboBox* section_;
    QComboBox* key_;
    QLineEdit* value_;
    QRadioButton* modify_;
    QRadioButton* addNew_;
};

// Picks an INI file of the game whose entries are copied into the current file.
class ImportIniDialog final : public QDialog {
    Q_OBJECT

public:
    ImportIniDialog(const std::vector<std::string>& gameFiles, DialogService& dialogs, QWidget* parent);
    void accept() override;
    std::string FileName() const;

private:
    DialogService& dialogs_;
    QComboBox* files_;
};

// Ties an INI file to an install group, or to none ("None", null).
class IniGroupingDialog final : public QDialog {
    Q_OBJECT

public:
    IniGroupingDialog(const std::vector<GroupInfo*>& groups, const GroupInfo* current, DialogService& dialogs,
                      QWidget* parent);
    void accept() override;
    GroupInfo* Chosen() const;

private:
    DialogService& dialogs_;
    QComboBox* groups_;
};

}  // namespace zpak::ui
