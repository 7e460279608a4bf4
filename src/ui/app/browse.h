#pragma once

#include <QString>

#include <string>

class QLineEdit;

namespace zpak::ui {

class DialogService;

// Lets the user pick a file of the game folder and writes its path relative
// to it into the edit, by the rule Add File follows (GameFolderRelativePath:
// the folder as the project holds it, or as it lies on disk); a file outside
// is refused with a message and the edit keeps its text. `filter` is in the
// "Name (*.ext)|*.ext||" form.
void BrowseRelativeFile(DialogService& dialogs, QLineEdit* edit, const QString& filter,
                        const std::string& folder, const std::string& resolvedFolder);

}  // namespace zpak::ui
