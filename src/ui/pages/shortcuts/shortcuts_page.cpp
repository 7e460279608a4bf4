#include "ui/pages/shortcuts/shortcuts_page.h"

#include "model/product_fields.h"
#include "model/project_document.h"
#include "model/record_ref.h"
#include "rules/product_rules.h"
#include "ui/app/control_ids.h"
#include "ui/app/layout_helpers.h"
#include "ui/app/project_text.h"
#include "ui/app/wizard_dialog.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QVBoxLayout>

namespace zpak::ui {

ShortcutsPage::ShortcutsPage(WizardDialog& wizard) : WizardPage(wizard)
{
    auto* layout = new QVBoxLayout(this);
    AddText(layout,
            QStringLiteral(
                "Zpaks can install shortcuts on the client machine. When you define a shortcut, the wizard "
                "automatically defines an uninstall shortcut for you. This way, clients can easily "
                "uninstall your product."));
    const auto edit = [&](const QString& text, int id, const char* name, const QString& tip) {
        AddText(layout, text);
        auto* field = new QLineEdit;
        SetControlId(field, id, name);
        field->setToolTip(tip);
        layout->addWidget(field);
        return field;
    };
    parameters_ = edit(QStringLiteral("Please enter the command line parameters you want to use to "
                                      "start the game.\nFor example: FR-Landing.map?Game=Frontier.Campaign"),
                       ids::kParameters, ControlNameOf("shortcut"),
                       QStringLiteral("What the play shortcut and the launch scripts pass to the game: a "
                                      "map and its options."));
    caption_ = edit(QStringLiteral("Enter the Shortcut Caption. This is the caption that will be "
                                   "assigned to your shortcut link."),
                    ids::kShortcutCaption, ControlNameOf("shortcutCaption"),
                    QStringLiteral("The name of the play shortcut in the player's menu."));
    documentation_ = edit(QStringLiteral("Enter the Documentation/Readme Caption. This is the caption "
                                         "that will be assigned to your documentation link."),
                          ids::kDocumentationCaption, ControlNameOf("documentationCaption"),
                          QStringLiteral("The name of the shortcut that opens your readme; empty gives "
                                         "\"Release Notes\"."));

    AddText(layout,
            QStringLiteral("Please check all the operating systems you wish the zpak to "
                           "generate shortcuts for."));
    auto* systems = new QHBoxLayout;
    const auto box = [&](const QString& text, int id, const char* name, const QString& tip) {
        auto* check = new QCheckBox(text);
        SetControlId(check, id, name);
        check->setToolTip(tip);
        systems->addWidget(check);
        return check;
    };
    windows_ = box(QStringLiteral("Windows"), ids::kWindows, ControlNameOf("windows"),
                   QStringLiteral("The installer makes Start menu shortcuts on Windows."));
    linux_ = box(QStringLiteral("Linux"), ids::kLinux, ControlNameOf("linux"),
                 QStringLiteral("The wizard writes System\\<product>.sh, a script that starts the game with "
                                "your parameters, and the product installs it."));
    mac_ = box(QStringLiteral("Mac"), ids::kMac, ControlNameOf("mac"),
               QStringLiteral("The wizard writes System\\<product>_mac.sh, the same script for Mac, and the "
                              "product installs it."));
    systems->addStretch();
    layout->addLayout(systems);
    layout->addStretch();
}

void ShortcutsPage::OnInitDialog()
{
    Wizard().EnableNext(true);
}

void ShortcutsPage::OnSetActive()
{
    ShortcutForm form{
        ToProjectText(parameters_->text()), ToProjectText(caption_->text()), {}, false, false, false};
    EnsureProduct(Document());
    FillShortcutForm(Document(), form);
    parameters_->setText(FromProjectText(form.parameters));
    caption_->setText(FromProjectText(form.caption));
    documentation_->setText(FromProjectText(form.documentationCaption));
    windows_->setChecked(form.windows);
    linux_->setChecked(form.linux);
    mac_->setChecked(form.mac);
}

ShortcutForm ShortcutsPage::ReadForm() const
{
    return {ToProjectText(parameters_->text()),
            ToProjectText(caption_->text()),
            ToProjectText(documentation_->text()),
            windows_->isChecked(),
            linux_->isChecked(),
            mac_->isChecked()};
}

bool ShortcutsPage::StoreShortcutFields()
{
    return StoreAsStep(QStringLiteral("Edit Shortcuts"), RecordRef::Product("shortcut"),
                       [this] { return zpak::StoreShortcutFields(Document(), ReadForm(), Sink()); });
}

void ShortcutsPage::ShowStoredValues()
{
    ShortcutForm form;
    FillShortcutForm(Document(), form);
    parameters_->setText(FromProjectText(form.parameters));
    caption_->setText(FromProjectText(form.caption));
}

bool ShortcutsPage::HasPendingEdits() const
{
    ShortcutForm stored;
    FillShortcutForm(Document(), stored);
    return ReadForm() != stored;
}

void ShortcutsPage::OnProjectReplaced()
{
    parameters_->clear();
    caption_->clear();
}

}  // namespace zpak::ui
