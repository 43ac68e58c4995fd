// Links as a whole: a link section added, copied or removed is an edit of its file's bytes,
// which the file's lines follow without a read of the whole file (or, where only that read can
// tell, after one). The bytes stay unsaved until a save renders the values' changes into them
// and writes them.

#include "ConfigDocument.h"

#include "SafeWrite.h"
#include "reader/Address.h"
#include "reader/ConfigRead.h"
#include "reader/Errors.h"
#include "reader/LargePages.h"
#include "reader/Text.h"

#include <algorithm>
#include <cstring>

namespace vog {

namespace {

const KeywordRow &linkRow()
{
    static const KeywordRow *row = [] {
        for (const KeywordRow &r : keywordTable())
            if (r.kind == ValueKind::LinkName)
                return &r;
        return static_cast<const KeywordRow *>(nullptr);
    }();
    return *row;
}

const KeywordRow &akaRow()
{
    static const KeywordRow *row = rowNamed("Aka");
    return *row;
}

QByteArray lineEnd(int file)
{
    return sourceFile(file).crlf ? QByteArrayLiteral("\r\n") : QByteArrayLiteral("\n");
}

// Where the file's text ends: before a Ctrl-Z tail.
qint64 textEnd(int file, QByteArrayView bytes)
{
    const qint64 ctrlZ = sourceFile(file).ctrlZ;
    return ctrlZ >= 0 && ctrlZ <= bytes.size() ? ctrlZ : bytes.size();
}

// The start of the line that ends at `end` (its line end included, if it has one).
qint64 startOfLineBefore(QByteArrayView bytes, qint64 end)
{
    qint64 p = end;
    if (p > 0 && bytes[p - 1] == '\n')
        --p;
    while (p > 0 && bytes[p - 1] != '\n')
        --p;
    return p;
}

bool blank(QByteArrayView line)
{
    return trimmed(line).isEmpty();
}

bool blankOrComment(QByteArrayView line, char commentChar)
{
    const QByteArrayView t = trimmed(line);
    return t.isEmpty() || t.front() == commentChar;
}

// A keyword as a line of the file spells it, up to where its value starts: a new line of that
// keyword puts its value at the same column.
QByteArray keywordPart(const ValueLine &l, QByteArrayView bytes, const char *otherwise)
{
    if (!l.lineLength)
        return otherwise;
    QByteArray part = bytes.sliced(l.lineStart, std::min(l.valueStart, l.lineLength)).toByteArray();
    if (part.isEmpty() || (part.back() != ' ' && part.back() != '\t'))
        part += ' ';
    return part;
}

QByteArray encodeIn(int file, const QString &what, const QString &text)
{
    const TextCodec &codec = sourceFile(file).codec;
    QByteArray out;
    char32_t unheld = 0;
    if (!codec.encode(text, out, unheld, false))
        throw RenderError(QStringLiteral("%1: the character \"%2\" (U+%3) can't be written in "
                                         "%4, the codepage of %5")
                                  .arg(what, QString::fromUcs4(&unheld, 1))
                                  .arg(uint(unheld), 4, 16, QLatin1Char('0'))
                                  .arg(codec.name(), sourceFile(file).path));
    return out;
}

// The bytes that put new lines in at `at`, one empty line before them. A file whose last line
// had no line end still has none.
QByteArray placed(QByteArrayView bytes, qint64 at, qint64 end, const QByteArray &lines,
                  const QByteArray &eol)
{
    const bool open = at > 0 && bytes[at - 1] != '\n';
    QByteArray insert;
    if (open)
        insert += eol;
    if (at > 0 && (open || !blank(bytes.sliced(startOfLineBefore(bytes, at),
                                              at - startOfLineBefore(bytes, at)))))
        insert += eol;
    insert += lines;
    if (!(open && at == end) && !lines.endsWith('\n'))
        insert += eol;
    return insert;
}

// A file's bytes with a part replaced: in place where they are the document's alone, else
// (the bytes of a mapped file) in a new block that asks for large pages before the megabytes
// are copied into it.
QByteArray replaced(QByteArray bytes, qint64 at, qint64 removed, QByteArrayView inserted)
{
    if (bytes.isDetached())
        return std::move(bytes.replace(at, removed, inserted));
    const qint64 after = at + removed;
    QByteArray out(bytes.size() - removed + inserted.size(), Qt::Uninitialized);
    preferLargePages(out.data(), std::size_t(out.size()));
    // An empty part may have no bytes at all to copy from.
    const auto put = [&out](qint64 to, const char *from, qint64 size) {
        if (size > 0)
            std::memcpy(out.data() + to, from, std::size_t(size));
    };
    put(0, bytes.constData(), at);
    put(at, inserted.data(), inserted.size());
    put(at + inserted.size(), bytes.constData() + after, bytes.size() - after);
    return out;
}

} // namespace

const ValueLine *ConfigDocument::linkLine(int column) const
{
    if (column <= 0 || column == LinkStore::DefaultsColumn)
        return nullptr;
    for (const ValueLine *l : linesOfLink(column))
        if (keywordTable()[l->row].kind == ValueKind::LinkName)
            return l;
    return nullptr;
}

ConfigDocument::Section ConfigDocument::sectionAt(const ValueLine &first, qint64 area) const
{
    const bool block = first.column == LinkStore::DefaultsColumn;
    Section s{first.column, first.line, first.line, first.lineStart, -1};
    const auto endsAt = [&s](qint64 next) {
        s.next = next;
        return s;
    };
    for (const ValueLine *l = &first + 1; l < m_lines.end() && l->file == first.file; ++l) {
        // Area lines belong to no link: a link's section ends before them too.
        if (!block && area >= 0 && l->lineStart > area)
            return endsAt(area);
        const KeywordRow &row = keywordTable()[l->row];
        // A link line starts a section of its own, and closes a block the defaults had open.
        if (row.kind == ValueKind::LinkName)
            return endsAt(l->lineStart);
        if (l->column == LinkStore::DefaultsColumn) {
            // A LinkDefaults line that opens or empties the defaults ends a link's section;
            // one with any other value is the link's own, as the read stores it.
            const DefaultsMark mark = defaultsMark(row, valueBytes(*l));
            if (!block && (mark == DefaultsMark::Begin || mark == DefaultsMark::Destroy))
                return endsAt(l->lineStart);
            if (block && mark == DefaultsMark::End) {
                s.lastLine = l->line;
                return endsAt(l->next());
            }
        } else if (!block) {
            s.lastLine = l->line;
        }
    }
    return endsAt(block ? -1 : area);
}

const std::vector<ConfigDocument::Section> &ConfigDocument::sections(int file) const
{
    Sections &found = m_sections[file];
    if (found.version == m_version)
        return found.list;
    found = {m_version, {}};
    const std::vector<qint64> areas = m_areas.lineStarts(file);
    for (const ValueLine &l : m_lines) {
        if (l.file != file)
            continue;
        const KeywordRow &row = keywordTable()[l.row];
        if (row.kind == ValueKind::LinkName
            || (l.column == LinkStore::DefaultsColumn
                && defaultsMark(row, valueBytes(l)) == DefaultsMark::Begin)) {
            const auto area = std::lower_bound(areas.begin(), areas.end(), l.next());
            found.list.push_back(sectionAt(l, area == areas.end() ? -1 : *area));
        }
    }
    return found.list;
}

qint64 ConfigDocument::sectionEnd(const ValueLine &link, QByteArrayView bytes) const
{
    const Section own = sectionAt(link, m_areas.firstLineFrom(link.file, link.next()));
    const qint64 boundary = own.next >= 0 ? own.next : textEnd(link.file, bytes);
    // The empty lines and comments before the boundary belong to what follows.
    const char commentChar = startOf(link.file).commentChar;
    qint64 end = boundary;
    while (end > link.next()) {
        const qint64 start = startOfLineBefore(bytes, end);
        if (!blankOrComment(bytes.sliced(start, end - start), commentChar))
            break;
        end = start;
    }
    return std::max(end, std::min(link.next(), qint64(bytes.size())));
}

QByteArray ConfigDocument::bytesNow(int file) const
{
    if (const auto it = m_unsaved.find(file); it != m_unsaved.end())
        return it->second;
    const SourceFile disk = onDisk(file);
    if (m_ahead.file == file && m_ahead.size == disk.size
        && m_ahead.fingerprint == disk.fingerprint) {
        try {
            return m_ahead.bytes.get();
        } catch (...) {
            // Read again below, which tells why, if it still fails.
            m_ahead = {};
        }
    }
    return readUnchanged(disk);
}

void ConfigDocument::readAhead(int near)
{
    const ValueLine *shown = linkLine(near);
    const int file = shown ? shown->file : m_mainFile;
    if (file < 0 || m_unsaved.count(file) || m_ahead.file == file)
        return;
    const SourceFile disk = onDisk(file);
    m_ahead = {file, disk.size, disk.fingerprint,
               std::async(std::launch::async, [disk] { return readUnchanged(disk); }).share()};
}

void ConfigDocument::dropReadAhead()
{
    m_ahead = {};
}

void ConfigDocument::bytesRead(int file, const QByteArray &bytes)
{
    std::promise<QByteArray> read;
    read.set_value(bytes);
    const SourceFile &f = sourceFile(file);
    m_ahead = {file, f.size, f.fingerprint, read.get_future().share()};
}

const std::vector<ConfigDocument::KeptSpan> *ConfigDocument::keptSpans(int file) const
{
    const auto it = m_keptSpans.find(file);
    return it == m_keptSpans.end() ? nullptr : &it->second;
}

const QByteArray *ConfigDocument::unsavedBytes(int file) const
{
    const auto it = m_unsaved.find(file);
    return it == m_unsaved.end() ? nullptr : &it->second;
}

SourceFile ConfigDocument::onDisk(int file) const
{
    SourceFile f = sourceFile(file);
    if (const auto it = m_disk.find(file); it != m_disk.end()) {
        f.size = it->second.size;
        f.fingerprint = it->second.fingerprint;
    }
    return f;
}

void ConfigDocument::shiftColumns(int column, int by)
{
    const auto moves = [column](int c) { return c >= column && c != LinkStore::DefaultsColumn; };
    for (ValueLine &l : m_lines)
        if (moves(l.column))
            l.column += by;
    std::map<Key, Change> changes;
    for (auto &[key, change] : m_changes)
        changes[{key.row, moves(key.column) ? key.column + by : key.column}] = std::move(change);
    m_changes.swap(changes);
}

ConfigDocument::Splice ConfigDocument::planSplice(int file, QByteArrayView now, qint64 at,
                                                  qint64 removed, QByteArrayView inserted,
                                                  int column) const
{
    Splice s{at, removed, inserted.size(), 0, 0, false, column, false};
    const QByteArrayView gone = now.sliced(at, removed);
    s.wholeLines = (at == 0 || now[at - 1] == '\n') && (gone.isEmpty() || gone.endsWith('\n'))
            && (inserted.isEmpty() || inserted.endsWith('\n'));
    for (qint64 i = 0; i < gone.size(); ++i)
        if (gone[i] == '\n') {
            ++s.removedLines;
            s.removedCrlf += i > 0 ? gone[i - 1] == '\r' : at > 0 && now[at - 1] == '\r';
        }
    s.follows = canFollow(file, s, inserted);
    // A read of the whole file finds its area lines again as read: their edits, which name
    // where they stand, would be lost.
    if (!s.follows && m_areas.hasChangesIn(file))
        throw CommandError(QStringLiteral("The areas of %1 have changes not saved yet; save "
                                          "them before this link is added or removed")
                                   .arg(sourceFile(file).path));
    return s;
}

void ConfigDocument::splice(int file, QByteArray bytes, const Splice &s,
                            const QByteArray &inserted, const std::vector<int> &columns)
{
    const SourceFile &f = sourceFile(file);
    m_disk.emplace(file, DiskFacts{f.size, f.fingerprint});
    // The bytes are edited where they stand: a large file is not copied for each link.
    std::vector<KeptSpan> &spans = m_keptSpans[file];
    if (!m_unsaved.count(file))
        spans = {{0, qint64(bytes.size()), 0}};
    // What stays of the bytes as read, where it now stands.
    std::vector<KeptSpan> after;
    const qint64 cut = s.at + s.removed;
    for (const KeptSpan &k : spans) {
        const qint64 end = k.at + k.length;
        if (k.at < s.at)
            after.push_back({k.at, std::min(end, s.at) - k.at, k.from});
        if (end > cut) {
            const qint64 from = std::max(k.at, cut);
            after.push_back({from - s.removed + s.inserted, end - from, k.from + from - k.at});
        }
    }
    spans.swap(after);
    QByteArray &kept = m_unsaved[file];
    m_ahead = {}; // not shared, so not copied
    kept = replaced(std::move(bytes), s.at, s.removed, inserted);
    if (s.follows) {
        followSplice(file, kept, s);
        findCommentsAgain(file, kept);
    } else {
        readAgain(file, kept, columns);
        // Its area lines found again where they now stand.
        const LineState start = startOf(file);
        m_areas.saved(file, kept, readsInContext(file) ? &start : nullptr);
    }
    replayDefaults();
    ++m_version;
    notify();
}

int ConfigDocument::addLink(int near, const QString &name, const QString &address)
{
    const ValueLine *shown = linkLine(near);
    const int file = shown ? shown->file : m_mainFile;
    if (file < 0)
        throw CommandError(QStringLiteral("No file was opened to add the link to"));
    QByteArray bytes = bytesNow(file);
    const ValueLine *last = nullptr;
    int column = 1;
    for (const ValueLine &l : m_lines) {
        if (keywordTable()[l.row].kind != ValueKind::LinkName)
            continue;
        if (l.file == file)
            last = &l;
        // With no link of its own, the file's new link comes after the links of the files read
        // before it.
        else if (!last && l.column >= column && l.file < file)
            column = l.column + 1;
    }
    QByteArray linkPart("Link ");
    QByteArray akaPart("Aka ");
    qint64 at = textEnd(file, bytes);
    if (last) {
        at = sectionEnd(*last, bytes);
        column = last->column + 1;
        linkPart = keywordPart(*last, bytes, "Link ");
        for (const ValueLine *l : linesOf(akaRow(), last->column)) {
            akaPart = keywordPart(*l, bytes, "Aka ");
            break;
        }
    }
    const QByteArray eol = lineEnd(file);
    const QByteArray lines = linkPart + encodeIn(file, QStringLiteral("Link"), name) + eol
            + akaPart + encodeIn(file, QStringLiteral("Aka"), address);
    const QByteArray section = placed(bytes, at, textEnd(file, bytes), lines, eol);
    return insertRecord(file, std::min(column, m_links.columnCount()), std::move(bytes), at,
                        section);
}

int ConfigDocument::insertRecord(int file, int column, QByteArray bytes, qint64 at,
                                 const QByteArray &section)
{
    const Splice s = planSplice(file, bytes, at, 0, section, column);
    std::vector<int> columns = columnsOf(file);
    m_links.insertColumn(column);
    shiftColumns(column, 1);
    for (int &c : columns)
        c += c >= column ? 1 : 0;
    columns.insert(std::upper_bound(columns.begin(), columns.end(), column), column);
    splice(file, std::move(bytes), s, section, columns);
    return column;
}

int ConfigDocument::copyLink(int column, const QString &name, const QString &address)
{
    const ValueLine *link = linkLine(column);
    if (!link)
        throw CommandError(QStringLiteral("No link is shown to copy"));
    const int file = link->file;
    QByteArray bytes = bytesNow(file);
    const qint64 end = sectionEnd(*link, bytes);
    QByteArray section = bytes.sliced(link->lineStart, end - link->lineStart);
    const QByteArray eol = lineEnd(file);
    const QByteArray newAddress = encodeIn(file, QStringLiteral("Aka"), address);
    const ValueLine *aka = nullptr;
    for (const ValueLine *l : linesOf(akaRow(), column))
        if (l->lineStart < end) {
            aka = l;
            break;
        }
    // The later place first, so that the earlier one still stands where it was.
    if (aka) {
        section.replace(aka->lineStart - link->lineStart + aka->valueStart, aka->valueLength,
                        newAddress);
    } else {
        const qint64 after = link->next() - link->lineStart;
        section.insert(after, link->endLength ? QByteArray("Aka ") + newAddress + eol
                                              : eol + QByteArray("Aka ") + newAddress);
    }
    section.replace(link->valueStart, link->valueLength,
                    encodeIn(file, QStringLiteral("Link"), name));
    const QByteArray copy = placed(bytes, end, textEnd(file, bytes), section, eol);
    return insertRecord(file, column + 1, std::move(bytes), end, copy);
}

void ConfigDocument::renameLink(int column, const QString &name)
{
    if (!linkLine(column))
        throw CommandError(QStringLiteral("No link is shown to rename"));
    setValue(linkRow(), column, name);
}

QString ConfigDocument::linkName(int column) const
{
    if (const Change *c = change(linkRow(), column); c && c->kind == Change::Set)
        return c->text;
    return m_links.cellText(column, linkRow().storeRow);
}

qint64 ConfigDocument::sectionLineCount(int column) const
{
    const ValueLine *link = linkLine(column);
    if (!link)
        return 0;
    const QByteArray bytes = bytesNow(link->file);
    const qint64 end = sectionEnd(*link, bytes);
    const QByteArrayView section = QByteArrayView(bytes).sliced(link->lineStart, end - link->lineStart);
    return section.count('\n') + (section.endsWith('\n') ? 0 : 1);
}

QString ConfigDocument::linkRefusal(const QString &name, const QString *address,
                                    int except) const
{
    const int links = m_links.columnCount();
    if (name.isEmpty())
        return QStringLiteral("A link needs a name.");
    for (int c = 1; c < links; ++c)
        if (c != except && linkName(c).compare(name, Qt::CaseInsensitive) == 0)
            return QStringLiteral("The link %1 has this name.").arg(linkName(c));
    if (!address)
        return {};
    if (const QString why = addressRefusal(*address); !why.isEmpty())
        return why;
    for (const int c : linksWithAddress(*address))
        return QStringLiteral("The link %1 has this address.").arg(linkName(c));
    return {};
}

QStringList ConfigDocument::linkAddresses(int column) const
{
    // Separated by blanks or tabs, as the tosser reads words.
    return inEffect(akaRow(), column).text().simplified().split(QLatin1Char(' '),
                                                               Qt::SkipEmptyParts);
}

std::vector<int> ConfigDocument::linksWithAddress(const QString &address) const
{
    std::vector<int> found;
    for (int c = 1; c < m_links.columnCount(); ++c)
        if (linkAddresses(c).contains(address.trimmed(), Qt::CaseInsensitive))
            found.push_back(c);
    return found;
}

void ConfigDocument::removeLink(int column, bool offAreas)
{
    // Read before the record goes.
    const QStringList addresses = offAreas ? linkAddresses(column) : QStringList();
    removeSection(column);
    // After the link's lines went: its file's areas stand where they now are.
    for (const QString &address : addresses)
        m_areas.removeLinkEverywhere(address);
}

void ConfigDocument::removeSection(int column)
{
    const ValueLine *link = linkLine(column);
    if (!link)
        throw CommandError(QStringLiteral("No link is shown to remove"));
    const int file = link->file;
    QByteArray bytes = bytesNow(file);
    const QByteArrayView now(bytes);
    const qint64 end = sectionEnd(*link, bytes);
    qint64 start = link->lineStart;
    while (start > 0) {
        const qint64 before = startOfLineBefore(bytes, start);
        if (!blank(now.sliced(before, start - before)))
            break;
        start = before;
    }
    // The window's lines inside the section stay.
    QByteArray kept;
    for (const ValueLine &l : m_lines)
        if (l.file == file && l.column < 0 && l.lineStart >= link->lineStart && l.lineStart < end)
            kept.append(now.sliced(l.lineStart, std::min(l.next(), end) - l.lineStart));
    // A file whose last line had no line end still has none.
    qint64 removed = end - start;
    const bool open = end > 0 && now[end - 1] != '\n' && end == textEnd(file, bytes);
    if (open && kept.isEmpty() && start > 0) {
        --start;
        ++removed;
        if (start > 0 && now[start - 1] == '\r') {
            --start;
            ++removed;
        }
    }

    const Splice s = planSplice(file, bytes, start, removed, kept, -1);
    std::vector<int> columns = columnsOf(file);
    columns.erase(std::remove(columns.begin(), columns.end(), column), columns.end());
    for (int &c : columns)
        c -= c > column ? 1 : 0;
    for (auto it = m_changes.begin(); it != m_changes.end();)
        it = it->first.column == column ? m_changes.erase(it) : std::next(it);
    // Its lines go with the section's bytes.
    m_links.removeColumn(column);
    shiftColumns(column + 1, -1);
    splice(file, std::move(bytes), s, kept, columns);
}

} // namespace vog
