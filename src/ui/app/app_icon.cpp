#include "ui/app/app_icon.h"

namespace zpak::ui {

QIcon AppIcon()
{
    // Drawn from the SVG at each size asked for (Qt's SVG icon engine).
    static const QIcon icon(QStringLiteral(":/icons/zpakwizard.svg"));
    return icon;
}

}  // namespace zpak::ui
