#include "ui/app/layout_helpers.h"

#include "ui/app/control_ids.h"

#include <QBoxLayout>
#include <QDialog>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include <algorithm>

namespace zpak::ui {

QLabel* AddText(QBoxLayout* layout, const QString& text)
{
    auto* label = new QLabel(text);
    label->setWordWrap(true);
    layout->addWidget(label);
    return label;
}

QLineEdit* AddEdit(QFormLayout* form, const QString& label, int id, const char* name, const QString& tip)
{
    auto* edit = new QLineEdit;
    SetControlId(edit, id, name);
    edit->setToolTip(tip);
    form->addRow(label, edit);
    return edit;
}

std::vector<QLineEdit*> AddEdits(QFormLayout* form, std::initializer_list<EditRow> rows)
{
    std::vector<QLineEdit*> edits;
    for (const EditRow& row : rows)
        edits.push_back(AddEdit(form, row.label, row.id, row.name, row.tip));
    return edits;
}

QPushButton* AddBrowseRow(QFormLayout* form, const QString& label, QLineEdit* edit, int id, const char* name,
                          const QString& tip)
{
    auto* button = new QPushButton(QStringLiteral("..."));
    SetControlId(button, id, name);
    button->setToolTip(tip);
    auto* row = new QHBoxLayout;
    row->addWidget(edit, 1);
    row->addWidget(button);
    form->addRow(label, row);
    return button;
}

QPushButton* AddButton(QBoxLayout* column, const QString& caption, int id, const char* name)
{
    auto* button = new QPushButton(caption);
    SetControlId(button, id, name);
    button->setAutoDefault(false);
    column->addWidget(button);
    return button;
}

QDialogButtonBox* AddOkCancel(QDialog* dialog, QBoxLayout* layout)
{
    // Wide enough for the whole title beside the frame's buttons, and for
    // paths and values of a usual length.
    constexpr int kFrameButtons = 160;
    constexpr int kNarrowest = 420;
    dialog->setMinimumWidth(
        std::max(kNarrowest, dialog->fontMetrics().horizontalAdvance(dialog->windowTitle()) + kFrameButtons));
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    buttons->setObjectName(QStringLiteral("okCancelButtons"));
    QObject::connect(buttons, &QDialogButtonBox::accepted, dialog, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, dialog, &QDialog::reject);
    layout->addWidget(buttons);
    return buttons;
}

}  // namespace zpak::ui
