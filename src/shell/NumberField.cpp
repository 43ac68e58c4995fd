#include "NumberField.h"

#include <QLineEdit>

#include <algorithm>

namespace vog {

NumberField::NumberField(int maximum, QWidget *parent) : QSpinBox(parent)
{
    setRange(0, maximum);
    setValue(0);
    setCorrectionMode(QAbstractSpinBox::CorrectToNearestValue);
    if (maximum == 100000)
        lineEdit()->setMaxLength(10);
}

bool NumberField::typedNumber(const QString &input, qlonglong &number)
{
    const QString text = input.trimmed();
    if (text.isEmpty() || text.size() > 18)
        return false;
    for (qsizetype i = 0; i < text.size(); ++i)
        if (!text[i].isDigit() && !(i == 0 && (text[i] == u'-' || text[i] == u'+')))
            return false;
    bool ok = false;
    number = text.toLongLong(&ok);
    return ok;
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
