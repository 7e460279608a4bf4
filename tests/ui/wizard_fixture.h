#pragma once

#include "game/wine_registry.h"
#include "model/project_document.h"
#include "scripted_dialogs.h"
#include "support/temp_dir.h"
#include "ui/app/control_ids.h"
#include "ui/app/wizard_dialog.h"
#include "ui/app/wizard_page.h"

#include <QAbstractButton>
#include <QLineEdit>

#include <gtest/gtest.h>

#include <memory>

namespace zpak::ui::test {

// The wizard window over a scripted dialog service and a registry that
// lists a few games, one of them a temporary copy of the demo game.
class WizardFixture : public ::testing::Test {
protected:
    WizardFixture();
    ~WizardFixture() override;

    void MakeWizard();

    QAbstractButton* Button(int id) const;
    WizardPage* Page(int id) const;
    int ActivePage() const;
    template <typename Widget>
    Widget* Control(int page, int id) const
    {
        return FindControl<Widget>(Page(page), id);
    }
    QLineEdit* Edit(int page, int id) const { return Control<QLineEdit>(page, id); }
    void Type(int page, int id, const QString& text) const { Edit(page, id)->setText(text); }
    void Click(int id) const { Button(id)->click(); }
    // Clicks a button of a page.
    void ClickOn(int page, int id) const;

    zpak::test::TempDir dir;
    std::filesystem::path game;  // a copy of the demo game
    ProjectDocument doc;
    ScriptedDialogs dialogs;
    std::unique_ptr<WineRegistry> registry;
    std::unique_ptr<WizardDialog> wizard;
};

}  // namespace zpak::ui::test
