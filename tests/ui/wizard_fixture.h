#pragma once

#include "game/wine_registry.h"
#include "model/project_document.h"
#include "scripted_dialogs.h"
#include "support/temp_dir.h"
#include "ui/app/control_ids.h"
#include "ui/app/wizard_dialog.h"
#include "ui/app/wizard_page.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QLineEdit>
#include <QTimer>

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <ostream>

// GoogleTest shows a QString as its text.
inline void PrintTo(const QString& text, std::ostream* out)
{
    *out << '"' << text.toStdString() << '"';
}

namespace zpak::ui::test {

// The wizard window over a scripted dialog service and a registry that
// lists a few games, one of them a temporary copy of the demo game.
class WizardFixture : public ::testing::Test {
protected:
    WizardFixture();
    ~WizardFixture() override;
    // Every manifest pair a test generates imports into a project that generates it again.
    void TearDown() override;

    void MakeWizard();

    QAbstractButton* Button(int id) const;
    WizardPage* Page(int id) const;
    int ActivePage() const;
    template <typename Widget> Widget* Control(int page, int id) const
    {
        return FindControl<Widget>(Page(page), id);
    }
    QLineEdit* Edit(int page, int id) const { return Control<QLineEdit>(page, id); }
    void Type(int page, int id, const QString& text) const { Edit(page, id)->setText(text); }
    void Click(int id) const { Button(id)->click(); }
    // Clicks a button of a page.
    void ClickOn(int page, int id) const;
    bool Enabled(int page, int id) const { return Control<QAbstractButton>(page, id)->isEnabled(); }
    // The line beside a disabled Next saying what is missing.
    QString NextProblem() const;
    static QStringList Items(const QComboBox* combo);
    void ShowEveryPage();
    // Creates a group through the groups page; a refused name is cancelled.
    void CreateGroup(const QString& name);

    // Clicks a page button that opens a modal dialog of that type; once the
    // dialog is up, `act` fills it and OK is pressed, and a dialog that stays
    // open is cancelled. Gives whether OK closed it (false also when no
    // such dialog came up).
    template <typename Dialog> bool UseDialog(int page, int button, const std::function<void(Dialog&)>& act)
    {
        bool closed = false;
        QTimer::singleShot(0, wizard.get(), [&] {
            auto* dialog = wizard->findChild<Dialog*>();
            if (!dialog)
                return;
            act(*dialog);
            dialog->accept();
            closed = !dialog->isVisible();
            if (!closed)
                dialog->reject();
        });
        ClickOn(page, button);
        return closed;
    }

    // UseDialog for a dialog with one field to fill: types `text` in the line edit `field`.
    template <typename Dialog> bool FillDialog(int page, int button, int field, const QString& text)
    {
        return UseDialog<Dialog>(
            page, button, [&](Dialog& dialog) { FindControl<QLineEdit>(&dialog, field)->setText(text); });
    }

    zpak::test::TempDir dir;
    std::filesystem::path game;  // a copy of the demo game
    ProjectDocument doc;
    ScriptedDialogs dialogs;
    std::unique_ptr<WineRegistry> registry;
    std::unique_ptr<WizardDialog> wizard;
};

}  // namespace zpak::ui::test
