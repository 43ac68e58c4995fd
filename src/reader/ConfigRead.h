#pragma once

#include "ConfigScanner.h"

#include <vector>

namespace vog {

class LinkStore;

// Where one read of a configuration file sends what it finds. The read itself keeps the link
// records; the sink shows the rest.
class ConfigSink
{
public:
    virtual ~ConfigSink() = default;
    // Every line as it came from the file, comments included, and what the grammar made of it
    // (of a line passed over unread: only whether it is in effect).
    virtual void lineRead(QByteArrayView, const LineFacts &) {}
    // A line that is neither empty, nor a comment, nor a keyword's value in effect: a
    // condition, a set or CommentChar line, a keyword that needs a value alone on its line, a
    // keyword line in a branch not taken; and a line with a problem for --check.
    virtual void otherLine(const LineFacts &, qint64 /*lineNumber*/) {}
    // Whether the read looks for [NAME] words that nothing defines (for otherLine).
    virtual bool wantsUndefined() const { return false; }
    // A keyword of the General Keywords or the Files and Paths window, with its value.
    virtual void windowValue(const KeywordLine &line) = 0;
    // A "link " line has started the link record in this column; line.value is its name.
    virtual void linkStarted(const KeywordLine &line, int column) = 0;
    // A per-link keyword's value has been stored in this column; LinkStore::DefaultsColumn
    // for the lines of a LinkDefaults block and the LinkDefaults lines that open, close or
    // empty the defaults, which are no link's values.
    virtual void linkValue(const KeywordLine &, int /*column*/) {}
};

// What a read keeps beyond what it shows the sink. The Open keeps everything; a command that
// asks for a few window keywords keeps their lines alone, and no link record nor area line; one
// on links as a whole keeps their names and addresses.
struct ReadScope
{
    bool linkCells = true; // the link records' cells, of the rows kept
    bool areaLines = true; // the area lines, one by one
    std::vector<bool> rows; // by keyword table index, the rows whose lines are kept; empty: all
    bool keeps(const KeywordRow &row) const
    {
        return rows.empty() || rows[std::size_t(row.index)];
    }
};

// What a "LinkDefaults" line does: begin opens a block whose per-link lines set the defaults,
// end closes it, destroy empties the defaults; any other value is stored like a link's value.
enum class DefaultsMark { None, Begin, End, Destroy };
DefaultsMark defaultsMark(const KeywordRow &row, QByteArrayView value);

// Follows the LinkDefaults blocks of one file, line by line.
struct DefaultsBlocks
{
    bool open = false;
    const int linkDefaults = rowNamed("LinkDefaults")->index;
    // Whether this per-link line belongs to the defaults rather than to the current link; a
    // link line closes a block. The mark is that of a begin, destroy or closing end line,
    // None for the others.
    bool takes(const KeywordLine &line, DefaultsMark &mark)
    {
        mark = DefaultsMark::None;
        if (line.row->kind == ValueKind::LinkName) {
            open = false;
            return false;
        }
        // A link's own lines, the most of a hub's file, at one look.
        if (!open && line.row->index != linkDefaults)
            return false;
        return takesDefaults(line, mark);
    }

private:
    bool takesDefaults(const KeywordLine &line, DefaultsMark &mark);
};

// Reads the lines of one configuration file from the first to the last. A "link " line adds a
// column to the store, numbered on after the columns it already has, so that the n-th link
// ever read is column n; the per-link keywords fill their rows of the current column, those
// before the file's first "link " line column 0; the lines of a LinkDefaults block set the
// defaults that the links after it inherit. Cells remember their line of this file, the
// file's index among the source files (-1: none). A file read again gives its link lines the
// columns they had, in order: `columns`, where a link line past its end and the lines after it
// are passed over. A failed read throws an IoError; whatever the sink throws ends the read at
// that line. A scope without link cells leaves the store's cells as they were. The lines are
// read from the state given (a fresh one for none), which becomes the state after the last.
void readConfig(LineReader &lines, LinkStore &store, ConfigSink &sink, int file = -1,
                const std::vector<int> *columns = nullptr, const ReadScope &scope = {},
                LineState *state = nullptr);

} // namespace vog
