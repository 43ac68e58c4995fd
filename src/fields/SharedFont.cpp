#include "SharedFont.h"

#include <QStringList>

namespace vog {

QFont sharedFont()
{
    static const bool substituted = [] {
        QFont::insertSubstitutions(QStringLiteral("MS Sans Serif"),
                                   QStringList{QStringLiteral("Liberation Sans"),
                                               QStringLiteral("Arial"),
                                               QStringLiteral("DejaVu Sans")});
        return true;
    }();
    Q_UNUSED(substituted);
    QFont font(QStringLiteral("MS Sans Serif"));
    font.setPointSize(8);
    font.setStyleHint(QFont::SansSerif);
    return font;
}

} // namespace vog
