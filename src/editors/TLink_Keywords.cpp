#include "TLink_Keywords.h"

#include "shell/RowForm.h"

#include <QComboBox>

TLink_Keywords::TLink_Keywords(QWidget *parent)
    : vog::EditorWindow(QStringLiteral("Link_Keywords"), QStringLiteral("Link Keywords"),
                        QRect(83, 16, 719, 571), 160, 55, parent)
{
    LinkChange = new QComboBox(form());
    LinkChange->setObjectName(QStringLiteral("LinkChange"));
    LinkChange->setEditable(true);
    LinkChange->setInsertPolicy(QComboBox::NoInsert);
    LinkChange->setGeometry(188, 9, 383, LinkChange->sizeHint().height());
}

void TLink_Keywords::LinkChangeChange()
{
}
