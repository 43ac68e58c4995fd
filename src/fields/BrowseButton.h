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
    }
};

} // namespace vog
