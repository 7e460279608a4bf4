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

    bool Ask(QWidget*, const QString& text) override
    {
        questions << text;
        return Next(askAnswers);
    }

    SaveAnswer AskSaveChanges(QWidget*, const QString& name) override
    {
        saveQuestions << name;
        return Next(saveChangesAnswers, SaveAnswer::Cancel);
    }

    QString GetSaveFileName(QWidget*, const QString& title, const QString&, const QString&,
                            const QString& start) override
    {
        saveTitles << title;
        saveStarts << start;
        return Next(saveAnswers);
    }

    QString GetExistingDirectory(QWidget*, const QString&, const QString& start) override
    {
        folderStarts << start;
        return Next(folderAnswers);
    }

    QStringList GetOpenFileNames(QWidget*, const QString& filter, const QString& folder) override
    {
        openFilters << filter;
        openFolders << folder;
        return Next(multiAnswers);
    }

    bool OpenUrl(const QUrl& url) override
    {
        urls << url;
        return urlOpens;
    }

    std::deque<QString> openAnswers;
    std::deque<QString> saveAnswers;
    std::deque<QString> folderAnswers;
    std::deque<bool> askAnswers;                // an empty queue answers No
    std::deque<SaveAnswer> saveChangesAnswers;  // an empty queue answers Cancel
    QStringList questions;
    QStringList saveQuestions;
    QStringList saveStarts;
    QStringList folderStarts;
    std::deque<QStringList> multiAnswers;
    QStringList openFolders;
    QStringList messages;
    QStringList openFilters;
    QStringList saveTitles;
    QList<QUrl> urls;
    bool urlOpens = true;  // whether a browser takes the URLs
    // Runs as each message box comes up, to see what else is on screen then.
    std::function<void()> onMessage;

private:
    template <typename T> static T Next(std::deque<T>& answers, T otherwise = {})
    {
        if (answers.empty())
            return otherwise;
        T answer = std::move(answers.front());
        answers.pop_front();
        return answer;
    }
};

}  // namespace zpak::ui::test
