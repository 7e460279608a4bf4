#include "ui/pages/ini_changes/ini_dialogs.h"

#include "ini/ini_file.h"
#include "model/group_info.h"
#include "ui/app/control_ids.h"
#include "ui/app/dialog_service.h"
#include "ui/app/field_feedback.h"
#include "ui/app/layout_helpers.h"
#include "ui/app/project_text.h"

#include <QButtonGroup>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QLineEdit>
#include <QRadioButton>
#include <QVBoxLayout>

#include <algorithm>

namespace zpak::ui {

namespace {

QComboBox* EditableCombo(int id, const char* name, const QString& tip)
{
    auto* combo = new QComboBox;
    SetControlId(combo, id, name);
    combo->setToolTip(tip);
    combo->setEditable(true);
    combo->setInsertPolicy(QComboBox::NoInsert);
    return combo;
}

// Items in the sorted order of the list; nothing selected.
void FillSorted(QComboBox* combo, const std::vector<std::string>& names)
{
    QStringList items;
    for (const std::string& name : names)
        items << FromProjectText(name);
    items.sort(Qt::CaseInsensitive);
    combo->addItems(items);
    combo->setCurrentIndex(-1);
    combo->setEditText(QString());
}

// The index of the list item the combo shows, or -1 when its text was typed.
int SelectedIndex(const QComboBox* combo)
{
    const int index = combo->currentIndex();
    return index >= 0 && combo->itemText(index) == combo->currentText() ? index : -1;
}

}  // namespace

AddIniFileDialog::AddIniFileDialog(const std::vector<std::string>& gameFiles, const Check& check,
                                   DialogService& dialogs, QWidget* parent)
    : QDialog(parent), dialogs_(dialogs),
      files_(EditableCombo(ids::kIniFileName, "iniFileCombo",
                           QStringLiteral("An INI file of the game's System folder that installation "
                                          "changes on the player's machine; the list shows yours.")))
{
    setWindowTitle(QStringLiteral("Add INI File"));
    auto* layout = new QVBoxLayout(this);
    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("Filename:"), files_);
    auto* problem = new FieldFeedback("iniFileProblem");
    form->addRow(QString(), problem);
    layout->addLayout(form);
    problem->Bind(AddOkCancel(this, layout)->button(QDialogButtonBox::Ok));
    FillSorted(files_, gameFiles);
    problem->Watch(files_, [this, check] {
        const std::string name = FileName();
        return name.empty() ? std::nullopt : check(name);
    });
}

void AddIniFileDialog::accept()
{
    if (FileName().empty()) {
        dialogs_.ShowMessage(this, QStringLiteral("Please select an INI File or click Cancel."));
        return;
    }
    QDialog::accept();
}

std::string AddIniFileDialog::FileName() const
{
    const int index = SelectedIndex(files_);
    return ToProjectText(index >= 0 ? files_->itemText(index) : files_->currentText());
}

IniPropertyDialog::IniPropertyDialog(DialogService& dialogs, QWidget* parent)
    : QDialog(parent), dialogs_(dialogs),
      section_(EditableCombo(
          ids::kIniSection, "sectionCombo",
          QStringLiteral("The [Section] of the player's INI file; the list shows the sections of yours."))),
      key_(EditableCombo(ids::kIniKey, "keyCombo",
                         QStringLiteral("The key within the section; the list shows the keys of yours."))),
      value_(new QLineEdit), modify_(new QRadioButton(QStringLiteral("Modify Existing Line"))),
      addNew_(new QRadioButton(QStringLiteral("Add new line")))
{
    setWindowTitle(QStringLiteral("Add/Modify INI Property"));
    auto* layout = new QVBoxLayout(this);
    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("Section:"), section_);
    form->addRow(QStringLiteral("Key:"), key_);
    SetControlId(value_, ids::kIniValue, "valueEdit");
    value_->setToolTip(QStringLiteral("The value the key gets on the player's machine."));
    form->addRow(QStringLiteral("Value:"), value_);
    layout->addLayout(form);
    auto* options = new QGroupBox(QStringLiteral("INI Change Options"));
    auto* optionsLayout = new QVBoxLayout(options);
    SetControlId(modify_, ids::kModifyLine, "modifyLineChoice");
    modify_->setToolTip(QStringLiteral("Key=Value replaces the key's line in the player's file (Ini= in the "
                                       "manifest): the key keeps one value."));
    SetControlId(addNew_, ids::kAddNewLine, "addNewLineChoice");
    addNew_->setToolTip(QStringLiteral("Key=Value is added as one more line, keeping the lines already there "
                                       "(AddIni= in the manifest): for keys listed many times, such as "
                                       "packages to load."));
    // Each click clears the other; none is checked when nothing was loaded.
    modify_->setAutoExclusive(false);
    addNew_->setAutoExclusive(false);
    connect(modify_, &QRadioButton::clicked, this, [this] {
        modify_->setChecked(true);
        addNew_->setChecked(false);
    });
    connect(addNew_, &QRadioButton::clicked, this, [this] {
        addNew_->setChecked(true);
        modify_->setChecked(false);
    });
    optionsLayout->addWidget(modify_);
    optionsLayout->addWidget(addNew_);
    layout->addWidget(options);
    AddOkCancel(this, layout);
}

IniPropertyDialog::IniPropertyDialog(const IniFile& ini, DialogService& dialogs, QWidget* parent)
    : IniPropertyDialog(dialogs, parent)
{
    ini_ = &ini;
    std::vector<std::string> sections;
    for (int i = 0; i < ini.GetSectionCount(); ++i)
        sections.push_back(ini.GetSectionName(i));
    FillSorted(section_, sections);
    modify_->setChecked(true);
    connect(section_, &QComboBox::currentIndexChanged, this, &IniPropertyDialog::OnSectionChosen);
    connect(key_, &QComboBox::currentIndexChanged, this, &IniPropertyDialog::OnKeyChosen);
}

IniPropertyDialog::IniPropertyDialog(const IniChangeFields* current, DialogService& dialogs, QWidget* parent)
    : IniPropertyDialog(dialogs, parent)
{
    loaded_ = current != nullptr;
    if (!current)
        return;
    section_->addItem(FromProjectText(current->section));
    section_->setCurrentIndex(0);
    key_->addItem(FromProjectText(current->key));
    key_->setCurrentIndex(0);
    value_->setText(FromProjectText(current->value));
    (current->addNewLine ? addNew_ : modify_)->setChecked(true);
}

void IniPropertyDialog::OnSectionChosen(int index)
{
    if (index < 0)
        return;
    const QSignalBlocker quiet(key_);
    key_->clear();
    std::vector<std::string> keys;
    std::vector<std::string> values;
    ini_->GetSectionEntries(ToProjectText(section_->itemText(index)), keys, values);
    FillSorted(key_, keys);
}

void IniPropertyDialog::OnKeyChosen(int index)
{
    const int section = SelectedIndex(section_);
    if (index < 0 || section < 0)
        return;
    value_->setText(FromProjectText(
        ini_->GetValue(ToProjectText(section_->itemText(section)), ToProjectText(key_->itemText(index)))));
}

IniChangeFields IniPropertyDialog::Fields() const
{
    return {ToProjectText(section_->currentText()), ToProjectText(key_->currentText()),
            ToProjectText(value_->text()), addNew_->isChecked()};
}

void IniPropertyDialog::accept()
{
    DialogSink sink(dialogs_, this);
    // Without a change to modify, OK just closes.
    if (!loaded_ || CheckIniChange(Fields(), sink))
        QDialog::accept();
}

ImportIniDialog::ImportIniDialog(const std::vector<std::string>& gameFiles, DialogService& dialogs,
                                 QWidget* parent)
    : QDialog(parent), dialogs_(dialogs),
      files_(EditableCombo(ids::kImportFile, "importFileCombo",
                           QStringLiteral("An INI file of the game's System folder whose every key "
                                          "becomes an added line of the selected INI file.")))
{
    setWindowTitle(QStringLiteral("Import INI Properties"));
    auto* layout = new QVBoxLayout(this);
    AddText(layout,
            QStringLiteral("You can import keys from an existing INI file to populate the selected "
                           "file. Select the INI File you want to import settings from."));
    layout->addWidget(files_);
    AddOkCancel(this, layout);
    FillSorted(files_, gameFiles);
}

void ImportIniDialog::accept()
{
    if (SelectedIndex(files_) < 0) {
        dialogs_.ShowMessage(this, QStringLiteral("You must select an INI File from the listbox."));
        return;
    }
    QDialog::accept();
}

std::string ImportIniDialog::FileName() const
{
    const int index = SelectedIndex(files_);
    return index >= 0 ? ToProjectText(files_->itemText(index)) : std::string();
}

IniGroupingDialog::IniGroupingDialog(const std::vector<GroupInfo*>& groups, const GroupInfo* current,
                                     DialogService& dialogs, QWidget* parent)
    : QDialog(parent), dialogs_(dialogs),
      groups_(EditableCombo(ids::kIniGroup, "groupCombo",
                            QStringLiteral("The install group whose installation makes these INI "
                                           "changes; none ties them to the setup itself.")))
{
    setWindowTitle(QStringLiteral("INI Grouping"));
    auto* layout = new QVBoxLayout(this);
    AddText(layout,
            QStringLiteral("INI Settings can be associated with a specific group. This way you can "
                           "allow clients to select the properties they want to install. "));
    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("Associated Group:"), groups_);
    layout->addLayout(form);
    AddOkCancel(this, layout);

    // Each item carries its group; "None" (index 0) carries none. Two groups
    // whose names differ only in case stay two items.
    std::vector<GroupInfo*> sorted = groups;
    std::stable_sort(sorted.begin(), sorted.end(), [](const GroupInfo* a, const GroupInfo* b) {
        return QString::compare(FromProjectText(a->NameText()), FromProjectText(b->NameText()),
                                Qt::CaseInsensitive)
            < 0;
    });
    groups_->addItem(QStringLiteral("None"), QVariant::fromValue<void*>(nullptr));
    for (GroupInfo* group : sorted)
        groups_->addItem(FromProjectText(group->NameText()), QVariant::fromValue<void*>(group));
    groups_->setCurrentIndex(-1);
    groups_->setEditText(QString());
    for (int i = 1; i < groups_->count(); ++i) {
        if (current && groups_->itemData(i).value<void*>() == current)
            groups_->setCurrentIndex(i);
    }
}

void IniGroupingDialog::accept()
{
    if (SelectedIndex(groups_) < 0) {
        dialogs_.ShowMessage(this, QStringLiteral("Please select a Group or click Cancel."));
        return;
    }
    QDialog::accept();
}

GroupInfo* IniGroupingDialog::Chosen() const
{
    const int index = SelectedIndex(groups_);
    return index > 0 ? static_cast<GroupInfo*>(groups_->itemData(index).value<void*>()) : nullptr;
}

}  // namespace zpak::ui
