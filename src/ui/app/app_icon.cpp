#include "ui/app/app_icon.h"

#include <QPixmap>

#include "ui/resources/zpakwizard.xpm"

namespace zpak::ui {

QIcon AppIcon()
{
    static const QIcon icon{QPixmap(zpakwizard)};
    return icon;
}

}  // namespace zpak::ui
