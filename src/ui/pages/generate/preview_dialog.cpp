#include "ui/pages/generate/preview_dialog.h"

#include "model/project_document.h"
#include "ui/app/control_ids.h"
#include "ui/app/diagnostic_list.h"
#include "ui/app/layout_helpers.h"
#include "ui/app/project_text.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLocale>
#include <QPushButton>
#include <QSplitter>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace zpak::ui {

namespace {

// Rows a list shows before it says how many more there are: enough to read,
// few enough that a project of 100,000 entries opens at once.
constexpr std::size_t kMostRows = 1000;

QString Bytes(std::uintmax_t size)
{
    return QLocale().formattedDataSize(static_cast<qint64>(size), 1, QLocale::DataSizeTraditionalFormat);
}

QTreeWidgetItem* Section(QTreeWidget* tree, const QString& title)
{
    auto* item = new QTreeWidgetItem(tree, {title});
    QFont bold = item->font(0);
    bold.setBold(true);
    item->setFont(0, bold);
    item->setExpanded(true);
    return item;
}

}  // namespace

PreviewDialog::PreviewDialog(const ProjectDocument& document, ResolvedRun run,
                             std::vector<Diagnostic> diagnostics, std::filesystem::path winePrefix,
                             QWidget* parent)
    : QDialog(parent), doc_(document), run_(std::move(run)), winePrefix_(std::move(winePrefix)),
      problems_(new DiagnosticList(std::move(diagnostics),
                                   QStringLiteral("No problems: the product is ready to build."),
                                   QStringLiteral("zpakbuild check lists them all."), this)),
      install_(new QTreeWidget)
{
    setWindowTitle(QStringLiteral("Preview of the Install"));
    resize(820, 640);
    auto* layout = new QVBoxLayout(this);

    SetControlId(problems_, ids::kPreviewDiagnostics, "previewDiagnostics");
    problems_->setToolTip(
        QStringLiteral("Every problem of the project: errors stop Generate, warnings are what a "
                       "player would regret. Double-click one to go to its page."));

    auto* groupsBox = new QGroupBox(QStringLiteral("Groups the player installs"));
    SetControlId(groupsBox, ids::kPreviewGroups, "previewGroups");
    groupsBox->setToolTip(QStringLiteral("Tick the groups a player would choose; required groups are always "
                                         "installed."));
    auto* groupsRow = new QHBoxLayout(groupsBox);
    const std::vector<std::size_t> defaults = DefaultGroups(doc_);
    for (std::size_t g = 0; g < doc_.groups.size(); ++g) {
        const GroupInfo& group = *doc_.groups[g];
        auto* box = new QCheckBox(FromProjectText(group.NameText()));
        box->setObjectName(QStringLiteral("previewGroup%1").arg(g));
        box->setChecked(std::find(defaults.begin(), defaults.end(), g) != defaults.end());
        box->setEnabled(!group.Required);
        box->setToolTip(group.Required ? QStringLiteral("A required group: always installed.")
                                       : QStringLiteral("Whether the player installs this group."));
        connect(box, &QCheckBox::toggled, this, &PreviewDialog::ShowInstall);
        groupsRow->addWidget(box);
        groups_.push_back(box);
    }
    groupsRow->addStretch();

    SetControlId(install_, ids::kPreviewTree, "previewTree");
    install_->setToolTip(
        QStringLiteral("What the installer does on the player's machine for the ticked groups."));
    install_->setUniformRowHeights(true);
    install_->setHeaderLabels({QStringLiteral("Installs"), QStringLiteral("Size")});
    install_->header()->setSectionResizeMode(0, QHeaderView::Stretch);
    install_->header()->setStretchLastSection(false);

    auto* below = new QWidget;
    auto* belowLayout = new QVBoxLayout(below);
    belowLayout->setContentsMargins(0, 0, 0, 0);
    belowLayout->addWidget(groupsBox);
    belowLayout->addWidget(install_, 1);
    auto* splitter = new QSplitter(Qt::Vertical);
    splitter->addWidget(problems_);
    splitter->addWidget(below);
    splitter->setStretchFactor(1, 3);
    layout->addWidget(splitter, 1);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close);
    buttons->button(QDialogButtonBox::Close)->setToolTip(QStringLiteral("Back to the Generate page."));
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);

    ShowInstall();
}

const std::optional<Diagnostic>& PreviewDialog::Chosen() const
{
    return problems_->Chosen();
}

std::vector<std::size_t> PreviewDialog::ChosenGroups() const
{
    std::vector<std::size_t> chosen;
    for (std::size_t g = 0; g < groups_.size(); ++g) {
        if (groups_[g]->isChecked())
            chosen.push_back(g);
    }
    return chosen;
}

void PreviewDialog::ShowInstall()
{
    install_->clear();
    const InstallPreview preview = PreviewInstall(doc_, run_, ChosenGroups(), winePrefix_);

    QTreeWidgetItem* files = Section(install_, QStringLiteral("Files copied: %1").arg(preview.files.size()));
    files->setText(1, Bytes(preview.totalSize));
    for (std::size_t i = 0; i < preview.files.size() && i < kMostRows; ++i) {
        const PreviewFile& file = preview.files[i];
        const QString source = FromProjectText(file.source);
        const QString destination = FromProjectText(file.destination);
        auto* item = new QTreeWidgetItem(
            files,
            {source == destination ? destination : source + QStringLiteral("  →  ") + destination,
             Bytes(file.size)});
        item->setToolTip(0,
                         file.group.empty() ? QStringLiteral("The product's own file")
                                            : QStringLiteral("Group %1").arg(FromProjectText(file.group)));
    }

    if (preview.files.size() > kMostRows)
        new QTreeWidgetItem(files,
                            {QStringLiteral("… and %1 more; zpakbuild preview lists them all.")
                                 .arg(preview.files.size() - kMostRows)});

    QTreeWidgetItem* ini =
        Section(install_, QStringLiteral("INI changes: %1").arg(preview.iniChanges.size()));
    for (std::size_t i = 0; i < preview.iniChanges.size() && i < kMostRows; ++i) {
        const PreviewIniChange& change = preview.iniChanges[i];
        auto* item =
            new QTreeWidgetItem(ini,
                                {QStringLiteral("System\\%1 [%2] %3")
                                     .arg(FromProjectText(change.file), FromProjectText(change.section),
                                          FromProjectText(change.key))});
        const QString key = FromProjectText(change.key);
        new QTreeWidgetItem(item,
                            {QStringLiteral("before: ")
                             + (change.before ? key + u'=' + FromProjectText(*change.before)
                                              : QStringLiteral("(no such line)"))});
        new QTreeWidgetItem(item,
                            {QStringLiteral("after:  ") + key + u'=' + FromProjectText(change.after)
                             + (change.addsLine ? QStringLiteral("  (a new line)") : QString())});
        item->setExpanded(true);
    }

    if (preview.iniChanges.size() > kMostRows)
        new QTreeWidgetItem(ini,
                            {QStringLiteral("… and %1 more; zpakbuild preview lists them all.")
                                 .arg(preview.iniChanges.size() - kMostRows)});

    QTreeWidgetItem* requirements =
        Section(install_, QStringLiteral("Required products: %1").arg(preview.requirements.size()));
    for (const std::string& requirement : preview.requirements)
        new QTreeWidgetItem(requirements, {FromProjectText(requirement)});
    QTreeWidgetItem* launchers = Section(install_, QStringLiteral("Shortcut and launch scripts"));
    for (const std::string& launcher : preview.launchers)
        new QTreeWidgetItem(launchers, {FromProjectText(launcher)});
}

}  // namespace zpak::ui
