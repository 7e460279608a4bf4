#include "ui/app/wizard_app.h"

#include "game/registry_backend.h"
#include "model/project_document.h"
#include "ui/app/app_icon.h"
#include "ui/app/dialog_service.h"
#include "ui/app/wizard_dialog.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>

namespace zpak::ui {

namespace {

// The user guide lies beside the program in the build tree, and in
// share/zpakwizard of an installed one.
std::filesystem::path FindUserGuide()
{
    const QDir bin(QCoreApplication::applicationDirPath());
    for (const QString& candidate : {bin.filePath(QStringLiteral("user-guide.html")),
                                     bin.filePath(QStringLiteral("../share/zpakwizard/user-guide.html"))}) {
        if (QFileInfo::exists(candidate))
            return QFileInfo(candidate).absoluteFilePath().toStdString();
    }
    return bin.filePath(QStringLiteral("user-guide.html")).toStdString();
}

}  // namespace

int RunWizardApp(int argc, char** argv)
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("zpakwizard"));
    QApplication::setWindowIcon(AppIcon());

    ProjectDocument document;
    QtDialogService dialogs;
    const std::unique_ptr<RegistryBackend> registry = OpenSystemRegistry();
    {
        WizardDialog wizard(WizardContext{document, dialogs, *registry, FindUserGuide()});
        wizard.exec();
    }
    document.Release();
    return 0;
}

}  // namespace zpak::ui
