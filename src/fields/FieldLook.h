#pragma once

#include "reader/KeywordTable.h"

#include <cstdint>

namespace vog {

// Widths of one-row text fields; each window says how many pixels they are.
enum class Width : std::uint8_t {
    Short,
    Long,
    LongLessOne, // one pixel narrower, as this one field has always been
};

// How a keyword's row looks on the screen, beside what the keyword table says it is.
struct FieldLook
{
    int dots = 0;           // dot leader of a one-row field's label; tall fields show the bare name
    Width width = Width::Long;
    int visibleLines = 0;   // line lists: how many lines show
    bool scrollBar = false; // line lists: a vertical scroll bar
    int columns = 0;        // radio choices: columns of options, filled column by column;
                            // flag boxes: boxes a line
    int step = 0;           // flag boxes: pixels between the columns of boxes
};

// The look of a shown keyword's row.
const FieldLook &fieldLook(const KeywordRow &row);

} // namespace vog
