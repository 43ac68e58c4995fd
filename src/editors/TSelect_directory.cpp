#include "TSelect_directory.h"

#include "shell/SharedFont.h"

#include <QDir>

TSelect_directory::TSelect_directory(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("Select_directory"));
    setWindowTitle(QStringLiteral("Select directory"));
    setFont(vog::sharedFont());
    move(192, 117);
    resize(250, 315);
}

QString TSelect_directory::chooseDirectory()
{
    exec();
    return QDir::currentPath();
}
