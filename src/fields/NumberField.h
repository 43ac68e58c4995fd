#pragma once

#include "Field.h"

#include <QSpinBox>

namespace vog {

// A whole number between 0 and a maximum; starts at 0. Setting a value clamps it into the
// range. Fields with the maximum 100000 take at most 10 typed characters.
class UseBox;

class NumberField : public QSpinBox, public Field
{
    Q_OBJECT
public:
    explicit NumberField(Range range, QWidget *parent = nullptr);

    void setUseBox(UseBox *use) { m_use = use; }
    QString shownWords(const KeywordRow &) const override { return QString::number(value()); }

protected:
    // The value held to the range; the Use box beside it is checked for a value, cleared for
    // an empty link cell.
    void showState(const FieldState &state) override;
    // Any whole number may be typed; one outside the range is held to the nearer end when the
    // field is left.
    QValidator::State validate(QString &input, int &pos) const override;
    void fixup(QString &input) const override;

private:
    UseBox *m_use = nullptr;
    // The typed text as a whole number, if it is one (an optional sign and decimal digits).
    static bool typedNumber(const QString &input, qlonglong &number);
};

} // namespace vog
