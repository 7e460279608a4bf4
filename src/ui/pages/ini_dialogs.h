#pragma once

#include <QDialog>

#include <memory>

class QComboBox;
class QLineEdit;
class QRadioButton;

namespace zpak {
class GroupInfo;
class INIGroup;
class IniFile;
class ProjectDocument;
}

namespace zpak::ui {

class DialogService;
class IniChangesPage;

// Picks (or types) the name of an INI file of the game's System folder.
class AddIniFileDialog final : public QDialog {
    Q_OBJECT

public:
    AddIniFileDialog(IniChangesPage& page, DialogService& dialogs, QWidget* parent);
    void accept() override;

private:
    IniChangesPage& page_;
    DialogService& dialogs_;
    QComboBox* files_;
};

// Adds a change to the current file, offering the sections, keys and
// present values of that file; or, in modify mode, edits the current change.
class IniPropertyDialog final : public QDialog {
    Q_OBJECT

public:
    enum class Mode { Add, Modify };

    IniPropertyDialog(Mode mode, IniChangesPage& page, DialogService& dialogs, QWidget* parent);
    ~IniPropertyDialog() override;
    void accept() override;

private:
    void OnSectionChosen(int index);
    void OnKeyChosen(int index);

    const Mode mode_;
    IniChangesPage& page_;
    DialogService& dialogs_;
    std::unique_ptr<IniFile> ini_;  // add mode only
    bool loaded_ = true;            // modify mode: a change was there to load
    QComboBox* section_;
    QComboBox* key_;
    QLineEdit* value_;
    QRadioButton* modify_;
    QRadioButton* addNew_;
};

// Copies every entry of an INI file of the game into the current file.
class ImportIniDialog final : public QDialog {
    Q_OBJECT

public:
    ImportIniDialog(IniChangesPage& page, DialogService& dialogs, QWidget* parent);
    void accept() override;

private:
    IniChangesPage& page_;
    DialogService& dialogs_;
    QComboBox* files_;
};

// Ties an INI file to an install group, or to none.
class IniGroupingDialog final : public QDialog {
    Q_OBJECT

public:
    IniGroupingDialog(INIGroup& file, ProjectDocument& document, DialogService& dialogs, QWidget* parent);
    void accept() override;

private:
    INIGroup& file_;
    DialogService& dialogs_;
    QComboBox* groups_;
};

}  // namespace zpak::ui
