#include "ui/app/field_feedback.h"

#include "ui/app/project_text.h"

#include <QCheckBox>
#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStyle>

namespace zpak::ui {

FieldFeedback::FieldFeedback(const char* objectName, QWidget* parent)
    : QWidget(parent), icon_(new QLabel(this)), text_(new QLabel(this))
{
    setObjectName(QLatin1String(objectName));
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(icon_, 0, Qt::AlignTop);
    layout->addWidget(text_, 1);
    text_->setWordWrap(true);
    text_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    hide();
}

QString FeedbackText(const Problem& problem)
{
    return QStringLiteral("%1 (%2)").arg(FromProjectText(problem.text), FromProjectText(problem.code));
}

void FieldFeedback::Show(const std::optional<Problem>& problem)
{
    refuses_ = problem && problem->severity == Severity::Error;
    if (bound_)
        bound_->setEnabled(!refuses_);
    setVisible(problem.has_value());
    if (!problem) {
        text_->clear();
        return;
    }
    const int size = style()->pixelMetric(QStyle::PM_SmallIconSize, nullptr, this);
    const auto icon = refuses_ ? QStyle::SP_MessageBoxCritical : QStyle::SP_MessageBoxWarning;
    icon_->setPixmap(style()->standardIcon(icon, nullptr, this).pixmap(size, size));
    text_->setText(FeedbackText(*problem));
}

void FieldFeedback::Watch(QWidget* field, Rule rule)
{
    const auto check = [this, rule = std::move(rule)] { Show(rule()); };
    if (auto* edit = qobject_cast<QLineEdit*>(field))
        connect(edit, &QLineEdit::textChanged, this, check);
    else if (auto* combo = qobject_cast<QComboBox*>(field))
        connect(combo, &QComboBox::currentTextChanged, this, check);
    else if (auto* box = qobject_cast<QCheckBox*>(field))
        connect(box, &QCheckBox::toggled, this, check);
    check();
}

void FieldFeedback::Bind(QPushButton* button)
{
    bound_ = button;
    bound_->setEnabled(!refuses_);
}

QString FieldFeedback::Text() const
{
    return isHidden() ? QString() : text_->text();
}

}  // namespace zpak::ui
