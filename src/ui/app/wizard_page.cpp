#include "ui/app/wizard_page.h"

#include "platform/game_path.h"
#include "ui/app/control_ids.h"
#include "ui/app/dialog_service.h"
#include "ui/app/wizard_dialog.h"

#include <QKeyEvent>

namespace zpak::ui {

WizardPage::WizardPage(WizardDialog& wizard, int id, const char* name) : wizard_(wizard), id_(id)
{
    SetControlId(this, id, name);
}

WizardPage::~WizardPage() = default;

ProjectDocument& WizardPage::Document() const
{
    return wizard_.Context().document;
}

DialogService& WizardPage::Dialogs() const
{
    return wizard_.Context().dialogs;
}

MessageSink& WizardPage::Sink() const
{
    return wizard_.Sink();
}

void WizardPage::ShowMessage(const QString& text) const
{
    Dialogs().ShowMessage(&wizard_, text);
}

std::filesystem::path WizardPage::NativeGamePath(const std::string& gamePath) const
{
    return GamePathToNative(gamePath, WinePrefix());
}

const std::filesystem::path& WizardPage::WinePrefix() const
{
    return wizard_.Context().winePrefix;
}

void WizardPage::keyPressEvent(QKeyEvent* event)
{
    // Enter goes on to the window, whose default button is Next.
    if (event->key() == Qt::Key_Escape) {
        event->accept();
        return;
    }
    QWidget::keyPressEvent(event);
}

}  // namespace zpak::ui
