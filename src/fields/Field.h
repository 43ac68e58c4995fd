#pragma once

#include "reader/Text.h"
#include "reader/ValueRules.h"

#include <QString>
#include <QWidget>

namespace vog {

// What every field kind does with the state that a value gives it: a text field sets its whole
// text, a line list appends a line, a choice shows its item text, a number is held to the range,
// a radio choice selects an option, a block of flag boxes sets every box. A field set from a
// file names the line that set it as its tool tip; one the user changed names none.
class Field
{
public:
    virtual ~Field() = default;
    virtual void setState(const FieldState &state) = 0;

protected:
    // The state's text as the user reads it, in its file's codepage.
    static QString shownText(const FieldState &state)
    {
        return state.codec ? state.codec->decode(state.text) : decodeValue(state.text);
    }
    static void showOrigin(QWidget *field, const FieldState &state)
    {
        field->setToolTip(describeOrigin(state.origin));
    }
};

} // namespace vog
