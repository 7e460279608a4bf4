#pragma once

#include <QString>
#include <QStringList>

namespace zpak::ui {

// The projects opened or saved last, newest first, so that Open can offer
// them. Kept where the system keeps a program's settings: on Linux a small
// text file (one path a line); on Windows a registry key, which `location`
// names as QSettings does ("HKEY_CURRENT_USER\Software\...").
class RecentProjects {
public:
    explicit RecentProjects(QString location) : location_(std::move(location)) {}

    QStringList Files() const;
    // Puts the project first; the list keeps kMost.
    void Add(const QString& project);

    static constexpr int kMost = 8;

private:
    bool InRegistry() const;
    QStringList Load() const;
    void Store(const QStringList& files) const;

    QString location_;
};

}  // namespace zpak::ui
