// Feeds any bytes to the reader core as a configuration file and checks the rules every result
// must keep, line by line. A broken rule aborts, so the fuzzer keeps the input that broke it.
//
// Each input is read three ways: from memory, through a file descriptor in tiny reads (so lines
// straddle the reads), and by a plain reference splitter; all three must give the same lines.
// The recognised keyword lines and their values are the output; a second, brute-force look-up
// in the keyword table checks every match, and a plain reference parse checks every number.

#include "reader/Codepage.h"
#include "reader/ConfigScanner.h"
#include "reader/Errors.h"
#include "reader/KeywordTable.h"
#include "reader/LineReader.h"
#include "reader/LinkStore.h"
#include "reader/NumberConversion.h"
#include "reader/Text.h"
#include "reader/ValueRules.h"

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

// The entry whose literal begins the matching text, found by trying every entry of the table.
const KeywordEntry *bruteForceMatch(QByteArrayView matching)
{
    if (matching.startsWith('#'))
        return nullptr;
    const KeywordEntry *found = nullptr;
    for (const KeywordEntry &e : keywordTable()) {
        const qsizetype n = e.keyword.size();
        // Byte by byte: a memcmp here would feed the fuzzer comparisons the reader never made.
        const char *m = matching.data();
        const char *w = e.keyword.data();
        if (matching.size() <= n || m[n] != ' ')
            continue;
        qsizetype k = 0;
        while (k < n && m[k] == w[k])
            ++k;
        if (k == n) {
            CHECK(!found); // no literal begins another
            found = &e;
        }
    }
    return found;
}

struct Recognised
{
    const KeywordEntry *entry;
    QByteArray value;
    qint64 lineNumber;
    bool operator==(const Recognised &o) const
    {
        return entry == o.entry && value == o.value && lineNumber == o.lineNumber;
    }
};

// The link record store of one run as the Open command keeps it, with a shadow of every cell.
struct Links
{
    LinkStore store;
    std::map<std::pair<int, int>, QByteArray> shadow;

    void check() const
    {
        for (const auto &[at, bytes] : shadow)
            CHECK(store.cell(at.first, at.second) == bytes);
        CHECK(store.cell(-1, 1).isEmpty() && store.cell(store.columnCount(), 1).isEmpty());
        CHECK(store.cell(0, -1).isEmpty() && store.cell(0, LinkStore::RowCount).isEmpty());
    }
};

// One Open over the given lines: recognise, check and apply every line.
std::vector<Recognised> applyLines(const std::vector<QByteArray> &lines, Links &links)
{
    std::vector<Recognised> out;
    int counter = links.store.columnCount() - 1; // numbered on after earlier runs
    int column = 0;
    QByteArray matching;
    QByteArray lowValue;
    for (size_t i = 0; i < lines.size(); ++i) {
        const QByteArrayView raw = lines[i];
        CHECK(!raw.contains('\n') && !raw.contains('\r') && !raw.contains(char(26)));
        const QByteArrayView asRead = trimmed(raw);
        CHECK(asRead.isEmpty() || (!isTrimmed(asRead.front()) && !isTrimmed(asRead.back())));

        lowerInto(asRead, matching);
        CHECK(matching.size() == asRead.size());
        for (qsizetype k = 0; k < asRead.size(); ++k)
            CHECK(matching[k] == asRead[k]
                  || (asRead[k] >= 'A' && asRead[k] <= 'Z' && matching[k] == asRead[k] + 32));

        const KeywordEntry *expected = bruteForceMatch(matching);
        KeywordLine kl;
        const bool matched = matchLine(asRead, kl);
        CHECK(matched == (expected != nullptr));
        if (!matched)
            continue;
        const KeywordEntry &e = *kl.entry;
        CHECK(&e == expected);
        CHECK(sv(matching).substr(0, size_t(e.keyword.size()) + 1)
              == std::string(sv(e.keyword)) + ' ');

        // The value: the rest after the keyword, never empty, nothing of code 0 to 32 at an end.
        const QByteArrayView value = kl.value;
        CHECK(!value.isEmpty());
        CHECK(!isTrimmed(value.front()) && !isTrimmed(value.back()));
        CHECK(value.data() > asRead.data() + e.keyword.size()
              && value.data() + value.size() == asRead.data() + asRead.size());
        out.push_back({&e, value.toByteArray(), qint64(i + 1)});
        checkShown(value);

        lowerInto(value, lowValue);
        CHECK(lowValue.size() == value.size());
        switch (e.kind) {
        case ValueKind::Number:
            checkNumber(lowValue);
            break;
        case ValueKind::Radio: {
            // The default, or the option of one of the keyword's words.
            const int option = radioOption(lowValue, e.radio->words, e.radio->defaultOption);
            bool known = option == e.radio->defaultOption;
            for (const RadioWord &w : e.radio->words)
                known = known || option == w.option;
            CHECK(known);
            break;
        }
        case ValueKind::Flags: {
            const std::uint32_t bits = flagBits(lowValue, *e.flags);
            for (size_t b = 0; b < e.flags->size(); ++b)
                CHECK(bool(bits & (1u << b))
                      == (sv(lowValue).find(sv((*e.flags)[b].word)) != std::string_view::npos));
            CHECK(bits >> e.flags->size() == 0);
            break;
        }
        case ValueKind::LinkStart: {
            const int before = counter;
            ++counter;
            CHECK(counter > before);
            column = counter;
            links.store.setColumnCount(counter + 1);
            CHECK(links.store.columnCount() == counter + 1);
            links.store.setCell(column, e.linkRow, value);
            links.shadow[{column, e.linkRow}] = value.toByteArray();
            CHECK(links.store.cell(column, e.linkRow) == value);
            break;
        }
        case ValueKind::LinkValue:
            CHECK(e.linkRow >= 1 && e.linkRow < LinkStore::RowCount);
            links.store.setCell(column, e.linkRow, value);
            links.shadow[{column, e.linkRow}] = value.toByteArray();
            CHECK(links.store.cell(column, e.linkRow) == value);
            CHECK(links.store.cellText(column, e.linkRow) == decodeValue(value));
            break;
        default: // the other kinds take any value as it is
            break;
        }
    }
    links.check();
    return out;
}

std::vector<Recognised> scanAll(QByteArrayView data)
{
    LineReader reader(data);
    ConfigScanner scanner(reader);
    std::vector<Recognised> out;
    KeywordLine kl;
    while (scanner.next(kl))
        out.push_back({kl.entry, kl.value.toByteArray(), kl.lineNumber});
    return out;
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

} // namespace

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    for (const KeywordEntry &e : keywordTable()) {
        if (e.flags)
            CHECK(e.flags->size() <= 32);
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

    // Two Opens of the same file into one store, as a user may do.
    Links links;
    const std::vector<Recognised> first = applyLines(lines, links);
    CHECK(first == scanAll(data));
    const int columnsAfterFirst = links.store.columnCount();
    const std::vector<Recognised> second = applyLines(lines, links);
    CHECK(first == second);
    CHECK(links.store.columnCount() == 2 * columnsAfterFirst - 1);

    // Any text, not only the values of number keywords, converts or fails cleanly.
    checkNumber(data);
    checkShown(data);
    checkCodepage(lines);
    return 0;
}
