#include "ui/app/wizard_page.h"

#include "model/product_fields.h"
#include "model/project_document.h"
#include "model/record_edits.h"
#include "model/record_ref.h"
#include "platform/game_path.h"
#include "platform/text_encoding.h"
#include "ui/app/dialog_service.h"
#include "ui/app/undo_commands.h"
#include "ui/app/wizard_dialog.h"

#include <QKeyEvent>
#include <QLineEdit>

namespace zpak::ui {

WizardPage::WizardPage(WizardDialog& wizard) : wizard_(wizard)
{
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

bool WizardPage::StoreAsStep(const QString& text, const RecordRef& place, const std::function<bool()>& store)
{
    ProjectFields before = ProjectFieldsOf(Document());
    const bool stored = store();
    ProjectFields after = ProjectFieldsOf(Document());
    if (after != before)
        wizard_.Perform(std::make_unique<ProjectFieldsCommand>(wizard_, place, std::move(before),
                                                               std::move(after), text));
    return stored;
}

std::string WizardPage::GameFolderOnDisk() const
{
    const std::string& folder = Document().GameFolderText();
    return folder.empty() ? std::string() : TextFromPath(NativeGamePath(folder));
}

const std::filesystem::path& WizardPage::WinePrefix() const
{
    return wizard_.Context().winePrefix;
}

void WizardPage::ShowRecord(const RecordRef& record)
{
    const char* name = record.kind == RecordRef::Kind::Product ? ControlNameOf(record.field) : nullptr;
    if (name)
        FocusField(findChild<QWidget*>(QLatin1String(name)));
}

void WizardPage::FocusField(QWidget* field)
{
    if (!field)
        return;
    field->setFocus(Qt::OtherFocusReason);
    if (auto* edit = qobject_cast<QLineEdit*>(field))
        edit->selectAll();
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
