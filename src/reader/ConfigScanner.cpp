#include "ConfigScanner.h"

#include "Text.h"

#include <cstring>

namespace vog {

bool matchLine(QByteArrayView line, KeywordLine &out)
{
    if (line.isEmpty() || line.front() == '#')
        return false;
    // A literal is a keyword and one blank, and no keyword holds a blank, so the word before
    // the first blank is the only candidate. A line without a blank matches nothing.
    const void *blank = std::memchr(line.data(), ' ', size_t(line.size()));
    if (!blank)
        return false;
    const qsizetype length = static_cast<const char *>(blank) - line.data();
    if (length == 0 || length > MaxKeywordLength)
        return false;
    char word[MaxKeywordLength];
    for (qsizetype i = 0; i < length; ++i)
        word[i] = lowerAscii(line[i]);
    const KeywordEntry *entry = findKeyword(QByteArrayView(word, length));
    if (!entry)
        return false;
    out.entry = entry;
    out.line = line;
    out.value = trimmed(line.sliced(length));
    return true;
}

bool ConfigScanner::next(KeywordLine &out)
{
    QByteArrayView raw;
    while (m_lines.next(raw)) {
        if (matchLine(trimmed(raw), out)) {
            out.lineNumber = m_lines.lineNumber();
            return true;
        }
    }
    return false;
}

} // namespace vog
