#include "TGeneral_Keywords.h"

TGeneral_Keywords::TGeneral_Keywords(QWidget *parent)
    : vog::EditorWindow(QStringLiteral("General_Keywords"), QStringLiteral("General Keywords"),
                        QRect(47, 47, 717, 571), vog::Place::General, {136, 8, 555, 553},
                        parent)
{
    // Focus runs down the rows, except that AreafixFromName comes after the last row; the
    // browse buttons follow.
    QList<QWidget *> order = form()->fields();
    QWidget *late = field<QWidget>("AreafixFromName");
    order.removeOne(late);
    order.append(late);
    order.append(form()->buttons());
    vog::RowForm::chainFocus(order);
}

// clang-format off
void TGeneral_Keywords::AreafixQueueFileButtonClick()   { browse("AreafixQueueFile"); }
void TGeneral_Keywords::AutoAreaCreateFlagButtonClick() { browse("AutoAreaCreateFlag"); }
void TGeneral_Keywords::NetmailFlagButtonClick()        { browse("NetmailFlag"); }
void TGeneral_Keywords::NewAreaRefuseFileButtonClick()  { browse("NewAreaRefuseFile"); }
// clang-format on
