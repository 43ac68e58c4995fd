#include "ConfigRead.h"

#include "LinkStore.h"
#include "Text.h"

namespace vog {

DefaultsMark defaultsMark(const KeywordRow &row, QByteArrayView value)
{
    static const int linkDefaults = rowNamed("LinkDefaults")->index;
    if (row.index != linkDefaults || value.size() > 7)
        return DefaultsMark::None;
    char lower[8];
    for (qsizetype i = 0; i < value.size(); ++i)
        lower[i] = lowerAscii(value[i]);
    const QByteArrayView word(lower, value.size());
    return word == "begin" ? DefaultsMark::Begin
            : word == "end"     ? DefaultsMark::End
            : word == "destroy" ? DefaultsMark::Destroy
                                : DefaultsMark::None;
}

bool DefaultsBlocks::takesDefaults(const KeywordLine &line, DefaultsMark &mark)
{
    mark = defaultsMark(*line.row, line.value);
    // An end line with no block open closes nothing, and is stored like any other value.
    if (mark == DefaultsMark::End && !open)
        mark = DefaultsMark::None;
    const bool taken = open || mark != DefaultsMark::None;
    if (mark == DefaultsMark::Begin)
        open = true;
    else if (mark == DefaultsMark::End)
        open = false;
    return taken;
}

void readConfig(LineReader &lines, LinkStore &store, ConfigSink &sink, int file,
                const std::vector<int> *columns, const ReadScope &scope, LineState *state)
{
    const bool cells = scope.linkCells;
    // A scope that names rows keeps the link cells of those rows alone.
    const auto keepsCell = [&](const KeywordRow &row) { return cells && scope.keeps(row); };
    int column = 0;
    std::size_t links = 0;
    DefaultsBlocks blocks;
    DefaultsMark mark;
    ConfigScanner scanner(lines, &sink, state);
    if (sink.wantsUndefined())
        scanner.state().reportUndefined = true;
    // Where the rows kept are all that is kept, a line that can't start one of their keywords
    // changes nothing and needn't be matched; unless it tells the links apart: a link's lines
    // are followed only with its link and LinkDefaults lines kept.
    std::array<bool, 256> firstBytes{};
    if (!scope.rows.empty()) {
        bool windowsAlone = true;
        bool linksFollowed = scope.keeps(*rowNamed("LinkDefaults"));
        // The keyword in any letter case.
        const auto take = [&firstBytes](char first) {
            for (char c = 0; c < 127; ++c)
                if (lowerAscii(c) == first)
                    firstBytes[static_cast<unsigned char>(c)] = true;
        };
        for (const KeywordRow &row : keywordTable()) {
            if (row.kind == ValueKind::LinkName)
                linksFollowed = linksFollowed && scope.keeps(row);
            if (scope.keeps(row)) {
                windowsAlone = windowsAlone && row.place != Place::Link;
                take(row.keyword.front());
            }
        }
        // The lines that change how the others read: conditions, set and CommentChar.
        for (const QByteArrayView word : DirectiveWords)
            take(word.front());
        if (scope.areaLines)
            for (const QByteArrayView word : AreaKeywords)
                take(word.front());
        if (windowsAlone || linksFollowed)
            scanner.onlyFirstBytes(&firstBytes);
    }
    KeywordLine line;
    while (scanner.next(line)) {
        const KeywordRow &row = *line.row;
        if (row.place != Place::Link) {
            sink.windowValue(line);
        } else if (blocks.takes(line, mark)) {
            if (cells && mark == DefaultsMark::Destroy)
                store.destroyDefaults();
            else if (keepsCell(row) && mark == DefaultsMark::None)
                store.setCell(LinkStore::DefaultsColumn, row.storeRow, line.value,
                              {file, line.lineNumber});
            sink.linkValue(line, LinkStore::DefaultsColumn);
        } else if (row.kind == ValueKind::LinkName) {
            if (columns) {
                column = links < columns->size() ? (*columns)[links++] : -1;
                if (column < 0)
                    continue;
            } else {
                column = store.columnCount();
                store.setColumnCount(column + 1);
            }
            if (keepsCell(row))
                store.setCell(column, row.storeRow, line.value, {file, line.lineNumber});
            sink.linkStarted(line, column);
        } else if (column >= 0) {
            if (keepsCell(row))
                store.setCell(column, row.storeRow, line.value, {file, line.lineNumber});
            sink.linkValue(line, column);
        }
    }
    // The file reads as if the conditions still open closed at its end.
    const LineState &after = scanner.state();
    for (const LineState::Branch &open : after.branches) {
        LineFacts facts;
        facts.kind = LineKind::Condition;
        facts.problem = LineFacts::IfWithoutEndif;
        sink.otherLine(facts, open.line);
        if (open.onModule) {
            LineFacts end;
            end.kind = LineKind::Condition;
            end.moduleFrom = open.line;
            sink.otherLine(end, lines.lineNumber());
        }
    }
}

} // namespace vog
