#include "Text.h"

#include <cstdint>
#include <cstring>

namespace vog {

QByteArrayView trimmedEnds(QByteArrayView text)
{
    const char *begin = text.data();
    const char *end = begin + text.size();
    // Values often stand after a column of blanks: eight at a time.
    static constexpr std::uint64_t Blanks = 0x2020202020202020ULL;
    const auto blanks = [](const char *p) {
        std::uint64_t eight;
        std::memcpy(&eight, p, 8);
        return eight == Blanks;
    };
    while (end - begin >= 8 && blanks(begin))
        begin += 8;
    while (begin < end && isTrimmed(*begin))
        ++begin;
    while (end > begin && isTrimmed(end[-1]))
        --end;
    return QByteArrayView(begin, end - begin);
}

void lowerInto(QByteArrayView text, QByteArray &out)
{
    out.resize(text.size());
    char *dst = out.data();
    const char *src = text.data();
    for (qsizetype i = 0, n = text.size(); i < n; ++i)
        dst[i] = lowerAscii(src[i]);
}

QByteArray lowered(QByteArrayView text)
{
    QByteArray out;
    lowerInto(text, out);
    return out;
}

bool contains(QByteArrayView text, QByteArrayView word)
{
    if (word.isEmpty())
        return true;
    if (word.size() > text.size())
        return false;
    const char *p = text.data();
    const char *last = text.data() + text.size() - word.size();
    const char first = word.front();
    while (p <= last) {
        p = static_cast<const char *>(std::memchr(p, first, size_t(last - p + 1)));
        if (!p)
            return false;
        if (std::memcmp(p, word.data(), size_t(word.size())) == 0)
            return true;
        ++p;
    }
    return false;
}

namespace {

// How many bytes at the start are plain ASCII, most of any configuration: eight at a time.
qsizetype asciiPrefix(const unsigned char *s, qsizetype n)
{
    qsizetype i = 0;
    for (; n - i >= 8; i += 8) {
        std::uint64_t word;
        std::memcpy(&word, s + i, sizeof word);
        if (word & 0x8080808080808080ULL)
            break;
    }
    while (i < n && s[i] < 0x80)
        ++i;
    return i;
}

} // namespace

bool isAscii(QByteArrayView bytes)
{
    // Every line of a file passes here: the bytes ORed eight at a time, the tail as one more
    // overlapping word, and one test at the end.
    const char *s = bytes.data();
    const qsizetype n = bytes.size();
    std::uint64_t all = 0;
    std::uint64_t word;
    if (n >= 8) {
        for (qsizetype i = 0; i + 8 <= n; i += 8) {
            std::memcpy(&word, s + i, sizeof word);
            all |= word;
        }
        std::memcpy(&word, s + n - 8, sizeof word);
        all |= word;
    } else {
        for (qsizetype i = 0; i < n; ++i)
            all |= static_cast<unsigned char>(s[i]);
    }
    return !(all & 0x8080808080808080ULL);
}

bool isValidUtf8(QByteArrayView bytes)
{
    const auto *s = reinterpret_cast<const unsigned char *>(bytes.data());
    const qsizetype n = bytes.size();
    qsizetype i = 0;
    while (i < n) {
        i += asciiPrefix(s + i, n - i);
        if (i == n)
            break;
        const unsigned char c = s[i];
        int more;
        unsigned int cp;
        if (c >= 0xC2 && c <= 0xDF) {
            more = 1;
            cp = c & 0x1F;
        } else if (c >= 0xE0 && c <= 0xEF) {
            more = 2;
            cp = c & 0x0F;
        } else if (c >= 0xF0 && c <= 0xF4) {
            more = 3;
            cp = c & 0x07;
        } else {
            return false;
        }
        for (int k = 1; k <= more; ++k) {
            if (i + k >= n || (s[i + k] & 0xC0) != 0x80)
                return false;
            cp = (cp << 6) | (s[i + k] & 0x3F);
        }
        // Overlong forms, surrogates and code points past U+10FFFF are not UTF-8.
        if ((more == 2 && cp < 0x800) || (more == 3 && cp < 0x10000) || cp > 0x10FFFF
            || (cp >= 0xD800 && cp <= 0xDFFF))
            return false;
        i += more + 1;
    }
    return true;
}

void appendDecoded(QString &out, QByteArrayView bytes)
{
    const auto *s = reinterpret_cast<const unsigned char *>(bytes.data());
    // ASCII reads alike as Latin-1 and as UTF-8, and goes in without a string of its own.
    if (asciiPrefix(s, bytes.size()) == bytes.size() || !isValidUtf8(bytes))
        out.append(QLatin1StringView(bytes.data(), bytes.size()));
    else
        out.append(QString::fromUtf8(bytes));
}

QString decodeValue(QByteArrayView bytes)
{
    QString text;
    appendDecoded(text, bytes);
    return text;
}

} // namespace vog
