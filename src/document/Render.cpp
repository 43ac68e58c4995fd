// How the user's changes become bytes: each change names the few bytes it replaces, removes or
// adds in one file, and every other byte of the file is copied as it was.

#include "ConfigDocument.h"

#include "reader/ConfigRead.h"
#include "reader/Errors.h"
#include "reader/LargePages.h"
#include "reader/LinkStore.h"
#include "reader/Text.h"

#include <dtl/dtl.hpp>
#include <xxhash.h>

#include <algorithm>

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

SavePlan::SavePlan() = default;
SavePlan::~SavePlan() = default;
SavePlan::SavePlan(SavePlan &&) noexcept = default;
SavePlan &SavePlan::operator=(SavePlan &&) noexcept = default;

namespace {

using Edit = SavePlan::Edit;

} // namespace

class Render
{
public:
    explicit Render(const ConfigDocument &document) : d(document)
    {
        for (const auto &[key, change] : d.m_changes) {
            const KeywordRow &row = keywordTable()[std::size_t(key.row)];
            if (change.kind == Change::Lines)
                list(row, change.lines);
            else if (change.kind == Change::Remove)
                for (const ValueLine *l : d.linesOf(row, key.column))
                    remove(*l);
            else
                set(row, key.column, change.text);
        }
        newBlock();
    }

    std::map<int, std::vector<Edit>> edits; // by file, in the order made

private:
    void set(const KeywordRow &row, int column, const QString &text)
    {
        if (const ValueLine *last = d.lastLine(row, column)) {
            edits[last->file].push_back({last->lineStart + last->valueStart,
                                         last->lineStart + last->valueStart + last->valueLength,
                                         encode(row, column, last->file, text, last), last,
                                         column});
            return;
        }
        place(row, column, text);
    }

    // A value that no file set: after the link's last line, or the window's last keyword in
    // the main file.
    void place(const KeywordRow &row, int column, const QString &text)
    {
        if (column == LinkStore::DefaultsColumn) {
            placeDefault(row, text);
            return;
        }
        if (column > 0) {
            const std::vector<const ValueLine *> link = d.linesOfLink(column);
            if (!link.empty()) {
                insertAfter(*link.back(), row, column, text);
                return;
            }
        }
        const int file = d.m_mainFile;
        if (file < 0)
            throw RenderError(fieldName(row, column)
                              + QStringLiteral(": no file was opened to write it into"));
        const ValueLine *anchor = nullptr;
        const ValueLine *firstLink = nullptr;
        for (const ValueLine &l : d.m_lines) {
            if (l.file != file)
                continue;
            const KeywordRow &r = keywordTable()[l.row];
            if (column < 0 ? (l.column < 0 && r.place == row.place) : l.column == 0)
                anchor = &l;
            // Before a block, too: its lines are the defaults'.
            if (!firstLink && (r.kind == ValueKind::LinkName || l.column == LinkStore::DefaultsColumn))
                firstLink = &l;
        }
        if (column == 0 && !anchor && firstLink)
            insertBefore(*firstLink, row, column, text);
        else if (anchor)
            insertAfter(*anchor, row, column, text);
        else
            insertAtEnd(file, row, column, text);
    }

    // A default that no block set: into the last block, before its end line if it has one;
    // with no block since the defaults were last emptied, into a block of its own.
    void placeDefault(const KeywordRow &row, const QString &text)
    {
        // Every line of the defaults is a block's: its begin line, its values, the end line
        // that closed it.
        const std::vector<const ValueLine *> lines = d.linesOfLink(LinkStore::DefaultsColumn);
        if (lines.empty()) {
            m_blockRows.push_back({&row, text});
            return;
        }
        const ValueLine &last = *lines.back();
        if (defaultsMark(keywordTable()[last.row], d.valueBytes(last)) == DefaultsMark::End)
            insertBefore(last, row, LinkStore::DefaultsColumn, text);
        else
            insertAfter(last, row, LinkStore::DefaultsColumn, text);
    }

    // The new block: after the last "LinkDefaults destroy", else before the main file's first
    // link, so that every link inherits it, else at the main file's end.
    void newBlock()
    {
        if (m_blockRows.empty())
            return;
        const ValueLine *after = d.lastDestroy();
        const int file = after ? after->file : d.m_mainFile;
        if (file < 0)
            throw RenderError(fieldName(*m_blockRows.front().first, LinkStore::DefaultsColumn)
                              + QStringLiteral(": no file was opened to write it into"));
        const KeywordRow &mark = *rowNamed("LinkDefaults");
        QByteArray block = newLine(mark, -1, file, QStringLiteral("begin")) + lineEnd(file);
        for (const auto &[row, text] : m_blockRows)
            block += newLine(*row, LinkStore::DefaultsColumn, file, text) + lineEnd(file);
        block += newLine(mark, -1, file, QStringLiteral("end"));
        const ValueLine *firstLink = nullptr;
        if (!after)
            for (const ValueLine &l : d.m_lines)
                if (l.file == file && keywordTable()[l.row].kind == ValueKind::LinkName) {
                    firstLink = &l;
                    break;
                }
        if (after && after->endLength == 0)
            edits[file].push_back({after->next(), after->next(), lineEnd(file) + block, nullptr,
                                   Edit::Block});
        else if (after)
            edits[file].push_back({after->next(), after->next(), block + lineEnd(file), nullptr,
                                   Edit::Block});
        else if (firstLink)
            edits[file].push_back({firstLink->lineStart, firstLink->lineStart,
                                   block + lineEnd(file), nullptr, Edit::Block});
        else
            insertAtEnd(file, Edit::Block, block);
    }

    // The list as read against the list as shown, by a real diff: lines kept stay, removed
    // lines go from their own files, a line changed is changed in place, new lines go after
    // the nearest line above that stays (before the nearest below when none is above).
    void list(const KeywordRow &row, const QStringList &shown)
    {
        static const std::vector<ConfigDocument::RowLine> none;
        const std::vector<ConfigDocument::RowLine> &lines =
                std::size_t(row.index) < d.m_byRow.size() ? d.m_byRow[std::size_t(row.index)]
                                                          : none;
        const auto same = [&](std::size_t i, qsizetype k) {
            const ConfigDocument::RowLine &r = lines[i];
            const QByteArrayView bytes = d.keptBytes(r);
            const QStringView text = shown[k];
            if (isAscii(bytes))
                return QLatin1StringView(bytes) == text;
            return sourceFile(d.m_lines[r.line].file).codec.decode(bytes) == text;
        };
        // The lines both ends share are kept as they are, compared where they stand: an edit
        // near one end of a long list decodes and diffs only what lies between.
        std::size_t head = 0;
        while (head < lines.size() && qsizetype(head) < shown.size() && same(head, qsizetype(head)))
            ++head;
        std::size_t tail = 0;
        while (tail < lines.size() - head && qsizetype(tail) < shown.size() - qsizetype(head)
               && same(lines.size() - 1 - tail, shown.size() - 1 - qsizetype(tail)))
            ++tail;

        // The middle lines as read, decoded into one text, against the lines shown, compared as
        // views: a list of a hundred thousand lines makes no string of its own for each. No
        // byte gives more than one character, so the text never moves while it is filled.
        std::vector<const ValueLine *> old;
        std::vector<QStringView> before;
        QString read;
        const std::size_t middle = lines.size() - head - tail;
        qsizetype bytes = 0;
        for (std::size_t i = head; i < head + middle; ++i)
            bytes += lines[i].size;
        read.reserve(bytes);
        preferLargePages(read.data(), std::size_t(read.capacity()) * sizeof(QChar));
        old.reserve(middle);
        before.reserve(middle);
        for (std::size_t i = head; i < head + middle; ++i) {
            const ValueLine &l = d.m_lines[lines[i].line];
            const qsizetype from = read.size();
            sourceFile(l.file).codec.append(read, d.keptBytes(lines[i]));
            old.push_back(&l);
            before.push_back(QStringView(read.constData() + from, read.size() - from));
        }
        const std::vector<QStringView> after(shown.begin() + qsizetype(head),
                                             shown.end() - qsizetype(tail));
        dtl::Diff<QStringView, std::vector<QStringView>> diff(before, after);
        if (before.size() + after.size() > 10000)
            diff.onHuge();
        diff.compose();

        const ValueLine *above = head ? &d.m_lines[lines[head - 1].line] : nullptr;
        std::vector<const ValueLine *> removed;
        std::vector<QString> added;
        std::vector<QString> waiting; // new lines with no line above that stays
        const auto settle = [&](const ValueLine *next) {
            const std::size_t changed = std::min(removed.size(), added.size());
            for (std::size_t i = 0; i < changed; ++i) {
                const ValueLine &l = *removed[i];
                edits[l.file].push_back({l.lineStart + l.valueStart,
                                         l.lineStart + l.valueStart + l.valueLength,
                                         encode(row, -1, l.file, added[i], &l), &l, -1});
                above = &l;
            }
            for (std::size_t i = changed; i < removed.size(); ++i)
                remove(*removed[i]);
            for (std::size_t i = changed; i < added.size(); ++i) {
                if (above)
                    insertAfter(*above, row, -1, added[i]);
                else
                    waiting.push_back(added[i]);
            }
            if (changed && !waiting.empty())
                flushWaiting(waiting, *removed[0], row);
            if (next && !waiting.empty())
                flushWaiting(waiting, *next, row);
            removed.clear();
            added.clear();
        };
        for (const auto &[text, info] : diff.getSes().getSequence()) {
            if (info.type == dtl::SES_COMMON) {
                const ValueLine *kept = old[std::size_t(info.beforeIdx - 1)];
                settle(kept);
                above = kept;
            } else if (info.type == dtl::SES_DELETE) {
                removed.push_back(old[std::size_t(info.beforeIdx - 1)]);
            } else {
                added.push_back(text.toString());
            }
        }
        settle(tail ? &d.m_lines[lines[lines.size() - tail].line] : nullptr);
        for (const QString &text : waiting)
            place(row, -1, text);
    }

    void flushWaiting(std::vector<QString> &waiting, const ValueLine &below, const KeywordRow &row)
    {
        for (const QString &text : waiting)
            insertBefore(below, row, -1, text);
        waiting.clear();
    }

    void remove(const ValueLine &l)
    {
        edits[l.file].push_back({l.lineStart, l.next(), {}, &l, l.column});
    }

    QByteArray newLine(const KeywordRow &row, int column, int file, const QString &text) const
    {
        return QByteArray(row.name) + ' ' + encode(row, column, file, text, nullptr);
    }

    QByteArray lineEnd(int file) const
    {
        return sourceFile(file).crlf ? QByteArrayLiteral("\r\n") : QByteArrayLiteral("\n");
    }

    void insertAfter(const ValueLine &l, const KeywordRow &row, int column, const QString &text)
    {
        const QByteArray line = newLine(row, column, l.file, text);
        // After a last line without a line end: one before the new line, none after it.
        if (l.endLength == 0)
            edits[l.file].push_back({l.next(), l.next(), lineEnd(l.file) + line, nullptr, column});
        else
            edits[l.file].push_back({l.next(), l.next(), line + lineEnd(l.file), nullptr, column});
    }

    void insertBefore(const ValueLine &l, const KeywordRow &row, int column, const QString &text)
    {
        edits[l.file].push_back({l.lineStart, l.lineStart,
                                 newLine(row, column, l.file, text) + lineEnd(l.file), nullptr,
                                 column});
    }

    void insertAtEnd(int file, const KeywordRow &row, int column, const QString &text)
    {
        insertAtEnd(file, column, newLine(row, column, file, text));
    }

    void insertAtEnd(int file, int column, const QByteArray &line)
    {
        const SourceFile &f = sourceFile(file);
        const qint64 end = f.ctrlZ >= 0 ? f.ctrlZ : f.size;
        if (end > 0 && !f.lastLineEnded)
            edits[file].push_back({end, end, lineEnd(file) + line, nullptr, column});
        else
            edits[file].push_back({end, end, line + lineEnd(file), nullptr, column});
    }

    QString fieldName(const KeywordRow &row, int column) const
    {
        const QString name = QString::fromLatin1(row.name);
        if (column < 0)
            return name;
        if (column == LinkStore::DefaultsColumn)
            return name + QStringLiteral(" of LinkDefaults");
        if (column == 0)
            return name + QStringLiteral(" (before the first link)");
        return name + QStringLiteral(" of link ") + d.m_links.cellText(column, linkNameRow());
    }

    // The text in its file's codepage; a file shown value by value writes UTF-8, or Latin-1
    // where the value was Latin-1 before and still fits.
    QByteArray encode(const KeywordRow &row, int column, int file, const QString &text,
                      const ValueLine *old) const
    {
        for (const QChar c : text)
            if (c == u'\n' || c == u'\r' || c == QChar(26))
                throw RenderError(QStringLiteral("%1: the character U+%2 can't stand in a "
                                                 "configuration line")
                                          .arg(fieldName(row, column))
                                          .arg(c.unicode(), 4, 16, QLatin1Char('0')));
        const TextCodec &codec = sourceFile(file).codec;
        const bool latin1 = old && !codec.isCodepage() && !isValidUtf8(d.valueBytes(*old));
        QByteArray out;
        char32_t unheld = 0;
        if (!codec.encode(text, out, unheld, latin1))
            throw RenderError(QStringLiteral("%1: the character \"%2\" (U+%3) can't be written "
                                             "in %4, the codepage of %5")
                                      .arg(fieldName(row, column),
                                           QString::fromUcs4(&unheld, 1))
                                      .arg(uint(unheld), 4, 16, QLatin1Char('0'))
                                      .arg(codec.name(), sourceFile(file).path));
        return out;
    }

    const ConfigDocument &d;
    std::vector<std::pair<const KeywordRow *, QString>> m_blockRows; // for a new block
};

SavePlan ConfigDocument::planSave() const
{
    SavePlan plan;
    plan.m_version = m_version;
    plan.m_edits = Render(*this).edits;
    for (AreaLines::LineEdit &e : m_areas.edits())
        plan.m_edits[e.file].push_back({e.at, e.end, std::move(e.bytes), nullptr, Edit::Area});
    for (auto &[file, edits] : plan.m_edits) {
        // In file order; insertions at one place in the order made, before what is replaced
        // there.
        std::stable_sort(edits.begin(), edits.end(), [](const Edit &a, const Edit &b) {
            if (a.at != b.at)
                return a.at < b.at;
            return (a.end == a.at) > (b.end == b.at);
        });
        if (!edits.empty())
            plan.m_files.push_back(file);
    }
    return plan;
}

const std::vector<Edit> &ConfigDocument::editsOf(const SavePlan &plan, int file,
                                                 SavePlan &fresh) const
{
    static const std::vector<Edit> none;
    const SavePlan &used = plan.m_version == m_version ? plan : (fresh = planSave());
    const auto it = used.m_edits.find(file);
    return it == used.m_edits.end() ? none : it->second;
}

QByteArray ConfigDocument::render(const SavePlan &plan, int file, QByteArrayView bytes) const
{
    if (m_tooLong.contains(file))
        throw RenderError(sourceFile(file).path
                          + QStringLiteral(": a line of it is too long to be rewritten"));
    SavePlan fresh;
    const std::vector<Edit> &edits = editsOf(plan, file, fresh);
    QByteArray out;
    qsizetype grows = 0;
    for (const Edit &e : edits)
        grows += e.bytes.size();
    out.reserve(bytes.size() + grows);
    preferLargePages(out.data(), std::size_t(out.capacity()));
    qint64 copied = 0;
    for (const Edit &e : edits) {
        if (e.at < copied || e.end > bytes.size())
            throw RenderError(sourceFile(file).path
                              + QStringLiteral(": the file is not as it was read"));
        out.append(bytes.sliced(copied, e.at - copied));
        out.append(e.bytes);
        copied = e.end;
    }
    out.append(bytes.sliced(copied));
    return out;
}

} // namespace vog

namespace vog {

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
    if (m_tooLong.contains(file))
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
    return true;
}

} // namespace vog
