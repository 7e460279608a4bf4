#include "ui/app/app_icon.h"

#include <QDir>

namespace zpak::ui {

QIcon AppIcon()
{
    // The SVG, drawn at each size asked for (Qt's SVG icon engine), or where
    // there is no SVG module its renderings at the sizes Windows asks for.
    static const QIcon icon = [] {
        QIcon drawn;
        const QDir icons(QStringLiteral(":/icons"));
        for (const QString& name : icons.entryList(QDir::Files))
            drawn.addFile(icons.filePath(name));
        return drawn;
    }();
    return icon;
}

}  // namespace zpak::ui
