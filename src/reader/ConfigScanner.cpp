#include "ConfigScanner.h"

#include "ConfigRead.h"
#include "Text.h"

#include <QtEndian>

#include <algorithm>
#include <cstdint>
#include <cstring>

namespace vog {

namespace {

constexpr std::uint64_t Ones = 0x0101010101010101ULL;
constexpr std::uint64_t Highs = 0x8080808080808080ULL;

// Eight bytes, the first in the lowest bits on every machine.
std::uint64_t load8(const char *p)
{
    return qFromLittleEndian<std::uint64_t>(p);
}

// The high bit of each blank among eight bytes; right up to the first blank, which is all that
// is asked of it.
std::uint64_t blanksIn(std::uint64_t bytes)
{
    const std::uint64_t x = bytes ^ (Ones * ' ');
    return (x - Ones) & ~x & Highs;
}

// A to Z lower-cased in eight bytes at once, every other byte kept.
std::uint64_t lowerEight(std::uint64_t bytes)
{
    const std::uint64_t low = bytes & ~Highs;
    const std::uint64_t fromA = low + Ones * (0x80 - 'A');
    const std::uint64_t pastZ = low + Ones * (0x80 - 'Z' - 1);
    return bytes | (((fromA ^ pastZ) & ~bytes & Highs) >> 2);
}

} // namespace

bool matchLine(QByteArrayView line, KeywordLine &out)
{
    if (line.isEmpty() || line.front() == '#')
        return false;
    // A literal is a keyword and one blank, and no keyword holds a blank, so the word before
    // the first blank is the only candidate; it is lower-cased while the blank is looked for,
    // eight bytes at a time, and the search stops as soon as the word is too long for a keyword.
    const char *p = line.data();
    const qsizetype limit = std::min<qsizetype>(line.size(), MaxKeywordLength + 1);
    char word[MaxKeywordLength + 8] = {};
    qsizetype length = 0;
    bool blank = false;
    while (!blank && limit - length >= 8) {
        const std::uint64_t bytes = load8(p + length);
        qToLittleEndian(lowerEight(bytes), word + length);
        if (const std::uint64_t blanks = blanksIn(bytes)) {
            length += qCountTrailingZeroBits(blanks) / 8;
            blank = true;
        } else {
            length += 8;
        }
    }
    for (; !blank && length < limit && p[length] != ' '; ++length)
        word[length] = lowerAscii(p[length]);
    // No blank (a keyword alone, or one followed by a tab) or no word before it: no match.
    if (length == 0 || length > MaxKeywordLength || length == line.size())
        return false;
    // The index compares words zero-padded: clear what was lower-cased past the word's end.
    const qsizetype step = length & ~qsizetype(7);
    const std::uint64_t kept = (std::uint64_t(1) << (8 * (length & 7))) - 1;
    qToLittleEndian(load8(word + step) & kept, word + step);
    for (qsizetype at = step + 8; at < MaxKeywordLength; at += 8)
        qToLittleEndian(std::uint64_t(0), word + at);
    const KeywordRow *entry = findPaddedKeyword(word, length);
    if (!entry)
        return false;
    out.row = entry;
    out.line = line;
    out.value = trimmed(line.sliced(length));
    return true;
}

// The offset in the raw line of the byte at this offset of the line without its CRs.
static qsizetype rawOffset(QByteArrayView raw, qsizetype withoutCr)
{
    qsizetype seen = 0;
    for (qsizetype i = 0; i < raw.size(); ++i)
        if (raw[i] != '\r' && seen++ == withoutCr)
            return i;
    return raw.size();
}

bool ConfigScanner::next(KeywordLine &out)
{
    QByteArrayView raw;
    while (m_lines.next(raw)) {
        if (m_everyLine)
            m_everyLine->lineRead(raw);
        if (m_firstBytes && !raw.isEmpty() && !isTrimmed(raw.front())
            && !(*m_firstBytes)[static_cast<unsigned char>(raw.front())]
            && m_lines.lineStart() + m_lines.rawLine().size() < (qint64(1) << 32))
            continue;
        if (matchLine(trimmed(raw), out)) {
            out.lineNumber = m_lines.lineNumber();
            out.lineStart = m_lines.lineStart();
            out.endLength = m_lines.lineEndLength();
            const QByteArrayView bytes = m_lines.rawLine();
            out.rawLength = bytes.size();
            out.valueStart = out.value.data() - raw.data();
            out.valueEnd = out.valueStart + out.value.size();
            if (bytes.data() != raw.data()) {
                // The line lost stray CRs on the way: count them back in.
                out.valueStart = rawOffset(bytes, out.valueStart);
                out.valueEnd = rawOffset(bytes, out.valueEnd - 1) + 1;
            }
            return true;
        }
    }
    return false;
}

} // namespace vog
