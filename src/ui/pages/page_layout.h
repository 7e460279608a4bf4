#pragma once

#include <QString>

class QFormLayout;
class QLabel;
class QLineEdit;
class QVBoxLayout;
class QWidget;

namespace zpak::ui {

// Small helpers that give every page the same look.

// A wrapped paragraph of explanation.
QLabel* AddText(QVBoxLayout* layout, const QString& text);
// A labelled line edit carrying `id`.
QLineEdit* AddEdit(QFormLayout* form, const QString& label, int id);

}  // namespace zpak::ui
