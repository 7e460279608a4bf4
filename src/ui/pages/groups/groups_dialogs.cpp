#include "ui/pages/groups/groups_dialogs.h"

#include "generate/field_problems.h"
#include "ui/app/browse.h"
#include "ui/app/control_ids.h"
#include "ui/app/dialog_service.h"
#include "ui/app/field_feedback.h"
#include "ui/app/layout_helpers.h"
#include "ui/app/project_text.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

namespace zpak::ui {

GroupNameDialog::GroupNameDialog(const QString& title, const QString& prompt, int editId,
                                 const char* editName, DialogService& dialogs, QWidget* parent)
    : QDialog(parent), dialogs_(dialogs), name_(new QLineEdit)
{
    setWindowTitle(title);
    auto* layout = new QVBoxLayout(this);
    AddText(layout, prompt);
    SetControlId(name_, editId, editName);
    name_->setToolTip(QStringLiteral("The group's name in the manifest: unique, without brackets; the player "
                                     "sees its caption instead when it has one."));
    layout->addWidget(name_);
    AddOkCancel(this, layout);
}

void GroupNameDialog::accept()
{
    DialogSink sink(dialogs_, this);
    if (CheckGroupName(Name(), sink))
        QDialog::accept();
}

std::string GroupNameDialog::Name() const
{
    return ToProjectText(name_->text());
}

CreateGroupDialog::CreateGroupDialog(DialogService& dialogs, QWidget* parent)
    : GroupNameDialog(QStringLiteral("Create Group"), QStringLiteral("Enter a name for a group"),
                      ids::kCreateGroupName, "groupNameEdit", dialogs, parent)
{
}

RenameGroupDialog::RenameGroupDialog(DialogService& dialogs, QWidget* parent)
    : GroupNameDialog(QStringLiteral("Rename Group"), QStringLiteral("Enter a new name for the group"),
                      ids::kRenameGroupName, "newGroupNameEdit", dialogs, parent)
{
}

NoGroupsDialog::NoGroupsDialog(QWidget* parent) : QDialog(parent)
{
    setWindowTitle(QStringLiteral("No Groups Defined"));
    auto* layout = new QVBoxLayout(this);
    AddText(layout,
            QStringLiteral("You must define at least one group to store the files to install your product."));
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    layout->addWidget(buttons);
}

GroupOptionsDialog::GroupOptionsDialog(const std::string& group, const GroupOptions& options, QWidget* parent)
    : QDialog(parent)
{
    setWindowTitle(QStringLiteral("Group Options"));
    auto* layout = new QVBoxLayout(this);
    const auto box = [&](const QString& text, int id, const char* name, bool checked, const QString& tip) {
        auto* check = new QCheckBox(text);
        SetControlId(check, id, name);
        check->setChecked(checked);
        check->setToolTip(tip);
        layout->addWidget(check);
        return check;
    };
    selectable_ =
        box(QStringLiteral("Selectable"), ids::kGroupSelectable, "selectableBox", options.selectable,
            QStringLiteral("The player may tick or clear this group in the installer's list of "
                           "components. Clear it to keep the group as it starts."));
    visible_ = box(QStringLiteral("Visible"), ids::kGroupVisible, "visibleBox", options.visible,
                   QStringLiteral("The group appears in the installer's list of components. While no group "
                                  "of the product is visible, the installer shows no list and these "
                                  "options are not written."));
    required_ = box(QStringLiteral("Required"), ids::kGroupRequired, "requiredBox", options.required,
                    QStringLiteral("The group is always installed; the installer marks it as not optional."));
    selected_ = box(QStringLiteral("Selected"), ids::kGroupSelected, "selectedBox", options.selected,
                    QStringLiteral("The group is ticked when the installer starts."));
    auto* form = new QFormLayout;
    caption_ = AddEdit(form, QStringLiteral("Caption:"), ids::kGroupCaption, "captionEdit",
                       QStringLiteral("The group's name as the player sees it in the installer's list."));
    caption_->setText(FromProjectText(options.caption));
    description_ = AddEdit(form, QStringLiteral("Description"), ids::kGroupDescription, "descriptionEdit",
                           QStringLiteral("A sentence the installer shows about the group."));
    description_->setText(FromProjectText(options.description));
    auto* problem = new FieldFeedback("captionProblem");
    form->insertRow(1, QString(), problem);
    layout->addLayout(form);
    AddText(layout,
            QStringLiteral("These options configure how the group is displayed to the user. "
                           "Normally, these options are unnecessary unless you're installing a "
                           "total conversion modification."));
    problem->Bind(AddOkCancel(this, layout)->button(QDialogButtonBox::Ok));
    const auto rule = [this, group] {
        return GroupCaptionProblem(group, visible_->isChecked(), ToProjectText(caption_->text()));
    };
    problem->Watch(visible_, rule);
    problem->Watch(caption_, rule);
}

GroupOptions GroupOptionsDialog::Options() const
{
    return {selectable_->isChecked(), visible_->isChecked(),           required_->isChecked(),
            selected_->isChecked(),   ToProjectText(caption_->text()), ToProjectText(description_->text())};
}

FileDestinationDialog::FileDestinationDialog(const std::string& master, const std::string& destination,
                                             DialogService& dialogs, const std::string& gameFolder,
                                             const std::string& gameFolderOnDisk, QWidget* parent)
    : QDialog(parent), destination_(new QLineEdit(FromProjectText(destination)))
{
    setWindowTitle(QStringLiteral("Change File Destination"));
    auto* layout = new QVBoxLayout(this);
    AddText(layout,
            QStringLiteral("This dialog allows you to change the destination of the source file. "
                           "This is useful for developers who wish to import a file (like "
                           "Default.ini) and rename it to Mod.ini when the zpak is extracted."));
    auto* form = new QFormLayout;
    auto* masterLabel = new QLabel(FromProjectText(master));
    SetControlId(masterLabel, ids::kMasterFile, "masterFileLabel");
    form->addRow(QStringLiteral("Master File:"), masterLabel);
    SetControlId(destination_, ids::kDestination, "destinationEdit");
    destination_->setToolTip(QStringLiteral("Where the file lands in the player's game folder, relative to "
                                            "it; empty installs it where it is in yours."));
    destination_->setCursorPosition(0);
    QPushButton* browse = AddBrowseRow(
        form, QStringLiteral("Destination Filename/Location:"), destination_, ids::kDestinationBrowse,
        "destinationBrowseButton", QStringLiteral("Choose the destination among the game folder's files."));
    problem_ = new FieldFeedback("destinationProblem");
    form->addRow(QString(), problem_);
    layout->addLayout(form);
    problem_->Bind(AddOkCancel(this, layout)->button(QDialogButtonBox::Ok));
    problem_->Watch(destination_, [this, master, gameFolderOnDisk] {
        return DestinationProblem(master, Destination(), gameFolderOnDisk);
    });
    connect(browse, &QPushButton::clicked, this, [this, &dialogs, gameFolder, gameFolderOnDisk] {
        BrowseRelativeFile(dialogs, destination_, QStringLiteral("Source Filename (*.*)|*.*||"), gameFolder,
                           gameFolderOnDisk);
    });
}

void FileDestinationDialog::accept()
{
    if (!problem_->Refuses())
        QDialog::accept();
}

std::string FileDestinationDialog::Destination() const
{
    return ToProjectText(destination_->text());
}

namespace {
// Enough names to see what a wildcard takes; a long list would slow typing.
constexpr std::size_t kMostNamesShown = 500;
}  // namespace

AddWildcardDialog::AddWildcardDialog(Check check, Matches matches, DialogService& dialogs, QWidget* parent)
    : QDialog(parent), check_(std::move(check)), matches_(std::move(matches)), dialogs_(dialogs),
      expression_(new QLineEdit), count_(new QLabel), list_(new QListWidget)
{
    setWindowTitle(QStringLiteral("Add Wildcard Path"));
    auto* layout = new QVBoxLayout(this);
    SetControlId(expression_, ids::kWildcard, "wildcardEdit");
    expression_->setToolTip(QStringLiteral("A folder of the game folder and a file pattern with *; every "
                                           "matching file is installed to the same folder of the player's "
                                           "game. / is stored as \\."));
    layout->addWidget(expression_);
    AddText(layout,
            QStringLiteral("This option allows developers to add a wildcard string to a group. "
                           "Wildcards allows zpaks to import content based on a simple file "
                           "expression. The file path must be relative to the game directory."));
    AddText(layout, QStringLiteral("For example: Maps\\FR-*.map"));
    auto* recurse = new QCheckBox(QStringLiteral("Recurse Subdirectories"));
    SetControlId(recurse, ids::kWildcardRecurse, "recurseBox");
    recurse->hide();  // never shown: wildcards are added without the flag
    layout->addWidget(recurse);
    SetControlId(count_, ids::kWildcardMatchCount, "wildcardMatchCount");
    count_->setToolTip(QStringLiteral("How many files of the game folder the wildcard matches now."));
    layout->addWidget(count_);
    SetControlId(list_, ids::kWildcardMatchList, "wildcardMatchList");
    list_->setToolTip(QStringLiteral("The files the wildcard matches, with their letter case on disk; those "
                                     "another entry of the project installs already are marked."));
    list_->setSelectionMode(QAbstractItemView::NoSelection);
    layout->addWidget(list_, 1);
    AddOkCancel(this, layout);
    connect(expression_, &QLineEdit::textChanged, this, &AddWildcardDialog::ShowMatches);
    ShowMatches();
}

void AddWildcardDialog::ShowMatches()
{
    list_->clear();
    const std::string expression = Expression();
    if (expression.empty() || !matches_) {
        count_->setText(QStringLiteral("Type a wildcard to see the files it matches."));
        return;
    }
    const WildcardMatchList found = matches_(expression);
    std::size_t covered = 0;
    for (const WildcardMatch& file : found.files)
        covered += file.covered;
    if (!found.problem.empty())
        count_->setText(FromProjectText(found.problem));
    else
        count_->setText(QStringLiteral("%1 files match%2")
                            .arg(found.files.size())
                            .arg(covered ? QStringLiteral(", %1 of them already in the project").arg(covered)
                                         : QString()));
    for (std::size_t i = 0; i < found.files.size() && i < kMostNamesShown; ++i) {
        const WildcardMatch& file = found.files[i];
        auto* item =
            new QListWidgetItem(FromProjectText(file.name)
                                + (file.covered ? QStringLiteral("  (already in the project)") : QString()));
        if (file.covered)
            item->setForeground(palette().brush(QPalette::Disabled, QPalette::Text));
        list_->addItem(item);
    }
    if (found.files.size() > kMostNamesShown)
        list_->addItem(QStringLiteral("… and %1 more").arg(found.files.size() - kMostNamesShown));
}

void AddWildcardDialog::accept()
{
    DialogSink sink(dialogs_, this);
    if (Expression().empty() || check_(Expression(), sink))
        QDialog::accept();
}

std::string AddWildcardDialog::Expression() const
{
    return ToProjectText(expression_->text());
}

}  // namespace zpak::ui
