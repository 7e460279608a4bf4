#include "ui/pages/ini_dialogs.h"

#include "ini/ini_file.h"
#include "model/project_document.h"
#include "ui/app/control_ids.h"
#include "ui/app/dialog_service.h"
#include "ui/app/project_text.h"
#include "ui/pages/ini_changes_page.h"

#include <QButtonGroup>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QVBoxLayout>

#include <algorithm>

namespace zpak::ui {

namespace {

QComboBox* EditableCombo(int id)
{
    auto* combo = new QComboBox;
    SetControlId(combo, id);
    combo->setEditable(true);
    combo->setInsertPolicy(QComboBox::NoInsert);
    return combo;
}

// Items in the sorted order of the list; nothing selected.
void FillSorted(QComboBox* combo, std::vector<std::string> names)
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

void AddOkCancel(QDialog* dialog, QVBoxLayout* layout)
{
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    QObject::connect(buttons, &QDialogButtonBox::accepted, dialog, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, dialog, &QDialog::reject);
    layout->addWidget(buttons);
}

QLabel* Text(QVBoxLayout* layout, const QString& text)
{
    auto* label = new QLabel(text);
    label->setWordWrap(true);
    layout->addWidget(label);
    return label;
}

}  // namespace

AddIniFileDialog::AddIniFileDialog(IniChangesPage& page, DialogService& dialogs, QWidget* parent)
    : QDialog(parent), page_(page), dialogs_(dialogs), files_(EditableCombo(ids::kIniFileName))
{
    setWindowTitle(QStringLiteral("Add INI File"));
    auto* layout = new QVBoxLayout(this);
    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("Filename:"), files_);
    layout->addLayout(form);
    AddOkCancel(this, layout);
    FillSorted(files_, page_.GameIniFiles());
}

void AddIniFileDialog::accept()
{
    const int index = SelectedIndex(files_);
    const QString name = index >= 0 ? files_->itemText(index) : files_->currentText();
    if (name.isEmpty()) {
        dialogs_.ShowMessage(this, QStringLiteral("Please select an INI File or click Cancel."));
        return;
    }
    QDialog::accept();
    page_.AddIniFile(ToProjectText(name));
}

IniPropertyDialog::IniPropertyDialog(Mode mode, IniChangesPage& page, DialogService& dialogs, QWidget* parent)
    : QDialog(parent), mode_(mode), page_(page), dialogs_(dialogs), section_(EditableCombo(ids::kIniSection)),
      key_(EditableCombo(ids::kIniKey)), value_(new QLineEdit),
      modify_(new QRadioButton(QStringLiteral("Modify Existing Line"))),
      addNew_(new QRadioButton(QStringLiteral("Add new line")))
{
    setWindowTitle(QStringLiteral("Add/Modify INI Property"));
    auto* layout = new QVBoxLayout(this);
    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("Section:"), section_);
    form->addRow(QStringLiteral("Key:"), key_);
    SetControlId(value_, ids::kIniValue);
    form->addRow(QStringLiteral("Value:"), value_);
    layout->addLayout(form);
    auto* options = new QGroupBox(QStringLiteral("INI Change Options"));
    auto* optionsLayout = new QVBoxLayout(options);
    SetControlId(modify_, ids::kModifyLine);
    SetControlId(addNew_, ids::kAddNewLine);
    // Each click clears the other; none is checked when nothing was loaded.
    modify_->setAutoExclusive(false);
    addNew_->setAutoExclusive(false);
    connect(modify_, &QRadioButton::clicked, this, [this] { modify_->setChecked(true); addNew_->setChecked(false); });
    connect(addNew_, &QRadioButton::clicked, this, [this] { addNew_->setChecked(true); modify_->setChecked(false); });
    optionsLayout->addWidget(modify_);
    optionsLayout->addWidget(addNew_);
    layout->addWidget(options);
    AddOkCancel(this, layout);

    if (mode_ == Mode::Add) {
        ini_ = std::make_unique<IniFile>();
        ini_->Load(page_.GetCurrentIniPath());
        std::vector<std::string> sections;
        for (int i = 0; i < ini_->GetSectionCount(); ++i)
            sections.push_back(ini_->GetSectionName(i));
        FillSorted(section_, sections);
        modify_->setChecked(true);
        connect(section_, &QComboBox::currentIndexChanged, this, &IniPropertyDialog::OnSectionChosen);
        connect(key_, &QComboBox::currentIndexChanged, this, &IniPropertyDialog::OnKeyChosen);
        return;
    }
    const INIDefinition* entry = page_.GetCurrentEntry();
    if (!entry) {
        loaded_ = false;
        dialogs_.ShowMessage(parent, QStringLiteral("Could not load the current property."));
        return;
    }
    section_->addItem(FromProjectText(TextOf(entry->section)));
    section_->setCurrentIndex(0);
    key_->addItem(FromProjectText(TextOf(entry->key)));
    key_->setCurrentIndex(0);
    value_->setText(FromProjectText(TextOf(entry->value)));
    (entry->addNewLine ? addNew_ : modify_)->setChecked(true);
}

IniPropertyDialog::~IniPropertyDialog() = default;

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

void IniPropertyDialog::accept()
{
    if (!loaded_) {
        QDialog::accept();  // there was no change to modify
        return;
    }
    const std::string section = ToProjectText(section_->currentText());
    if (section.empty()) {
        dialogs_.ShowMessage(this, QStringLiteral("You must enter/select the INI Section."));
        return;
    }
    const std::string key = ToProjectText(key_->currentText());
    if (key.empty()) {
        dialogs_.ShowMessage(this, QStringLiteral("You must enter/select the INI key."));
        return;
    }
    const std::string value = ToProjectText(value_->text());
    const int addNewLine = addNew_->isChecked() ? 1 : 0;
    if (mode_ == Mode::Add) {
        page_.AddIniEntry(section, key, value, addNewLine);
    } else if (INIDefinition* entry = page_.GetCurrentEntry()) {
        entry->section = section;
        entry->key = key;
        entry->value = value;
        entry->addNewLine = addNewLine;
        page_.RefreshCurrentEntry();
    }
    QDialog::accept();
}

ImportIniDialog::ImportIniDialog(IniChangesPage& page, DialogService& dialogs, QWidget* parent)
    : QDialog(parent), page_(page), dialogs_(dialogs), files_(EditableCombo(ids::kImportFile))
{
    setWindowTitle(QStringLiteral("Import INI Properties"));
    auto* layout = new QVBoxLayout(this);
    Text(layout, QStringLiteral("You can import keys from an existing INI file to populate the selected "
                                "file. Select the INI File you want to import settings from."));
    layout->addWidget(files_);
    AddOkCancel(this, layout);
    FillSorted(files_, page_.GameIniFiles());
}

void ImportIniDialog::accept()
{
    const int index = SelectedIndex(files_);
    if (index < 0) {
        dialogs_.ShowMessage(this, QStringLiteral("You must select an INI File from the listbox."));
        return;
    }
    QDialog::accept();
    IniFile source;
    source.Load(page_.SystemIniPath(ToProjectText(files_->itemText(index))));
    page_.ImportEntries(source);
}

IniGroupingDialog::IniGroupingDialog(INIGroup& file, ProjectDocument& document, DialogService& dialogs,
                                     QWidget* parent)
    : QDialog(parent), file_(file), dialogs_(dialogs), groups_(EditableCombo(ids::kIniGroup))
{
    setWindowTitle(QStringLiteral("INI Grouping"));
    auto* layout = new QVBoxLayout(this);
    Text(layout, QStringLiteral("INI Settings can be associated with a specific group. This way you can "
                                "allow clients to select the properties they want to install. "));
    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("Associated Group:"), groups_);
    layout->addLayout(form);
    AddOkCancel(this, layout);

    // Each item carries its group; "None" (index 0) carries none. Two groups
    // whose names differ only in case stay two items.
    std::vector<GroupInfo*> sorted;
    for (const auto& group : document.groups)
        sorted.push_back(group.get());
    std::stable_sort(sorted.begin(), sorted.end(), [](const GroupInfo* a, const GroupInfo* b) {
        return QString::compare(FromProjectText(a->NameText()), FromProjectText(b->NameText()),
                                Qt::CaseInsensitive) < 0;
    });
    groups_->addItem(QStringLiteral("None"), QVariant::fromValue<void*>(nullptr));
    for (GroupInfo* group : sorted)
        groups_->addItem(FromProjectText(group->NameText()), QVariant::fromValue<void*>(group));
    groups_->setCurrentIndex(-1);
    groups_->setEditText(QString());
    for (int i = 1; i < groups_->count(); ++i) {
        if (file_.group && groups_->itemData(i).value<void*>() == file_.group)
            groups_->setCurrentIndex(i);
    }
}

void IniGroupingDialog::accept()
{
    const int index = SelectedIndex(groups_);
    if (index < 0) {
        dialogs_.ShowMessage(this, QStringLiteral("Please select a Group or click Cancel."));
        return;
    }
    file_.group = static_cast<GroupInfo*>(groups_->itemData(index).value<void*>());
    QDialog::accept();
}

}  // namespace zpak::ui
