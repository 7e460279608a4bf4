#pragma once

#include "ui/app/dialog_service.h"

#include <QStringList>
#include <QUrl>

#include <deque>
#include <functional>

namespace zpak::ui::test {

// Answers the wizard's dialogs from queues the test fills, and records every
// message box. An empty queue answers Cancel.
class ScriptedDialogs final : public DialogService {
public:
    void ShowMessage(QWidget*, const QString& text) override
    {
        if (onMessage)
            onMessage();
        messages << text;
    }

    QString GetOpenFileName(QWidget*, const QString&, const QString& filter) override
    {
        openFilters << filter;
        return Next(openAnswers);
    }

    QString GetSaveFileName(QWidget*, const QString& title, const QString&, const QString&) override
    {
        saveTitles << title;
        return Next(saveAnswers);
    }

    QStringList GetOpenFileNames(QWidget*, const QString& filter, const QString& folder) override
    {
        openFilters << filter;
        openFolders << folder;
        if (multiAnswers.empty())
            return {};
        QStringList answer = multiAnswers.front();
        multiAnswers.pop_front();
        return answer;
    }

    void OpenUrl(const QUrl& url) override { urls << url; }

    std::deque<QString> openAnswers;
    std::deque<QString> saveAnswers;
    std::deque<QStringList> multiAnswers;
    QStringList openFolders;
    QStringList messages;
    QStringList openFilters;
    QStringList saveTitles;
    QList<QUrl> urls;
    // Runs as each message box comes up, to see what else is on screen then.
    std::function<void()> onMessage;

private:
    static QString Next(std::deque<QString>& answers)
    {
        if (answers.empty())
            return {};
        QString answer = answers.front();
        answers.pop_front();
        return answer;
    }
};

}  // namespace zpak::ui::test
