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
    box.exec();
}

QString QtDialogService::GetOpenFileName(QWidget* parent, const QString& title, const QString& filter)
{
    return QFileDialog::getOpenFileName(parent, title, QString(), ToQtFilter(filter));
}

QString QtDialogService::GetSaveFileName(QWidget* parent, const QString& title, const QString& filter,
                                         const QString& defaultSuffix)
{
    QFileDialog dialog(parent, title, QString(), ToQtFilter(filter));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setDefaultSuffix(defaultSuffix);
    // Like the wizard always did, an existing file is replaced without asking.
    dialog.setOption(QFileDialog::DontConfirmOverwrite);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    return dialog.selectedFiles().first();
}

QStringList QtDialogService::GetOpenFileNames(QWidget* parent, const QString& filter, const QString& folder)
{
    return QFileDialog::getOpenFileNames(parent, QString(), folder, ToQtFilter(filter));
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
