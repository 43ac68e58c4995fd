#include "ConfigRead.h"

#include "LinkStore.h"

namespace vog {

void readConfig(LineReader &lines, LinkStore &store, ConfigSink &sink, int file)
{
    int column = 0;
    ConfigScanner scanner(lines, &sink);
    KeywordLine line;
    while (scanner.next(line)) {
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
