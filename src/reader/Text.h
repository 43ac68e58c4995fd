#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

namespace vog {

// Blanks, tabs and every other control character: what the reader trims off both ends.
inline bool isTrimmed(char c) { return static_cast<unsigned char>(c) <= 32; }

inline char lowerAscii(char c) { return (c >= 'A' && c <= 'Z') ? char(c + ('a' - 'A')) : c; }

// The text without characters of code 0 to 32 at either end; inner ones stay.
QByteArrayView trimmedEnds(QByteArrayView text);
inline QByteArrayView trimmed(QByteArrayView text)
{
    // Most lines and values have nothing to trim, and an indented one a single tab.
    if (text.isEmpty() || isTrimmed(text.back()))
        return text.isEmpty() ? text : trimmedEnds(text);
    if (!isTrimmed(text.front()))
        return text;
    if (text.size() > 1 && !isTrimmed(text[1]))
        return text.sliced(1);
    return trimmedEnds(text);
}

// Lower-cases A to Z into out (reused between calls); the length never changes.
void lowerInto(QByteArrayView text, QByteArray &out);
QByteArray lowered(QByteArrayView text);

// A plain search for a run of bytes anywhere in the text.
bool contains(QByteArrayView text, QByteArrayView word);

// True if no byte is 0x80 or more; eight bytes at a time.
bool isAscii(QByteArrayView bytes);

bool isValidUtf8(QByteArrayView bytes);

// A value as the user sees it: UTF-8 where its bytes are valid UTF-8, Latin-1 otherwise,
// so that no byte of the file is dropped or replaced.
QString decodeValue(QByteArrayView bytes);
// The same, appended to a text: many values gathered into one without a string for each.
void appendDecoded(QString &out, QByteArrayView bytes);

} // namespace vog
