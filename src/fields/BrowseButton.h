#pragma once

#include <QPushButton>

namespace vog {

// The small "..." button at the right end of a path field, or the "+" beside a line list.
class BrowseButton : public QPushButton
{
    Q_OBJECT
public:
    explicit BrowseButton(const QString &caption = QStringLiteral("..."), QWidget *parent = nullptr)
        : QPushButton(caption, parent)
    {
        setAutoDefault(false);
        // Pressed by any means (a shortcut too), it takes the focus as a mouse click does, so
        // that the field being edited is left, and reports what leaving it does, before the
        // button's dialog comes up rather than over it.
        connect(this, &QPushButton::clicked, this, [this] { setFocus(Qt::OtherFocusReason); });
    }
};

} // namespace vog
