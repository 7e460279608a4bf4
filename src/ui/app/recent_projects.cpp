#include "ui/app/recent_projects.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QTextStream>

namespace zpak::ui {

QStringList RecentProjects::Files() const
{
    QStringList files;
    QFile in(file_);
    if (!in.open(QIODevice::ReadOnly | QIODevice::Text))
        return files;
    QTextStream text(&in);
    while (!text.atEnd() && files.size() < kMost) {
        const QString line = text.readLine();
        if (!line.isEmpty() && !files.contains(line))
            files << line;
    }
    return files;
}

void RecentProjects::Add(const QString& project)
{
    if (file_.isEmpty())
        return;
    QStringList files = Files();
    const QString path = QFileInfo(project).absoluteFilePath();
    files.removeAll(path);
    files.prepend(path);
    while (files.size() > kMost)
        files.removeLast();
    QDir().mkpath(QFileInfo(file_).absolutePath());
    QSaveFile out(file_);
    if (!out.open(QIODevice::WriteOnly | QIODevice::Text))
        return;
    QTextStream text(&out);
    for (const QString& file : files)
        text << file << QLatin1Char('\n');
    text.flush();
    out.commit();  // a list that cannot be written is just not remembered
}

}  // namespace zpak::ui
