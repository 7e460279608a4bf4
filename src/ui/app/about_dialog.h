#pragma once

#include <QDialog>

namespace zpak::ui {

// "About ZPAK WIZARD": the icon, the program name and an OK button.
class AboutDialog final : public QDialog {
    Q_OBJECT

public:
    explicit AboutDialog(QWidget* parent = nullptr);
};

}  // namespace zpak::ui
