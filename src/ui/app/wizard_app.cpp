#include "ui/app/wizard_app.h"

#include "game/registry_backend.h"
#include "model/project_document.h"
#include "platform/text_encoding.h"
#include "platform/wine_prefix.h"
#include "ui/app/app_icon.h"
#include "ui/app/dialog_service.h"
#include "ui/app/project_text.h"
#include "ui/app/system_places.h"
#include "ui/app/wizard_dialog.h"
#include "zpak/version.h"

#include <QApplication>

#include <ostream>

namespace zpak::ui {

struct WizardApp::State {
    State(int& argc, char** argv) : app(argc, argv) {}

    QApplication app;
    ProjectDocument document;
    QtDialogService dialogs;
};

WizardApp::WizardApp(int& argc, char** argv) : state_(std::make_unique<State>(argc, argv))
{
    QApplication::setApplicationName(QStringLiteral("zpakwizard"));
    QApplication::setDesktopFileName(QString::fromLatin1(kAppId));
    QApplication::setWindowIcon(AppIcon());
}

WizardApp::~WizardApp()
{
    state_->document.Release();
}

int WizardApp::Run(PageTable pages, const QString& project)
{
    const std::unique_ptr<RegistryBackend> registry = OpenSystemRegistry();
    const QString bin = QCoreApplication::applicationDirPath();
    WizardDialog wizard(WizardContext{state_->document, state_->dialogs, *registry, FindUserGuide(bin),
                                      FindPresets(bin, UserFilesFolder()), DefaultWinePrefix(),
                                      ToNativePath(RecentProjectsLocation())},
                        pages);
    if (!project.isEmpty())
        wizard.OpenProjectFile(project);
    wizard.exec();
    return 0;
}

std::optional<int> AnswerWithoutWindow(const std::vector<std::string>& args, std::ostream& out,
                                       std::ostream& err, QString& project)
{
    for (const std::string& arg : args) {
        if (arg == "--version") {
            out << "zpakwizard " << kVersion << '\n';
            return 0;
        }
        if (arg == "-h" || arg == "--help") {
            out << "Usage: zpakwizard [PROJECT.zproj]\n\n"
                   "The ZPAK Wizard window: describe a mod for a Corvex engine game and build its\n"
                   "installer manifest, package or zip. With a project file, opens it.\n"
                   "For the same work without a window, see zpakbuild --help.\n\n"
                   "Options:\n"
                   "  -h, --help     show this help\n"
                   "  --version      show the version\n";
            return 0;
        }
        if (arg.size() > 1 && arg[0] == '-') {
            err << "zpakwizard: unknown option '" << arg << "'\nTry 'zpakwizard --help'.\n";
            return 2;
        }
        if (!project.isEmpty()) {
            err << "zpakwizard: one project at a time\nTry 'zpakwizard --help'.\n";
            return 2;
        }
        project = FromNativePath(PathFromText(arg));
    }
    return std::nullopt;
}

}  // namespace zpak::ui
