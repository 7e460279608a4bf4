#include "ui/app/wizard_app.h"

#include "game/registry_backend.h"
#include "model/project_document.h"
#include "platform/text_encoding.h"
#include "platform/wine_prefix.h"
#include "ui/app/app_icon.h"
#include "ui/app/dialog_service.h"
#include "ui/app/dialog_sizes.h"
#include "ui/app/project_text.h"
#include "ui/app/wizard_dialog.h"
#include "zpak/version.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>
#include <QTimer>

#include <ostream>

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
            return ToNativePath(QFileInfo(candidate).absoluteFilePath());
    }
    return ToNativePath(bin.filePath(QStringLiteral("user-guide.html")));
}

// presets.ini lies beside the program when it is there and that folder is
// writable (a portable install); otherwise in the user's configuration folder.
std::filesystem::path FindPresets()
{
    const QDir bin(QCoreApplication::applicationDirPath());
    const QFileInfo beside(bin.filePath(QStringLiteral("presets.ini")));
    if (beside.exists() && QFileInfo(bin.absolutePath()).isWritable())
        return ToNativePath(beside.absoluteFilePath());
    const QString config = QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation);
    QDir().mkpath(config);
    return ToNativePath(QDir(config).filePath(QStringLiteral("presets.ini")));
}

}  // namespace

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
    const QString config = QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation);
    const DialogSizes sizes(QDir(config).filePath(QStringLiteral("window-sizes.ini")));
    WizardDialog wizard(WizardContext{state_->document, state_->dialogs, *registry, FindUserGuide(),
                                      FindPresets(), DefaultWinePrefix(),
                                      ToNativePath(QDir(config).filePath(QStringLiteral("recent-projects")))},
                        pages);
    // Opened once the window is up, so that what opening says shows over it.
    if (!project.isEmpty())
        QTimer::singleShot(0, &wizard, [&wizard, &project] { wizard.OpenProjectFile(project); });
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
