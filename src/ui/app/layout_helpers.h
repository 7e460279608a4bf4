#pragma once

#include <QString>

#include <initializer_list>
#include <vector>

class QBoxLayout;
class QDialog;
class QDialogButtonBox;
class QFormLayout;
class QLabel;
class QLineEdit;
class QPushButton;

namespace zpak::ui {

// Small helpers that give every page and dialog the same look.

// A wrapped paragraph of explanation.
QLabel* AddText(QBoxLayout* layout, const QString& text);

// A labelled line edit carrying `id`, the object name `name` and a tooltip
// saying what the field does in the installed product.
QLineEdit* AddEdit(QFormLayout* form, const QString& label, int id, const char* name, const QString& tip);

// A labelled line edit of a form, as AddEdit makes it.
struct EditRow {
    QString label;
    int id;
    const char* name;
    QString tip;
};

// The rows' edits, in order.
std::vector<QLineEdit*> AddEdits(QFormLayout* form, std::initializer_list<EditRow> rows);

// The edit and a "..." button beside it that fills it, as one row of the
// form; gives the button, which carries `id`, `name` and `tip`.
QPushButton* AddBrowseRow(QFormLayout* form, const QString& label, QLineEdit* edit, int id, const char* name,
                          const QString& tip);

// A button of the column beside a tree. It never becomes the default button:
// Enter in a page must not press it.
QPushButton* AddButton(QBoxLayout* column, const QString& caption, int id, const char* name);

// The OK and Cancel row at the bottom of a dialog, which also makes the
// dialog wide enough for its title; call it after setting the title.
QDialogButtonBox* AddOkCancel(QDialog* dialog, QBoxLayout* layout);

}  // namespace zpak::ui
