#pragma once

#include <QObject>
#include <QSettings>

namespace zpak::ui {

// The window and each of its dialogs open at the size the user last left
// them, kept in a small INI file under the dialog's class name; never larger
// than the screen they open on. Watches the whole application once made.
class DialogSizes final : public QObject {
    Q_OBJECT

public:
    explicit DialogSizes(const QString& file);
    ~DialogSizes() override;
    DialogSizes(const DialogSizes&) = delete;
    DialogSizes& operator=(const DialogSizes&) = delete;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QSettings settings_;
};

}  // namespace zpak::ui
