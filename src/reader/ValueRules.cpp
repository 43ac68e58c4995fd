#include "ValueRules.h"

#include "NumberConversion.h"
#include "Text.h"

#include <QByteArray>
#include <QByteArrayList>

#include <algorithm>

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
        return optionWord(rule.options[std::size_t(state.option)]);
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

QByteArray optionWord(const RadioOption &option)
{
    return option.word.isEmpty() ? lowered(option.caption) : option.word.toByteArray();
}

int heldNumber(const KeywordRow &row, int number)
{
    return std::clamp(number, 0, rangeMaximum(row.range));
}

QByteArray shownState(const KeywordRow &row, const FieldState &state)
{
    // A number and a radio choice show otherwise than they are written; the rest as written.
    if (row.kind == ValueKind::Number)
        return QByteArray::number(heldNumber(row, state.number));
    if (row.kind == ValueKind::Radio)
        return state.option >= 0 && std::size_t(state.option) < row.radio->options.size()
                ? QByteArray(row.radio->options[std::size_t(state.option)].caption)
                : QByteArray();
    return stateWords(row, state);
}

bool typedNumber(QByteArrayView typed, qlonglong &number)
{
    const QByteArrayView text = trimmed(typed);
    if (text.isEmpty() || text.size() > 18)
        return false;
    for (qsizetype i = 0; i < text.size(); ++i)
        if (!(text[i] >= '0' && text[i] <= '9') && !(i == 0 && (text[i] == '-' || text[i] == '+')))
            return false;
    bool ok = false;
    number = text.toByteArray().toLongLong(&ok);
    return ok;
}

namespace {

bool sameWord(QByteArrayView a, QByteArrayView b)
{
    return a.size() == b.size() && lowered(a) == lowered(b);
}

} // namespace

bool typedState(const KeywordRow &row, QByteArrayView typed, FieldState &state, QByteArray &why)
{
    state = FieldState();
    state.kind = row.kind;
    const QByteArrayView text = trimmed(typed);
    const auto pick = [&](std::initializer_list<const char *> items) {
        for (const char *item : items)
            if (sameWord(text, item))
                state.choice = item;
        if (!state.choice)
            why = "takes " + QByteArray(*items.begin()) + " or " + QByteArray(*(items.begin() + 1));
        return state.choice != nullptr;
    };
    switch (row.kind) {
    case ValueKind::OnOff:
    case ValueKind::InvertedOnOff:
        return pick({"On", "Off"});
    case ValueKind::LowerUpper:
        return pick({"Lower", "Upper"});
    case ValueKind::Number: {
        qlonglong n = 0;
        const int most = rangeMaximum(row.range);
        if (!typedNumber(text, n) || n < 0 || n > most) {
            why = "takes a whole number from 0 to " + QByteArray::number(most);
            return false;
        }
        state.number = int(n);
        return true;
    }
    case ValueKind::Radio: {
        const std::vector<RadioOption> &options = row.radio->options;
        QByteArray captions;
        for (std::size_t i = 0; i < options.size(); ++i) {
            if (sameWord(text, options[i].caption))
                state.option = int(i);
            captions += (i == 0 ? "" : i + 1 == options.size() ? " or " : ", ")
                    + QByteArray(options[i].caption);
        }
        if (state.option < 0)
            why = "takes " + captions;
        return state.option >= 0;
    }
    case ValueKind::Flags: {
        const std::vector<QByteArrayView> &words = row.flags->words;
        for (const QByteArray &word : text.toByteArray().simplified().split(' ')) {
            if (word.isEmpty())
                continue;
            const auto at = std::find_if(words.begin(), words.end(),
                                         [&](QByteArrayView w) { return sameWord(word, w); });
            if (at == words.end()) {
                why = "has no box " + word;
                return false;
            }
            state.boxes |= 1u << (at - words.begin());
        }
        return true;
    }
    case ValueKind::Text:
    case ValueKind::LineList:
    case ValueKind::LinkName:
        state.text = typed;
        return true;
    }
    return false;
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
