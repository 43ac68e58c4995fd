#include "ValueRules.h"

#include "NumberConversion.h"
#include "Text.h"

#include <QByteArray>

namespace vog {

int radioOption(QByteArrayView value, const RadioRule &rule, int defaultOption)
{
    int option = defaultOption;
    const auto test = [&](bool first) {
        for (std::size_t i = 0; i < rule.options.size(); ++i) {
            const RadioOption &o = rule.options[i];
            if (o.testedFirst == first && !o.word.isEmpty() && contains(value, o.word)
                && (o.unless.isEmpty() || !contains(value, o.unless)))
                option = int(i);
        }
    };
    test(true);
    test(false);
    return option;
}

std::uint32_t flagBits(QByteArrayView value, const FlagSet &flags)
{
    std::uint32_t bits = 0;
    for (std::size_t i = 0; i < flags.words.size(); ++i)
        if (contains(value, flags.words[i]))
            bits |= 1u << i;
    return bits;
}

QByteArray stateWords(const KeywordRow &row, const FieldState &state)
{
    switch (row.kind) {
    case ValueKind::OnOff:
    case ValueKind::InvertedOnOff:
    case ValueKind::LowerUpper:
        return state.choice ? QByteArray(state.choice) : QByteArray();
    case ValueKind::Number:
        return QByteArray::number(state.number);
    case ValueKind::Radio: {
        const RadioRule &rule = *row.radio;
        if (state.option < 0 || std::size_t(state.option) >= rule.options.size())
            return {};
        // The option's own word; an option that only the default reaches, its caption, which
        // holds no other option's word.
        const RadioOption &o = rule.options[std::size_t(state.option)];
        return o.word.isEmpty() ? lowered(o.caption) : o.word.toByteArray();
    }
    case ValueKind::Flags: {
        QByteArray words;
        for (std::size_t i = 0; i < row.flags->words.size(); ++i)
            if (state.boxes & (1u << i)) {
                if (!words.isEmpty())
                    words += ' ';
                words += row.flags->words[i].toByteArray();
            }
        return words;
    }
    case ValueKind::Text:
    case ValueKind::LineList:
    case ValueKind::LinkName:
        return state.text.toByteArray();
    }
    return {};
}

FieldState fieldState(const KeywordRow &row, QByteArrayView value, qint64 lineNumber,
                      int followedDefault)
{
    FieldState s;
    s.kind = row.kind;
    if (!row.comparesWords()) {
        s.text = value;
        return s;
    }
    // Words compare in lower case; one buffer serves every call on the thread.
    thread_local QByteArray lower;
    lowerInto(value, lower);
    const QByteArrayView v = lower;
    switch (row.kind) {
    case ValueKind::OnOff:
        s.choice = (v == "on" || v == "yes") ? "On" : "Off";
        break;
    case ValueKind::InvertedOnOff:
        s.choice = (v == "no" || v == "off") ? "Off" : "On";
        break;
    case ValueKind::LowerUpper:
        s.choice = v == "upper" ? "Upper" : "Lower";
        break;
    case ValueKind::Number:
        if (v.isEmpty()) {
            s.number = row.emptyNumber;
            s.clearUse = row.useBox;
        } else {
            s.number = convertNumber(v, lineNumber);
        }
        break;
    case ValueKind::Radio:
        s.option = radioOption(v, *row.radio,
                               row.radio->followsField ? followedDefault
                                                       : row.radio->defaultOption);
        break;
    case ValueKind::Flags:
        s.boxes = flagBits(v, *row.flags);
        break;
    case ValueKind::Text:
    case ValueKind::LineList:
    case ValueKind::LinkName:
        break;
    }
    return s;
}

} // namespace vog
