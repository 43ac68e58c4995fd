#pragma once

#include <QByteArrayView>

#include <cstdint>
#include <vector>

namespace vog {

// The small rules that turn a value into a field's state. The Open command and the link load
// both use them; each takes the value already lower-cased where the rule compares words.

// A word of a radio choice and the option it selects; `unless` is a longer word whose presence
// cancels the test ("hashdupes" does not count inside "hashdupeswmsgid").
struct RadioWord
{
    QByteArrayView word;
    int option;
    QByteArrayView unless = {};
};
using RadioWords = std::vector<RadioWord>;

struct RadioRule
{
    int defaultOption;
    RadioWords words;
};

// A flag word and the name of its check box.
struct FlagWord
{
    QByteArrayView word;
    const char *box;
};
using FlagWords = std::vector<FlagWord>;

inline const char *onOffText(QByteArrayView value)
{
    return (value == "on" || value == "yes") ? "On" : "Off";
}

inline const char *invertedOnOffText(QByteArrayView value)
{
    return (value == "no" || value == "off") ? "Off" : "On";
}

inline const char *lowerUpperText(QByteArrayView value)
{
    return value == "upper" ? "Upper" : "Lower";
}

// The default option, then each word in the list's order that occurs anywhere in the value
// selects its option; the last one found wins. A default of -1 means "no default".
int radioOption(QByteArrayView value, const RadioWords &words, int defaultOption);

// Bit i is set when flag word i occurs anywhere in the value.
std::uint32_t flagBits(QByteArrayView value, const FlagWords &flags);

} // namespace vog
