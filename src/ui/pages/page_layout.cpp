#include "ui/pages/page_layout.h"

#include "ui/app/control_ids.h"

#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>

namespace zpak::ui {

QLabel* AddText(QVBoxLayout* layout, const QString& text)
{
    auto* label = new QLabel(text);
    label->setWordWrap(true);
    layout->addWidget(label);
    return label;
}

QLineEdit* AddEdit(QFormLayout* form, const QString& label, int id)
{
    auto* edit = new QLineEdit;
    SetControlId(edit, id);
    form->addRow(label, edit);
    return edit;
}

}  // namespace zpak::ui
