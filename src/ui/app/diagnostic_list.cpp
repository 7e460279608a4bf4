#include "ui/app/diagnostic_list.h"

#include "platform/text_encoding.h"
#include "ui/app/project_text.h"

#include <QDialog>
#include <QFileInfo>
#include <QHeaderView>
#include <QStyle>

#include <algorithm>

namespace zpak::ui {

namespace {

// Enough rows to read, few enough that 100,000 problems open at once.
constexpr std::size_t kMostRows = 1000;

enum Column { kText, kCode, kPage, kWhere };

// "FrontierMOD.ini:41": the file's name, not its folders, which the user chose.
QString WhereOf(const Diagnostic& diagnostic)
{
    const QString name = QFileInfo(FromNativePath(PathFromText(diagnostic.file))).fileName();
    return diagnostic.line > 0 ? name + u':' + QString::number(diagnostic.line) : name;
}

}  // namespace

DiagnosticList::DiagnosticList(std::vector<Diagnostic> diagnostics, const QString& none, const QString& rest,
                               QDialog* dialog)
    : QTreeWidget(dialog), diagnostics_(std::move(diagnostics)), dialog_(dialog)
{
    const bool fromFiles = std::any_of(diagnostics_.begin(), diagnostics_.end(),
                                       [](const Diagnostic& d) { return !d.file.empty(); });
    QStringList headers{QStringLiteral("Problem"), QStringLiteral("Code"), QStringLiteral("Page")};
    if (fromFiles)
        headers << QStringLiteral("Line");
    setHeaderLabels(headers);
    setRootIsDecorated(false);
    setUniformRowHeights(true);
    // The text takes what the short columns leave; its tooltip shows all of it.
    header()->setSectionResizeMode(QHeaderView::ResizeToContents);
    header()->setSectionResizeMode(kText, QHeaderView::Stretch);
    header()->setStretchLastSection(false);
    connect(this, &QTreeWidget::itemActivated, this, &DiagnosticList::Choose);

    if (diagnostics_.empty()) {
        auto* item = new QTreeWidgetItem(this, {none});
        item->setFlags(Qt::ItemIsEnabled);
        return;
    }
    const QIcon error = style()->standardIcon(QStyle::SP_MessageBoxCritical);
    const QIcon warning = style()->standardIcon(QStyle::SP_MessageBoxWarning);
    const QIcon note = style()->standardIcon(QStyle::SP_MessageBoxInformation);
    for (std::size_t i = 0; i < diagnostics_.size() && i < kMostRows; ++i) {
        const Diagnostic& d = diagnostics_[i];
        auto* item = new QTreeWidgetItem(this,
                                         {FromProjectText(d.text), QString::fromLatin1(d.code.c_str()),
                                          QString::fromLatin1(PageName(d.page))});
        if (fromFiles && !d.file.empty())
            item->setText(kWhere, WhereOf(d));
        item->setIcon(kText,
                      d.severity == Severity::Error         ? error
                          : d.severity == Severity::Warning ? warning
                                                            : note);
        item->setData(kText, Qt::UserRole, static_cast<qulonglong>(i));
        item->setToolTip(kText, FromProjectText(d.text));
    }
    if (diagnostics_.size() > kMostRows)
        new QTreeWidgetItem(
            this, {QStringLiteral("… and %1 more; %2").arg(diagnostics_.size() - kMostRows).arg(rest)});
}

void DiagnosticList::Choose(const QTreeWidgetItem* item)
{
    const QVariant index = item->data(kText, Qt::UserRole);
    if (!index.isValid())
        return;
    chosen_ = diagnostics_[index.toULongLong()];
    dialog_->accept();
}

}  // namespace zpak::ui
