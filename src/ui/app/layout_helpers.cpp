#include "ui/app/layout_helpers.h"

#include "ui/app/control_ids.h"

#include <QBoxLayout>
#include <QDialog>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace zpak::ui {

QLabel* AddText(QBoxLayout* layout, const QString& text)
{
    auto* label = new QLabel(text);
    label->setWordWrap(true);
    layout->addWidget(label);
    return label;
}

QLineEdit* AddEdit(QFormLayout* form, const QString& label, int id, const char* name)
{
    auto* edit = new QLineEdit;
    SetControlId(edit, id, name);
    form->addRow(label, edit);
    return edit;
}

QPushButton* AddButton(QBoxLayout* column, const QString& caption, int id, const char* name)
{
    auto* button = new QPushButton(caption);
    SetControlId(button, id, name);
    button->setAutoDefault(false);
    column->addWidget(button);
    return button;
}

void AddOkCancel(QDialog* dialog, QBoxLayout* layout)
{
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    buttons->setObjectName(QStringLiteral("okCancelButtons"));
    QObject::connect(buttons, &QDialogButtonBox::accepted, dialog, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, dialog, &QDialog::reject);
    layout->addWidget(buttons);
}

}  // namespace zpak::ui
