#include "ui/app/recent_projects.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QSettings>
#include <QTextStream>

namespace zpak::ui {

namespace {
const QString kRecentValue = QStringLiteral("RecentProjects");
}  // namespace

QStringList RecentProjects::Files() const
{
    QStringList files;
    for (const QString& file : Load()) {
        if (!file.isEmpty() && !files.contains(file) && files.size() < kMost)
            files << file;
    }
    return files;
}

void RecentProjects::Add(const QString& project)
{
    if (location_.isEmpty())
        return;
    QStringList files = Files();
    const QString path = QFileInfo(project).absoluteFilePath();
    files.removeAll(path);
    files.prepend(path);
    while (files.size() > kMost)
        files.removeLast();
    Store(files);
}

bool RecentProjects::InRegistry() const
{
#ifdef _WIN32
    return location_.startsWith(QStringLiteral("HKEY_"), Qt::CaseInsensitive);
#else
    return false;
#endif
}

QStringList RecentProjects::Load() const
{
    if (InRegistry())
        return QSettings(location_, QSettings::NativeFormat).value(kRecentValue).toStringList();
    QStringList files;
    QFile in(location_);
    if (!in.open(QIODevice::ReadOnly | QIODevice::Text))
        return files;
    QTextStream text(&in);
    while (!text.atEnd())
        files << text.readLine();
    return files;
}

// A list that cannot be written is just not remembered.
void RecentProjects::Store(const QStringList& files) const
{
    if (InRegistry()) {
        QSettings(location_, QSettings::NativeFormat).setValue(kRecentValue, files);
        return;
    }
    QDir().mkpath(QFileInfo(location_).absolutePath());
    QSaveFile out(location_);
    if (!out.open(QIODevice::WriteOnly | QIODevice::Text))
        return;
    QTextStream text(&out);
    for (const QString& file : files)
        text << file << QLatin1Char('\n');
    text.flush();
    out.commit();
}

}  // namespace zpak::ui
