#include "Pickers.h"

#include "TSelect_directory.h"
#include "fields/FileOpenDialog.h"
#include "Windows.h"
#include "fields/LineList.h"

#include <QLineEdit>

namespace vog {

void pickFile(FileOpenDialog *dialog, QLineEdit *field)
{
    dialog->execute();
    field->setText(dialog->fileName());
    if (auto *f = dynamic_cast<Field *>(field))
        f->userChanged(field);
}

void pickDirectory(QLineEdit *field)
{
    field->setText(Select_directory->chooseDirectory());
    if (auto *f = dynamic_cast<Field *>(field))
        f->userChanged(field);
}

void appendPickedFile(FileOpenDialog *dialog, LineList *list)
{
    dialog->execute();
    list->appendLine(dialog->fileName());
    list->userChanged(list);
}

} // namespace vog
