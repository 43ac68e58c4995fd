#include "TFiles_and_Paths.h"

TFiles_and_Paths::TFiles_and_Paths(QWidget *parent)
    : vog::EditorWindow(QStringLiteral("Files_and_Paths"), QStringLiteral("Files and Paths"),
                        QRect(64, 8, 716, 565), 136, 8, parent)
{
}
