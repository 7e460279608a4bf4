#pragma once

#include "generate/resolved_run.h"

#include <QWidget>

#include <functional>
#include <optional>

class QLabel;
class QPushButton;

namespace zpak::ui {

// What is wrong with a field's value, said as it is typed: one line under
// the field with an icon and the problem's text and code (whole in its
// tooltip when the line is too short), hidden while there is none. An error
// refuses the value: the button it is bound to (a dialog's OK) is disabled
// while one shows; a warning only tells, and a note says what is missing.
class FieldFeedback final : public QWidget {
    Q_OBJECT

public:
    // The rule that finds the problem of what the fields hold now.
    using Rule = std::function<std::optional<Problem>()>;

    explicit FieldFeedback(const char* objectName, QWidget* parent = nullptr);

    void Show(const std::optional<Problem>& problem);
    // Shows what `rule` finds now and again each time `field` (a line edit,
    // a combo box or a check box) changes.
    void Watch(QWidget* field, Rule rule);
    // The line ends at the right, as beside a button there.
    void AlignRight();
    // Disables `button` while an error shows.
    void Bind(QPushButton* button);
    bool Refuses() const { return refuses_; }
    QString Text() const;

private:
    QLabel* icon_;
    QLabel* text_;
    QPushButton* bound_ = nullptr;
    bool refuses_ = false;
};

// The text of a problem as a field shows it, with its code when it has one.
QString FeedbackText(const Problem& problem);

}  // namespace zpak::ui
