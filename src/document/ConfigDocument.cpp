#include "ConfigDocument.h"

#include "reader/ConfigRead.h"
#include "reader/Errors.h"
#include "reader/LinkStore.h"
#include "reader/Text.h"
#include "reader/ValueRules.h"

#include <QDateTime>
#include <QFileInfo>

#include <algorithm>
#include <cstring>
#include <functional>
#include <limits>

namespace vog {

static_assert(sizeof(ValueLine) == 32, "a recognised line costs 32 bytes");

ConfigDocument::ConfigDocument()
{
    // An area changed is a change like a value's: a plan worked out before it is stale.
    m_areas.setChangeHandler([this] {
        ++m_version;
        notify();
    });
}

ConfigDocument &document()
{
    static ConfigDocument one;
    return one;
}

void ConfigDocument::clear()
{
    // The blocks stay, resident, for the next file: a file opened again fills them at once.
    m_lines.clear();
    for (std::vector<RowLine> &row : m_byRow)
        row.clear();
    m_firstColumn.clear();
    m_byColumn.clear();
    m_defaults.clear();
    m_windowBytes.resize(0);
    m_changes.clear();
    m_mainFile = -1;
    m_links.clear();
    m_unsaved.clear();
    m_keptSpans.clear();
    m_disk.clear();
    m_ahead = {};
    m_tooLong.clear();
    m_areas.clear();
    m_notTaken.clear();
    m_includeStates.clear();
    m_starts.clear();
    m_modules.clear();
    m_moduleLines = {};
    m_inContext.clear();
    m_notes.clear();
    m_spelling.clear();
    m_readingSpelling = nullptr;
    startNewRead();
    ++m_version;
}

void ConfigDocument::beginGrammar(int file, const LineState &start)
{
    m_notTaken.erase(std::remove_if(m_notTaken.begin(), m_notTaken.end(),
                                    [file](const NotTaken &n) { return n.file == file; }),
                     m_notTaken.end());
    for (auto at = m_includeStates.begin(); at != m_includeStates.end();)
        at = at->first.first == file ? m_includeStates.erase(at) : std::next(at);
    m_notes.erase(file);
    Spelling &spelling = m_spelling[file];
    spelling = {};
    spelling.keyword.resize(keywordTable().size());
    spelling.separator.resize(keywordTable().size());
    m_readingSpelling = &spelling;
    if (m_moduleLines.file == file)
        m_moduleLines = {};
    m_starts.insert_or_assign(file, start);
    sourceFile(file).openConditionAt = 0;
    if (start.commentChar != '#')
        m_inContext.insert(file);
    else
        m_inContext.remove(file);
}

void ConfigDocument::noteOtherLine(const LineFacts &facts, qint64 line)
{
    const int file = m_readingFile;
    if (facts.kind == LineKind::Condition || facts.kind == LineKind::Set
        || facts.kind == LineKind::CommentChar)
        m_inContext.insert(file);
    if (facts.kind == LineKind::Keyword && !facts.inEffect)
        m_notTaken.push_back({line, file, facts.row->index});
    if (facts.problem == LineFacts::IfWithoutEndif && !sourceFile(file).openConditionAt)
        sourceFile(file).openConditionAt = line;
    for (const QByteArray &name : facts.modules())
        if (!m_modules.contains(name))
            m_modules.append(name);
    if (facts.moduleFrom > 0 && m_moduleLines.file < 0)
        m_moduleLines = {file, facts.moduleFrom, line};
}

QByteArray ConfigDocument::newLinePart(int file, const KeywordRow &row, int neighbour) const
{
    const auto at = m_spelling.find(file);
    if (at == m_spelling.end())
        return QByteArray(row.name) + ' ';
    const Spelling &s = at->second;
    const auto index = std::size_t(row.index);
    QByteArray part = !s.keyword[index].isEmpty() ? s.keyword[index]
            : s.lowerCase > s.otherCase          ? row.keyword.toByteArray()
                                                 : QByteArray(row.name);
    if (!s.separator[index].isEmpty())
        part += s.separator[index];
    else if (neighbour >= 0 && !s.separator[std::size_t(neighbour)].isEmpty())
        part += s.separator[std::size_t(neighbour)];
    else
        part += ' ';
    return part;
}

void ConfigDocument::noteSpelling(const KeywordLine &line)
{
    if (!m_readingSpelling)
        return;
    Spelling &spelling = *m_readingSpelling;
    const auto k = std::size_t(line.row->index);
    // A newer spelling is no way to spell the keyword's own name.
    if (spelling.keyword[k].isEmpty() && line.keyword.size() == line.row->keyword.size()) {
        spelling.keyword[k] = line.keyword.toByteArray();
        spelling.separator[k] = line.separator.toByteArray();
    }
    if (line.keywordLower && line.keyword.size() == line.row->keyword.size())
        ++spelling.lowerCase;
    else
        ++spelling.otherCase;
}

void ConfigDocument::noteLine(const KeywordLine &line)
{
    // Most lines have neither a comment nor a word to expand: one look at the value tells.
    const auto has = [&](char c) {
        return std::memchr(line.value.data(), c, std::size_t(line.value.size())) != nullptr;
    };
    const bool expands = !line.alone && line.state && (line.marks & LineMarks::Expands)
            && (has('[') || has('`'));
    if (line.commentStart < 0 && !expands)
        return;
    FileNotes &notes = m_notes[m_readingFile];
    if (expands) {
        const LineState *last = notes.states.empty() ? nullptr : &notes.states.back().second;
        if (!last || last->variables != line.state->variables || last->module != line.state->module) {
            LineState kept = *line.state;
            kept.branches.clear();
            kept.reportUndefined = false;
            notes.states.emplace_back(quint32(line.lineNumber), std::move(kept));
        }
    }
    if (line.commentStart < 0)
        return;
    notes.lines.push_back({quint32(line.lineNumber), quint32(line.comment.size()), notes.bytes.size()});
    notes.bytes.append(line.comment.data(), line.comment.size());
}

const ConfigDocument::LineNote *ConfigDocument::noteOf(const ValueLine &line,
                                                       const FileNotes **in) const
{
    const auto file = m_notes.find(line.file);
    if (file == m_notes.end())
        return nullptr;
    const std::vector<LineNote> &lines = file->second.lines;
    const auto at = std::lower_bound(lines.begin(), lines.end(), line.line,
                                     [](const LineNote &n, quint32 l) { return n.line < l; });
    if (at == lines.end() || at->line != line.line)
        return nullptr;
    *in = &file->second;
    return &*at;
}

LineState ConfigDocument::expansionState(const ValueLine &line) const
{
    const auto file = m_notes.find(line.file);
    if (file != m_notes.end()) {
        const auto &states = file->second.states;
        auto at = std::upper_bound(states.begin(), states.end(), line.line,
                                   [](quint32 l, const auto &s) { return l < s.first; });
        if (at != states.begin())
            return std::prev(at)->second;
    }
    return startOf(line.file).forIncludedFile();
}

void ConfigDocument::findCommentsAgain(int file, QByteArrayView bytes)
{
    m_notes.erase(file);
    LineState state = startOf(file);
    const int reading = m_readingFile;
    m_readingFile = file;
    for (const ValueLine &l : m_lines) {
        if (l.file != file || l.lineStart + l.lineLength > bytes.size())
            continue;
        const QByteArrayView raw = bytes.sliced(l.lineStart, l.lineLength);
        const QByteArrayView value = raw.sliced(l.valueStart, l.valueLength);
        // Most lines end with their value: only those with more, or a [NAME], are read.
        const QByteArrayView rest = raw.sliced(l.valueStart + l.valueLength);
        if (!rest.contains(state.commentChar) && !value.contains('[') && !value.contains('`'))
            continue;
        LineState s = state;
        const LineFacts facts = readLine(raw, s);
        if (facts.kind != LineKind::Keyword)
            continue;
        KeywordLine line;
        line.row = facts.row;
        line.alone = facts.alone;
        line.value = value;
        line.lineNumber = l.line;
        line.state = &state;
        line.commentStart = facts.commentStart;
        if (facts.commentStart >= 0)
            line.comment = trimmed(raw.sliced(facts.commentStart));
        noteLine(line);
    }
    m_readingFile = reading;
}

bool ConfigDocument::expandedValue(const ValueLine &line, QByteArray &value) const
{
    const QByteArrayView bytes = valueBytes(line);
    if (!bytes.contains('[') && !bytes.contains('`')) {
        value = bytes.toByteArray();
        return true;
    }
    bool backQuoted = false;
    value = expansionState(line).expand(bytes, nullptr, &backQuoted);
    return !backQuoted;
}

QString ConfigDocument::pathSeen(const KeywordRow &row, int column, const QString &text) const
{
    if (!text.contains(u'[') && !text.contains(u'`'))
        return text;
    const ValueLine *last = lastLine(row, column);
    const int file = last ? last->file : m_mainFile;
    const TextCodec codec = file >= 0 ? sourceFile(file).codec : TextCodec::utf8();
    QByteArray bytes;
    char32_t unheld = 0;
    if (!codec.encode(text, bytes, unheld))
        return {};
    const LineState state = last ? expansionState(*last)
            : file >= 0          ? startOf(file)
                                 : LineState();
    bool backQuoted = false;
    const QByteArray expanded = state.expand(bytes, nullptr, &backQuoted);
    return backQuoted ? QString() : codec.decode(expanded);
}

QStringList ConfigDocument::notesOf(const KeywordRow &row, int column) const
{
    QStringList notes;
    if (change(row, column))
        return notes;
    const ValueLine *last = lastLine(row, column);
    if (last) {
        const TextCodec &codec = sourceFile(last->file).codec;
        const QByteArrayView written = valueBytes(*last);
        QByteArray expanded;
        if (written.contains('[') || written.contains('`'))
            notes.append(expandedValue(*last, expanded)
                                 ? QStringLiteral("= ") + codec.decode(expanded)
                                 : QStringLiteral("a word in back quotes: the value the tosser "
                                                  "reads is not known here"));
        const FileNotes *in = nullptr;
        if (const LineNote *n = noteOf(*last, &in))
            notes.append(codec.decode(in->bytes.sliced(n->at, n->commentLength)));
        // Address stands once for each address of the node: the others, with their lines.
        static const KeywordRow *address = rowNamed("Address");
        if (&row == address)
            for (const ValueLine *other : linesOf(row, column))
                if (other != last)
                    notes.append(QStringLiteral("also %1, %2")
                                         .arg(valueText(*other), describeOrigin(other->origin())));
    }
    // The keyword's lines in branches not taken: a window's anywhere, a link's in its section,
    // up to the next section's first line. A link load asks this of every row: the sections
    // are looked at only for a row that has such lines.
    const std::vector<Origin> notTaken = linesNotTaken(row);
    if (notTaken.empty())
        return notes;
    Origin from;
    qint64 to = std::numeric_limits<qint64>::max();
    if (const ValueLine *link = linkLine(column)) {
        from = link->origin();
        const std::vector<Section> &list = sections(link->file);
        for (std::size_t k = 0; k + 1 < list.size(); ++k)
            if (list[k].firstLine == link->line)
                to = list[k + 1].firstLine;
    }
    if (column < 0 || from.isSet())
        for (const Origin &o : notTaken)
            if (column < 0 || (o.file == from.file && o.line > from.line && o.line < to))
                notes.append(QStringLiteral("also %1, in a branch not taken").arg(describeOrigin(o)));
    return notes;
}

std::vector<Origin> ConfigDocument::linesNotTaken(const KeywordRow &row) const
{
    std::vector<Origin> found;
    for (const NotTaken &n : m_notTaken)
        if (n.row == row.index)
            found.push_back({n.file, n.line});
    return found;
}

LineState ConfigDocument::startOf(int file) const
{
    const auto at = m_starts.find(file);
    return at != m_starts.end() ? at->second : LineState();
}

LineState ConfigDocument::stateAt(const Origin &includeLine) const
{
    if (!includeLine.isSet())
        return LineState();
    // The last state kept at or before the line in its file, else the file's start.
    auto at = m_includeStates.upper_bound({includeLine.file, includeLine.line});
    if (at != m_includeStates.begin() && std::prev(at)->first.first == includeLine.file)
        return std::prev(at)->second;
    return startOf(includeLine.file).forIncludedFile();
}

void ConfigDocument::beginFile(int file, bool isMain, const LineState &start)
{
    ++m_version;
    m_readingFile = file;
    beginGrammar(file, start);
    if (isMain)
        m_mainFile = file;
    m_areas.beginFile(file);
    // A file read again replaces what the earlier read said of it: two reads of one file must
    // not give two lines the same bytes to rewrite.
    // The files are few and the lines many: the files are compared, the lines only looked at
    // when one of them was read before.
    const QString &path = sourceFile(file).canonicalPath;
    std::vector<bool> earlier;
    for (int f = 0; !path.isEmpty() && f < sourceFileCount(); ++f)
        if (f != file && sourceFile(f).canonicalPath == path) {
            earlier.resize(std::size_t(sourceFileCount()));
            earlier[std::size_t(f)] = true;
        }
    const auto isEarlier = [&](const ValueLine &l) {
        return l.file >= 0 && std::size_t(l.file) < earlier.size() && earlier[std::size_t(l.file)];
    };
    if (!earlier.empty() && std::any_of(m_lines.begin(), m_lines.end(), isEarlier)) {
        for (ValueLine &l : m_lines)
            if (isEarlier(l))
                l.file = Dropped;
        reindex();
    }
}

void ConfigDocument::record(const KeywordLine &line, int column, bool keep)
{
    constexpr qsizetype most = std::numeric_limits<quint32>::max();
    constexpr qint64 farthest = (qint64(1) << 51) - 1; // what lineStart holds
    if (line.rawLength > most || line.lineNumber > most || line.lineStart > farthest) {
        // A line this long, or this far into its file, can't be rewritten; the file is kept
        // from being saved instead.
        m_tooLong.insert(m_readingFile);
        return;
    }
    // The state an included file starts from, kept where it changed since the file's start or
    // its last Include line: a set or CommentChar line stands between them.
    static const int include = rowNamed("Include")->index;
    if (line.row->index == include && line.state) {
        const LineState &before = stateAt({m_readingFile, line.lineNumber});
        if (line.state->variables != before.variables
            || line.state->commentChar != before.commentChar)
            m_includeStates.insert_or_assign({m_readingFile, line.lineNumber},
                                             line.state->forIncludedFile());
    }
    if (!keep)
        return;
    ValueLine v(line.lineStart, line.row->index, line.endLength,
                line.state && !line.state->branches.empty());
    v.file = m_readingFile;
    v.column = column;
    v.lineLength = quint32(line.rawLength);
    v.valueStart = quint32(line.valueStart);
    v.valueLength = quint32(line.valueEnd - line.valueStart);
    v.line = quint32(line.lineNumber);
    noteLine(line);
    noteSpelling(line);
    index(quint32(m_lines.size()), v, line.value);
    m_lines.push_back(v);
}

void ConfigDocument::index(quint32 at, const ValueLine &v, QByteArrayView value)
{
    if (v.column < 0) {
        if (m_byRow.size() <= v.row)
            m_byRow.resize(keywordTable().size());
        m_byRow[v.row].push_back({at, quint32(value.size()), m_windowBytes.size()});
        m_windowBytes.append(value.data(), value.size());
    } else if (v.column == LinkStore::DefaultsColumn) {
        m_defaults.push_back({at, quint32(value.size()), m_windowBytes.size()});
        m_windowBytes.append(value.data(), value.size());
    } else if (v.column == 0) {
        m_firstColumn.push_back(at);
    } else {
        if (m_byColumn.size() <= std::size_t(v.column))
            m_byColumn.resize(std::size_t(v.column) + 1);
        Span &s = m_byColumn[std::size_t(v.column)];
        s.first = s.end ? std::min(s.first, at) : at;
        s.end = std::max(s.end, at + 1);
    }
}

void ConfigDocument::reindex()
{
    std::vector<quint32> where(m_lines.size());
    quint32 kept = 0;
    for (std::size_t i = 0; i < m_lines.size(); ++i)
        where[i] = m_lines[i].file == Dropped ? Gone : kept++;
    reorder(where, kept);
}

void ConfigDocument::reorder(const std::vector<quint32> &where, std::size_t count)
{
    const bool inPlace = std::all_of(where.begin(), where.end(), [&where](const quint32 &w) {
        return w == Gone || w <= quint32(&w - where.data());
    });
    bool later = count >= where.size();
    for (std::size_t i = 0; later && i < where.size(); ++i)
        later = where[i] != Gone && where[i] >= i;
    if (inPlace) {
        // Only dropped lines: the rest move up where they are.
        for (std::size_t i = 0; i < where.size(); ++i)
            if (where[i] != Gone)
                m_lines[where[i]] = m_lines[i];
        m_lines.resize(count);
    } else if (later) {
        // Only room made: the lines move down from the last, and the room is left empty.
        const std::size_t old = m_lines.size();
        m_lines.resize(count);
        std::size_t filled = count;
        for (std::size_t i = old; i-- > 0;) {
            for (std::size_t gap = where[i] + 1; gap < filled; ++gap)
                m_lines[gap] = ValueLine();
            m_lines[where[i]] = m_lines[i];
            filled = where[i];
        }
        for (std::size_t gap = 0; gap < filled; ++gap)
            m_lines[gap] = ValueLine();
    } else {
        Lines lines;
        lines.resize(count);
        for (std::size_t i = 0; i < where.size(); ++i)
            if (where[i] != Gone)
                lines[where[i]] = m_lines[i];
        m_lines.swap(lines);
    }
    // A window or defaults line's kept bytes go with it.
    const auto move = [&where](std::vector<RowLine> &lines) {
        auto out = lines.begin();
        for (const RowLine &r : lines)
            if (where[r.line] != Gone)
                *out++ = {where[r.line], r.size, r.bytesAt};
        lines.erase(out, lines.end());
        // Lines that keep their order, as most moves do, are sorted already.
        const auto byLine = [](const RowLine &a, const RowLine &b) { return a.line < b.line; };
        if (!std::is_sorted(lines.begin(), lines.end(), byLine))
            std::sort(lines.begin(), lines.end(), byLine);
    };
    for (std::vector<RowLine> &row : m_byRow)
        move(row);
    move(m_defaults);
    m_firstColumn.clear();
    m_byColumn.clear();
    for (std::size_t i = 0; i < m_lines.size(); ++i)
        if (m_lines[i].column >= 0 && m_lines[i].column != LinkStore::DefaultsColumn)
            index(quint32(i), m_lines[i]);
}

void ConfigDocument::insertLines(const std::vector<NewValueLine> &lines)
{
    if (lines.empty())
        return;
    std::vector<quint32> where(m_lines.size());
    std::size_t k = 0;
    for (std::size_t i = 0; i < where.size(); ++i) {
        while (k < lines.size() && lines[k].before <= i)
            ++k;
        where[i] = quint32(i + k);
    }
    reorder(where, m_lines.size() + lines.size());
    // Each new line in the room made before its line; the window's and the defaults' with
    // their bytes kept, the link records' found by the spans their lines make.
    std::vector<std::size_t> rows;
    for (std::size_t n = 0; n < lines.size(); ++n) {
        const auto at = quint32(lines[n].before + n);
        m_lines[at] = lines[n].line;
        index(at, m_lines[at], lines[n].value);
        rows.push_back(m_lines[at].row);
    }
    const auto byLine = [](const RowLine &a, const RowLine &b) { return a.line < b.line; };
    for (std::size_t row : rows)
        if (row < m_byRow.size())
            std::sort(m_byRow[row].begin(), m_byRow[row].end(), byLine);
    std::sort(m_defaults.begin(), m_defaults.end(), byLine);
    std::sort(m_firstColumn.begin(), m_firstColumn.end());
}

std::vector<const ValueLine *> ConfigDocument::linesOf(const KeywordRow &row, int column) const
{
    std::vector<const ValueLine *> out;
    if (column < 0) {
        if (std::size_t(row.index) < m_byRow.size())
            for (const RowLine &r : m_byRow[std::size_t(row.index)])
                out.push_back(&m_lines[r.line]);
    } else {
        for (const ValueLine *l : linesOfLink(column))
            if (l->row == row.index)
                out.push_back(l);
    }
    return out;
}

const ValueLine *ConfigDocument::lastLine(const KeywordRow &row, int column) const
{
    const std::vector<const ValueLine *> all = linesOf(row, column);
    return all.empty() ? nullptr : all.back();
}

const ValueLine *ConfigDocument::lastDestroy() const
{
    for (auto i = m_defaults.rbegin(); i != m_defaults.rend(); ++i) {
        const ValueLine &l = m_lines[i->line];
        if (l.file < m_mainFile)
            break;
        if (defaultsMark(keywordTable()[l.row], valueBytes(l)) == DefaultsMark::Destroy)
            return &l;
    }
    return nullptr;
}

std::vector<const ValueLine *> ConfigDocument::linesOfLink(int column) const
{
    std::vector<const ValueLine *> out;
    if (column == LinkStore::DefaultsColumn) {
        // Those of the main file and the files read after it: the defaults it started.
        const ValueLine *destroyed = lastDestroy();
        for (const RowLine &r : m_defaults)
            if (m_lines[r.line].file >= m_mainFile)
                out.push_back(&m_lines[r.line]);
        if (const auto at = std::find(out.begin(), out.end(), destroyed); at != out.end())
            out.erase(out.begin(), at + 1);
    } else if (column == 0) {
        for (quint32 i : m_firstColumn)
            out.push_back(&m_lines[i]);
    } else if (column > 0 && std::size_t(column) < m_byColumn.size()) {
        const Span s = m_byColumn[std::size_t(column)];
        for (quint32 i = s.first; i < s.end; ++i)
            if (m_lines[i].column == column)
                out.push_back(&m_lines[i]);
    }
    return out;
}

QByteArrayView ConfigDocument::valueBytes(const ValueLine &line) const
{
    if (line.column < 0)
        return line.row < m_byRow.size() ? keptBytes(m_byRow[line.row], line) : QByteArrayView();
    if (line.column == LinkStore::DefaultsColumn)
        return keptBytes(m_defaults, line);
    // A link's value is its cell, when this line is the one that set it last.
    {
        const KeywordRow &row = keywordTable()[line.row];
        const Origin o = m_links.cellOrigin(line.column, row.storeRow);
        if (o.file == line.file && o.line == qint64(line.line))
            return m_links.cell(line.column, row.storeRow);
    }
    return {};
}

QByteArrayView ConfigDocument::keptBytes(const std::vector<RowLine> &lines,
                                         const ValueLine &line) const
{
    // The lines are in the order read: the line's own entry says where its bytes are.
    const std::less<const ValueLine *> before;
    if (before(&line, m_lines.data()) || !before(&line, m_lines.data() + m_lines.size()))
        return {};
    const RowLine *kept = entryOf(const_cast<std::vector<RowLine> &>(lines),
                                  quint32(&line - m_lines.data()));
    return kept ? keptBytes(*kept) : QByteArrayView();
}

ConfigDocument::RowLine *ConfigDocument::entryOf(std::vector<RowLine> &lines, quint32 at)
{
    // In the order read: the entry of line `at`, if it has one.
    const auto it = std::lower_bound(lines.begin(), lines.end(), at,
                                     [](const RowLine &r, quint32 a) { return r.line < a; });
    return it == lines.end() || it->line != at ? nullptr : &*it;
}

QString ConfigDocument::valueText(const ValueLine &line) const
{
    return sourceFile(line.file).codec.decode(valueBytes(line));
}

namespace {

// A line as the user gave it, without characters of code 0 to 32 at either end: what its UTF-8
// trimmed and read back gives, without the trip but for a line holding a surrogate, which the
// trip can change.
QString trimmedText(const QString &text)
{
    if (std::any_of(text.begin(), text.end(), [](QChar c) { return c.isSurrogate(); }))
        return QString::fromUtf8(trimmed(text.toUtf8()));
    qsizetype from = 0;
    qsizetype to = text.size();
    while (from < to && text[from].unicode() <= 32)
        ++from;
    while (to > from && text[to - 1].unicode() <= 32)
        --to;
    return from == 0 && to == text.size() ? text : text.sliced(from, to - from);
}

// The parts of a state that the user sees, compared as the field would show them.
bool sameState(const KeywordRow &row, const FieldState &a, const FieldState &b)
{
    switch (row.kind) {
    case ValueKind::OnOff:
    case ValueKind::InvertedOnOff:
    case ValueKind::LowerUpper:
        return QByteArrayView(a.choice ? a.choice : "") == QByteArrayView(b.choice ? b.choice : "");
    case ValueKind::Number:
        return heldNumber(row, a.number) == heldNumber(row, b.number);
    case ValueKind::Radio:
        return a.option == b.option;
    case ValueKind::Flags:
        return a.boxes == b.boxes;
    default:
        return a.text == b.text;
    }
}

// A state from words the program wrote itself, or from a value: no error can come of it but
// a number that doesn't convert, which then matches nothing.
bool stateOf(const KeywordRow &row, QByteArrayView value, FieldState &out)
{
    try {
        out = fieldState(row, value);
        return true;
    } catch (const CommandError &) {
        return false;
    }
}

} // namespace

InEffect ConfigDocument::inEffect(const KeywordRow &row, int column, bool ownChange) const
{
    static const TextCodec typed = TextCodec::utf8();
    InEffect e;
    const auto fromChange = [&](const Change &c) {
        e.changed = true;
        e.removed = c.kind != Change::Set;
        e.words = e.removed ? QByteArray() : c.text.toUtf8();
        e.codec = &typed;
    };
    const auto fromLine = [&](QByteArrayView words, const Origin &origin) {
        e.words = words.toByteArray();
        e.origin = origin;
        e.codec = origin.isSet() ? &sourceFile(origin.file).codec : nullptr;
    };
    if (const Change *c = ownChange ? change(row, column) : nullptr) {
        fromChange(*c);
        return e;
    }
    if (column < 0) {
        if (const ValueLine *l = lastLine(row))
            fromLine(valueBytes(*l), l->origin());
        return e;
    }
    if (const Origin o = m_links.cellOrigin(column, row.storeRow); o.isSet()) {
        fromLine(m_links.cell(column, row.storeRow), o);
        return e;
    }
    if (column == 0 || column == LinkStore::DefaultsColumn)
        return e;
    // A link after the last block takes the defaults as the user changed them.
    if (const Change *c = change(row, LinkStore::DefaultsColumn);
        c && m_links.inheritsLatest(column)) {
        fromChange(*c);
        e.inherited = !e.removed;
        return e;
    }
    fromLine(m_links.inheritedCell(column, row.storeRow),
             m_links.inheritedOrigin(column, row.storeRow));
    e.inherited = e.origin.isSet();
    return e;
}

int ConfigDocument::followedOption(const KeywordRow &row) const
{
    if (!row.radio || !row.radio->followsField)
        return -1;
    const KeywordRow &followed = *rowNamed(row.radio->followsField);
    FieldState state;
    const InEffect value = inEffect(followed, -1);
    if (!value.isSet() || !stateOf(followed, value.words, state) || state.option < 0)
        return -1;
    // By caption: the two rules may list their options in another order.
    const char *caption = followed.radio->options[std::size_t(state.option)].caption;
    const std::vector<RadioOption> &own = row.radio->options;
    for (std::size_t i = 0; i < own.size(); ++i)
        if (qstrcmp(own[i].caption, caption) == 0)
            return int(i);
    return -1;
}

bool ConfigDocument::matchesFile(const KeywordRow &row, int column, const QString &text) const
{
    const InEffect file = inEffect(row, column, false);
    if (row.kind == ValueKind::Text)
        return file.isSet() ? file.text() == text : text.isEmpty();
    FieldState typed, said;
    const QByteArray words = text.toUtf8();
    if (!stateOf(row, words, typed))
        return false;
    if (file.isSet())
        return stateOf(row, file.words, said) && sameState(row, typed, said);
    // No file set it: a window field shows its first state, an empty link cell its rule's.
    if (column >= 0)
        return stateOf(row, {}, said) && sameState(row, typed, said);
    return false;
}

void ConfigDocument::setValue(const KeywordRow &row, int column, const QString &value)
{
    const QString text = QString::fromUtf8(trimmed(value.toUtf8()));
    if (text.isEmpty() && row.kind != ValueKind::Number) {
        removeValue(row, column);
        return;
    }
    Change c;
    c.text = text;
    put({row.index, column}, std::move(c), matchesFile(row, column, text));
}

void ConfigDocument::removeValue(const KeywordRow &row, int column)
{
    Change c;
    c.kind = Change::Remove;
    put({row.index, column}, std::move(c), linesOf(row, column).empty());
}

void ConfigDocument::setLines(const KeywordRow &row, const QStringList &lines,
                              const std::vector<Origin> &origins)
{
    Change c;
    c.kind = Change::Lines;
    // An empty line carries no value: no line of a file could give it.
    for (qsizetype i = 0; i < lines.size(); ++i) {
        QString text = trimmedText(lines[i]);
        if (text.isEmpty())
            continue;
        c.lines.append(std::move(text));
        c.origins.push_back(std::size_t(i) < origins.size() ? origins[std::size_t(i)] : Origin());
    }
    // Compared line by line as read, in one text used again for each.
    static const std::vector<RowLine> none;
    const std::vector<RowLine> &file =
            std::size_t(row.index) < m_byRow.size() ? m_byRow[std::size_t(row.index)] : none;
    bool same = file.size() == std::size_t(c.lines.size());
    QString text;
    for (std::size_t i = 0; same && i < file.size(); ++i) {
        text.resize(0);
        sourceFile(m_lines[file[i].line].file).codec.append(text, keptBytes(file[i]));
        same = text == c.lines[qsizetype(i)];
    }
    put({row.index, -1}, std::move(c), same);
}

const Change *ConfigDocument::change(const KeywordRow &row, int column) const
{
    const auto it = m_changes.find({row.index, column});
    return it == m_changes.end() ? nullptr : &it->second;
}

ConfigDocument::ListLines ConfigDocument::listLines(const KeywordRow &row) const
{
    if (const Change *c = change(row); c && c->kind == Change::Lines)
        return {c->lines, c->origins};
    ListLines read;
    for (const ValueLine *line : linesOf(row)) {
        read.lines.append(valueText(*line));
        read.origins.push_back(line->origin());
    }
    return read;
}

void ConfigDocument::put(const Key &key, Change change, bool same)
{
    ++m_version;
    const bool had = m_changes.count(key);
    if (same)
        m_changes.erase(key);
    else
        m_changes[key] = std::move(change);
    if (had || !same)
        notify();
}

void ConfigDocument::notify()
{
    if (m_changed)
        m_changed();
}

void ConfigDocument::endFile(int file, const LineReader &lines, const LineState &after)
{
    ++m_version;
    SourceFile &f = sourceFile(file);
    f.size = lines.size();
    f.fingerprint = lines.fingerprint();
    f.crlfLines = lines.crlfLines();
    f.lfLines = lines.lfLines();
    f.crlf = f.crlfLines > f.lfLines;
    f.lastLineEnded = lines.lastLineEnded();
    f.ctrlZ = lines.ctrlZOffset();
    f.lines = lines.lineNumber();
    m_areas.endFile(file, after.commentChar);
    // The notes grew as the lines came; what is kept of them is kept at its size.
    if (const auto notes = m_notes.find(file); notes != m_notes.end()) {
        notes->second.lines.shrink_to_fit();
        notes->second.bytes.squeeze();
    }
}

void ConfigDocument::saved(const SavePlan &plan, int file, QByteArrayView bytes)
{
    if (!followEdits(plan, file, bytes))
        readSaved(file, bytes);
    else
        findCommentsAgain(file, bytes);
    // Its lines now stand in the bytes on disk.
    m_unsaved.erase(file);
    m_keptSpans.erase(file);
    m_disk.erase(file);
    m_ahead = {};
    const LineState start = startOf(file);
    m_areas.saved(file, bytes, readsInContext(file) ? &start : nullptr);
    ++m_version;
    sourceFile(file).modified =
            QFileInfo(sourceFile(file).canonicalPath).lastModified().toMSecsSinceEpoch();
    replayDefaults();
}

void ConfigDocument::readSaved(int file, QByteArrayView bytes)
{
    // The file's link records, in the order of their link lines: the k-th link line of the
    // new bytes is the k-th of the old ones, as a save adds and removes no link line.
    readAgain(file, bytes, columnsOf(file));
}

std::vector<int> ConfigDocument::columnsOf(int file) const
{
    std::vector<int> columns;
    for (const ValueLine &l : m_lines)
        if (l.file == file && keywordTable()[l.row].kind == ValueKind::LinkName)
            columns.push_back(l.column);
    return columns;
}

namespace {

// The lines of a file read again, recorded as the Open records them.
struct RecordingAgain final : public ConfigSink
{
    explicit RecordingAgain(ConfigDocument &doc) : doc(doc) {}
    void windowValue(const KeywordLine &line) override { doc.record(line, -1); }
    void linkStarted(const KeywordLine &line, int column) override { doc.record(line, column); }
    void linkValue(const KeywordLine &line, int column) override { doc.record(line, column); }
    void otherLine(const LineFacts &facts, qint64 line) override { doc.noteOtherLine(facts, line); }
    ConfigDocument &doc;
};

} // namespace

void ConfigDocument::readAgain(int file, QByteArrayView bytes, const std::vector<int> &columns)
{
    for (ValueLine &l : m_lines)
        if (l.file == file)
            l.file = Dropped;
    for (const KeywordRow *row : rowsShownIn(Place::Link)) {
        for (int column : columns)
            m_links.setCell(column, row->storeRow, {}, {});
        if (m_links.cellOrigin(0, row->storeRow).file == file)
            m_links.setCell(0, row->storeRow, {}, {});
    }
    // The new lines are read in after the others, by the read the Open makes, then put in
    // place. The defaults it passes on the way are built again from every file's lines after.
    const std::size_t old = m_lines.size();
    m_readingFile = file;
    m_tooLong.remove(file);
    LineReader lines(bytes);
    lines.wantFingerprint(); // for endFile
    RecordingAgain sink(*this);
    LineState state = startOf(file);
    beginGrammar(file, state);
    readConfig(lines, m_links, sink, file, &columns, {}, &state);
    endFile(file, lines, state);

    // Lines stay in the order read: this file's go where they stood, before later files'.
    std::size_t at = 0;
    while (at < old && (m_lines[at].file == Dropped || m_lines[at].file < file))
        ++at;
    std::vector<quint32> where(m_lines.size(), Gone);
    quint32 next = 0;
    for (std::size_t i = 0; i < at; ++i)
        if (m_lines[i].file != Dropped)
            where[i] = next++;
    for (std::size_t i = old; i < m_lines.size(); ++i)
        where[i] = next++;
    for (std::size_t i = at; i < old; ++i)
        if (m_lines[i].file != Dropped)
            where[i] = next++;
    reorder(where, next);
}

void ConfigDocument::replayDefaults()
{
    // New versions, from the lines as they now stand; the old ones stay for any link whose
    // file is no longer read.
    m_links.destroyDefaults();
    int file = -1;
    for (const ValueLine &l : m_lines) {
        const KeywordRow &row = keywordTable()[l.row];
        if (l.file != file && l.file == m_mainFile)
            m_links.destroyDefaults();
        file = l.file;
        if (l.column == LinkStore::DefaultsColumn) {
            const DefaultsMark mark = defaultsMark(row, valueBytes(l));
            if (mark == DefaultsMark::Destroy)
                m_links.destroyDefaults();
            else if (mark == DefaultsMark::None)
                m_links.setCell(LinkStore::DefaultsColumn, row.storeRow, valueBytes(l),
                                 l.origin());
        } else if (row.kind == ValueKind::LinkName) {
            m_links.takeDefaults(l.column);
        }
    }
}

void ConfigDocument::changesSaved()
{
    ++m_version;
    m_changes.clear();
    // A file left unwritten as its edits came to its bytes as read stands in them again.
    m_unsaved.clear();
    m_keptSpans.clear();
    m_disk.clear();
    m_areas.changesSaved();
    notify();
}

} // namespace vog
