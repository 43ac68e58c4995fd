#pragma once

#include "ValueRules.h"

#include <QByteArrayView>

#include <vector>

namespace vog {

// How a recognised line's value becomes the state of its target.
enum class ValueKind {
    Text,          // set text, from the line as read
    LineList,      // append line, from the line as read
    OnOff,         // "On" for on/yes, else "Off"
    InvertedOnOff, // "Off" for no/off, else "On"
    LowerUpper,    // "Upper" for upper, else "Lower"
    Number,        // whole number, clamped by the field
    Radio,         // option chosen by the entry's words
    Flags,         // every box of the set, by the entry's flag words
    LinkStart,     // "link ": a new link record
    LinkValue,     // a per-link keyword: stored as text in the current link record
};

enum class Target { General, FilesAndPaths, LinkRecord };

struct KeywordEntry
{
    QByteArrayView keyword; // lower case; the literal is this word and one blank
    Target target;
    const char *field;      // the field's object name; for link rows the field that shows it
    ValueKind kind;
    int linkRow = 0;        // row of the link record store, for LinkStart and LinkValue
    const RadioRule *radio = nullptr;
    const FlagWords *flags = nullptr;

    // Values of these kinds are cut from the matching text, all others from the line as read.
    bool comparesWords() const
    {
        return kind != ValueKind::Text && kind != ValueKind::LineList
            && kind != ValueKind::LinkStart && kind != ValueKind::LinkValue;
    }
};

// The 129 keywords the Open command recognises, in table order.
const std::vector<KeywordEntry> &keywordTable();

// The entry whose keyword is exactly this lower-case word, or nullptr.
const KeywordEntry *findKeyword(QByteArrayView word);

// Longest and shortest keyword: a first word of any other length can't match.
constexpr int MaxKeywordLength = 32;

// The flag words of "areafixkillreports ", in test order (also the order of the boxes).
const FlagWords &areafixKillReportsFlags();

} // namespace vog
