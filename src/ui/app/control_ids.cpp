#include "ui/app/control_ids.h"

#include <QVariant>
#include <QWidget>

namespace zpak::ui {

namespace {
constexpr const char* kIdProperty = "controlId";
}

void SetControlId(QWidget* widget, int id, const char* name)
{
    widget->setProperty(kIdProperty, id);
    widget->setObjectName(QLatin1String(name));
}

int ControlId(const QWidget* widget)
{
    const QVariant id = widget->property(kIdProperty);
    return id.isValid() ? id.toInt() : 0;
}

QWidget* FindControlWidget(const QWidget* parent, int id, bool directOnly)
{
    const auto options = directOnly ? Qt::FindDirectChildrenOnly : Qt::FindChildrenRecursively;
    for (QWidget* child : parent->findChildren<QWidget*>(QString(), options)) {
        if (ControlId(child) == id)
            return child;
    }
    return nullptr;
}

}  // namespace zpak::ui
