#include "ui/app/dialog_service.h"

#include "ui/app/project_text.h"

#include <QDesktopServices>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>

namespace zpak::ui {

void QtDialogService::ShowMessage(QWidget* parent, const QString& text)
{
    QMessageBox box(QMessageBox::NoIcon, QStringLiteral("ZPAK WIZARD"), text, QMessageBox::Ok, parent);
    // Paths and checksums in a message are there to be copied.
    box.setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    box.exec();
}

bool QtDialogService::Ask(QWidget* parent, const QString& text)
{
    QMessageBox box(QMessageBox::Question, QStringLiteral("ZPAK WIZARD"), text,
                    QMessageBox::Yes | QMessageBox::No, parent);
    box.setDefaultButton(QMessageBox::No);
    return box.exec() == QMessageBox::Yes;
}

SaveAnswer QtDialogService::AskSaveChanges(QWidget* parent, const QString& name)
{
    QMessageBox box(QMessageBox::Warning, QStringLiteral("ZPAK WIZARD"),
                    QStringLiteral("Save changes to %1?").arg(name),
                    QMessageBox::Save | QMessageBox::Discard | QMessageBox::Cancel, parent);
    box.setDefaultButton(QMessageBox::Save);
    switch (box.exec()) {
    case QMessageBox::Save:
        return SaveAnswer::Save;
    case QMessageBox::Discard:
        return SaveAnswer::Discard;
    default:
        return SaveAnswer::Cancel;
    }
}

QString QtDialogService::GetOpenFileName(QWidget* parent, const QString& title, const QString& filter)
{
    return QFileDialog::getOpenFileName(parent, title, QString(), ToQtFilter(filter));
}

QString QtDialogService::GetSaveFileName(QWidget* parent, const QString& title, const QString& filter,
                                         const QString& defaultSuffix, const QString& start)
{
    QFileDialog dialog(parent, title, QString(), ToQtFilter(filter));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setDefaultSuffix(defaultSuffix);
    if (!start.isEmpty())
        dialog.selectFile(start);
    // The wizard asks itself: saving over the project's own file asks nothing.
    dialog.setOption(QFileDialog::DontConfirmOverwrite);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    return dialog.selectedFiles().first();
}

QStringList QtDialogService::GetOpenFileNames(QWidget* parent, const QString& filter, const QString& folder)
{
    return QFileDialog::getOpenFileNames(parent, QString(), folder, ToQtFilter(filter));
}

QString QtDialogService::GetExistingDirectory(QWidget* parent, const QString& title, const QString& start)
{
    return QFileDialog::getExistingDirectory(parent, title, start);
}

void QtDialogService::OpenUrl(const QUrl& url)
{
    QDesktopServices::openUrl(url);
}

void DialogSink::ShowMessage(const std::string& text)
{
    dialogs_.ShowMessage(parent_, FromProjectText(text));
}

QString ToQtFilter(const QString& filter)
{
    const QStringList parts = filter.split(QLatin1Char('|'), Qt::SkipEmptyParts);
    QStringList filters;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        QString patterns = parts[i + 1];
        patterns.replace(QLatin1Char(';'), QLatin1Char(' '));
        // The label already shows the patterns in most filters; Qt reads the
        // patterns from the parentheses, so give it exactly those.
        QString label = parts[i];
        const qsizetype open = label.indexOf(QLatin1Char('('));
        if (open >= 0)
            label = label.left(open).trimmed();
        filters << QStringLiteral("%1 (%2)").arg(label, patterns);
    }
    return filters.join(QStringLiteral(";;"));
}

QString WithDefaultSuffix(const QString& fileName, const QString& suffix)
{
    if (fileName.isEmpty() || !QFileInfo(fileName).suffix().isEmpty())
        return fileName;
    return fileName + QLatin1Char('.') + suffix;
}

}  // namespace zpak::ui
