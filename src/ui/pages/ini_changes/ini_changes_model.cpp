#include "ui/pages/ini_changes/ini_changes_model.h"

#include "model/project_document.h"
#include "ui/app/project_text.h"

#include <QApplication>
#include <QStyle>

namespace zpak::ui {

IniChangesModel::IniChangesModel(ProjectDocument& document, QObject* parent)
    : RecordTreeModel(document.iniFiles, &INIGroup::entries, parent),
      fileIcon_(QApplication::style()->standardIcon(QStyle::SP_FileIcon)),
      changeIcon_(QApplication::style()->standardIcon(QStyle::SP_FileDialogDetailedView))
{
}

namespace {

QString FileText(const INIGroup& file)
{
    QString text = FromProjectText(file.NameText());
    if (file.group)
        text += QStringLiteral("  (group %1)").arg(FromProjectText(file.group->NameText()));
    return text;
}

QString ChangeText(const INIDefinition& change)
{
    return QStringLiteral("[%1] %2 = %3  (%4)")
        .arg(FromProjectText(TextOf(change.section)), FromProjectText(TextOf(change.key)),
             FromProjectText(TextOf(change.value)),
             change.addNewLine ? QStringLiteral("add line") : QStringLiteral("modify"));
}

}  // namespace

QVariant IniChangesModel::ParentData(const INIGroup& file, int role) const
{
    if (role == Qt::DisplayRole)
        return FileText(file);
    if (role == Qt::DecorationRole)
        return fileIcon_;
    if (role == Qt::ToolTipRole)
        return FileText(file)
            + (file.group ? QStringLiteral("\nChanged only when that group is installed.")
                          : QStringLiteral("\nChanged whenever the product is installed."));
    return {};
}

QVariant IniChangesModel::ChildData(const INIDefinition& change, int role) const
{
    if (role == Qt::DisplayRole)
        return ChangeText(change);
    if (role == Qt::DecorationRole)
        return changeIcon_;
    if (role == Qt::ToolTipRole)
        return ChangeText(change)
            + (change.addNewLine
                   ? QStringLiteral("\nAdds this line to the section, beside lines of the same key.")
                   : QStringLiteral("\nSets the key's value in the section, or adds the key."));
    return {};
}

}  // namespace zpak::ui
