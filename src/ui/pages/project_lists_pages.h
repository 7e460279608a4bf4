#pragma once

#include "ui/app/wizard_page.h"

class QTreeWidget;

namespace zpak::ui {

// The INI changes of the project, shown
// read-only until their editing pages come; each page takes its place in
// the page order.
class ProjectListPage : public WizardPage {
    Q_OBJECT

public:
    ProjectListPage(WizardDialog& wizard, int id, const QString& text);

    void OnSetActive() override;

protected:
    virtual void Fill(QTreeWidget& tree) const = 0;

private:
    QTreeWidget* tree_;
};

class IniChangesPage final : public ProjectListPage {
    Q_OBJECT

public:
    explicit IniChangesPage(WizardDialog& wizard);
    void OnInitDialog() override;

protected:
    void Fill(QTreeWidget& tree) const override;
};

}  // namespace zpak::ui
