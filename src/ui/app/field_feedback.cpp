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

namespace {

// One line, whatever its width: a text too long for it ends in "…", and the
// tooltip holds it whole.
class OneLineLabel final : public QLabel {
public:
    explicit OneLineLabel(QWidget* parent) : QLabel(parent)
    {
        setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
        setMinimumWidth(1);
    }

    // Wide enough for the whole text, narrower when there is no room.
    QSize sizeHint() const override
    {
        return {fontMetrics().horizontalAdvance(whole_) + 2, QLabel::sizeHint().height()};
    }

    void SetWholeText(const QString& text)
    {
        whole_ = text;
        setToolTip(text);
        updateGeometry();
        Elide();
    }
    const QString& WholeText() const { return whole_; }

protected:
    void resizeEvent(QResizeEvent* event) override
    {
        QLabel::resizeEvent(event);
        Elide();
    }

private:
    void Elide() { setText(fontMetrics().elidedText(whole_, Qt::ElideRight, width())); }

    QString whole_;
};

}  // namespace

FieldFeedback::FieldFeedback(const char* objectName, QWidget* parent)
    : QWidget(parent), icon_(new QLabel(this)), text_(new OneLineLabel(this))
{
    setObjectName(QLatin1String(objectName));
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(icon_);
    layout->addWidget(text_, 1);
    hide();
}

QString FeedbackText(const Problem& problem)
{
    const QString text = FromProjectText(problem.text);
    return problem.code.empty() ? text : QStringLiteral("%1 (%2)").arg(text, FromProjectText(problem.code));
}

void FieldFeedback::Show(const std::optional<Problem>& problem)
{
    refuses_ = problem && problem->severity == Severity::Error;
    if (bound_)
        bound_->setEnabled(!refuses_);
    setVisible(problem.has_value());
    auto* line = static_cast<OneLineLabel*>(text_);
    if (!problem) {
        line->SetWholeText(QString());
        return;
    }
    const int size = style()->pixelMetric(QStyle::PM_SmallIconSize, nullptr, this);
    const auto icon = refuses_                   ? QStyle::SP_MessageBoxCritical
        : problem->severity == Severity::Warning ? QStyle::SP_MessageBoxWarning
                                                 : QStyle::SP_MessageBoxInformation;
    icon_->setPixmap(style()->standardIcon(icon, nullptr, this).pixmap(size, size));
    line->SetWholeText(FeedbackText(*problem));
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

void FieldFeedback::AlignRight()
{
    static_cast<QHBoxLayout*>(layout())->insertStretch(0);
    static_cast<QHBoxLayout*>(layout())->setStretch(2, 0);
}

void FieldFeedback::Bind(QPushButton* button)
{
    bound_ = button;
    bound_->setEnabled(!refuses_);
}

QString FieldFeedback::Text() const
{
    return isHidden() ? QString() : static_cast<const OneLineLabel*>(text_)->WholeText();
}

}  // namespace zpak::ui
