#include "AreaLine.h"

#include "Address.h"

#include "Errors.h"
#include "LineGrammar.h"
#include "Text.h"

#include <algorithm>
#include <array>
#include <limits>
#include <map>

namespace vog {

namespace {

// The keywords as written, in AreaKind order; the grammar's AreaKeywords in lower case.
constexpr std::array<const char *, AreaKeywords.size()> KindNames{
    "EchoArea", "LocalArea", "NetmailArea", "BadArea", "DupeArea"};

// clang-format off
// The options with a field, in AreaField order, and the other options that take a value.
constexpr std::array<QByteArrayView, AreaFieldCount> FieldOptions{
    "-b", "-p", "-$m", "-a", "-g", "-d"};
constexpr std::array<QByteArrayView, 4> ValuedOptions{"-lr", "-lw", "-dupecheck", "-dupehistory"};
constexpr std::array<QByteArrayView, 4> LinkFlags{"-r", "-w", "-mn", "-def"};
// clang-format on

constexpr qsizetype LongestKeyword = [] {
    qsizetype longest = 0;
    for (const QByteArrayView keyword : AreaKeywords)
        longest = std::max(longest, keyword.size());
    return longest;
}();

bool isBlank(char c)
{
    return c == ' ' || c == '\t';
}

// The line's bytes without characters of code 0 to 32 at either end: where its words stand.
void region(QByteArrayView line, qsizetype &from, qsizetype &to)
{
    from = 0;
    to = line.size();
    while (from < to && isTrimmed(line[from]))
        ++from;
    while (to > from && isTrimmed(line[to - 1]))
        --to;
}

// A word's bytes as the reader sees them: the stray CRs the line reader drops left out, in
// scratch where the word holds one, else the line's own bytes.
QByteArrayView wordBytes(QByteArrayView line, const AreaWord &w, QByteArray &scratch)
{
    const QByteArrayView word = line.sliced(w.at, w.end - w.at);
    if (!word.contains('\r'))
        return word;
    scratch.clear();
    for (char c : word)
        if (c != '\r')
            scratch.append(c);
    return scratch;
}

QByteArray wordBytes(QByteArrayView line, const AreaWord &w)
{
    QByteArray scratch;
    return wordBytes(line, w, scratch).toByteArray();
}

bool lowerEquals(QByteArrayView word, QByteArrayView lower)
{
    if (word.size() != lower.size())
        return false;
    for (qsizetype i = 0; i < word.size(); ++i)
        if (lowerAscii(word[i]) != lower[i])
            return false;
    return true;
}

template <std::size_t N>
int indexIn(const std::array<QByteArrayView, N> &list, QByteArrayView word)
{
    for (std::size_t i = 0; i < N; ++i)
        if (lowerEquals(word, list[i]))
            return int(i);
    return -1;
}

// A value as a field shows it: without the quotes a word may stand in.
QByteArrayView unquoted(QByteArrayView word)
{
    if (word.startsWith('"')) {
        word = word.sliced(1);
        if (word.endsWith('"'))
            word.chop(1);
    }
    return word;
}

// The byte at which a word begins, given that the bytes before stand between words.
qsizetype skipBlanks(QByteArrayView line, qsizetype i, qsizetype to)
{
    while (i < to && (isBlank(line[i]) || line[i] == '\r'))
        ++i;
    return i;
}

} // namespace

const char *areaKindName(AreaKind kind)
{
    return KindNames[std::size_t(kind)];
}

bool isAreaLine(QByteArrayView line, AreaKind *kind)
{
    qsizetype from, to;
    region(line, from, to);
    // The keyword and a blank or a tab, as every keyword line; nothing of it spans a stray CR.
    char word[LongestKeyword];
    qsizetype n = 0;
    for (qsizetype i = from; i < to; ++i) {
        if (isBlank(line[i])) {
            for (std::size_t k = 0; k < AreaKeywords.size(); ++k)
                if (QByteArrayView(word, n) == AreaKeywords[k]) {
                    if (kind)
                        *kind = AreaKind(k);
                    return true;
                }
            return false;
        }
        if (n == LongestKeyword)
            return false;
        word[n++] = lowerAscii(line[i]);
    }
    return false;
}

namespace {

// The end of the word that starts at i: a word in quotes runs to its closing quote, any other
// to the next blank or tab.
qsizetype wordEnd(QByteArrayView line, qsizetype i, qsizetype to)
{
    qsizetype end = i + 1;
    if (line[i] == '"') {
        while (end < to && line[end] != '"')
            ++end;
        return std::min(end + 1, to);
    }
    while (end < to && !isBlank(line[end]))
        ++end;
    return end;
}

// The words of a line's region, each where it stands, up to `most` of them.
void splitWords(QByteArrayView line, std::vector<AreaWord> &words, std::size_t most)
{
    qsizetype from, to;
    region(line, from, to);
    for (qsizetype i = skipBlanks(line, from, to); i < to && words.size() < most;
         i = skipBlanks(line, i, to)) {
        const qsizetype end = wordEnd(line, i, to);
        words.push_back({i, end});
        i = end;
    }
}

} // namespace

QByteArrayView areaLineTag(QByteArrayView line)
{
    // The second word, found as splitWords finds it, without a list of words: a command
    // line's pattern asks for the tag of every area.
    qsizetype from, to;
    region(line, from, to);
    const qsizetype keyword = skipBlanks(line, from, to);
    const qsizetype at = skipBlanks(line, wordEnd(line, keyword, to), to);
    if (at >= to)
        return {};
    QByteArrayView word = line.sliced(at, wordEnd(line, at, to) - at);
    if (word.startsWith('"')) {
        word = word.sliced(1);
        if (word.endsWith('"'))
            word.chop(1);
    }
    return word;
}

bool splitAreaLine(QByteArrayView line, AreaLineWords &out)
{
    out.words.clear();
    if (!isAreaLine(line, &out.kind))
        return false;
    std::vector<AreaWord> &words = out.words;
    splitWords(line, words, std::numeric_limits<std::size_t>::max());
    words[0].role = AreaRole::Keyword;
    if (words.size() > 1)
        words[1].role = AreaRole::Tag;
    if (words.size() > 2)
        words[2].role = AreaRole::Path;
    bool afterLink = false;
    QByteArray scratch;
    for (std::size_t k = 3; k < words.size(); ++k) {
        AreaWord &w = words[k];
        const QByteArrayView text = wordBytes(line, w, scratch);
        if (afterLink && indexIn(LinkFlags, text) >= 0) {
            w.role = AreaRole::Flag;
            continue;
        }
        afterLink = isNodeAddress(text);
        if (afterLink) {
            w.role = AreaRole::Link;
        } else if (text.startsWith('-')) {
            w.role = AreaRole::Option;
            w.field = std::int8_t(indexIn(FieldOptions, text));
            if ((w.field >= 0 || indexIn(ValuedOptions, text) >= 0) && k + 1 < words.size()) {
                words[k + 1].role = AreaRole::Value;
                words[k + 1].field = w.field;
                ++k;
            }
        }
    }
    // A field set twice on one line: the last one counts, and the earlier ones are its too.
    bool seen[AreaFieldCount] = {};
    for (std::size_t k = words.size(); k-- > 3;) {
        AreaWord &w = words[k];
        if (w.field < 0 || w.role != AreaRole::Option)
            continue;
        if (seen[w.field]) {
            w.role = AreaRole::Shadowed;
            if (k + 1 < words.size() && words[k + 1].role == AreaRole::Value)
                words[k + 1].role = AreaRole::Shadowed;
        }
        seen[w.field] = true;
    }
    return true;
}

QString AreaLink::shown() const
{
    return flags.isEmpty() ? address : address + u' ' + flags.join(u' ');
}

bool AreaLink::operator==(const AreaLink &o) const
{
    return address == o.address && flags == o.flags;
}

AreaKind AreaState::kind() const
{
    for (std::size_t k = 0; k < KindNames.size(); ++k)
        if (keyword.compare(QLatin1StringView(KindNames[k]), Qt::CaseInsensitive) == 0)
            return AreaKind(k);
    return AreaKind::Echo;
}

int AreaState::linkIndex(const QString &address) const
{
    for (std::size_t i = 0; i < links.size(); ++i)
        if (links[i].address.compare(address, Qt::CaseInsensitive) == 0)
            return int(i);
    return -1;
}

bool AreaState::removeLink(const QString &address)
{
    const auto gone = std::remove_if(links.begin(), links.end(), [&](const AreaLink &l) {
        return l.address.compare(address, Qt::CaseInsensitive) == 0;
    });
    const bool had = gone != links.end();
    links.erase(gone, links.end());
    return had;
}

bool AreaState::addLink(const QString &address)
{
    if (linkIndex(address) >= 0)
        return false;
    links.push_back({address, {}});
    return true;
}

bool AreaState::operator==(const AreaState &o) const
{
    return keyword == o.keyword && tag == o.tag && path == o.path
            && std::equal(std::begin(fields), std::end(fields), std::begin(o.fields))
            && options == o.options && links == o.links;
}

AreaState areaState(QByteArrayView line, const AreaLineWords &split, const TextCodec &codec)
{
    AreaState s;
    const auto text = [&](const AreaWord &w, bool quoted = false) {
        const QByteArray bytes = wordBytes(line, w);
        return codec.decode(quoted ? unquoted(bytes) : QByteArrayView(bytes));
    };
    for (const AreaWord &w : split.words) {
        switch (w.role) {
        case AreaRole::Keyword:
            s.keyword = text(w);
            break;
        case AreaRole::Tag:
            s.tag = text(w, true);
            break;
        case AreaRole::Path:
            s.path = text(w, true);
            break;
        case AreaRole::Link:
            s.links.push_back({text(w), {}});
            break;
        case AreaRole::Flag:
            s.links.back().flags.append(text(w));
            break;
        case AreaRole::Value:
            if (w.field >= 0) {
                s.fields[w.field] = text(w, true);
                break;
            }
            s.options.append(text(w));
            break;
        case AreaRole::Option:
            if (w.field < 0)
                s.options.append(text(w));
            break;
        case AreaRole::Other:
            s.options.append(text(w));
            break;
        case AreaRole::Shadowed:
            break;
        }
    }
    return s;
}

AreaState areaState(QByteArrayView line, const TextCodec &codec)
{
    AreaLineWords words;
    if (!splitAreaLine(line, words))
        return {};
    return areaState(line, words, codec);
}

QStringList splitAreaWords(const QString &text)
{
    QStringList out;
    const qsizetype to = text.size();
    for (qsizetype i = 0; i < to;) {
        if (text[i] == u' ' || text[i] == u'\t') {
            ++i;
            continue;
        }
        qsizetype end = i + 1;
        if (text[i] == u'"') {
            while (end < to && text[end] != u'"')
                ++end;
            end = std::min(end + 1, to);
        } else {
            while (end < to && text[end] != u' ' && text[end] != u'\t')
                ++end;
        }
        out.append(text.sliced(i, end - i));
        i = end;
    }
    return out;
}

namespace {

// The edits of one line, each replacing [at, end) of it; applied in order of place, an
// insertion before what is replaced at the same place, insertions in the order made.
class LineEdits
{
public:
    LineEdits(QByteArrayView line, const AreaLineWords &split, const AreaState &wanted,
              const TextCodec &codec, char commentChar)
        : m_line(line), m_words(split.words), m_wanted(wanted), m_codec(codec),
          m_latin1(!codec.isCodepage() && !isValidUtf8(line)), m_commentChar(commentChar)
    {
    }

    void replace(const AreaWord &w, const QByteArray &bytes) { add(w.at, w.end, bytes); }
    void insert(qsizetype at, const QByteArray &bytes) { add(at, at, bytes); }
    // A word leaves with the blanks before it.
    void remove(std::size_t k) { add(m_words[k - 1].end, m_words[k].end, {}); }

    // The text in the line's codec; a value that must stand as one word is quoted when it
    // holds a blank, and always when asked.
    QByteArray encode(const QString &text, const char *what, bool quote = false) const
    {
        const bool blank = text.contains(u' ') || text.contains(u'\t');
        if (const QString why = areaWordRefusal(text, quote, m_commentChar); !why.isEmpty())
            fail(QLatin1String(what) + QStringLiteral(": ") + why);
        QByteArray out;
        char32_t unheld = 0;
        if (!m_codec.encode(text, out, unheld, m_latin1))
            fail(QStringLiteral("%1: the character \"%2\" (U+%3) can't be written in %4")
                         .arg(QLatin1String(what), QString::fromUcs4(&unheld, 1))
                         .arg(uint(unheld), 4, 16, QLatin1Char('0'))
                         .arg(m_codec.name()));
        return quote || blank ? '"' + out + '"' : out;
    }

    [[noreturn]] void fail(const QString &message) const
    {
        throw RenderError(QStringLiteral("Area %1: %2").arg(m_wanted.tag, message));
    }

    QByteArray result() const
    {
        std::vector<Edit> edits = m_edits;
        std::stable_sort(edits.begin(), edits.end(), [](const Edit &a, const Edit &b) {
            if (a.at != b.at)
                return a.at < b.at;
            return (a.end == a.at) > (b.end == b.at);
        });
        QByteArray out;
        qsizetype copied = 0;
        for (const Edit &e : edits) {
            out.append(m_line.sliced(copied, e.at - copied));
            out.append(e.bytes);
            copied = e.end;
        }
        out.append(m_line.sliced(copied));
        return out;
    }

private:
    struct Edit
    {
        qsizetype at;
        qsizetype end;
        QByteArray bytes;
    };
    void add(qsizetype at, qsizetype end, const QByteArray &bytes)
    {
        m_edits.push_back({at, end, bytes});
    }

    QByteArrayView m_line;
    const std::vector<AreaWord> &m_words;
    const AreaState &m_wanted;
    const TextCodec &m_codec;
    bool m_latin1;
    char m_commentChar;
    std::vector<Edit> m_edits;
};

// The index of the n-th link of an address, without regard to case, or -1.
int nthLink(const std::vector<AreaLink> &links, const QString &address, int n)
{
    for (std::size_t i = 0; i < links.size(); ++i)
        if (links[i].address.compare(address, Qt::CaseInsensitive) == 0 && n-- == 0)
            return int(i);
    return -1;
}

// Each field by the label the user knows it by.
const char *const FieldNames[AreaFieldCount] = {"Base",  "Purge days", "Most messages",
                                                "Aka",   "Group",      "Description"};

} // namespace

QString areaWordRefusal(const QString &text, bool quoted, char commentChar)
{
    for (const QChar c : text)
        if (c.unicode() < 32)
            return QStringLiteral("the character U+%1 can't stand in a configuration line")
                    .arg(c.unicode(), 4, 16, QLatin1Char('0'));
    const bool blank = text.contains(u' ') || text.contains(u'\t');
    if ((quoted || blank) && text.contains(u'"'))
        return QStringLiteral("a value in quotes can't hold a quote");
    if (!quoted && !blank && text.startsWith(u'"') && (text.size() < 2 || !text.endsWith(u'"')))
        return QStringLiteral("a word can't begin with an unclosed quote");
    // The comment character after a blank and before a blank, another one or the line's end
    // starts a comment, in quotes too: the words after it would be lost. A word stands
    // between blanks; in quotes, the quotes stand at its ends.
    const auto isBlank = [](QChar c) { return c == u' ' || c == u'\t'; };
    const QChar comment = QLatin1Char(commentChar);
    for (qsizetype i = 0; i < text.size(); ++i)
        if (text[i] == comment && (i == 0 ? !quoted : isBlank(text[i - 1]))
            && (i + 1 == text.size() ? !quoted : isBlank(text[i + 1]) || text[i + 1] == comment))
            return QStringLiteral("a %1 after a blank starts a comment").arg(comment);
    return {};
}

QByteArray rewriteAreaLine(QByteArrayView line, const AreaState &wanted, const TextCodec &codec,
                           char commentChar)
{
    AreaLineWords split;
    if (!splitAreaLine(line, split))
        throw RenderError(QStringLiteral("Area %1: its line is no area line").arg(wanted.tag));
    const AreaState old = areaState(line, split, codec);
    const std::vector<AreaWord> &words = split.words;
    LineEdits edits(line, split, wanted, codec, commentChar);

    if (wanted.keyword != old.keyword)
        edits.replace(words[0], edits.encode(wanted.keyword, "Kind"));
    if (wanted.tag.isEmpty() || (wanted.path.isEmpty() && !old.path.isEmpty()))
        edits.fail(QStringLiteral("an area needs a tag and a path, or Passthrough"));
    if (wanted.tag != old.tag)
        edits.replace(words[1], edits.encode(wanted.tag, "Tag"));
    const bool noPath = words.size() < 3 && !wanted.path.isEmpty();
    if (!noPath && words.size() >= 3 && wanted.path != old.path)
        edits.replace(words[2], edits.encode(wanted.path, "Path"));

    // Where a field or an option the line lacks goes: after the last word before the first
    // link; the links added after the last word.
    std::size_t firstLink = words.size();
    for (std::size_t k = 0; k < words.size(); ++k)
        if (words[k].role == AreaRole::Link) {
            firstLink = k;
            break;
        }
    // A line may end in words that take what follows them: an option without the value it
    // takes, a quote left open. What is added goes before them, and never into them.
    std::size_t safe = words.size() - 1;
    const auto open = [&](std::size_t k) {
        const AreaWord &w = words[k];
        return line[w.at] == '"' && (w.end - w.at < 2 || line[w.end - 1] != '"');
    };
    for (;;) {
        const AreaWord &w = words[safe];
        if (safe >= 3 && open(safe)) {
            safe -= w.role == AreaRole::Value ? 2 : 1;
        } else if (safe >= 3 && w.role == AreaRole::Option
                   && (w.field >= 0 || indexIn(ValuedOptions, wordBytes(line, w)) >= 0)) {
            safe -= 1;
        } else {
            break;
        }
    }
    const auto after = [&](std::size_t k) {
        // Without a path, the third word would become it.
        if (words.size() < 3 && wanted.path.isEmpty())
            edits.fail(QStringLiteral("an area needs a path before its options and links"));
        if (k > safe || (k == safe && safe < 3 && open(safe)))
            edits.fail(QStringLiteral("nothing can be added after the open quote or option "
                                      "that ends its line"));
        return words[k].end;
    };
    const auto optionsAt = [&] { return after(std::min(firstLink - 1, safe)); };
    const auto linksAt = [&] { return after(safe); };

    if (noPath)
        edits.insert(after(1), ' ' + edits.encode(wanted.path, "Path"));

    for (int f = 0; f < AreaFieldCount; ++f) {
        const QString &want = wanted.fields[f];
        if (want == old.fields[f])
            continue;
        const bool quote = f == Description;
        std::size_t option = 0;
        for (std::size_t k = 3; k < words.size(); ++k)
            if (words[k].field == f && words[k].role == AreaRole::Option)
                option = k;
        if (want.isEmpty()) {
            for (std::size_t k = 3; k < words.size(); ++k)
                if (words[k].field == f)
                    edits.remove(k);
        } else if (!option) {
            edits.insert(optionsAt(), ' ' + FieldOptions[std::size_t(f)].toByteArray() + ' '
                                 + edits.encode(want, FieldNames[f], quote));
        } else if (option + 1 < words.size() && words[option + 1].role == AreaRole::Value) {
            const AreaWord &value = words[option + 1];
            const bool wasQuoted = line[value.at] == '"';
            edits.replace(value, edits.encode(want, FieldNames[f], quote || wasQuoted));
        } else {
            edits.insert(words[option].end, ' ' + edits.encode(want, FieldNames[f], quote));
        }
    }

    // The other options and words: those both lists hold, in order, stay; the rest go, and
    // the new ones come after the kept word before them, or before the first kept one.
    if (wanted.options != old.options) {
        std::vector<std::size_t> oldAt; // their words
        for (std::size_t k = 3; k < words.size(); ++k)
            if (words[k].field < 0
                && (words[k].role == AreaRole::Option || words[k].role == AreaRole::Value
                    || words[k].role == AreaRole::Other))
                oldAt.push_back(k);
        const QStringList &a = old.options;
        const QStringList &b = wanted.options;
        const std::size_t n = std::size_t(a.size()), m = std::size_t(b.size());
        std::vector<std::vector<int>> common(n + 1, std::vector<int>(m + 1, 0));
        for (std::size_t i = n; i-- > 0;)
            for (std::size_t j = m; j-- > 0;)
                common[i][j] = a[qsizetype(i)] == b[qsizetype(j)]
                        ? common[i + 1][j + 1] + 1
                        : std::max(common[i + 1][j], common[i][j + 1]);
        std::vector<QString> waiting; // new words before the first kept one
        std::size_t behind = 0;       // the last kept word, if any
        const auto add = [&](const QString &word) {
            const QByteArray bytes = edits.encode(word, "Options");
            if (behind)
                edits.insert(after(behind), ' ' + bytes);
            else
                waiting.push_back(word);
        };
        std::size_t i = 0, j = 0;
        while (i < n || j < m) {
            if (i < n && j < m && a[qsizetype(i)] == b[qsizetype(j)]) {
                const AreaWord &kept = words[oldAt[i]];
                for (const QString &word : waiting)
                    edits.insert(kept.at, edits.encode(word, "Options") + ' ');
                waiting.clear();
                behind = oldAt[i];
                ++i;
                ++j;
            } else if (i < n && (j == m || common[i + 1][j] >= common[i][j + 1])) {
                edits.remove(oldAt[i++]);
            } else {
                add(b[qsizetype(j++)]);
            }
        }
        for (const QString &word : waiting)
            edits.insert(optionsAt(), ' ' + edits.encode(word, "Options"));
    }

    // Links: those no longer wanted leave with their flags; new flags replace the old ones;
    // new links go at the end.
    // Where the links wanted begin with the line's own, in order (links added, or none), the
    // n-th link of the line is the n-th wanted, and the rest are new: no address is looked up.
    const bool kept = wanted.links.size() >= old.links.size()
            && std::equal(old.links.begin(), old.links.end(), wanted.links.begin(),
                          [](const AreaLink &a, const AreaLink &b) {
                              return a.address.compare(b.address, Qt::CaseInsensitive) == 0;
                          });
    std::map<QString, int> seen; // the links of each address so far, in lower case
    for (std::size_t k = 3, n = 0; k < words.size(); ++k) {
        if (words[k].role != AreaRole::Link)
            continue;
        std::size_t last = k;
        while (last + 1 < words.size() && words[last + 1].role == AreaRole::Flag)
            ++last;
        // Else the n-th link of an address on the line is the n-th of that address wanted.
        const QStringList &flags = old.links[n].flags;
        const int at = kept ? int(n)
                            : nthLink(wanted.links, old.links[n].address,
                                      seen[old.links[n].address.toLower()]++);
        ++n;
        if (at < 0) {
            for (std::size_t w = k; w <= last; ++w)
                edits.remove(w);
        } else {
            const QStringList &want = wanted.links[std::size_t(at)].flags;
            if (flags != want) {
                QByteArray bytes;
                for (const QString &flag : want) {
                    if (indexIn(LinkFlags, flag.toLatin1()) < 0)
                        edits.fail(QStringLiteral("%1 is no link flag").arg(flag));
                    bytes += ' ' + flag.toLatin1();
                }
                edits.insert(words[k].end, bytes);
                for (std::size_t w = k + 1; w <= last; ++w)
                    edits.remove(w);
            }
        }
        k = last;
    }
    std::map<QString, int> wantedSeen;
    for (std::size_t i = kept ? old.links.size() : 0; i < wanted.links.size(); ++i) {
        const AreaLink &link = wanted.links[i];
        if (!kept && wantedSeen[link.address.toLower()]++ < seen[link.address.toLower()])
            continue;
        if (!isNodeAddress(QStringView(link.address)))
            edits.fail(QStringLiteral("%1 is no address").arg(link.address));
        QByteArray bytes = ' ' + link.address.toLatin1();
        for (const QString &flag : link.flags) {
            if (indexIn(LinkFlags, flag.toLatin1()) < 0)
                edits.fail(QStringLiteral("%1 is no link flag").arg(flag));
            bytes += ' ' + flag.toLatin1();
        }
        edits.insert(linksAt(), bytes);
    }
    return edits.result();
}

} // namespace vog
