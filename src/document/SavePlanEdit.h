#pragma once

#include "ConfigDocument.h"

namespace vog {

// Replaces the bytes [at, end) of a file; an insertion has end == at. A value replaced or a
// line removed names its line; new lines name the record they belong to, or Block for a new
// defaults block.
struct SavePlan::Edit
{
    static constexpr int Block = -3;
    static constexpr int Area = -4; // an area line's bytes (document/AreaLines.h)
    qint64 at;
    qint64 end;
    QByteArray bytes;
    const ValueLine *line = nullptr;
    int column = -1;
};

} // namespace vog
