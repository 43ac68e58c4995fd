#include "ConfigRead.h"

#include "LinkStore.h"
#include "Text.h"

namespace vog {

void readConfig(LineReader &lines, LinkStore &store, ConfigSink &sink, int file)
{
    int column = 0;
    QByteArrayView raw;
    KeywordLine line;
    while (lines.next(raw)) {
        sink.lineRead(raw);
        if (!matchLine(trimmed(raw), line))
            continue;
        line.lineNumber = lines.lineNumber();
        const KeywordRow &row = *line.row;
        if (row.place != Place::Link) {
            sink.windowValue(line);
        } else if (row.kind == ValueKind::LinkName) {
            column = store.columnCount();
            store.setColumnCount(column + 1);
            store.setCell(column, row.storeRow, line.value, {file, line.lineNumber});
            sink.linkStarted(line, column);
        } else {
            store.setCell(column, row.storeRow, line.value, {file, line.lineNumber});
            sink.linkValue(line, column);
        }
    }
}

} // namespace vog
