#include "ConfigScanner.h"

#include "ConfigRead.h"
#include "Text.h"

#include <algorithm>

namespace vog {

bool matchLine(QByteArrayView line, KeywordLine &out)
{
    if (line.isEmpty() || line.front() == '#')
        return false;
    // A literal is a keyword and one blank, and no keyword holds a blank, so the word before
    // the first blank is the only candidate; it is lower-cased while the blank is looked for,
    // and the search stops as soon as the word is too long for a keyword.
    const char *p = line.data();
    const qsizetype limit = std::min<qsizetype>(line.size(), MaxKeywordLength + 1);
    char word[MaxKeywordLength];
    qsizetype length = 0;
    while (length < limit && p[length] != ' ') {
        if (length == MaxKeywordLength)
            return false;
        word[length] = lowerAscii(p[length]);
        ++length;
    }
    // No blank (a keyword alone, or one followed by a tab) or no word before it: no match.
    if (length == 0 || length == line.size())
        return false;
    const KeywordRow *entry = findKeyword(QByteArrayView(word, length));
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
