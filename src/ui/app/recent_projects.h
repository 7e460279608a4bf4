#pragma once

#include <QString>
#include <QStringList>

namespace zpak::ui {

// The projects opened or saved last, newest first, kept in a small text file
// (one path a line) so that Open can offer them.
class RecentProjects {
public:
    explicit RecentProjects(QString file) : file_(std::move(file)) {}

    QStringList Files() const;
    // Puts the project first; the list keeps kMost.
    void Add(const QString& project);

    static constexpr int kMost = 8;

private:
    QString file_;
};

}  // namespace zpak::ui
