#include "ui/app/wizard_sheet.h"

#include "ui/app/control_ids.h"
#include "ui/app/wizard_page.h"

#include <QVBoxLayout>

namespace zpak::ui {

WizardSheet::WizardSheet(QWidget* parent) : QDialog(parent), frame_(new QWidget(this))
{
    SetControlId(frame_, ids::kFrame, "pageFrame");
    auto* layout = new QVBoxLayout(frame_);
    layout->setContentsMargins(0, 0, 0, 0);
}

WizardSheet::~WizardSheet()
{
    for (const auto& info : pages_) {
        if (!info->created)
            continue;
        info->created = false;
        info->page->OnKillActive();
        info->page->OnPageDestroyed();
        delete info->page;
        info->page = nullptr;
    }
}

PageInfo* WizardSheet::AddPage(int id)
{
    auto& info = pages_.emplace_back(std::make_unique<PageInfo>());
    info->id = id;
    info->sheet = this;
    info->page = CreatePage(id);
    if (!info->page)
        return info.get();
    info->page->setParent(frame_);
    info->page->hide();
    frame_->layout()->addWidget(info->page);
    info->page->OnInitDialog();
    info->page->setEnabled(true);
    info->page->OnPageCreated();
    info->created = true;
    return info.get();
}

void WizardSheet::SetActivePage(int id)
{
    PageInfo* target = FindPage(id);
    PageInfo* current = GetActivePage();
    if (current) {
        current->page->OnKillActive();
        current->page->hide();
        current->active = false;
        OnPageShown(current->id, false);
    }
    if (target && target->page) {
        target->page->show();
        target->page->update();
        target->page->OnSetActive();
        target->active = true;
        OnPageShown(id, true);
    }
}

PageInfo* WizardSheet::GetActivePage() const
{
    for (const auto& info : pages_) {
        if (info->active)
            return info.get();
    }
    return nullptr;
}

PageInfo* WizardSheet::FindPage(int id) const
{
    for (const auto& info : pages_) {
        if (info->id == id)
            return info.get();
    }
    return nullptr;
}

}  // namespace zpak::ui
