// After a save: the document follows the edits that made the new bytes instead of reading the
// file again, which a save of a large file could not afford.

#include "ConfigDocument.h"
#include "SavePlanEdit.h"

#include "reader/ConfigRead.h"
#include "reader/LinkStore.h"

#include <xxhash.h>

#include <algorithm>

namespace vog {

using Edit = SavePlan::Edit;

namespace {

// A keyword line of the new bytes, as a read of the whole file finds it.
struct NewLine
{
    const KeywordRow *row;
    qint64 lineStart;
    qsizetype rawLength;
    int endLength;
    qsizetype valueStart;
    qsizetype valueEnd;
    qint64 number; // counted from the first line of the bytes looked at
    QByteArray value;
};

// The keyword lines of [from, from + size) of the new bytes; lines hold no more than the line
// they are, so they read here as in the whole file.
std::vector<NewLine> keywordLines(QByteArrayView bytes, qint64 from, qint64 size)
{
    std::vector<NewLine> found;
    LineReader lines(bytes.sliced(from, size));
    ConfigScanner scanner(lines);
    KeywordLine l;
    while (scanner.next(l))
        found.push_back({l.row, from + l.lineStart, l.rawLength, l.endLength, l.valueStart,
                         l.valueEnd, l.lineNumber, l.value.toByteArray()});
    return found;
}

// The lines that give a file its records: a save that touches one reads the file again.
bool shapesRecords(const KeywordRow &row)
{
    return row.kind == ValueKind::LinkName || defaultsMark(row, "begin") != DefaultsMark::None;
}

} // namespace

bool ConfigDocument::followEdits(const SavePlan &plan, int file, QByteArrayView bytes)
{
    // Lines that read as the lines before them say are read again from the file's start.
    if (m_tooLong.contains(file) || readsInContext(file))
        return false;
    SavePlan fresh;
    const std::vector<Edit> &edits = editsOf(plan, file, fresh);
    qint64 last = -1;
    for (const ValueLine &l : m_lines)
        if (l.file == file) {
            if (l.lineStart <= last)
                return false;
            last = l.lineStart;
        }

    // First what each edit's bytes read as, where they now stand; anything a record's shape
    // depends on, or the file's end, is left to a full read.
    struct Step
    {
        const Edit *edit;
        qint64 newAt;
        std::vector<NewLine> lines;
    };
    std::vector<Step> steps;
    steps.reserve(edits.size());
    qint64 shift = 0;
    for (const Edit &e : edits) {
        Step step{&e, e.at + shift, {}};
        if (e.column == Edit::Block)
            return false;
        if (const ValueLine *l = e.line) {
            if (l->file != file || shapesRecords(keywordTable()[l->row]))
                return false;
            if (e.bytes.isEmpty() && e.at == l->lineStart && e.end == l->next()) {
                if (l->endLength == 0)
                    return false;
            } else {
                const qint64 start = l->lineStart + shift;
                const qint64 length = l->next() - l->lineStart + e.bytes.size() - (e.end - e.at);
                step.lines = keywordLines(bytes, start, length);
                if (step.lines.size() != 1 || step.lines[0].row->index != int(l->row))
                    return false;
            }
        } else {
            // An area line's words rewritten stay one line, and hold no keyword line.
            const bool areaWords = e.column == Edit::Area && !e.bytes.isEmpty()
                    && !e.bytes.contains('\n');
            if (e.end != e.at && !areaWords)
                return false;
            step.lines = keywordLines(bytes, step.newAt, e.bytes.size());
            for (const NewLine &n : step.lines)
                if (shapesRecords(*n.row) || (n.row->place == Place::Link) != (e.column >= 0))
                    return false;
        }
        shift += e.bytes.size() - (e.end - e.at);
        steps.push_back(std::move(step));
    }

    // Then the lines move, each by the bytes and line ends that the edits before it add.
    SourceFile &f = sourceFile(file);
    std::vector<NewValueLine> added;
    shift = 0;
    qint64 lineShift = 0;
    qint64 knownAt = 0; // a line start of the new bytes, and its number
    qint64 knownNumber = 1;
    ValueLine *previous = nullptr;
    const auto fill = [](ValueLine &v, const NewLine &n) {
        v.lineStart = n.lineStart;
        v.lineLength = quint32(n.rawLength);
        v.endLength = quint64(n.endLength);
        v.valueStart = quint32(n.valueStart);
        v.valueLength = quint32(n.valueEnd - n.valueStart);
    };
    // What the link records and the kept bytes say of a line that moved, or whose value changed.
    const auto follow = [&](ValueLine &l, const NewLine *n, qint64 oldLine) {
        const KeywordRow &row = keywordTable()[l.row];
        if (l.column < 0 || l.column == LinkStore::DefaultsColumn) {
            if (!n)
                return;
            std::vector<RowLine> &lines = l.column < 0 ? m_byRow[l.row] : m_defaults;
            const auto at = quint32(&l - m_lines.data());
            if (RowLine *kept = entryOf(lines, at)) {
                *kept = {at, quint32(n->value.size()), m_windowBytes.size()};
                m_windowBytes.append(n->value);
            }
        } else if (m_links.cellOrigin(l.column, row.storeRow) == Origin{file, oldLine}) {
            if (n)
                m_links.setCell(l.column, row.storeRow, n->value, l.origin());
            else
                m_links.moveCell(l.column, row.storeRow, l.line);
        }
    };
    const auto insert = [&](std::size_t before, const Step &s) {
        const QByteArray &b = s.edit->bytes;
        // After a last line without a line end, read or new: that line has one now, a CR LF
        // also where the line's last byte is a CR.
        const bool crBefore = s.newAt > 0 && bytes[s.newAt - 1] == '\r';
        for (ValueLine *before : {previous, added.empty() ? nullptr : &added.back().line})
            if (before && before->endLength == 0 && before->next() == s.newAt) {
                const bool crlf = b.startsWith("\r\n") || (crBefore && b.startsWith('\n'));
                before->endLength = quint64(crlf ? 2 : 1);
                if (crlf && !b.startsWith('\r'))
                    before->lineLength = before->lineLength - 1;
            }
        qint64 number = knownNumber;
        for (qint64 i = knownAt; i < s.newAt; ++i)
            number += bytes[i] == '\n';
        // Counted once: the next edit counts on from here (many edits can stand between two
        // keyword lines, as area lines do).
        knownAt = s.newAt;
        knownNumber = number;
        for (const NewLine &n : s.lines) {
            ValueLine v;
            fill(v, n);
            v.row = quint64(n.row->index);
            v.line = quint32(number + n.number - 1);
            v.file = file;
            v.column = n.row->place == Place::Link ? s.edit->column : -1;
            if (v.column >= 0 && v.column != LinkStore::DefaultsColumn)
                m_links.setCell(v.column, n.row->storeRow, n.value, v.origin());
            added.push_back({before, v, n.value});
        }
        for (qint64 i = s.newAt; i < s.newAt + b.size(); ++i)
            if (bytes[i] == '\n') {
                ++(i > 0 && bytes[i - 1] == '\r' ? f.crlfLines : f.lfLines);
                ++lineShift;
            }
        shift += b.size() - (s.edit->end - s.edit->at);
    };
    std::size_t next = 0;
    for (std::size_t i = 0; i < m_lines.size(); ++i) {
        ValueLine &l = m_lines[i];
        if (l.file != file)
            continue;
        while (next < steps.size() && !steps[next].edit->line
               && steps[next].edit->at <= l.lineStart)
            insert(i, steps[next++]);
        const qint64 oldLine = l.line;
        l.line = quint32(qint64(l.line) + lineShift);
        if (next < steps.size() && steps[next].edit->line == &l) {
            const Step &s = steps[next++];
            if (s.lines.empty()) { // removed, with its line end
                const KeywordRow &row = keywordTable()[l.row];
                if (l.column >= 0 && l.column != LinkStore::DefaultsColumn
                    && m_links.cellOrigin(l.column, row.storeRow) == Origin{file, oldLine})
                    m_links.setCell(l.column, row.storeRow, {}, {});
                shift -= l.next() - l.lineStart;
                --lineShift;
                --(l.endLength == 2 ? f.crlfLines : f.lfLines);
                l.file = Dropped;
                continue;
            }
            fill(l, s.lines[0]);
            shift += s.edit->bytes.size() - (s.edit->end - s.edit->at);
            follow(l, &s.lines[0], oldLine);
        } else {
            l.lineStart = l.lineStart + shift;
            if (lineShift)
                follow(l, nullptr, oldLine);
        }
        knownAt = l.lineStart;
        knownNumber = l.line;
        previous = &l;
    }
    while (next < steps.size() && !steps[next].edit->line)
        insert(m_lines.size(), steps[next++]);
    Q_ASSERT(next == steps.size());

    f.size = bytes.size();
    f.fingerprint = XXH3_64bits(bytes.data(), std::size_t(bytes.size()));
    f.crlf = f.crlfLines > f.lfLines;
    if (f.ctrlZ >= 0)
        f.ctrlZ += shift;
    f.lines += lineShift;

    placeLines(std::move(added));
    return true;
}

void ConfigDocument::placeLines(std::vector<NewValueLine> added)
{
    // The removed lines go, and the new ones come before the first kept line after them.
    if (std::any_of(m_lines.begin(), m_lines.end(),
                    [](const ValueLine &l) { return l.file == Dropped; })) {
        std::vector<quint32> where(m_lines.size());
        quint32 kept = 0;
        for (std::size_t i = 0; i < m_lines.size(); ++i)
            where[i] = m_lines[i].file == Dropped ? Gone : kept++;
        std::size_t k = added.size();
        while (k > 0 && added[k - 1].before >= where.size())
            added[--k].before = kept;
        quint32 nextKept = kept;
        for (std::size_t i = where.size(); i-- > 0 && k > 0;) {
            if (where[i] != Gone)
                nextKept = where[i];
            while (k > 0 && added[k - 1].before == i)
                added[--k].before = nextKept;
        }
        reorder(where, kept);
    }
    insertLines(added);
}

bool ConfigDocument::canFollow(int file, const Splice &s, QByteArrayView inserted) const
{
    const qint64 end = s.at + s.removed;
    if (m_tooLong.contains(file) || !s.wholeLines || readsInContext(file))
        return false;
    if (const qint64 area = m_areas.firstLineFrom(file, s.at); area >= 0 && area < end)
        return false;
    // The lines put in read alone as they read in the file: a link line starts them, or
    // they are the windows' alone.
    bool first = true;
    for (const NewLine &n : keywordLines(inserted, 0, inserted.size()))
        if (n.row->place == Place::Link) {
            if (s.column < 0 || (n.row->kind == ValueKind::LinkName) != first
                || defaultsMark(*n.row, n.value) != DefaultsMark::None)
                return false;
            first = false;
        }
    // The lines after them read as before: the next link keyword there starts a record of its
    // own, as a link line. The file's lines must stand in the order of their bytes.
    qint64 last = -1;
    bool nextChecked = false;
    for (const ValueLine &l : m_lines) {
        if (l.file != file)
            continue;
        if (l.lineStart <= last)
            return false;
        last = l.lineStart;
        if (!nextChecked && l.lineStart >= end && l.column >= 0
            && l.column != LinkStore::DefaultsColumn) {
            if (keywordTable()[l.row].kind != ValueKind::LinkName)
                return false;
            nextChecked = true;
        }
    }
    return true;
}

void ConfigDocument::followSplice(int file, QByteArrayView bytes, const Splice &s)
{
    const qint64 end = s.at + s.removed; // where the bytes after it stood
    const qint64 shift = s.inserted - s.removed;
    const std::vector<NewLine> found = keywordLines(bytes, s.at, s.inserted);

    // The lines in the bytes taken out go; those after them move.
    qint64 knownAt = 0; // a line start before the splice, and its number
    qint64 knownNumber = 1;
    qint64 lines = 0;
    for (qint64 i = s.at; i < s.at + s.inserted; ++i)
        lines += bytes[i] == '\n';
    const qint64 lineShift = lines - s.removedLines;
    std::size_t before = m_lines.size();
    for (std::size_t i = 0; i < m_lines.size(); ++i) {
        ValueLine &l = m_lines[i];
        if (l.file != file) {
            if (l.file > file && before == m_lines.size())
                before = i;
            continue;
        }
        if (l.lineStart < s.at) {
            knownAt = l.lineStart;
            knownNumber = l.line;
        } else if (l.lineStart < end) {
            l.file = Dropped;
        } else {
            if (before == m_lines.size())
                before = i;
            l.lineStart = l.lineStart + shift;
            l.line = quint32(qint64(l.line) + lineShift);
        }
    }
    for (qint64 i = knownAt; i < s.at; ++i)
        knownNumber += bytes[i] == '\n';
    // The cells written by the lines after the edit follow them; none was written inside it
    // but by the record it removes, and the lines put in write theirs below.
    if (lineShift)
        m_links.moveLines(file, knownNumber + s.removedLines, lineShift);

    // The lines put in, with their record's cells.
    std::vector<NewValueLine> added;
    for (const NewLine &n : found) {
        ValueLine v;
        v.lineStart = n.lineStart;
        v.lineLength = quint32(n.rawLength);
        v.endLength = quint64(n.endLength);
        v.valueStart = quint32(n.valueStart);
        v.valueLength = quint32(n.valueEnd - n.valueStart);
        v.row = quint64(n.row->index);
        v.line = quint32(knownNumber + n.number - 1);
        v.file = file;
        v.column = n.row->place == Place::Link ? s.column : -1;
        if (v.column >= 0)
            m_links.setCell(v.column, n.row->storeRow, n.value, v.origin());
        added.push_back({before, v, n.value});
    }
    placeLines(std::move(added));

    SourceFile &f = sourceFile(file);
    for (qint64 i = s.at; i < s.at + s.inserted; ++i)
        if (bytes[i] == '\n')
            ++(i > 0 && bytes[i - 1] == '\r' ? f.crlfLines : f.lfLines);
    f.crlfLines -= s.removedCrlf;
    f.lfLines -= s.removedLines - s.removedCrlf;
    f.crlf = f.crlfLines > f.lfLines;
    // Its fingerprint stays that of the bytes on disk, which a save checks; the new bytes get
    // theirs once written.
    f.size = bytes.size();
    if (f.ctrlZ >= end)
        f.ctrlZ += shift;
    f.lines += lineShift;
    m_areas.moved(file, end, shift, lineShift);
}

} // namespace vog
