#include "ui/app/dialog_sizes.h"

#include <QApplication>
#include <QDialog>
#include <QEvent>
#include <QScreen>

namespace zpak::ui {

namespace {

// The wizard's own dialogs; message boxes and file dialogs size themselves.
QString KeyOf(const QObject* object)
{
    const QString name = QString::fromLatin1(object->metaObject()->className());
    const QString ours = QStringLiteral("zpak::ui::");
    if (!name.startsWith(ours) || !qobject_cast<const QDialog*>(object))
        return {};
    return QStringLiteral("sizes/") + name.mid(ours.size());
}

}  // namespace

DialogSizes::DialogSizes(const QString& file) : settings_(file, QSettings::IniFormat)
{
    qApp->installEventFilter(this);
}

DialogSizes::~DialogSizes()
{
    qApp->removeEventFilter(this);
}

bool DialogSizes::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() != QEvent::Show && event->type() != QEvent::Hide)
        return false;
    const QString key = KeyOf(watched);
    if (key.isEmpty())
        return false;
    auto* dialog = static_cast<QDialog*>(watched);
    if (!dialog->isWindow())
        return false;
    if (event->type() == QEvent::Hide) {
        settings_.setValue(key, dialog->size());
        return false;
    }
    QSize size = settings_.value(key, dialog->size()).toSize();
    if (const QScreen* screen = dialog->screen())
        size = size.boundedTo(screen->availableGeometry().size());
    dialog->resize(size.expandedTo(dialog->minimumSizeHint()));
    return false;
}

}  // namespace zpak::ui
