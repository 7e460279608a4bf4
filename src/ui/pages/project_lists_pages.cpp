#include "ui/pages/project_lists_pages.h"

#include "model/project_document.h"
#include "ui/app/control_ids.h"
#include "ui/app/project_text.h"
#include "ui/app/wizard_dialog.h"
#include "ui/pages/page_layout.h"

#include <QHeaderView>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace zpak::ui {

namespace {

QTreeWidgetItem* AddItem(QTreeWidget& tree, QTreeWidgetItem* parent, const std::string& text)
{
    auto* item = parent ? new QTreeWidgetItem(parent) : new QTreeWidgetItem(&tree);
    item->setText(0, FromProjectText(text));
    return item;
}

}  // namespace

ProjectListPage::ProjectListPage(WizardDialog& wizard, int id, const QString& text)
    : WizardPage(wizard, id), tree_(new QTreeWidget)
{
    auto* layout = new QVBoxLayout(this);
    AddText(layout, text);
    tree_->setHeaderHidden(true);
    layout->addWidget(tree_, 1);
}

void ProjectListPage::OnSetActive()
{
    tree_->clear();
    Fill(*tree_);
    tree_->expandAll();
}

IniChangesPage::IniChangesPage(WizardDialog& wizard)
    : ProjectListPage(wizard, ids::kIniChangesPage,
                      QStringLiteral("The INI files of the game that installation changes, with "
                                     "their changes."))
{
}

void IniChangesPage::OnInitDialog()
{
    Wizard().SetNextPage(ids::kIniChangesPage, ids::kRequirementsPage);
}

void IniChangesPage::Fill(QTreeWidget& tree) const
{
    for (const auto& iniFile : Document().iniFiles) {
        QTreeWidgetItem* item = AddItem(tree, nullptr, iniFile->NameText());
        for (const auto& entry : iniFile->entries)
            AddItem(tree, item, entry->GetName());
    }
}

}  // namespace zpak::ui
