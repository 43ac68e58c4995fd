#include "NumberField.h"

#include <QLineEdit>

namespace vog {

NumberField::NumberField(int maximum, QWidget *parent) : QSpinBox(parent)
{
    setRange(0, maximum);
    setValue(0);
    // A typed number outside the range is held to the nearer end when the field is left.
    setCorrectionMode(QAbstractSpinBox::CorrectToNearestValue);
    if (maximum == 100000)
        lineEdit()->setMaxLength(10);
}

} // namespace vog
