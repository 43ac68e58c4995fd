#pragma once

#include "reader/Text.h"
#include "reader/ValueRules.h"

#include <QString>

namespace vog {

// What every field kind does with the state that a value gives it: a text field sets its whole
// text, a line list appends a line, a choice shows its item text, a number is held to the range,
// a radio choice selects an option, a block of flag boxes sets every box.
class Field
{
public:
    virtual ~Field() = default;
    virtual void setState(const FieldState &state) = 0;

protected:
    // The state's text as the user reads it.
    static QString shownText(const FieldState &state) { return decodeValue(state.text); }
};

} // namespace vog
