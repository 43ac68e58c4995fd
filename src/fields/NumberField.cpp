#include "NumberField.h"

#include "UseBox.h"

#include <QLineEdit>

#include <algorithm>

namespace vog {

NumberField::NumberField(Range range, QWidget *parent) : QSpinBox(parent)
{
    setRange(0, rangeMaximum(range));
    setValue(0);
    setCorrectionMode(QAbstractSpinBox::CorrectToNearestValue);
    // The smaller range takes at most ten typed characters, the larger any number.
    if (range == Range::Max100k)
        lineEdit()->setMaxLength(10);
    // Typed text counts once it is a value, in any window; stepping and wheeling at once.
    connect(this, &QSpinBox::valueChanged, this, [this] { stateChanged(this); });
}

void NumberField::showState(const FieldState &state)
{
    setValue(state.number);
    // Each record's own: the box says whether this record sets the number, whatever the record
    // shown before said.
    if (m_use)
        m_use->setChecked(!state.clearUse);
    showOrigin(this, state);
}

bool NumberField::typedNumber(const QString &input, qlonglong &number)
{
    return vog::typedNumber(input.toUtf8(), number);
}

QValidator::State NumberField::validate(QString &input, int &pos) const
{
    const QValidator::State state = QSpinBox::validate(input, pos);
    qlonglong number;
    if (state == QValidator::Invalid && typedNumber(input, number))
        return QValidator::Intermediate;
    return state;
}

void NumberField::fixup(QString &input) const
{
    qlonglong number;
    if (typedNumber(input, number))
        input = QString::number(std::clamp<qlonglong>(number, minimum(), maximum()));
    else
        QSpinBox::fixup(input);
}

} // namespace vog
