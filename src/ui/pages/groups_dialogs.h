#pragma once

#include <QDialog>

#include <string>

class QCheckBox;
class QLineEdit;

namespace zpak {
class FileInfo;
class GroupInfo;
}

namespace zpak::ui {

class DialogService;
class GroupsPage;

// Asks for a group name; a name that cannot be a group name keeps the
// dialog open, any other is handed to Apply after the dialog closed.
class GroupNameDialog : public QDialog {
    Q_OBJECT

public:
    void accept() override;

protected:
    GroupNameDialog(const QString& title, const QString& prompt, int editId, DialogService& dialogs,
                    QWidget* parent);
    virtual void Apply(const std::string& name) = 0;

private:
    DialogService& dialogs_;
    QLineEdit* name_;
};

// The name of a new group.
class CreateGroupDialog final : public GroupNameDialog {
    Q_OBJECT

public:
    CreateGroupDialog(GroupsPage& page, DialogService& dialogs, QWidget* parent);

protected:
    void Apply(const std::string& name) override;

private:
    GroupsPage& page_;
};

// A new name of the current group, under the rules of a new name.
class RenameGroupDialog final : public GroupNameDialog {
    Q_OBJECT

public:
    RenameGroupDialog(GroupsPage& page, DialogService& dialogs, QWidget* parent);

protected:
    void Apply(const std::string& name) override;

private:
    GroupsPage& page_;
};

// Tells that the last group cannot go.
class NoGroupsDialog final : public QDialog {
    Q_OBJECT

public:
    explicit NoGroupsDialog(QWidget* parent);
};

// The flags, caption and description of one group.
class GroupOptionsDialog final : public QDialog {
    Q_OBJECT

public:
    GroupOptionsDialog(GroupInfo& group, QWidget* parent);
    void accept() override;

private:
    GroupInfo& group_;
    QCheckBox* selectable_;
    QCheckBox* visible_;
    QCheckBox* required_;
    QCheckBox* selected_;
    QLineEdit* caption_;
    QLineEdit* description_;
};

// The name under which an entry is installed, when it differs from its master.
class FileDestinationDialog final : public QDialog {
    Q_OBJECT

public:
    FileDestinationDialog(FileInfo& entry, DialogService& dialogs, const std::string& gameFolder,
                          QWidget* parent);
    void accept() override;

private:
    FileInfo& entry_;
    QLineEdit* destination_;
};

// A wildcard expression for the current group; it must match something.
class AddWildcardDialog final : public QDialog {
    Q_OBJECT

public:
    AddWildcardDialog(GroupsPage& page, DialogService& dialogs, QWidget* parent);
    void accept() override;

private:
    GroupsPage& page_;
    DialogService& dialogs_;
    QLineEdit* expression_;
};

}  // namespace zpak::ui
