#include "ui/app/wizard_page.h"

#include "model/record_ref.h"
#include "platform/game_path.h"
#include "ui/app/control_ids.h"
#include "ui/app/dialog_service.h"
#include "ui/app/wizard_dialog.h"

#include <QKeyEvent>
#include <QLineEdit>

#include <map>
#include <vector>

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

void WizardPage::ShowRecord(const RecordRef& record)
{
    // The field of each key of the product; the first one this page has.
    static const std::map<std::string, std::vector<const char*>> fields = {
        {"product", {"productNameEdit"}},
        {"version", {"versionEdit"}},
        {"developer", {"developerEdit"}},
        {"productURL", {"productUrlEdit"}},
        {"versionURL", {"versionUrlEdit"}},
        {"developerURL", {"developerUrlEdit"}},
        {"readme", {"readmeEdit"}},
        {"title", {"setupTitleEdit"}},
        {"logo", {"logoEdit"}},
        {"archive", {"archiveEdit"}},
        {"license", {"licenseCombo"}},
        {"shortcut", {"parametersEdit", "installShortcutsBox"}},
        {"shortcutCaption", {"shortcutCaptionEdit", "installShortcutsBox"}},
        {"documentationCaption", {"documentationCaptionEdit", "installShortcutsBox"}},
        {"windows", {"windowsBox", "installShortcutsBox"}},
        {"linux", {"linuxBox", "installShortcutsBox"}},
        {"mac", {"macBox", "installShortcutsBox"}},
        {"cleanup", {"cleanupBox"}},
    };
    std::vector<const char*> names;
    if (record.kind == RecordRef::Kind::GameFolder)
        names = {"gamePathEdit"};
    else if (const auto found = fields.find(record.field);
             record.kind == RecordRef::Kind::Product && found != fields.end())
        names = found->second;
    for (const char* name : names) {
        if (auto* field = findChild<QWidget*>(QString::fromLatin1(name))) {
            field->setFocus(Qt::OtherFocusReason);
            if (auto* edit = qobject_cast<QLineEdit*>(field))
                edit->selectAll();
            return;
        }
    }
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
