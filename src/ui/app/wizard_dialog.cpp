#include "ui/app/wizard_dialog.h"

#include "model/project_document.h"
#include "model/project_reader.h"
#include "model/project_writer.h"
#include "ui/app/about_dialog.h"
#include "ui/app/app_icon.h"
#include "ui/app/control_ids.h"
#include "ui/app/layout_helpers.h"
#include "ui/app/project_text.h"
#include "ui/app/wizard_page.h"
#include "ui/pages/page_factory.h"
#include "zpak/version.h"

#include <QCloseEvent>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>

namespace zpak::ui {

namespace {
constexpr int kPageOrder[] = {ids::kGamePathPage,     ids::kGroupsPage,   ids::kIniChangesPage,
                              ids::kRequirementsPage, ids::kProductPage,  ids::kPackagePage,
                              ids::kGeneratePage,     ids::kShortcutsPage};
}  // namespace

WizardDialog::WizardDialog(WizardContext context, QWidget* parent)
    : WizardSheet(parent), context_(std::move(context)), sink_(context_.dialogs, this)
{
    setWindowTitle(QStringLiteral("ZPAK WIZARD ") + QString::fromLatin1(kVersion));
    setWindowIcon(AppIcon());

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

    auto* body = new QHBoxLayout;
    body->addLayout(banner);
    body->addWidget(Frame(), 1);

    auto* buttons = new QHBoxLayout;
    const auto add = [&](const QString& caption, int id, const char* name, void (WizardDialog::*handler)()) {
        QPushButton* button = AddButton(buttons, caption, id, name);
        connect(button, &QPushButton::clicked, this, handler);
        return button;
    };
    add(QStringLiteral("About"), ids::kAbout, "aboutButton", &WizardDialog::OnAbout);
    add(QStringLiteral("Open"), ids::kOpen, "openButton", &WizardDialog::OnOpen);
    add(QStringLiteral("Save"), ids::kSave, "saveButton", &WizardDialog::OnSave);
    buttons->addStretch();
    back_ = add(QStringLiteral("<-Back"), ids::kBack, "backButton", &WizardDialog::OnBack);
    next_ = add(QStringLiteral("Next->"), ids::kNext, "nextButton", &WizardDialog::OnNext);
    next_->setEnabled(false);
    add(QStringLiteral("Cancel"), ids::kCancel, "cancelButton", &WizardDialog::OnCancel);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(body, 1);
    layout->addLayout(buttons);

    resize(720, 440);
    for (int id : kPageOrder)
        AddPage(id);
    SetActivePage(ids::kGamePathPage);
}

WizardDialog::~WizardDialog() = default;

void WizardDialog::OnCancel()
{
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
    WizardSheet::closeEvent(event);
}

WizardPage* WizardDialog::CreatePage(int id)
{
    return CreateWizardPage(*this, id);
}

PageLink* WizardDialog::FindLink(int id) const
{
    for (const auto& link : links_) {
        if (link->id == id)
            return link.get();
    }
    return nullptr;
}

PageLink* WizardDialog::SetNextPage(int from, int to)
{
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
}

void WizardDialog::OnPageShown(int id, bool shown)
{
    const PageLink* link = FindLink(id);
    if (shown) {
        back_->setEnabled(link && link->previousId != 0);
        if (!link || link->nextId == 0)
            EnableNext(false);
        currentPageId_ = id;
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
}

void WizardDialog::OnBack()
{
    if (busy_)
        return;
    if (const PageLink* link = FindLink(currentPageId_); link && link->previousId != 0)
        SetActivePage(link->previousId);
}

void WizardDialog::OnSave()
{
    if (busy_)
        return;
    if (PageInfo* active = GetActivePage(); active && !active->page->OnCommit())
        return;
    const QString file = WithDefaultSuffix(
        context_.dialogs.GetSaveFileName(this, QStringLiteral("Save ZPAK Project As"),
                                         QStringLiteral("ZPAK Project File (*.zproj)|*.zproj||"),
                                         QStringLiteral("zproj")),
        QStringLiteral("zproj"));
    if (!file.isEmpty())
        SaveProject(context_.document, ToNativePath(file), sink_);
}

void WizardDialog::OnOpen()
{
    if (busy_)
        return;
    // The project is replaced only when the chosen file reads without error.
    const QString file =
        context_.dialogs.GetOpenFileName(this, QStringLiteral("Open ZPAK Project"),
                                         QStringLiteral("ZPACK2 Project Files (*.zproj)|*.zproj||"));
    if (file.isEmpty()
        || OpenProject(ToNativePath(file), context_.document, sink_, context_.winePrefix)
            != OpenResult::Opened)
        return;
    for (const auto& info : Pages()) {
        if (info->page)
            info->page->OnProjectReplaced();
    }
    if (PageInfo* active = GetActivePage())
        active->page->OnSetActive();
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
    context_.dialogs.OpenUrl(QUrl::fromLocalFile(QString::fromStdString(context_.userGuide.string())));
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
