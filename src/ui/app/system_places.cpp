#include "ui/app/system_places.h"

#include "ui/app/project_text.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>
#include <QTemporaryFile>

namespace zpak::ui {

namespace {

// Whether a file can be made in the folder. Asked by making one: on Windows
// the folder's attributes say nothing of what its access list allows (a
// folder under Program Files is "writable" to QFileInfo for everybody).
bool TakesNewFiles(const QString& folder)
{
    QTemporaryFile probe(QDir(folder).filePath(QStringLiteral(".zpakwizard-XXXXXX")));
    return probe.open();
}

}  // namespace

std::filesystem::path FindUserGuide(const QString& programFolder)
{
    const QDir bin(programFolder);
    for (const QString& candidate : {bin.filePath(QStringLiteral("user-guide.html")),
                                     bin.filePath(QStringLiteral("../share/zpakwizard/user-guide.html"))}) {
        if (QFileInfo::exists(candidate))
            return ToNativePath(QFileInfo(candidate).absoluteFilePath());
    }
    return ToNativePath(bin.filePath(QStringLiteral("user-guide.html")));
}

std::filesystem::path FindPresets(const QString& programFolder, const QString& userFolder)
{
    const QFileInfo beside(QDir(programFolder).filePath(QStringLiteral("presets.ini")));
    if (beside.exists() && TakesNewFiles(programFolder))
        return ToNativePath(beside.absoluteFilePath());
    QDir().mkpath(userFolder);
    return ToNativePath(QDir(userFolder).filePath(QStringLiteral("presets.ini")));
}

QString UserFilesFolder()
{
#ifdef _WIN32
    return QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
#else
    return QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation);
#endif
}

QString RecentProjectsLocation()
{
#ifdef _WIN32
    return QStringLiteral("HKEY_CURRENT_USER\\Software\\ZPAK Wizard");
#else
    return QDir(UserFilesFolder()).filePath(QStringLiteral("recent-projects"));
#endif
}

}  // namespace zpak::ui
