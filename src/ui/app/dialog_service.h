#pragma once

#include "platform/message_sink.h"

#include <QString>
#include <QStringList>
#include <QUrl>

class QWidget;

namespace zpak::ui {

// The answers to "Save changes to <name>?".
enum class SaveAnswer { Save, Discard, Cancel };

// Every message box, file dialog and browser launch of the wizard goes
// through this service, so that tests can answer them.
class DialogService {
public:
    virtual ~DialogService() = default;

    // An OK-only modal message box.
    virtual void ShowMessage(QWidget* parent, const QString& text) = 0;
    // A question with Yes and No; true for Yes.
    virtual bool Ask(QWidget* parent, const QString& text) = 0;
    // Save, Discard or Cancel for a project with unsaved changes.
    virtual SaveAnswer AskSaveChanges(QWidget* parent, const QString& name) = 0;
    // `filter` in the "Name (*.ext)|*.ext||" form; an empty result is Cancel.
    virtual QString GetOpenFileName(QWidget* parent, const QString& title, const QString& filter) = 0;
    // Starts on `start` (a file to propose, or a folder); never asks about
    // replacing a file: the caller does.
    virtual QString GetSaveFileName(QWidget* parent, const QString& title, const QString& filter,
                                    const QString& defaultSuffix, const QString& start) = 0;
    // Several files at once, starting in `folder`; empty is Cancel.
    virtual QStringList GetOpenFileNames(QWidget* parent, const QString& filter, const QString& folder) = 0;
    // A folder, starting in `start`; empty is Cancel.
    virtual QString GetExistingDirectory(QWidget* parent, const QString& title, const QString& start) = 0;
    // False when no program opened it.
    virtual bool OpenUrl(const QUrl& url) = 0;
};

// The real dialogs: QMessageBox, QFileDialog, the desktop's browser.
class QtDialogService final : public DialogService {
public:
    void ShowMessage(QWidget* parent, const QString& text) override;
    bool Ask(QWidget* parent, const QString& text) override;
    SaveAnswer AskSaveChanges(QWidget* parent, const QString& name) override;
    QString GetOpenFileName(QWidget* parent, const QString& title, const QString& filter) override;
    QString GetSaveFileName(QWidget* parent, const QString& title, const QString& filter,
                            const QString& defaultSuffix, const QString& start) override;
    QStringList GetOpenFileNames(QWidget* parent, const QString& filter, const QString& folder) override;
    QString GetExistingDirectory(QWidget* parent, const QString& title, const QString& start) override;
    bool OpenUrl(const QUrl& url) override;
};

// Core operations report through a MessageSink; in the wizard that is a
// message box over the given window.
class DialogSink final : public MessageSink {
public:
    DialogSink(DialogService& dialogs, QWidget* parent) : dialogs_(dialogs), parent_(parent) {}
    void ShowMessage(const std::string& text) override;

private:
    DialogService& dialogs_;
    QWidget* parent_;
};

// "ZPAK Project File (*.zproj)|*.zproj||" as a Qt file dialog filter.
QString ToQtFilter(const QString& filter);

// The file name with ".<suffix>" added when it has no extension.
QString WithDefaultSuffix(const QString& fileName, const QString& suffix);

}  // namespace zpak::ui
