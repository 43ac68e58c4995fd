#include "AreaLines.h"

#include "reader/Address.h"
#include "reader/Errors.h"
#include "reader/LineGrammar.h"
#include "reader/LineReader.h"
#include "reader/SourceFiles.h"
#include "reader/Text.h"

#include <algorithm>
#include <limits>
#include <optional>

namespace vog {

void AreaLines::clear()
{
    m_defaults.clear();
    m_currentDefaults = -1;
    m_defaultsAtStart.clear();
    m_endCommentChar.clear();
    m_areas.clear();
    m_states.clear();
    m_bytes.clear();
    m_borrowed.clear();
    m_changes = 0;
    ++m_generation;
}

void AreaLines::borrow(int file, const QByteArray &bytes, std::shared_ptr<const void> holder)
{
    if (file < 0)
        return;
    if (m_borrowed.size() <= std::size_t(file))
        m_borrowed.resize(std::size_t(file) + 1);
    m_borrowed[std::size_t(file)] = {bytes, std::move(holder)};
}

qint64 AreaLines::borrowedOffset(int file, QByteArrayView raw) const
{
    if (std::size_t(file) >= m_borrowed.size())
        return -1;
    const QByteArray &bytes = m_borrowed[std::size_t(file)].bytes;
    const auto at = quintptr(raw.data()) - quintptr(bytes.constData());
    const bool within = quintptr(raw.data()) >= quintptr(bytes.constData())
            && at + quintptr(raw.size()) <= quintptr(bytes.size());
    return within && !bytes.isEmpty() ? qint64(at) : -1;
}

void AreaLines::beginFile(int file)
{
    m_defaultsAtStart[file] = m_currentDefaults;
    // A file read again: what the earlier read said of it goes.
    const QString &path = sourceFile(file).canonicalPath;
    const auto earlier = [&](const Area &a) {
        return a.file != file && !path.isEmpty() && sourceFile(a.file).canonicalPath == path;
    };
    if (std::any_of(m_areas.begin(), m_areas.end(), earlier)) {
        m_areas.erase(std::remove_if(m_areas.begin(), m_areas.end(), earlier), m_areas.end());
        countChanges();
        compact();
    }
}

bool AreaLines::readDefaults(int file, const LineReader &lines, const LineFacts &facts)
{
    if (facts.areaWord != 2)
        return false;
    // The grammar counted the line without its stray CRs; the raw line holds them.
    const qsizetype from = lines.rawOffset(facts.valueStart);
    const QByteArrayView options =
            lines.rawLine().sliced(from, lines.rawEnd(facts.valueStart, facts.valueEnd) - from);
    if (options.isEmpty() || lowered(options) == "off") {
        m_currentDefaults = -1;
    } else {
        m_defaults.push_back({file, quint32(lines.lineNumber()), options.toByteArray()});
        m_currentDefaults = int(m_defaults.size()) - 1;
    }
    return true;
}

bool AreaLines::inheritedField(int area, int field, QString &value, Origin &origin) const
{
    const Area &a = m_areas[std::size_t(area)];
    if (a.defaults < 0 || !state(area).fields[field].isEmpty())
        return false;
    const Defaults &d = m_defaults[std::size_t(a.defaults)];
    // The options read as an area line's would.
    const QByteArray line = "EchoArea x y " + d.options;
    value = areaState(line, sourceFile(d.file).codec).fields[field];
    origin = {d.file, d.line};
    return !value.isEmpty();
}

void AreaLines::lineRead(int file, const LineReader &lines, const LineFacts &facts,
                         char commentChar)
{
    const QByteArrayView raw = lines.rawLine();
    if (facts.areaWord != 1) {
        readDefaults(file, lines, facts);
        return;
    }
    if (raw.size() > std::numeric_limits<quint32>::max()
        || lines.lineNumber() > std::numeric_limits<quint32>::max())
        return;
    Area a;
    a.defaults = m_currentDefaults;
    a.lineStart = lines.lineStart();
    a.bytesAt = m_bytes.size();
    a.length = quint32(raw.size());
    // The grammar counted the line without its stray CRs; the bytes kept hold them.
    a.words = quint32(lines.rawEnd(facts.valueStart, facts.valueEnd));
    a.line = quint32(lines.lineNumber());
    a.file = file;
    a.endLength = quint8(lines.lineEndLength());
    a.commentChar = commentChar;
    if (const qint64 at = borrowedOffset(file, raw); at >= 0)
        a.bytesAt = -1 - at;
    else
        m_bytes.append(raw);
    // A hub's area lines come by the hundred thousand: room at once for those the rest of the
    // file could hold, at 64 bytes a line, rather than copies of every area at each doubling.
    if (m_areas.size() == m_areas.capacity())
        m_areas.reserve(m_areas.size()
                        + std::size_t(std::max<qint64>(qint64(m_areas.size()) + 16,
                                                       (lines.size() - lines.lineStart()) / 64)));
    // The areas the user added stay after those read.
    if (m_areas.empty() || !m_areas.back().added) {
        m_areas.push_back(a);
        return;
    }
    const auto firstAdded = std::find_if(m_areas.begin(), m_areas.end(),
                                         [](const Area &x) { return x.added; });
    m_areas.insert(firstAdded, a);
}

void AreaLines::endFile(int file, char commentChar)
{
    m_endCommentChar[file] = commentChar;
    ++m_generation;
    if (m_read)
        m_read();
}

bool AreaLines::isChanged(int area) const
{
    const Area &a = m_areas[std::size_t(area)];
    return a.state >= 0 || a.added || a.removed;
}

qint64 AreaLines::firstLineFrom(int file, qint64 from) const
{
    qint64 first = -1;
    for (const Area &a : m_areas)
        if (a.file == file && !a.added && a.lineStart >= from && (first < 0 || a.lineStart < first))
            first = a.lineStart;
    return first;
}

std::vector<qint64> AreaLines::lineStarts(int file) const
{
    std::vector<qint64> starts;
    for (const Area &a : m_areas)
        if (a.file == file && !a.added)
            starts.push_back(a.lineStart);
    std::sort(starts.begin(), starts.end());
    return starts;
}

bool AreaLines::hasChangesIn(int file) const
{
    for (std::size_t i = 0; i < m_areas.size(); ++i)
        if (m_areas[i].file == file && isChanged(int(i)))
            return true;
    return false;
}

AreaState AreaLines::fileState(int area) const
{
    const Area &a = m_areas[std::size_t(area)];
    return areaState(bytesOf(a), a.added ? TextCodec::utf8() : sourceFile(a.file).codec);
}

AreaState AreaLines::state(int area) const
{
    const Area &a = m_areas[std::size_t(area)];
    return a.state >= 0 ? m_states[std::size_t(a.state)] : fileState(area);
}

QString AreaLines::tag(int area) const
{
    const Area &a = m_areas[std::size_t(area)];
    if (a.state >= 0)
        return m_states[std::size_t(a.state)].tag;
    const QByteArrayView word = areaLineTag(bytesOf(a));
    return (a.added ? TextCodec::utf8() : sourceFile(a.file).codec).decode(word);
}

bool AreaLines::asciiTag(int area, QByteArrayView &bytes) const
{
    const Area &a = m_areas[std::size_t(area)];
    if (a.state >= 0 || a.added)
        return false;
    bytes = areaLineTag(bytesOf(a));
    return isAscii(bytes);
}

char AreaLines::commentChar(int area) const
{
    const Area &a = m_areas[std::size_t(area)];
    return a.added ? newLinesCommentChar(a.file) : a.commentChar;
}

char AreaLines::newLinesCommentChar(int file) const
{
    if (const Area *anchor = anchorOf(file))
        return anchor->commentChar;
    const auto end = m_endCommentChar.find(file);
    return end != m_endCommentChar.end() ? end->second : '#';
}

void AreaLines::appendSearchText(int area, QByteArray &out) const
{
    const Area &a = m_areas[std::size_t(area)];
    const QByteArrayView line = bytesOf(a);
    if (a.state < 0 && isAscii(line)) {
        // The common case, without a text for each word: the bytes lower-cased as they are.
        thread_local AreaLineWords split;
        if (!splitAreaLine(line, split))
            return;
        const auto put = [&](const AreaWord &w, bool quoted) {
            qsizetype at = w.at, end = w.end;
            if (quoted && line[at] == '"') {
                ++at;
                if (end > at && line[end - 1] == '"')
                    --end;
            }
            out.append('\n');
            const qsizetype from = out.size();
            out.append(line.sliced(at, end - at));
            char *p = out.data() + from;
            qsizetype n = 0;
            for (qsizetype i = from; i < out.size(); ++i)
                if (out[i] != '\r')
                    p[n++] = lowerAscii(out[i]);
            out.truncate(from + n);
        };
        if (split.words.size() > 1)
            put(split.words[1], true);
        for (const AreaWord &w : split.words)
            if ((w.role == AreaRole::Value && w.field == Description) || w.role == AreaRole::Link)
                put(w, w.role == AreaRole::Value);
        return;
    }
    const AreaState s = state(area);
    QString text = QLatin1Char('\n') + s.tag + QLatin1Char('\n') + s.fields[Description];
    for (const AreaLink &link : s.links)
        text += QLatin1Char('\n') + link.address;
    out.append(text.toLower().toUtf8());
}

QByteArray AreaLines::filterNeedle(const QString &text)
{
    return text.trimmed().toLower().toUtf8();
}

bool AreaLines::filterKeeps(int area, QByteArrayView needle) const
{
    if (needle.isEmpty())
        return true;
    QByteArray text;
    appendSearchText(area, text);
    return filterMatches(text, needle);
}

QByteArray AreaLines::filterWanted(QByteArrayView needle, bool &whole)
{
    whole = isNodeAddress(needle);
    return whole ? '\n' + needle.toByteArray() : needle.toByteArray();
}

bool AreaLines::filterMatches(QByteArrayView text, QByteArrayView needle)
{
    bool whole = false;
    const QByteArray wanted = filterWanted(needle, whole);
    for (qsizetype at = text.indexOf(wanted); at >= 0; at = text.indexOf(wanted, at + 1))
        if (filterWordEnds(text, at, wanted.size(), text.size(), whole))
            return true;
    return false;
}

std::vector<QString> AreaLines::takenTags() const
{
    std::vector<QString> tags;
    tags.reserve(m_areas.size());
    for (int i = 0; i < count(); ++i)
        if (!isRemoved(i))
            tags.push_back(tag(i).toLower());
    std::sort(tags.begin(), tags.end());
    return tags;
}

QString AreaLines::tagRefusal(const QString &tag, const std::vector<QString> &taken)
{
    if (tag.isEmpty())
        return QStringLiteral("An area needs a tag.");
    if (tag.contains(u' ') || tag.contains(u'\t'))
        return QStringLiteral("A tag is one word: %1 has a blank.").arg(tag);
    if (std::binary_search(taken.begin(), taken.end(), tag.toLower()))
        return QStringLiteral("An area has the tag %1.").arg(tag);
    return {};
}

bool AreaLines::put(Area &a, const AreaState &state)
{
    const bool had = a.state >= 0;
    if (!a.added && state == areaState(bytesOf(a), sourceFile(a.file).codec)) {
        a.state = -1;
        return had;
    }
    if (had) {
        if (m_states[std::size_t(a.state)] == state)
            return false;
        m_states[std::size_t(a.state)] = state;
    } else {
        a.state = int(m_states.size());
        m_states.push_back(state);
    }
    return true;
}

void AreaLines::setState(int area, const AreaState &state)
{
    setStates({{area, state}});
}

void AreaLines::setStates(const std::vector<std::pair<int, AreaState>> &states)
{
    bool any = false;
    for (const auto &[area, state] : states)
        any = put(m_areas[std::size_t(area)], state) || any;
    if (!any)
        return;
    countChanges();
    ++m_generation;
    if (m_changed)
        m_changed();
}

namespace {

// The keyword of a new line: EchoArea in the letter case of the keyword given.
QString echoAreaLike(const QString &keyword)
{
    if (keyword.compare(QLatin1String("EchoArea"), Qt::CaseInsensitive) == 0)
        return keyword;
    if (!keyword.isEmpty() && keyword == keyword.toUpper())
        return QStringLiteral("ECHOAREA");
    if (!keyword.isEmpty() && keyword == keyword.toLower())
        return QStringLiteral("echoarea");
    return QStringLiteral("EchoArea");
}

} // namespace

int AreaLines::addArea(const QString &tag, const QString &path, int picked, int mainFile)
{
    const bool hasPicked = picked >= 0 && picked < count();
    const int file = hasPicked ? m_areas[std::size_t(picked)].file : mainFile;
    if (file < 0)
        throw RenderError(QStringLiteral("Area %1: no file was opened to write it into").arg(tag));
    QString keyword;
    if (hasPicked) {
        keyword = state(picked).keyword;
    } else {
        for (int i = count(); i-- > 0;)
            if (m_areas[std::size_t(i)].file == file && !m_areas[std::size_t(i)].added) {
                keyword = fileState(i).keyword;
                break;
            }
    }
    AreaState state;
    state.keyword = echoAreaLike(keyword);
    state.tag = tag.trimmed();
    state.path = path.trimmed();
    if (state.path.isEmpty())
        state.path = QStringLiteral("Passthrough");
    // Its words checked now, in the file's codepage, by the writer of every line.
    const QString base = state.keyword + QStringLiteral(" x y");
    rewriteAreaLine(base.toLatin1(), state, sourceFile(file).codec, newLinesCommentChar(file));
    Area a;
    a.added = true;
    a.file = file;
    a.bytesAt = m_bytes.size();
    const QByteArray line = (state.keyword + u' ' + state.tag + u' ' + state.path).toUtf8();
    // Kept as UTF-8, the user's text; written in the file's codepage.
    m_bytes.append(line);
    a.length = a.words = quint32(line.size());
    a.state = int(m_states.size());
    m_states.push_back(state);
    m_areas.push_back(a);
    countChanges();
    ++m_generation;
    if (m_changed)
        m_changed();
    return count() - 1;
}

void AreaLines::removeAreas(const std::vector<int> &areas)
{
    if (areas.empty())
        return;
    std::vector<bool> gone(m_areas.size(), false);
    for (int area : areas)
        gone[std::size_t(area)] = true;
    // A new area removed was never written: it just goes.
    std::vector<Area> out;
    out.reserve(m_areas.size());
    for (std::size_t i = 0; i < m_areas.size(); ++i) {
        Area &a = m_areas[i];
        if (gone[i] && a.added)
            continue;
        if (gone[i])
            a.removed = true;
        out.push_back(a);
    }
    m_areas.swap(out);
    countChanges();
    ++m_generation;
    if (m_changed)
        m_changed();
}

int AreaLines::removeLinkEverywhere(const QString &address)
{
    std::vector<std::pair<int, AreaState>> changed;
    // A line as read that doesn't hold the address's numbers has no such link: most lines
    // are passed over unsplit.
    const QString part = address.section(QLatin1Char('@'), 0, 0);
    const bool ascii = std::all_of(part.begin(), part.end(),
                                   [](QChar c) { return c.unicode() > 32 && c.unicode() < 127; });
    const QByteArray numbers = ascii ? part.toLatin1() : QByteArray();
    for (int i = 0; i < count(); ++i) {
        const Area &a = m_areas[std::size_t(i)];
        if (a.removed || (a.state < 0 && !a.added && !bytesOf(a).contains(numbers)))
            continue;
        AreaState s = state(i);
        if (s.removeLink(address))
            changed.emplace_back(i, std::move(s));
    }
    setStates(changed);
    return int(changed.size());
}

void AreaLines::countChanges()
{
    m_changes = int(std::count_if(m_areas.begin(), m_areas.end(), [](const Area &a) {
        return a.state >= 0 || a.added || a.removed;
    }));
}

QByteArray AreaLines::lineEnd(int file) const
{
    return sourceFile(file).crlf ? QByteArrayLiteral("\r\n") : QByteArrayLiteral("\n");
}

const AreaLines::Area *AreaLines::anchorOf(int file) const
{
    const Area *anchor = nullptr;
    for (const Area &a : m_areas)
        if (a.file == file && !a.added && (!anchor || !a.removed || anchor->removed))
            anchor = &a;
    return anchor;
}

std::vector<AreaLines::LineEdit> AreaLines::edits() const
{
    std::vector<LineEdit> out;
    std::vector<int> filesAdded;
    for (const Area &a : m_areas) {
        if (a.added) {
            if (std::find(filesAdded.begin(), filesAdded.end(), a.file) == filesAdded.end())
                filesAdded.push_back(a.file);
            continue;
        }
        if (a.removed) {
            out.push_back({a.file, a.lineStart, a.lineStart + a.length + a.endLength, {}});
        } else if (a.state >= 0) {
            QByteArray bytes = rewriteAreaLine(bytesOf(a), m_states[std::size_t(a.state)],
                                               sourceFile(a.file).codec, a.commentChar);
            if (bytes != bytesOf(a))
                out.push_back({a.file, a.lineStart, a.lineStart + a.words, std::move(bytes)});
        }
    }
    // New lines after the last area line of their file that stays, or the last one; else at
    // the file's end.
    for (int file : filesAdded) {
        const Area *anchor = anchorOf(file);
        const char comment = newLinesCommentChar(file);
        const SourceFile &f = sourceFile(file);
        const QByteArray end = lineEnd(file);
        qint64 at;
        bool endFirst;
        if (anchor) {
            at = anchor->lineStart + anchor->length + anchor->endLength;
            endFirst = anchor->endLength == 0;
        } else {
            checkEndOutsideConditions(file, QStringLiteral("a new area"));
            at = f.ctrlZ >= 0 ? f.ctrlZ : f.size;
            endFirst = at > 0 && !f.lastLineEnded;
        }
        QByteArray bytes;
        for (const Area &a : m_areas) {
            if (a.file != file || !a.added)
                continue;
            const AreaState &s = m_states[std::size_t(a.state)];
            // The line as a read one would be written: its words in the file's codepage.
            const QString base = s.keyword + QStringLiteral(" x y");
            const QByteArray line = rewriteAreaLine(base.toLatin1(), s, f.codec, comment);
            bytes += endFirst ? end + line : line + end;
        }
        out.push_back({file, at, at, bytes});
    }
    return out;
}

void AreaLines::saved(int file, QByteArrayView bytes, const LineState *start)
{
    // The file's areas, those added too, are found again in its new bytes, where its areas
    // stood before: the files stay in the order read.
    std::vector<Area> others;
    others.reserve(m_areas.size());
    std::size_t at = std::size_t(-1);
    for (const Area &a : m_areas) {
        if (a.file == file) {
            if (at == std::size_t(-1) && !a.added)
                at = others.size();
            continue;
        }
        others.push_back(a);
    }
    if (at == std::size_t(-1)) {
        at = 0;
        while (at < others.size() && !others[at].added && others[at].file < file)
            ++at;
    }
    m_areas.swap(others);
    std::vector<Area> tail(m_areas.begin() + qsizetype(at), m_areas.end());
    m_areas.resize(at);
    // The defaults as they stood at the file's start; those after it stay as they were read.
    const int after = m_currentDefaults;
    if (const auto at = m_defaultsAtStart.find(file); at != m_defaultsAtStart.end())
        m_currentDefaults = at->second;
    // Without a state to start from, the file has no condition: every line is in effect.
    LineReader lines(bytes);
    LineState state = start ? *start : LineState();
    QByteArrayView line;
    while (lines.next(line))
        if (const LineFacts facts = readLine(line, state); facts.inEffect || !start)
            lineRead(file, lines, facts, state.commentChar);
    m_currentDefaults = after;
    m_areas.insert(m_areas.end(), tail.begin(), tail.end());
    countChanges();
    compact();
    ++m_generation;
    if (m_read)
        m_read();
}

void AreaLines::moved(int file, qint64 from, qint64 bytes, qint64 lines)
{
    for (Area &a : m_areas)
        if (a.file == file && !a.added && a.lineStart >= from) {
            a.lineStart += bytes;
            a.line = quint32(qint64(a.line) + lines);
        }
    ++m_generation;
    if (m_read)
        m_read();
}

void AreaLines::changesSaved()
{
    for (Area &a : m_areas)
        a.state = -1;
    m_areas.erase(std::remove_if(m_areas.begin(), m_areas.end(),
                                 [](const Area &a) { return a.removed || a.added; }),
                  m_areas.end());
    m_states.clear();
    m_changes = 0;
    compact();
}

void AreaLines::compact()
{
    // Lines found again after a save leave their old bytes behind; once those are most of
    // the bytes kept, the live ones are copied into a new block.
    qsizetype live = 0;
    for (const Area &a : m_areas)
        live += a.bytesAt < 0 ? 0 : a.length;
    if (m_bytes.size() <= 2 * live + 4096)
        return;
    ByteBlock bytes;
    for (Area &a : m_areas) {
        if (a.bytesAt < 0)
            continue; // borrowed, where it stands
        const qsizetype at = bytes.size();
        bytes.append(QByteArrayView(m_bytes).sliced(a.bytesAt, a.length));
        a.bytesAt = at;
    }
    m_bytes.swap(bytes);
}

} // namespace vog
