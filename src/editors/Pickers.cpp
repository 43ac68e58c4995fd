#include "Pickers.h"

#include "TSelect_directory.h"
#include "fields/FileOpenDialog.h"
#include "Windows.h"
#include "fields/LineList.h"

#include <QFileInfo>
#include <QLineEdit>

namespace vog {

namespace {

void put(QLineEdit *field, const QString &picked, const QString &seen)
{
    if (!seen.isEmpty() && QFileInfo(picked) == QFileInfo(seen))
        return;
    field->setText(picked);
    if (auto *f = dynamic_cast<Field *>(field))
        f->userChanged(field);
}

} // namespace

void pickFile(FileOpenDialog *dialog, QLineEdit *field, const QString &seen)
{
    if (!seen.isEmpty())
        dialog->setFileName(seen);
    dialog->execute();
    put(field, dialog->fileName(), seen);
}

void pickDirectory(QLineEdit *field, const QString &seen)
{
    const bool there = !seen.isEmpty() && QFileInfo(seen).isDir();
    put(field, Select_directory->chooseDirectory(there ? seen : QString()), there ? seen : QString());
}

void appendPickedFile(FileOpenDialog *dialog, LineList *list)
{
    dialog->execute();
    list->appendLine(dialog->fileName());
    list->userChanged(list);
}

} // namespace vog
