#pragma once

#include <QString>

#include <string>

class QLineEdit;

namespace zpak::ui {

class DialogService;

// Lets the user pick a file and writes its path relative to `base` into the
// edit; a file outside `base` is refused with a message and the edit keeps
// its text. `filter` is in the "Name (*.ext)|*.ext||" form.
void BrowseRelativeFile(DialogService& dialogs, QLineEdit* edit, const QString& filter,
                        const std::string& base);

}  // namespace zpak::ui
