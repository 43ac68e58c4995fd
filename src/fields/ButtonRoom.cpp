#include "ButtonRoom.h"

#include <QPushButton>
#include <QStyle>
#include <QStyleOptionButton>

namespace vog {

QSize buttonRoom(const QPushButton *button, const QSize &drawn)
{
    QStyleOptionButton option;
    option.initFrom(button);
    option.text = button->text();
    option.rect = QRect(QPoint(0, 0), drawn);
    const QRect contents =
        button->style()->subElementRect(QStyle::SE_PushButtonContents, &option, button);
    const QFontMetrics fm(button->font());
    const QString caption = QString(button->text()).remove(QLatin1Char('&'));
    return drawn + QSize(std::max(0, fm.horizontalAdvance(caption) - contents.width()),
                         std::max(0, fm.height() - contents.height()));
}

} // namespace vog
