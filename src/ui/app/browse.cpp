#include "ui/app/browse.h"

#include "model/relative_path.h"
#include "ui/app/dialog_service.h"
#include "ui/app/project_text.h"

#include <QLineEdit>

namespace zpak::ui {

void BrowseRelativeFile(DialogService& dialogs, QLineEdit* edit, const QString& filter,
                        const std::string& folder, const std::string& resolvedFolder)
{
    const QString chosen = dialogs.GetOpenFileName(edit->window(), QString(), filter);
    if (chosen.isEmpty())
        return;
    const std::string relative = GameFolderRelativePath(folder, resolvedFolder, ToProjectText(chosen));
    if (relative.empty()) {
        dialogs.ShowMessage(edit->window(),
                            QStringLiteral("Please pick a file that is located under the current folder."));
        return;
    }
    edit->setText(FromProjectText(relative));
}

}  // namespace zpak::ui
