#include "ui/pages/generate/preview_dialog.h"

#include "model/project_document.h"
#include "ui/app/control_ids.h"
#include "ui/app/diagnostic_list.h"
#include "ui/app/layout_helpers.h"
#include "ui/app/project_text.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLocale>
#include <QProgressBar>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QSplitter>
#include <QTreeWidget>
#include <QVBoxLayout>

#include <algorithm>

namespace zpak::ui {

namespace {

// Rows a list shows before it says how many more there are: enough to read,
// few enough that a project of 100,000 entries opens at once.
constexpr std::size_t kMostRows = 1000;
// The groups' check boxes: so many a row, so many rows before they scroll.
constexpr int kGroupColumns = 4;
constexpr int kGroupRowsShown = 4;

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

// The row that ends a list cut at kMostRows.
void AddMoreRow(QTreeWidgetItem* section, std::size_t count)
{
    if (count > kMostRows)
        new QTreeWidgetItem(
            section,
            {QStringLiteral("… and %1 more; zpakbuild preview lists them all.").arg(count - kMostRows)});
}

void AddFiles(QTreeWidget* tree, const std::vector<PreviewFile>& files, std::uintmax_t totalSize)
{
    QTreeWidgetItem* section = Section(tree, QStringLiteral("Files copied: %1").arg(files.size()));
    section->setText(1, Bytes(totalSize));
    for (std::size_t i = 0; i < files.size() && i < kMostRows; ++i) {
        const PreviewFile& file = files[i];
        const QString source = FromProjectText(file.source);
        const QString destination = FromProjectText(file.destination);
        auto* item = new QTreeWidgetItem(
            section,
            {source == destination ? destination : source + QStringLiteral("  →  ") + destination,
             Bytes(file.size)});
        item->setToolTip(0,
                         file.group.empty() ? QStringLiteral("The product's own file")
                                            : QStringLiteral("Group %1").arg(FromProjectText(file.group)));
    }
    AddMoreRow(section, files.size());
}

void AddIniChanges(QTreeWidget* tree, const std::vector<PreviewIniChange>& changes)
{
    QTreeWidgetItem* section = Section(tree, QStringLiteral("INI changes: %1").arg(changes.size()));
    for (std::size_t i = 0; i < changes.size() && i < kMostRows; ++i) {
        const PreviewIniChange& change = changes[i];
        const QString key = FromProjectText(change.key);
        auto* item = new QTreeWidgetItem(
            section,
            {QStringLiteral("System\\%1 [%2] %3")
                 .arg(FromProjectText(change.file), FromProjectText(change.section), key)});
        new QTreeWidgetItem(item,
                            {QStringLiteral("before: ")
                             + (change.before ? key + u'=' + FromProjectText(*change.before)
                                              : QStringLiteral("(no such line)"))});
        new QTreeWidgetItem(item,
                            {QStringLiteral("after:  ") + key + u'=' + FromProjectText(change.after)
                             + (change.addsLine ? QStringLiteral("  (a new line)") : QString())});
        item->setExpanded(true);
    }
    AddMoreRow(section, changes.size());
}

void AddTexts(QTreeWidgetItem* section, const std::vector<std::string>& texts)
{
    for (const std::string& text : texts)
        new QTreeWidgetItem(section, {FromProjectText(text)});
}

}  // namespace

PreviewDialog::PreviewDialog(const ProjectDocument& document, std::filesystem::path winePrefix,
                             QWidget* parent)
    : QDialog(parent), doc_(document), winePrefix_(std::move(winePrefix)),
      splitter_(new QSplitter(Qt::Vertical)), checking_(new QWidget),
      groupsBox_(new QGroupBox(QStringLiteral("Groups the player installs"))), install_(new QTreeWidget)
{
    setWindowTitle(QStringLiteral("Preview of the Install"));
    resize(820, 640);
    auto* layout = new QVBoxLayout(this);

    // Until the run is resolved, the place of the problems says so.
    auto* checkingLayout = new QVBoxLayout(checking_);
    auto* checkingText = new QLabel(QStringLiteral("Checking the project and every file it names\u2026"));
    checkingText->setObjectName(QStringLiteral("previewChecking"));
    checkingLayout->addWidget(checkingText);
    auto* busy = new QProgressBar;
    busy->setRange(0, 0);
    checkingLayout->addWidget(busy);
    checkingLayout->addStretch();

    SetControlId(groupsBox_, ids::kPreviewGroups, "previewGroups");
    groupsBox_->setToolTip(QStringLiteral("Tick the groups a player would choose; required groups are always "
                                          "installed."));
    groupsBox_->setEnabled(false);
    auto* groupsLayout = new QVBoxLayout(groupsBox_);
    groupsLayout->addWidget(MakeGroupBoxes());

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
    belowLayout->addWidget(groupsBox_);
    belowLayout->addWidget(install_, 1);
    splitter_->addWidget(checking_);
    splitter_->addWidget(below);
    splitter_->setStretchFactor(1, 3);
    layout->addWidget(splitter_, 1);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close);
    buttons->button(QDialogButtonBox::Close)->setToolTip(QStringLiteral("Back to the Generate page."));
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);
}

QWidget* PreviewDialog::MakeGroupBoxes()
{
    // The groups wrap into rows, and the rows scroll: a project of a thousand
    // groups keeps the dialog on the screen.
    auto* groupsGrid = new QWidget;
    auto* grid = new QGridLayout(groupsGrid);
    grid->setContentsMargins(0, 0, 0, 0);
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
        const int at = static_cast<int>(g);
        grid->addWidget(box, at / kGroupColumns, at % kGroupColumns);
        groups_.push_back(box);
    }
    grid->setColumnStretch(kGroupColumns, 1);
    auto* scroll = new QScrollArea;
    scroll->setWidget(groupsGrid);
    scroll->setWidgetResizable(true);
    scroll->setFrameShape(QFrame::NoFrame);
    const int rows = std::min<int>(kGroupRowsShown,
                                   (static_cast<int>(groups_.size()) + kGroupColumns - 1) / kGroupColumns);
    const int rowHeight = groups_.empty() ? 0 : groups_[0]->sizeHint().height() + grid->verticalSpacing();
    scroll->setMaximumHeight(rows * rowHeight + 2 * scroll->horizontalScrollBar()->sizeHint().height());
    return scroll;
}

void PreviewDialog::Found(ResolvedRun run, std::vector<Diagnostic> diagnostics)
{
    run_.emplace(std::move(run));
    problems_ = new DiagnosticList(std::move(diagnostics),
                                   QStringLiteral("No problems: the product is ready to build."),
                                   QStringLiteral("zpakbuild check lists them all."), this);
    SetControlId(problems_, ids::kPreviewDiagnostics, "previewDiagnostics");
    problems_->setToolTip(
        QStringLiteral("Every problem of the project: errors stop Generate, warnings are what a "
                       "player would regret. Double-click one to go to its page."));
    splitter_->replaceWidget(0, problems_);
    checking_->deleteLater();
    checking_ = nullptr;
    groupsBox_->setEnabled(true);
    ShowInstall();
    if (atFirstProblem_ && problems_->topLevelItemCount() > 0) {
        problems_->setCurrentItem(problems_->topLevelItem(0));
        problems_->setFocus(Qt::OtherFocusReason);
    }
}

const std::optional<Diagnostic>& PreviewDialog::Chosen() const
{
    return problems_ ? problems_->Chosen() : none_;
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
    if (!run_)
        return;
    install_->clear();
    const InstallPreview preview = PreviewInstall(doc_, *run_, ChosenGroups(), winePrefix_);
    AddFiles(install_, preview.files, preview.totalSize);
    AddIniChanges(install_, preview.iniChanges);
    AddTexts(Section(install_, QStringLiteral("Required products: %1").arg(preview.requirements.size())),
             preview.requirements);
    AddTexts(Section(install_, QStringLiteral("Shortcut and launch scripts")), preview.launchers);
}

}  // namespace zpak::ui
