#pragma once

#include <QIcon>

namespace zpak::ui {

// The wizard's own icon: the window icon and the logo.
QIcon AppIcon();

}  // namespace zpak::ui
