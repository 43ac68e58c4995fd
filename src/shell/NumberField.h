#pragma once

#include <QSpinBox>

namespace vog {

// A whole number between 0 and a maximum; starts at 0. Setting a value clamps it into the
// range. Fields with the maximum 100000 take at most 10 typed characters.
class NumberField : public QSpinBox
{
    Q_OBJECT
public:
    explicit NumberField(int maximum, QWidget *parent = nullptr);

    void setNumber(int value) { setValue(value); }
};

} // namespace vog
