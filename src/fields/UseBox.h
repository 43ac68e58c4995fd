#pragma once

#include <QCheckBox>

namespace vog {

// The "Use" box beside a number field; starts checked.
class UseBox : public QCheckBox
{
    Q_OBJECT
public:
    explicit UseBox(QWidget *parent = nullptr) : QCheckBox(QStringLiteral("Use"), parent)
    {
        setChecked(true);
    }
};

} // namespace vog
