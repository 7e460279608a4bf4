#include "ui/app/wizard_dialog.h"

#include "import/imported_project.h"
#include "import/manifest_import.h"
#include "model/project_document.h"
#include "model/project_reader.h"
#include "model/project_writer.h"
#include "platform/game_path.h"
#include "platform/text_encoding.h"
#include "ui/app/about_dialog.h"
#include "ui/app/app_icon.h"
#include "ui/app/control_ids.h"
#include "ui/app/field_feedback.h"
#include "ui/app/import_report_dialog.h"
#include "ui/app/layout_helpers.h"
#include "ui/app/project_text.h"
#include "ui/app/wizard_page.h"
#include "zpak/version.h"

#include <QCloseEvent>
#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMimeData>
#include <QPushButton>
#include <QShortcut>
#include <QTimer>
#include <QToolButton>
#include <QUndoStack>
#include <QVBoxLayout>

#include <algorithm>

namespace zpak::ui {

WizardDialog::WizardDialog(WizardContext context, PageTable pages, QWidget* parent)
    : WizardSheet(parent), context_(std::move(context)), pageTable_(pages), sink_(context_.dialogs, this),
      undoStack_(new QUndoStack(this)), recent_(FromNativePath(context_.recentProjects))
{
    // The title's star follows the stack: undo back to the saved state clears it.
    connect(undoStack_, &QUndoStack::indexChanged, this, &WizardDialog::UpdateTitle);
    setWindowTitle(QStringLiteral("ZPAK WIZARD ") + QString::fromLatin1(kVersion));
    setWindowIcon(AppIcon());

    auto* body = new QHBoxLayout;
    body->addLayout(CreateBanner());
    body->addWidget(Frame(), 1);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(body, 1);
    // Above Next: its line keeps its room while hidden, so that the page
    // does not move as it comes and goes.
    nextProblem_ = new FieldFeedback("nextProblem", this);
    nextProblem_->AlignRight();
    QSizePolicy keepRoom = nextProblem_->sizePolicy();
    keepRoom.setRetainSizeWhenHidden(true);
    nextProblem_->setSizePolicy(keepRoom);
    layout->addWidget(nextProblem_);
    layout->addWidget(CreateButtons());

    resize(720, 440);
    setAcceptDrops(true);
    AddProjectPages();
    FixTabOrder();
    FitSmallestFrame();
    // The title's star comes with the first key typed, not when the field is left.
    for (QLineEdit* edit : Frame()->findChildren<QLineEdit*>())
        connect(edit, &QLineEdit::textEdited, this, &WizardDialog::UpdateTitle);
    saved_.Remember(context_.document);
    SetActivePage(IdOf(kProjectPages[0].page));
    UpdateTitle();
}

// The logo, which opens the user guide, the title and Go to Generate.
QVBoxLayout* WizardDialog::CreateBanner()
{
    auto* logo = new QToolButton(this);
    SetControlId(logo, ids::kLogo, "logoButton");
    logo->setIcon(AppIcon());
    logo->setIconSize(QSize(96, 96));
    logo->setAutoRaise(true);
    logo->setToolTip(QStringLiteral("Open the ZPAK Wizard user guide"));
    logo->setCursor(Qt::PointingHandCursor);
    connect(logo, &QToolButton::clicked, this, &WizardDialog::OnLogo);

    auto* banner = new QVBoxLayout;
    banner->addWidget(logo, 0, Qt::AlignHCenter);
    auto* title = new QLabel(QStringLiteral("<b>ZPAK WIZARD</b>"), this);
    title->setObjectName(QStringLiteral("titleLabel"));
    title->setAlignment(Qt::AlignHCenter);
    banner->addWidget(title);
    banner->addStretch();
    // A project that is opened again, or a problem fixed from the Preview,
    // goes on to Generate in one click instead of a Next per page.
    goToGenerate_ = new QPushButton(QStringLiteral("&Go to Generate"), this);
    SetControlId(goToGenerate_, ids::kGoToGenerate, "goToGenerateButton");
    goToGenerate_->setToolTip(QStringLiteral("Next through every page to the Generate page; stops at a page "
                                             "that cannot be stored, saying why."));
    goToGenerate_->setAutoDefault(false);
    connect(goToGenerate_, &QPushButton::clicked, this, &WizardDialog::OnGoToGenerate);
    banner->addWidget(goToGenerate_);
    return banner;
}

// The pages in their order, each linked to the one Next leads to.
void WizardDialog::AddProjectPages()
{
    for (const ProjectPageFacts& facts : kProjectPages) {
        if (facts.next)
            SetNextPage(facts.page, *facts.next);
    }
    for (const ProjectPageFacts& facts : kProjectPages)
        AddPage(IdOf(facts.page));
}

QWidget* WizardDialog::CreateButtons()
{
    auto* row = new QWidget(this);
    row->setObjectName(QStringLiteral("windowButtons"));
    auto* buttons = new QHBoxLayout(row);
    buttons->setContentsMargins(0, 0, 0, 0);
    const auto add = [&](const QString& caption, int id, const char* name, void (WizardDialog::*handler)(),
                         const QString& tip) {
        QPushButton* button = AddButton(buttons, caption, id, name);
        button->setToolTip(tip);
        connect(button, &QPushButton::clicked, this, handler);
        return button;
    };
    firstButton_ = add(QStringLiteral("About"), ids::kAbout, "aboutButton", &WizardDialog::OnAbout,
                       QStringLiteral("Which ZPAK Wizard this is."));
    add(QStringLiteral("&Open"), ids::kOpen, "openButton", &WizardDialog::OnOpen,
        QStringLiteral("Open a project file (Ctrl+O)."));
    auto* recent = new QToolButton(row);
    recent->setObjectName(QStringLiteral("recentButton"));
    recent->setArrowType(Qt::DownArrow);
    recent->setToolTip(QStringLiteral("Projects opened or saved lately."));
    recent->setPopupMode(QToolButton::InstantPopup);
    recentMenu_ = new QMenu(recent);
    recentMenu_->setObjectName(QStringLiteral("recentMenu"));
    recent->setMenu(recentMenu_);
    connect(recentMenu_, &QMenu::aboutToShow, this, &WizardDialog::FillRecentMenu);
    buttons->addWidget(recent);
    add(QStringLiteral("&Import\u2026"), ids::kImport, "importButton", &WizardDialog::OnImport,
        QStringLiteral("Make a project of a manifest pair made without one (System\\<Name>MOD.ini "
                       "and its .int)."));
    add(QStringLiteral("&Save"), ids::kSave, "saveButton", &WizardDialog::OnSave,
        QStringLiteral("Save the project to a file you choose (Ctrl+Shift+S). Ctrl+S saves to the "
                       "project's own file without asking."));
    AddUndoButtons(buttons);
    buttons->addStretch();
    back_ = add(QStringLiteral("<-&Back"), ids::kBack, "backButton", &WizardDialog::OnBack,
                QStringLiteral("The page before, without storing this one."));
    next_ = add(QStringLiteral("&Next->"), ids::kNext, "nextButton", &WizardDialog::OnNext,
                QStringLiteral("Store this page and go on (Enter)."));
    next_->setEnabled(false);
    // Enter anywhere on a page goes on, as in any wizard.
    next_->setDefault(true);
    lastButton_ = add(QStringLiteral("Cancel"), ids::kCancel, "cancelButton", &WizardDialog::OnCancel,
                      QStringLiteral("Leave the wizard (asking first when there are unsaved changes)."));
    connect(new QShortcut(QKeySequence::Save, this), &QShortcut::activated, this, &WizardDialog::Save);
    connect(new QShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_S), this), &QShortcut::activated, this,
            &WizardDialog::SaveAs);
    connect(new QShortcut(QKeySequence::Open, this), &QShortcut::activated, this, &WizardDialog::OnOpen);
    return row;
}

// The window cannot be made smaller than the frame every page is readable
// in: as wide as the widest page asks, as tall as the tallest needs at that
// width (wrapped texts take more lines when narrower).
void WizardDialog::FitSmallestFrame()
{
    int width = 0;
    for (const auto& info : Pages()) {
        if (info->page)
            width = std::max(width, info->page->sizeHint().width());
    }
    int height = 0;
    for (const auto& info : Pages()) {
        if (!info->page)
            continue;
        const QWidget* page = info->page;
        height = std::max(
            height, page->hasHeightForWidth() ? page->heightForWidth(width) : page->sizeHint().height());
    }
    Frame()->setMinimumSize(width, height);
}

// Tab goes through the fields of the page on display before the window's
// buttons (the pages' widgets come after the buttons in creation order, and
// hidden pages are skipped).
void WizardDialog::FixTabOrder()
{
    QWidget* lastOfPages = nullptr;
    for (QWidget* widget = Frame()->nextInFocusChain(); widget != Frame();
         widget = widget->nextInFocusChain()) {
        if (Frame()->isAncestorOf(widget))
            lastOfPages = widget;
    }
    if (!lastOfPages)
        return;
    QWidget* logo = FindControlWidget(this, ids::kLogo, true);
    QWidget::setTabOrder(lastOfPages, firstButton_);
    // The window's buttons keep their own order; the logo comes last.
    QWidget* before = firstButton_;
    for (QWidget* button : findChildren<QWidget*>(QStringLiteral("windowButtons"))
                               .first()
                               ->findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly)) {
        if (button == firstButton_ || !(button->focusPolicy() & Qt::TabFocus))
            continue;
        QWidget::setTabOrder(before, button);
        before = button;
    }
    if (logo)
        QWidget::setTabOrder(lastButton_, logo);
}

WizardDialog::~WizardDialog()
{
    // The undo stack empties itself when QWidget deletes the children, after
    // this window's members are gone; its signals would reach them.
    undoStack_->blockSignals(true);
}

void WizardDialog::OnCancel()
{
    if (!busy_ && MaybeSave())
        reject();
}

void WizardDialog::SetBusy(bool busy)
{
    busy_ = busy;
    if (!busy_ && closeWhenIdle_) {
        closeWhenIdle_ = false;
        QTimer::singleShot(0, this, &QWidget::close);
    }
}

void WizardDialog::reject()
{
    if (!busy_)
        WizardSheet::reject();
}

void WizardDialog::closeEvent(QCloseEvent* event)
{
    if (busy_) {
        closeWhenIdle_ = true;
        event->ignore();
        return;
    }
    if (!MaybeSave()) {
        event->ignore();
        return;
    }
    WizardSheet::closeEvent(event);
}

namespace {

// The one project file of a drop, or nothing.
QString DroppedProject(const QMimeData* data)
{
    const QList<QUrl> urls = data->urls();
    if (urls.size() != 1 || !urls[0].isLocalFile())
        return {};
    const QString file = urls[0].toLocalFile();
    return file.endsWith(QStringLiteral(".zproj"), Qt::CaseInsensitive) ? file : QString();
}

}  // namespace

void WizardDialog::dragEnterEvent(QDragEnterEvent* event)
{
    if (!busy_ && !DroppedProject(event->mimeData()).isEmpty())
        event->acceptProposedAction();
}

void WizardDialog::dropEvent(QDropEvent* event)
{
    const QString file = DroppedProject(event->mimeData());
    if (busy_ || file.isEmpty())
        return;
    event->acceptProposedAction();
    OpenProjectFile(file);
}

// The page's first field in Tab order takes the focus, so that typing starts there.
void WizardDialog::FocusFirstField(QWidget* page)
{
    for (QWidget* widget = page->nextInFocusChain(); widget != page; widget = widget->nextInFocusChain()) {
        if (!page->isAncestorOf(widget))
            break;
        if ((widget->focusPolicy() & Qt::TabFocus) && widget->isEnabled() && widget->isVisibleTo(page)) {
            widget->setFocus(Qt::OtherFocusReason);
            return;
        }
    }
}

int WizardDialog::IdOf(ProjectPage page) const
{
    for (const PageEntry& entry : pageTable_) {
        if (entry.page == page)
            return entry.id;
    }
    return 0;
}

WizardPage* WizardDialog::CreatePage(int id)
{
    for (const PageEntry& entry : pageTable_) {
        if (entry.id != id)
            continue;
        WizardPage* page = entry.create(*this);
        SetControlId(page, entry.id, entry.name);
        return page;
    }
    return nullptr;
}

PageLink* WizardDialog::FindLink(int id) const
{
    for (const auto& link : links_) {
        if (link->id == id)
            return link.get();
    }
    return nullptr;
}

PageLink* WizardDialog::SetNextPage(ProjectPage fromPage, ProjectPage toPage)
{
    const int from = IdOf(fromPage);
    const int to = IdOf(toPage);
    const auto linkOf = [this](int id) {
        if (PageLink* link = FindLink(id))
            return link;
        return links_.emplace_back(std::make_unique<PageLink>(PageLink{id, 0, 0})).get();
    };
    linkOf(from)->nextId = to;
    PageLink* target = linkOf(to);
    target->previousId = from;
    return target;
}

void WizardDialog::EnableNext(bool enable)
{
    next_->setEnabled(enable);
    nextProblem_->Show(std::nullopt);
}

void WizardDialog::SetNextProblem(const std::optional<std::string>& missing)
{
    EnableNext(!missing);
    if (missing)
        nextProblem_->Show(Problem{Severity::Note, *missing, {}, {}});
}

void WizardDialog::OnPageShown(int id, bool shown)
{
    const PageLink* link = FindLink(id);
    if (shown) {
        back_->setEnabled(link && link->previousId != 0);
        if (!link || link->nextId == 0)
            EnableNext(false);
        currentPageId_ = id;
        goToGenerate_->setEnabled(id != IdOf(ProjectPage::Generate));
        FocusFirstField(FindPage(id)->page);
        return;
    }
    if (const PageLink* previous = link ? FindLink(link->previousId) : nullptr)
        EnableNext(previous->nextId != 0);
}

void WizardDialog::OnNext()
{
    if (busy_)
        return;
    const PageLink* link = FindLink(currentPageId_);
    if (!link || link->nextId == 0)
        return;
    if (PageInfo* active = GetActivePage(); active && !active->page->OnWizardNext())
        return;
    SetActivePage(link->nextId);
    UpdateTitle();
}

void WizardDialog::OnBack()
{
    if (busy_)
        return;
    if (const PageLink* link = FindLink(currentPageId_); link && link->previousId != 0)
        SetActivePage(link->previousId);
}

void WizardDialog::GoToRecord(ProjectPage page, const RecordRef& record)
{
    GoToPage(page);
    if (PageInfo* active = GetActivePage())
        active->page->ShowRecord(record);
}

bool WizardDialog::GoToPage(ProjectPage page)
{
    const auto rank = [this](int id) {
        std::size_t i = 0;
        while (i < std::size(kProjectPages) && IdOf(kProjectPages[i].page) != id)
            ++i;
        return i;
    };
    const int target = IdOf(page);
    const std::size_t goal = rank(target);
    while (currentPageId_ != target) {
        const int before = currentPageId_;
        const bool back = rank(before) > goal;
        if (back)
            OnBack();
        else if (next_->isEnabled())
            OnNext();
        if (currentPageId_ == before)
            return false;
        // Stepped over the page, which is off the way: the page before it stands for it.
        if (back ? rank(currentPageId_) < goal : rank(currentPageId_) > goal) {
            if (!back)
                OnBack();
            break;
        }
    }
    return true;
}

void WizardDialog::OnGoToGenerate()
{
    if (!busy_)
        GoToPage(ProjectPage::Generate);
}

void WizardDialog::AddUndoButtons(QHBoxLayout* buttons)
{
    // The tooltip names what the button would undo or redo.
    const auto add = [&](const QString& caption, int id, const char* name, void (QUndoStack::*act)(),
                         void (QUndoStack::*textChanged)(const QString&),
                         void (QUndoStack::*canChanged)(bool), const QString& verb, const QString& keys) {
        QPushButton* button = AddButton(buttons, caption, id, name);
        const auto tip = [button, verb, keys](const QString& text) {
            button->setToolTip(text.isEmpty()
                                   ? QStringLiteral("Nothing to %1 (%2).").arg(verb.toLower(), keys)
                                   : QStringLiteral("%1 %2 (%3).").arg(verb, text, keys));
        };
        tip({});
        button->setEnabled(false);
        connect(button, &QPushButton::clicked, this, [this, act] {
            if (!busy_)
                (undoStack_->*act)();
        });
        connect(undoStack_, textChanged, button, tip);
        connect(undoStack_, canChanged, button, &QPushButton::setEnabled);
    };
    add(QStringLiteral("&Undo"), ids::kUndo, "undoButton", &QUndoStack::undo, &QUndoStack::undoTextChanged,
        &QUndoStack::canUndoChanged, QStringLiteral("Undo"), QStringLiteral("Ctrl+Z"));
    add(QStringLiteral("&Redo"), ids::kRedo, "redoButton", &QUndoStack::redo, &QUndoStack::redoTextChanged,
        &QUndoStack::canRedoChanged, QStringLiteral("Redo"), QStringLiteral("Ctrl+Shift+Z"));
    const auto shortcut = [this](const QKeySequence& keys, void (QUndoStack::*act)()) {
        connect(new QShortcut(keys, this), &QShortcut::activated, this, [this, act] {
            if (!busy_)
                (undoStack_->*act)();
        });
    };
    shortcut(QKeySequence::Undo, &QUndoStack::undo);
    shortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z), &QUndoStack::redo);
    shortcut(QKeySequence(Qt::CTRL | Qt::Key_Y), &QUndoStack::redo);
}

void WizardDialog::Perform(std::unique_ptr<QUndoCommand> command)
{
    undoStack_->push(command.release());
}

// The page of the record shows the document anew, with the row at the place
// selected: the record edited, added or put back, or the one that took a
// removed record's place. A step undone or redone from another page takes the
// user to the record's page; the page on display is left without storing it,
// as Back leaves it.
void WizardDialog::RecordChanged(const RecordRef& place)
{
    const int pageId = IdOf(PageOf(place));
    PageInfo* active = GetActivePage();
    if (active && active->id == pageId)
        active->page->OnSetActive();
    else if (FindPage(pageId))
        SetActivePage(pageId);
    else
        return;
    if (PageInfo* shown = GetActivePage()) {
        shown->page->ShowStoredValues();
        shown->page->ShowRecord(place);
    }
}

void WizardDialog::OnSave()
{
    SaveAs();
}

bool WizardDialog::Save()
{
    if (projectFile_.isEmpty())
        return SaveAs();
    if (busy_)
        return false;
    if (PageInfo* active = GetActivePage(); active && !active->page->OnCommit())
        return false;
    return SaveTo(projectFile_);
}

QString WizardDialog::SaveStart() const
{
    if (!projectFile_.isEmpty())
        return projectFile_;
    if (!proposedFile_.isEmpty() || !context_.document.product || !context_.document.product->product)
        return proposedFile_;
    // A name that cannot be a file name part is left out rather than guessed at.
    QString name = FromProjectText(*context_.document.product->product);
    name.remove(u'/').remove(u'\\');
    if (name.isEmpty())
        return {};
    name += QStringLiteral(".zproj");
    const std::filesystem::path folder =
        GamePathToNative(context_.document.GameFolderText(), context_.winePrefix);
    if (!context_.document.GameFolderText().empty() && std::filesystem::is_directory(folder))
        return FromNativePath(folder / ToNativePath(name));
    return name;
}

bool WizardDialog::SaveAs()
{
    if (busy_)
        return false;
    if (PageInfo* active = GetActivePage(); active && !active->page->OnCommit())
        return false;
    const QString file = WithDefaultSuffix(
        context_.dialogs.GetSaveFileName(this, QStringLiteral("Save ZPAK Project As"),
                                         QStringLiteral("ZPAK Project File (*.zproj)|*.zproj||"),
                                         QStringLiteral("zproj"), SaveStart()),
        QStringLiteral("zproj"));
    if (file.isEmpty())
        return false;
    // Saving over the project's own file asks nothing; over another one, it asks.
    const bool other = QFileInfo(file).absoluteFilePath() != QFileInfo(projectFile_).absoluteFilePath();
    if (other && QFileInfo::exists(file)
        && !context_.dialogs.Ask(this,
                                 QStringLiteral("%1 already exists.\nDo you want to replace it?")
                                     .arg(QDir::toNativeSeparators(file))))
        return false;
    return SaveTo(file);
}

bool WizardDialog::SaveTo(const QString& file)
{
    if (!SaveProject(context_.document, ToNativePath(file), sink_))
        return false;
    projectFile_ = QFileInfo(file).absoluteFilePath();
    saved_.Remember(context_.document);
    undoStack_->setClean();
    recent_.Add(projectFile_);
    UpdateTitle();
    return true;
}

void WizardDialog::OnOpen()
{
    if (busy_ || !MaybeSave())
        return;
    const QString file =
        context_.dialogs.GetOpenFileName(this, QStringLiteral("Open ZPAK Project"),
                                         QStringLiteral("ZPACK2 Project Files (*.zproj)|*.zproj||"));
    if (!file.isEmpty())
        Opened(file);
}

void WizardDialog::OpenProjectFile(const QString& file)
{
    if (!busy_ && MaybeSave())
        Opened(file);
}

// The project is replaced only when the chosen file reads without error.
void WizardDialog::Opened(const QString& file)
{
    if (OpenProject(ToNativePath(file), context_.document, sink_, context_.winePrefix) != OpenResult::Opened)
        return;
    ProjectReplaced();
    projectFile_ = QFileInfo(file).absoluteFilePath();
    saved_.Remember(context_.document);
    recent_.Add(projectFile_);
    UpdateTitle();
}

void WizardDialog::OnImport()
{
    if (busy_ || !MaybeSave())
        return;
    // Manifests are named <Name>MOD.ini; hand-made ones not always in that letter case.
    const QString file = context_.dialogs.GetOpenFileName(
        this, QStringLiteral("Import a Manifest Pair"),
        QStringLiteral("Installer Manifest (*MOD.ini)|*MOD.ini;*mod.ini;*Mod.ini|INI File (*.ini)|*.ini||"));
    if (!file.isEmpty())
        Imported(file);
}

void WizardDialog::Imported(const QString& manifest)
{
    ImportResult result = ImportManifest(ToNativePath(manifest));
    if (!result.imported) {
        QStringList errors;
        for (const Diagnostic& diagnostic : result.diagnostics) {
            if (diagnostic.severity == Severity::Error)
                errors << FromProjectText(diagnostic.text);
        }
        context_.dialogs.ShowMessage(this,
                                     QStringLiteral("%1 was not imported.\n%2")
                                         .arg(QDir::toNativeSeparators(manifest), errors.join(u'\n')));
        return;
    }
    context_.document = std::move(result.document);
    ProjectReplaced();
    projectFile_.clear();
    proposedFile_ =
        FromNativePath(GamePathToNative(context_.document.GameFolderText(), context_.winePrefix)
                       / PathFromText(ImportedProjectName(context_.document, ToNativePath(manifest))));
    saved_.Forget();
    UpdateTitle();
    ImportReportDialog report(manifest, FromProjectText(DescribeImport(context_.document)),
                              std::move(result.diagnostics), this);
    report.exec();
    if (const auto& chosen = report.Chosen())
        GoToRecord(chosen->page, chosen->record);
}

void WizardDialog::ProjectReplaced()
{
    // The commands name records of the project that was replaced.
    undoStack_->clear();
    for (const auto& info : Pages()) {
        if (info->page)
            info->page->OnProjectReplaced();
    }
    if (PageInfo* active = GetActivePage())
        active->page->OnSetActive();
}

bool WizardDialog::HasUnsavedChanges()
{
    const PageInfo* active = GetActivePage();
    return saved_.Differs(context_.document) || (active && active->page->HasPendingEdits());
}

bool WizardDialog::MaybeSave()
{
    if (!HasUnsavedChanges())
        return true;
    const QString name =
        projectFile_.isEmpty() ? QStringLiteral("the new project") : QFileInfo(projectFile_).fileName();
    switch (context_.dialogs.AskSaveChanges(this, name)) {
    case SaveAnswer::Save:
        return Save();
    case SaveAnswer::Discard:
        return true;
    case SaveAnswer::Cancel:
        return false;
    }
    return false;
}

void WizardDialog::ProjectEdited()
{
    UpdateTitle();
}

// "frontier.zproj* — ZPAK WIZARD 2.36": the project's file, and a star while
// it has unsaved changes.
void WizardDialog::UpdateTitle()
{
    const QString caption = QStringLiteral("ZPAK WIZARD ") + QString::fromLatin1(kVersion);
    const bool changed = HasUnsavedChanges();
    if (projectFile_.isEmpty() && !changed) {
        setWindowTitle(caption);
        return;
    }
    const QString name =
        projectFile_.isEmpty() ? QStringLiteral("Untitled") : QFileInfo(projectFile_).fileName();
    setWindowTitle(name + (changed ? QStringLiteral("*") : QString()) + QStringLiteral(" \u2014 ") + caption);
}

void WizardDialog::FillRecentMenu()
{
    recentMenu_->clear();
    const QStringList files = recent_.Files();
    if (files.isEmpty())
        recentMenu_->addAction(QStringLiteral("(none yet)"))->setEnabled(false);
    for (const QString& file : files) {
        connect(recentMenu_->addAction(QDir::toNativeSeparators(file)), &QAction::triggered, this,
                [this, file] { OpenProjectFile(file); });
    }
}

void WizardDialog::OnAbout()
{
    if (busy_)
        return;
    AboutDialog about(this);
    about.exec();
}

void WizardDialog::OnLogo()
{
    if (busy_)
        return;
    const QString guide = FromNativePath(context_.userGuide);
    // Without a browser (a bare desktop, a Wine prefix), the guide is still there to open by hand.
    if (!context_.dialogs.OpenUrl(QUrl::fromLocalFile(guide)))
        context_.dialogs.ShowMessage(this,
                                     QStringLiteral("No web browser opened the user guide. It is here:\n%1")
                                         .arg(QDir::toNativeSeparators(guide)));
}

void WizardDialog::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Escape) {
        event->accept();
        return;
    }
    WizardSheet::keyPressEvent(event);
}

}  // namespace zpak::ui
