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
    field->setToolTip(QString()); // picked, not read from a file
}

void pickDirectory(QLineEdit *field)
{
    field->setText(Select_directory->chooseDirectory());
    field->setToolTip(QString());
}

void appendPickedFile(FileOpenDialog *dialog, LineList *list)
{
    dialog->execute();
    list->appendLine(dialog->fileName());
}

} // namespace vog
