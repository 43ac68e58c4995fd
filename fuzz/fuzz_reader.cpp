// Feeds any bytes to the reader core as a configuration file and checks the rules every result
// must keep, line by line. A broken rule aborts, so the fuzzer keeps the input that broke it.
//
// Each input is read three ways: from memory, through a file descriptor in tiny reads (so lines
// straddle the reads), and by a plain reference splitter; all three must give the same lines.
// The recognised keyword lines and their values are the output; a second, brute-force look-up
// in the keyword table checks every match, and a plain reference parse checks every number.

#include "document/AreaLines.h"
#include "document/ConfigDocument.h"
#include "document/DocumentRead.h"
#include "reader/AreaLine.h"
#include "reader/Codepage.h"
#include "reader/ConfigRead.h"
#include "reader/Errors.h"
#include "reader/KeywordTable.h"
#include "reader/LineGrammar.h"
#include "reader/LineReader.h"
#include "reader/LinkStore.h"
#include "reader/NumberConversion.h"
#include "reader/Text.h"
#include "reader/ValueRules.h"

#include <array>
#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include <sys/mman.h>
#include <unistd.h>

using namespace vog;

#define CHECK(cond)                                                                                \
    do {                                                                                           \
        if (!(cond)) {                                                                             \
            std::fprintf(stderr, "invariant broken: %s (%s:%d)\n", #cond, __FILE__, __LINE__);     \
            std::abort();                                                                          \
        }                                                                                          \
    } while (0)

namespace {

std::string_view sv(QByteArrayView v)
{
    return std::string_view(v.data(), size_t(v.size()));
}

bool isHexDigit(char c)
{
    return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
}

bool isDecimalDigit(char c)
{
    return c >= '0' && c <= '9';
}

// The same grammar as the reader's conversion, read the plain way: check the characters, then
// let the C library do the arithmetic in 64 bits and compare with the 32-bit limits.
std::optional<std::int32_t> referenceNumber(std::string_view text)
{
    size_t i = 0;
    while (i < text.size() && text[i] == ' ')
        ++i;
    std::string sign;
    if (i < text.size() && (text[i] == '+' || text[i] == '-'))
        sign = text[i++] == '-' ? "-" : "";
    std::string_view rest = text.substr(i);
    std::string_view digits;
    int base = 10;
    auto all = [](std::string_view s, bool (*digit)(char)) {
        if (s.empty())
            return false;
        for (char c : s)
            if (!digit(c))
                return false;
        return true;
    };
    if (all(rest, isDecimalDigit)) {
        digits = rest;
    } else {
        base = 16;
        if (!rest.empty() && (rest[0] == '$' || rest[0] == 'x' || rest[0] == 'X'))
            digits = rest.substr(1);
        else if (rest.size() >= 2 && rest[0] == '0' && (rest[1] == 'x' || rest[1] == 'X'))
            digits = rest.substr(2);
        else
            return std::nullopt;
        if (!all(digits, isHexDigit))
            return std::nullopt;
    }
    const std::string number = sign + std::string(digits);
    errno = 0;
    const long long n = std::strtoll(number.c_str(), nullptr, base);
    if (errno == ERANGE || n < INT32_MIN || n > INT32_MAX)
        return std::nullopt;
    return std::int32_t(n);
}

void checkNumber(QByteArrayView text)
{
    const std::optional<std::int32_t> got = toWholeNumber(text);
    const std::optional<std::int32_t> expected = referenceNumber(sv(text));
    CHECK(got.has_value() == expected.has_value());
    if (got)
        CHECK(*got == *expected);
    bool threw = false;
    try {
        CHECK(convertNumber(text, 7) == *got);
    } catch (const NumberError &e) {
        threw = true;
        CHECK(!e.message().isEmpty());
    }
    CHECK(threw == !got.has_value());
}

// Every byte of a value must reach the user: the text shown encodes back to the same bytes.
void checkShown(QByteArrayView bytes)
{
    const QString shown = decodeValue(bytes);
    if (isValidUtf8(bytes))
        CHECK(shown.toUtf8() == bytes);
    else
        CHECK(shown.size() == bytes.size() && shown.toLatin1() == bytes);
}

// The file's codepage decided over all its lines, then every line shown in it: no byte lost,
// a codepage's value one character per byte, and the two other codecs as the per-value rule.
void checkCodepage(const std::vector<QByteArray> &lines)
{
    CodepageDetector detector;
    for (const QByteArray &line : lines)
        detector.feed(line);
    const TextCodec codec = detector.decide();
    CHECK(detector.decide() == codec);
    const QString name = codec.name();
    const bool perValueRule = codec == TextCodec::utf8() || codec == TextCodec::latin1();
    CHECK(perValueRule || name == "CP866" || name == "KOI8-R" || name == "Windows-1251");
    for (const QByteArray &line : lines) {
        const QString shown = codec.decode(line);
        if (perValueRule) {
            CHECK(shown == decodeValue(line));
            continue;
        }
        CHECK(shown.size() == line.size());
        for (qsizetype i = 0; i < line.size(); ++i) {
            const auto b = static_cast<unsigned char>(line[i]);
            CHECK(b >= 0x80 ? shown[i].unicode() >= 0x80 && shown[i] != QChar::ReplacementCharacter
                            : shown[i].unicode() == b);
        }
    }
}

// A plain splitter: up to the first Ctrl-Z, cut at every LF, drop every CR.
std::vector<QByteArray> referenceLines(QByteArrayView data)
{
    const qsizetype z = data.indexOf(char(26));
    if (z >= 0)
        data = data.first(z);
    std::vector<QByteArray> lines;
    qsizetype start = 0;
    while (start < data.size()) {
        qsizetype lf = data.indexOf('\n', start);
        if (lf < 0)
            lf = data.size();
        QByteArray line = data.sliced(start, lf - start).toByteArray();
        line.replace("\r", "");
        lines.push_back(line);
        start = lf + 1;
    }
    return lines;
}

std::vector<QByteArray> readAll(LineReader &reader)
{
    std::vector<QByteArray> lines;
    QByteArrayView line;
    qint64 count = 0;
    while (reader.next(line)) {
        CHECK(reader.lineNumber() == ++count);
        lines.push_back(line.toByteArray());
    }
    // The end stays the end.
    CHECK(!reader.next(line));
    return lines;
}

bool isBlankOrTab(char c)
{
    return c == ' ' || c == '\t';
}

// The newer spellings that set a row of the table, written out here on their own.
const KeywordRow *newerSpelling(QByteArrayView word)
{
    static const std::pair<const char *, const char *> words[] = {
        {"areafixautocreate", "AutoAreaCreate"},
        {"areafixautocreatefile", "AutoAreaCreateFile"},
        {"areafixautocreatedefaults", "AutoAreaCreateDefaults"},
        {"autocreate", "AutoAreaCreate"},
    };
    for (const auto &[spelled, name] : words)
        if (word == QByteArrayView(spelled))
            return rowNamed(name);
    return nullptr;
}

// The row whose keyword is the matching text's first word, followed by a blank or a tab,
// found by trying every row of the table; a keyword alone (or before a comment alone) only
// for a switch, which it turns on.
const KeywordRow *bruteForceMatch(QByteArrayView matching, QByteArrayView asRead, char commentChar)
{
    if (asRead.startsWith(commentChar))
        return nullptr;
    qsizetype end = 0;
    while (end < matching.size() && !isBlankOrTab(matching[end]))
        ++end;
    const KeywordRow *found = newerSpelling(matching.first(end));
    for (const KeywordRow &e : keywordTable()) {
        const qsizetype n = e.keyword.size();
        // Byte by byte: a memcmp here would feed the fuzzer comparisons the reader never made.
        const char *m = matching.data();
        const char *w = e.keyword.data();
        if (n != end)
            continue;
        qsizetype k = 0;
        while (k < n && m[k] == w[k])
            ++k;
        if (k == n) {
            CHECK(!found); // no keyword is another's
            found = &e;
        }
    }
    if (!found)
        return nullptr;
    // What follows the separators: nothing, or a comment, leaves the keyword alone.
    qsizetype at = end;
    while (at < matching.size() && isTrimmed(matching[at]))
        ++at;
    const bool alone = at == matching.size()
            || (asRead[at] == commentChar
                && (at + 1 == asRead.size() || isBlankOrTab(asRead[at + 1])
                    || asRead[at + 1] == commentChar));
    return alone && !offersOn(*found) ? nullptr : found;
}

// The state a value gives its field, checked against the plain reading of each rule.
void checkState(const KeywordRow &row, QByteArrayView value)
{
    const QByteArray low = lowered(value);
    if (row.kind == ValueKind::Number)
        checkNumber(low);
    FieldState s;
    try {
        s = fieldState(row, value, 7);
    } catch (const NumberError &) {
        CHECK(row.kind == ValueKind::Number && !toWholeNumber(low));
        return;
    }
    CHECK(s.kind == row.kind);
    switch (row.kind) {
    case ValueKind::Text:
    case ValueKind::LineList:
    case ValueKind::LinkName:
        CHECK(s.text == value);
        break;
    case ValueKind::OnOff:
    case ValueKind::InvertedOnOff:
    case ValueKind::LowerUpper:
        CHECK(s.choice && *s.choice);
        break;
    case ValueKind::Number:
        CHECK(value.isEmpty() ? s.number == row.emptyNumber : s.number == *toWholeNumber(low));
        break;
    case ValueKind::Radio: {
        // The default, or the option of one of the row's words that occurs in the value.
        const RadioRule &rule = *row.radio;
        CHECK(s.option >= -1 && s.option < int(rule.options.size()));
        if (s.option != (rule.followsField ? -1 : rule.defaultOption)) {
            const RadioOption &o = rule.options[std::size_t(s.option)];
            CHECK(!o.word.isEmpty() && sv(low).find(sv(o.word)) != std::string_view::npos);
        }
        break;
    }
    case ValueKind::Flags:
        for (size_t b = 0; b < row.flags->words.size(); ++b)
            CHECK(bool(s.boxes & (1u << b))
                  == (sv(low).find(sv(row.flags->words[b])) != std::string_view::npos));
        CHECK(s.boxes >> row.flags->words.size() == 0);
        break;
    }
}

struct Recognised
{
    const KeywordRow *row;
    QByteArray value;
    qint64 lineNumber;
    int column; // link rows: the column written; -1 for the windows' rows
    bool operator==(const Recognised &o) const
    {
        return row == o.row && value == o.value && lineNumber == o.lineNumber;
    }
};

// The sink of one read: every line's match checked against the brute-force look-up, every
// value against the rules, every link line against the numbering the store must keep.
class CheckingSink final : public ConfigSink
{
public:
    explicit CheckingSink(const LinkStore &store)
        : m_store(store), m_firstColumn(store.columnCount())
    {
    }

    void lineRead(QByteArrayView raw, const LineFacts &facts) override
    {
        const bool inEffect = facts.inEffect;
        finishLine();
        ++m_lineNumber;
        CHECK(!raw.contains('\n') && !raw.contains('\r') && !raw.contains(char(26)));
        const QByteArrayView asRead = trimmed(raw);
        CHECK(asRead.isEmpty() || (!isTrimmed(asRead.front()) && !isTrimmed(asRead.back())));
        const QByteArray matching = lowered(asRead);
        CHECK(matching.size() == asRead.size());
        for (qsizetype k = 0; k < asRead.size(); ++k)
            CHECK(matching[k] == asRead[k]
                  || (asRead[k] >= 'A' && asRead[k] <= 'Z' && matching[k] == asRead[k] + 32));
        // A line in a branch not taken sets nothing.
        m_expected = inEffect ? bruteForceMatch(matching, asRead, m_commentChar) : nullptr;
        m_asRead = asRead;
        // "CommentChar C" makes C the comment character of the lines after it.
        if (inEffect && matching.startsWith("commentchar") && matching.size() > 11
            && isBlankOrTab(matching[11])) {
            const QByteArrayView rest = trimmed(asRead.sliced(11));
            if (rest.size() == 1)
                m_commentChar = rest.front();
        }
    }

    void windowValue(const KeywordLine &line) override
    {
        CHECK(line.row->place != Place::Link);
        take(line, -1);
    }

    void linkStarted(const KeywordLine &line, int column) override
    {
        // The n-th link ever read into the store is column n.
        CHECK(column == m_firstColumn + m_links);
        ++m_links;
        CHECK(m_store.columnCount() == column + 1);
        CHECK(m_store.cell(column, line.row->storeRow) == line.value);
        take(line, column);
    }

    void linkValue(const KeywordLine &line, int column) override
    {
        // Lines before the file's first link go to column 0, the rest to the last link's;
        // a LinkDefaults block's to the defaults.
        CHECK(line.row->storeRow >= 1 && line.row->storeRow < LinkStore::RowCount);
        if (column == LinkStore::DefaultsColumn) {
            const DefaultsMark mark = defaultsMark(*line.row, line.value);
            if (mark == DefaultsMark::None)
                CHECK(m_store.cell(column, line.row->storeRow) == line.value);
            else if (mark == DefaultsMark::Destroy)
                CHECK(m_store.cell(column, line.row->storeRow).isEmpty());
            take(line, column);
            return;
        }
        CHECK(column == (m_links ? m_firstColumn + m_links - 1 : 0));
        CHECK(m_store.cell(column, line.row->storeRow) == line.value);
        take(line, column);
    }

    std::vector<Recognised> finish()
    {
        finishLine();
        return std::move(m_out);
    }

private:
    void take(const KeywordLine &line, int column)
    {
        const KeywordRow &e = *line.row;
        CHECK(&e == m_expected);
        m_expected = nullptr;
        CHECK(line.lineNumber == m_lineNumber);
        // The value: the rest after the keyword and its blanks or tabs, never empty, nothing of
        // code 0 to 32 at an end, up to the line's end or to a comment after a blank or tab; a
        // switch alone reads "on".
        const QByteArrayView value = line.value;
        CHECK(!value.isEmpty());
        CHECK(!isTrimmed(value.front()) && !isTrimmed(value.back()));
        if (line.alone) {
            CHECK(offersOn(e) && value == "on");
        } else {
            const char *end = m_asRead.data() + m_asRead.size();
            CHECK(value.data() > m_asRead.data() && value.data() < end
                  && isTrimmed(value.data()[-1]));
            const QByteArrayView rest(value.data() + value.size(), end);
            CHECK(rest.isEmpty()
                  || (isTrimmed(rest.front()) && trimmed(rest).front() == m_commentChar));
        }
        checkShown(value);
        checkState(e, value);
        m_out.push_back({&e, value.toByteArray(), line.lineNumber, column});
    }

    // A line that the brute-force look-up matched must have reached the sink.
    void finishLine() { CHECK(!m_expected); }

    const LinkStore &m_store;
    const int m_firstColumn;
    int m_links = 0;
    qint64 m_lineNumber = 0;
    const KeywordRow *m_expected = nullptr;
    char m_commentChar = '#';
    QByteArrayView m_asRead;
    std::vector<Recognised> m_out;
};

// One Open of the data into the store, as the program reads it.
std::vector<Recognised> readInto(QByteArrayView data, LinkStore &store)
{
    LineReader reader(data);
    CheckingSink sink(store);
    readConfig(reader, store, sink);
    return sink.finish();
}

// Every cell the read wrote holds the value last written to it.
void checkCells(const LinkStore &store, const std::vector<Recognised> &lines)
{
    std::map<std::pair<int, int>, QByteArray> last;
    for (const Recognised &r : lines)
        if (r.column >= 0 && r.column != LinkStore::DefaultsColumn)
            last[{r.column, r.row->storeRow}] = r.value;
    for (const auto &[at, bytes] : last)
        CHECK(store.cell(at.first, at.second) == bytes);
    CHECK(store.cell(-1, 1).isEmpty() && store.cell(store.columnCount(), 1).isEmpty());
    CHECK(store.cell(0, -1).isEmpty() && store.cell(0, LinkStore::RowCount).isEmpty());
}

int scratchFile()
{
    static const int fd = [] {
        const int f = memfd_create("vog-fuzz", MFD_CLOEXEC);
        CHECK(f >= 0);
        return f;
    }();
    return fd;
}

std::vector<QByteArray> readThroughFile(QByteArrayView data, qsizetype chunkSize)
{
    const int fd = scratchFile();
    CHECK(ftruncate(fd, 0) == 0);
    CHECK(pwrite(fd, data.data(), size_t(data.size()), 0) == ssize_t(data.size()));
    CHECK(lseek(fd, 0, SEEK_SET) == 0);
    LineReader reader(fd, chunkSize);
    return readAll(reader);
}

// What a read of one file says, as bytes: each window keyword's value that took effect, each
// list's lines, each link record's cells.
struct Said
{
    std::map<int, QByteArray> values;
    std::map<int, std::vector<QByteArray>> lists;
    std::vector<std::vector<QByteArray>> links;
    bool operator==(const Said &o) const
    {
        return values == o.values && lists == o.lists && links == o.links;
    }
};

struct NoWindows final : public ConfigSink
{
    void windowValue(const KeywordLine &) override {}
    void linkStarted(const KeywordLine &, int) override {}
};

// Reads the bytes as the Open does, into a fresh document; false if a number stopped it.
bool readDocument(QByteArrayView data, int &file)
{
    document().clear();
    file = addSourceFile(QStringLiteral("/fuzz/input.cfg"));
    LineReader lines(data);
    NoWindows sink;
    try {
        readDocumentFile(lines, file, true, sink);
    } catch (const NumberError &) {
        return false;
    }
    return true;
}

Said said(const LinkStore &store)
{
    Said s;
    for (const KeywordRow &row : keywordTable()) {
        if (row.place == Place::Link)
            continue;
        for (const ValueLine *l : document().linesOf(row)) {
            const QByteArray bytes = document().valueBytes(*l).toByteArray();
            if (row.kind == ValueKind::LineList)
                s.lists[row.index].push_back(bytes);
            else
                s.values[row.index] = bytes;
        }
    }
    for (int c = 0; c < store.columnCount(); ++c) {
        s.links.emplace_back();
        for (const KeywordRow *row : rowsShownIn(Place::Link))
            s.links.back().push_back(store.cell(c, row->storeRow).toByteArray());
    }
    return s;
}

// What the document and the link records say of a file: every line where it stands, with its
// value, and every cell with the line that wrote it.
struct Standing
{
    std::vector<std::array<qint64, 8>> lines;
    std::vector<QByteArray> values;
    std::vector<std::pair<QByteArray, qint64>> cells;
    std::array<qint64, 6> facts;
    bool operator==(const Standing &o) const
    {
        return lines == o.lines && values == o.values && cells == o.cells && facts == o.facts;
    }
};

Standing standing(const LinkStore &store, int file)
{
    Standing s;
    const auto add = [&](const ValueLine *l) {
        s.lines.push_back({l->lineStart, l->lineLength, qint64(l->endLength), l->valueStart,
                           l->valueLength, l->line, qint64(l->row), l->column});
        s.values.push_back(document().valueBytes(*l).toByteArray());
    };
    for (const KeywordRow &row : keywordTable())
        if (row.place != Place::Link)
            for (const ValueLine *l : document().linesOf(row))
                add(l);
    for (int c = 0; c < store.columnCount(); ++c)
        for (const ValueLine *l : document().linesOfLink(c))
            add(l);
    for (const ValueLine *l : document().linesOfLink(LinkStore::DefaultsColumn))
        add(l);
    for (int c = 0; c < store.columnCount(); ++c)
        for (const KeywordRow *row : rowsShownIn(Place::Link)) {
            s.cells.emplace_back(store.cell(c, row->storeRow).toByteArray(),
                                 store.cellOrigin(c, row->storeRow).line);
            s.cells.emplace_back(store.inheritedCell(c, row->storeRow).toByteArray(),
                                 store.inheritedOrigin(c, row->storeRow).line);
        }
    const SourceFile &f = sourceFile(file);
    s.facts = {f.size, qint64(f.fingerprint), f.crlf, f.lastLineEnded, f.ctrlZ, f.lines};
    return s;
}

// The area lines of some bytes as a read finds them, shown in the codec given.
std::vector<AreaState> areasIn(QByteArrayView bytes, const TextCodec &codec)
{
    std::vector<AreaState> out;
    LineReader lines(bytes);
    LineState state;
    QByteArrayView line;
    while (lines.next(line))
        if (const LineFacts facts = readLine(line, state); facts.inEffect && facts.areaWord == 1
            && isAreaLine(lines.rawLine())) {
            // The grammar counted the line without its stray CRs; the raw line holds them.
            const qsizetype end = lines.rawEnd(facts.valueStart, facts.valueEnd);
            out.push_back(areaState(lines.rawLine().first(end), codec));
        }
    return out;
}

// The areas as the document shows them, those removed left out.
std::vector<AreaState> areasShown()
{
    std::vector<AreaState> out;
    const AreaLines &areas = document().areas();
    for (int i = 0; i < areas.count(); ++i)
        if (!areas.isRemoved(i))
            out.push_back(areas.state(i));
    return out;
}

// No change renders the input exactly. A few changes chosen from the input's bytes (a value
// changed, removed and added, a list line added and one removed, a link value set) render
// bytes that read back as exactly the changed state, every other value as it was; once saved,
// the document stands as a read of those bytes.
void checkRoundTrip(QByteArrayView data)
{
    int file;
    if (!readDocument(data, file))
        return;
    LinkStore &store = document().links();
    CHECK(document().render(file, data) == data);

    std::uint32_t seed = 2166136261u;
    for (char c : data)
        seed = (seed ^ std::uint8_t(c)) * 16777619u;
    const auto pick = [&](std::size_t n) {
        seed = seed * 1103515245u + 12345u;
        return n ? std::size_t(seed >> 8) % n : 0;
    };
    const auto word = [&] { return QStringLiteral("fz%1").arg(pick(100000)); };

    Said expected = said(store);
    std::vector<const KeywordRow *> texts, lists, linkTexts;
    for (const KeywordRow &row : keywordTable()) {
        if (row.kind == ValueKind::Text)
            (row.place == Place::Link ? linkTexts : texts).push_back(&row);
        else if (row.kind == ValueKind::LineList)
            lists.push_back(&row);
    }
    for (int edit = 0; edit < 3; ++edit) {
        const KeywordRow &row = *texts[pick(texts.size())];
        if (pick(3) == 0) {
            document().removeValue(row);
            expected.values.erase(row.index);
        } else {
            const QString text = word();
            document().setValue(row, -1, text);
            expected.values[row.index] = text.toLatin1();
        }
    }
    const KeywordRow &list = *lists[pick(lists.size())];
    std::vector<QByteArray> &lines = expected.lists[list.index];
    // A line whose bytes no other line of the list has goes; a new one comes somewhere.
    const std::size_t gone = pick(lines.size() + 1);
    if (gone < lines.size() && std::count(lines.begin(), lines.end(), lines[gone]) == 1)
        lines.erase(lines.begin() + qsizetype(gone));
    const QString added = word();
    lines.insert(lines.begin() + qsizetype(pick(lines.size() + 1)), added.toLatin1());
    QStringList shown;
    for (const QByteArray &l : lines)
        shown.append(sourceFile(file).codec.decode(l));
    document().setLines(list, shown);
    if (lines.empty())
        expected.lists.erase(list.index);
    const int column = int(pick(std::size_t(store.columnCount())));
    const KeywordRow &linkRow = *linkTexts[pick(linkTexts.size())];
    const QString linkText = word();
    document().setValue(linkRow, column, linkText);
    std::size_t at = 0;
    for (const KeywordRow *r : rowsShownIn(Place::Link)) {
        if (r == &linkRow)
            expected.links[std::size_t(column)][at] = linkText.toLatin1();
        ++at;
    }

    // An area: its description, its options and its links changed; another removed; a new
    // one, which goes after the file's last area line.
    AreaLines &areas = document().areas();
    const TextCodec codec = sourceFile(file).codec;
    CHECK(areasShown().size() == areasIn(data, codec).size());
    if (areas.count() > 0) {
        const int area = int(pick(std::size_t(areas.count())));
        AreaState s = areas.state(area);
        s.fields[Description] = word();
        s.options.append(QLatin1Char('-') + word());
        if (!s.links.empty()) {
            const QString gone = s.links[pick(s.links.size())].address;
            s.links.erase(std::remove_if(s.links.begin(), s.links.end(),
                                         [&](const AreaLink &l) {
                                             return l.address.compare(gone, Qt::CaseInsensitive)
                                                     == 0;
                                         }),
                          s.links.end());
        }
        const QString added =
                QStringLiteral("%1:%2/%3").arg(pick(9) + 1).arg(pick(9999)).arg(pick(9999));
        if (s.linkIndex(added) < 0)
            s.links.push_back({added, {QStringLiteral("-r")}});
        areas.setState(area, s);
        CHECK(areas.state(area) == s);
        const int other = int(pick(std::size_t(areas.count())));
        if (other != area)
            areas.removeAreas({other});
    }
    try {
        areas.addArea(QStringLiteral("FZ.") + word(), QStringLiteral("/fz"), -1, file);
    } catch (const RenderError &) {
        return; // the file's codepage holds no such word; no other reason
    }
    const std::vector<AreaState> expectedAreas = areasShown();

    QByteArray out;
    try {
        out = document().render(file, data);
    } catch (const RenderError &) {
        // A kept list line that its file's codepage can't write back as shown, or a line to
        // add at the end of a file that ends inside a condition.
        return;
    }
    // Saved, the document follows the edits to what a read of the new bytes finds.
    CHECK(areasIn(out, codec) == expectedAreas);
    document().saved(file, out);
    document().changesSaved();
    CHECK(areasShown() == expectedAreas);
    const Standing followed = standing(store, file);
    CHECK(readDocument(out, file));
    CHECK(said(document().links()) == expected);
    CHECK(standing(document().links(), file) == followed);
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    for (const KeywordRow &e : keywordTable()) {
        if (e.flags)
            CHECK(e.flags->words.size() <= 32);
        CHECK(e.keyword.size() >= 1 && e.keyword.size() <= MaxKeywordLength);
        CHECK(findKeyword(e.keyword) == &e);
    }
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *bytes, size_t size)
{
    const QByteArrayView data(reinterpret_cast<const char *>(bytes), qsizetype(size));

    LineReader memory(data);
    const std::vector<QByteArray> lines = readAll(memory);
    CHECK(lines == referenceLines(data));
    CHECK(lines == readThroughFile(data, 1 + qsizetype(size % 13)));

    // Two Opens of the same file into one store, as a user may do: the second numbers its
    // links on after the first's, and its lines before the first link go to column 0 again.
    LinkStore store;
    const std::vector<Recognised> first = readInto(data, store);
    checkCells(store, first);
    const int columnsAfterFirst = store.columnCount();
    const std::vector<Recognised> second = readInto(data, store);
    CHECK(first == second);
    checkCells(store, second);
    CHECK(store.columnCount() == 2 * columnsAfterFirst - 1);
    for (int c = 1; c < columnsAfterFirst; ++c)
        CHECK(store.cell(c, linkNameRow()) == store.cell(c + columnsAfterFirst - 1, linkNameRow()));

    // Any text, not only the values of number keywords, converts or fails cleanly.
    checkNumber(data);
    checkShown(data);
    checkCodepage(lines);
    checkRoundTrip(data);
    return 0;
}
