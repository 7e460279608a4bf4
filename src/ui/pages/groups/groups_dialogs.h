#pragma once

#include "rules/group_rules.h"

#include <QDialog>

#include <functional>
#include <string>

class QCheckBox;
class QLabel;
class QLineEdit;
class QListWidget;

namespace zpak {
class MessageSink;
}

namespace zpak::ui {

class DialogService;
class FieldFeedback;

// Asks for a group name. A name that cannot be a group name keeps the dialog
// open; Name() gives the one accepted.
class GroupNameDialog : public QDialog {
    Q_OBJECT

public:
    void accept() override;
    std::string Name() const;

protected:
    GroupNameDialog(const QString& title, const QString& prompt, int editId, const char* editName,
                    DialogService& dialogs, QWidget* parent);

private:
    DialogService& dialogs_;
    QLineEdit* name_;
};

// The name of a new group.
class CreateGroupDialog final : public GroupNameDialog {
    Q_OBJECT

public:
    CreateGroupDialog(DialogService& dialogs, QWidget* parent);
};

// A new name of the current group, under the rules of a new name.
class RenameGroupDialog final : public GroupNameDialog {
    Q_OBJECT

public:
    RenameGroupDialog(DialogService& dialogs, QWidget* parent);
};

// Tells that the last group cannot go.
class NoGroupsDialog final : public QDialog {
    Q_OBJECT

public:
    explicit NoGroupsDialog(QWidget* parent);
};

// The flags, caption and description of one group (named `group`).
class GroupOptionsDialog final : public QDialog {
    Q_OBJECT

public:
    GroupOptionsDialog(const std::string& group, const GroupOptions& options, QWidget* parent);
    GroupOptions Options() const;

private:
    QCheckBox* selectable_;
    QCheckBox* visible_;
    QCheckBox* required_;
    QCheckBox* selected_;
    QLineEdit* caption_;
    QLineEdit* description_;
};

// The name under which an entry is installed, when it differs from its
// master; one that generation would refuse keeps OK disabled.
class FileDestinationDialog final : public QDialog {
    Q_OBJECT

public:
    FileDestinationDialog(const std::string& master, const std::string& destination, DialogService& dialogs,
                          const std::string& gameFolder, const std::string& gameFolderOnDisk,
                          QWidget* parent);
    void accept() override;
    std::string Destination() const;

private:
    QLineEdit* destination_;
    FieldFeedback* problem_ = nullptr;
};

// A wildcard expression. The check it is given decides whether an expression
// closes the dialog; an empty one always does (and adds nothing).
class AddWildcardDialog final : public QDialog {
    Q_OBJECT

public:
    using Check = std::function<bool(const std::string& expression, MessageSink& sink)>;
    // What the typed expression matches, as it is typed.
    using Matches = std::function<WildcardMatchList(const std::string& expression)>;

    AddWildcardDialog(Check check, Matches matches, DialogService& dialogs, QWidget* parent);
    void accept() override;
    std::string Expression() const;

private:
    void ShowMatches();

    Check check_;
    Matches matches_;
    DialogService& dialogs_;
    QLineEdit* expression_;
    QLabel* count_;
    QListWidget* list_;
};

}  // namespace zpak::ui
