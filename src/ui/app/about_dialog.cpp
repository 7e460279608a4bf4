#include "ui/app/about_dialog.h"

#include "ui/app/app_icon.h"
#include "zpak/version.h"

#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>

namespace zpak::ui {

AboutDialog::AboutDialog(QWidget* parent) : QDialog(parent)
{
    setWindowTitle(QStringLiteral("About ZPAK WIZARD"));
    auto* icon = new QLabel(this);
    icon->setPixmap(AppIcon().pixmap(64, 64));
    auto* text = new QLabel(QStringLiteral("<b>ZPAK WIZARD</b><br>Version %1<br><br>"
                                           "Packages mods for games of the Corvex engine family.")
                                .arg(QString::fromLatin1(kVersion)),
                            this);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);

    auto* row = new QHBoxLayout;
    row->addWidget(icon, 0, Qt::AlignTop);
    row->addWidget(text, 1);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(row);
    layout->addWidget(buttons);
}

}  // namespace zpak::ui
