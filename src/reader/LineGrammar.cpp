#include "LineGrammar.h"

#include "Text.h"

#include <QtEndian>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <utility>

namespace vog {

namespace {

constexpr std::uint64_t Ones = 0x0101010101010101ULL;
constexpr std::uint64_t Highs = 0x8080808080808080ULL;

// Eight bytes, the first in the lowest bits on every machine.
std::uint64_t load8(const char *p)
{
    return qFromLittleEndian<std::uint64_t>(p);
}

// The high bit of each blank or tab among eight bytes; right up to the first one, which is all
// that is asked of it.
std::uint64_t separatorsIn(std::uint64_t bytes)
{
    const std::uint64_t blank = bytes ^ (Ones * ' ');
    const std::uint64_t tab = bytes ^ (Ones * '\t');
    return (((blank - Ones) & ~blank) | ((tab - Ones) & ~tab)) & Highs;
}

// The high bit of each byte among eight above code 32: those that trimming keeps.
std::uint64_t keptBytesIn(std::uint64_t bytes)
{
    constexpr std::uint64_t Low7 = ~Highs;
    return (bytes | ((bytes & Low7) + Ones * (0x7f - 32))) & Highs;
}

// A to Z lower-cased in eight bytes at once, every other byte kept.
std::uint64_t lowerEight(std::uint64_t bytes)
{
    const std::uint64_t low = bytes & ~Highs;
    const std::uint64_t fromA = low + Ones * (0x80 - 'A');
    const std::uint64_t pastZ = low + Ones * (0x80 - 'Z' - 1);
    return bytes | (((fromA ^ pastZ) & ~bytes & Highs) >> 2);
}

bool isSeparator(char c)
{
    return c == ' ' || c == '\t';
}

// The first word of a line, lower-cased into `word` and zero-padded to MaxKeywordLength, as
// the keyword index compares words: eight bytes at a time, stopping as soon as the word is too
// long for a keyword. Gives its length; MaxKeywordLength + 1 for a longer word. `lower` tells
// whether the line spells the word in lower case already.
qsizetype firstWord(QByteArrayView line, char (&word)[MaxKeywordLength + 8], bool &lower)
{
    const char *p = line.data();
    const qsizetype limit = std::min<qsizetype>(line.size(), MaxKeywordLength + 1);
    qsizetype length = 0;
    bool found = false;
    std::uint64_t changed = 0;
    while (!found && limit - length >= 8) {
        const std::uint64_t bytes = load8(p + length);
        const std::uint64_t low = lowerEight(bytes);
        qToLittleEndian(low, word + length);
        if (const std::uint64_t seps = separatorsIn(bytes)) {
            const qsizetype in = qCountTrailingZeroBits(seps) / 8;
            changed |= (low ^ bytes) & ((std::uint64_t(1) << (8 * in)) - 1);
            length += in;
            found = true;
        } else {
            changed |= low ^ bytes;
            length += 8;
        }
    }
    for (; !found && length < limit && !isSeparator(p[length]); ++length) {
        word[length] = lowerAscii(p[length]);
        changed |= std::uint64_t(word[length] != p[length]);
    }
    if (length > MaxKeywordLength)
        return MaxKeywordLength + 1;
    lower = changed == 0;
    // Clear what was lower-cased past the word's end.
    const qsizetype step = length & ~qsizetype(7);
    const std::uint64_t kept = (std::uint64_t(1) << (8 * (length & 7))) - 1;
    qToLittleEndian(load8(word + step) & kept, word + step);
    for (qsizetype at = step + 8; at < MaxKeywordLength; at += 8)
        qToLittleEndian(std::uint64_t(0), word + at);
    return length;
}

// Where a word stands in a list of words, -1 for nowhere. Unrolled, each comparison has its
// length as a constant and costs a compare of sizes for a word of another length: faster
// than a switch on the length, for a test that runs on nearly every line.
template <std::size_t N, std::size_t... I>
int indexIn(const std::array<QByteArrayView, N> &words, QByteArrayView word,
            std::index_sequence<I...>)
{
    int found = -1;
    (void)((word.size() == words[I].size()
            && std::memcmp(word.data(), words[I].data(), std::size_t(words[I].size())) == 0
            && (found = int(I), true))
           || ...);
    return found;
}

template <std::size_t N>
int indexIn(const std::array<QByteArrayView, N> &words, QByteArrayView word)
{
    return indexIn(words, word, std::make_index_sequence<N>());
}

// In the order of DirectiveWords, after None.
enum class Directive { None, If, IfDef, IfNDef, ElseIf, Else, EndIf, Set, CommentChar };

Directive directiveOf(QByteArrayView word)
{
    return Directive(indexIn(DirectiveWords, word) + 1);
}

// 1 for the keyword of an area line, 2 for EchoAreaDefaults, else 0.
std::uint8_t areaWordOf(QByteArrayView word)
{
    if (indexIn(AreaKeywords, word) >= 0)
        return 1;
    return word == "echoareadefaults" ? 2 : 0;
}

QByteArrayView withoutQuotes(QByteArrayView side)
{
    side = trimmed(side);
    if (side.size() >= 2 && side.front() == '"' && side.back() == '"')
        side = side.sliced(1, side.size() - 2);
    return side;
}

bool isModule(QByteArrayView side)
{
    return lowered(withoutQuotes(side)) == "[module]";
}

} // namespace

static QByteArray &moduleChosen()
{
    static QByteArray name;
    return name;
}

void chooseModule(const QByteArray &name)
{
    moduleChosen() = name;
}

const QByteArray &chosenModule()
{
    return moduleChosen();
}

LineState::LineState() : module(chosenModule()) {}

LineState LineState::forIncludedFile() const
{
    LineState next;
    next.commentChar = commentChar;
    next.variables = variables;
    next.module = module;
    next.reportUndefined = reportUndefined;
    return next;
}

bool LineState::lookUp(QByteArrayView name, QByteArray &value) const
{
    const QByteArray key = lowered(name);
    if (const auto at = variables ? variables->find(key) : VariableMap::const_iterator();
        variables && at != variables->end()) {
        value = at->second;
        return true;
    }
    if (key == "os") {
        value = "UNIX";
        return true;
    }
    if (key == "module") {
        value = module;
        return true;
    }
    const QByteArray nameText = name.toByteArray();
    if (qEnvironmentVariableIsSet(nameText.constData())) {
        value = qgetenv(nameText.constData());
        return true;
    }
    return false;
}

QByteArray LineState::expand(QByteArrayView text, QByteArrayList *undefined, bool *backQuoted) const
{
    QByteArray out;
    qsizetype at = 0;
    while (at < text.size()) {
        const qsizetype open = text.indexOf('[', at);
        const qsizetype quote = text.indexOf('`', at);
        if (quote >= 0 && (open < 0 || quote < open)) {
            // A word in back quotes would be run by the tosser; here it stays as written.
            if (backQuoted)
                *backQuoted = true;
            const qsizetype close = text.indexOf('`', quote + 1);
            const qsizetype end = close < 0 ? text.size() : close + 1;
            out += text.sliced(at, end - at);
            at = end;
            continue;
        }
        const qsizetype close = open < 0 ? -1 : text.indexOf(']', open + 1);
        if (close < 0) {
            out += text.sliced(at);
            break;
        }
        out += text.sliced(at, open - at);
        const QByteArrayView name = text.sliced(open + 1, close - open - 1);
        QByteArray value;
        if (lookUp(name, value))
            out += value;
        else if (undefined)
            undefined->append(name.toByteArray());
        at = close + 1;
    }
    return out;
}

bool offersOn(const KeywordRow &row)
{
    switch (row.kind) {
    case ValueKind::OnOff:
    case ValueKind::InvertedOnOff:
        return true;
    case ValueKind::Radio:
        return std::any_of(row.radio->options.begin(), row.radio->options.end(),
                           [](const RadioOption &o) { return lowered(o.caption) == "on"; });
    default:
        return false;
    }
}

qsizetype valueEndBeforeComment(QByteArrayView line, qsizetype from, char commentChar,
                                qsizetype *commentStart)
{
    qsizetype end = line.size();
    qsizetype comment = -1;
    const char *base = line.data();
    const auto endsComment = [&](qsizetype p) {
        return p + 1 == line.size() || isSeparator(base[p + 1]) || base[p + 1] == commentChar;
    };
    // Right after the blanks that end a word, control characters among them, as a value's own
    // blanks are trimmed alike; further on, after a blank or tab.
    qsizetype first = from;
    while (first < line.size() && isTrimmed(base[first]))
        ++first;
    const bool afterBlanks = first > 0 && isTrimmed(base[first - 1]);
    for (qsizetype at = from; at < line.size();) {
        const void *hit = std::memchr(base + at, commentChar, std::size_t(line.size() - at));
        if (!hit)
            break;
        const qsizetype p = static_cast<const char *>(hit) - base;
        if (((p > 0 && isSeparator(base[p - 1])) || (p == first && afterBlanks))
            && endsComment(p)) {
            comment = p;
            end = p;
            break;
        }
        at = p + 1;
    }
    while (end > from && isTrimmed(base[end - 1]))
        --end;
    if (commentStart)
        *commentStart = comment;
    return end;
}

bool sameSides(QByteArrayView a, QByteArrayView b, const LineState &state)
{
    const QByteArray left = lowered(state.expand(withoutQuotes(a)));
    const QByteArray right = lowered(state.expand(withoutQuotes(b)));
    return left == right;
}

LineFacts readLine(QByteArrayView whole, LineState &state, qint64 lineNumber, std::uint8_t marks)
{
    LineFacts facts;
    facts.inEffect = state.inEffect();
    const QByteArrayView line = trimmed(whole);
    if (line.isEmpty())
        return facts;
    const qsizetype lead = line.data() - whole.data();
    facts.lineFrom = lead;
    facts.lineTo = lead + line.size();
    if (line.front() == state.commentChar) {
        facts.kind = LineKind::Comment;
        return facts;
    }
    char word[MaxKeywordLength + 8];
    const qsizetype length = firstWord(line, word, facts.keywordLower);
    facts.kind = LineKind::Other;
    if (length > MaxKeywordLength)
        return facts;
    facts.keywordEnd = lead + length;
    // A line the reader saw no comment character in needs no search for one.
    const bool noComment = state.commentChar == '#' && !(marks & LineMarks::Hash);
    const auto valueAfter = [&](qsizetype from, bool comments = true) {
        const char *base = line.data();
        qsizetype start = from;
        // Eight bytes at a time, the first that is no blank nor control character found
        // without a branch on how many blanks and tabs there are.
        while (line.size() - start >= 8) {
            if (const std::uint64_t kept = keptBytesIn(load8(base + start))) {
                start += qCountTrailingZeroBits(kept) / 8;
                break;
            }
            start += 8;
        }
        while (start < line.size() && isTrimmed(base[start]))
            ++start;
        qsizetype end = line.size();
        if (comments && !noComment)
            end = valueEndBeforeComment(line, from, state.commentChar, &facts.commentStart);
        if (facts.commentStart >= 0)
            facts.commentStart += lead;
        start = std::min(start, end);
        facts.valueStart = lead + start;
        facts.valueEnd = lead + end;
        return line.sliced(start, end - start);
    };

    if (const KeywordRow *row = findPaddedKeyword(word, length)) {
        facts.row = row;
        facts.kind = LineKind::Keyword;
        const QByteArrayView value = valueAfter(length);
        if (value.isEmpty()) {
            facts.valueStart = facts.valueEnd = lead + length;
            if (offersOn(*row))
                facts.alone = true;
            else
                facts.kind = LineKind::Alone;
        } else if (state.reportUndefined && facts.inEffect && value.contains('[')) {
            state.expand(value, &facts.namesToFill().undefined);
        }
        return facts;
    }

    const Directive directive = directiveOf(QByteArrayView(word, length));
    if (directive == Directive::None) {
        // An area line's words, and EchoAreaDefaults' options, end where its comment starts.
        facts.areaWord = areaWordOf(QByteArrayView(word, length));
        // An area keyword alone on its line names no area.
        if (facts.areaWord == 1 && length == line.size())
            facts.areaWord = 0;
        if (facts.areaWord)
            valueAfter(length);
        return facts;
    }
    facts.kind = directive == Directive::Set ? LineKind::Set
            : directive == Directive::CommentChar ? LineKind::CommentChar
                                                  : LineKind::Condition;
    const QByteArrayView rest = valueAfter(length, directive != Directive::CommentChar);
    QByteArrayList *undefined =
            state.reportUndefined && facts.inEffect ? &facts.namesToFill().undefined : nullptr;
    // A condition's test, false for one that is no comparison.
    bool onModule = false;
    const auto holds = [&](QByteArrayView test) {
        const qsizetype eq = test.indexOf("==");
        const qsizetype ne = test.indexOf("!=");
        const qsizetype op = eq < 0 ? ne : ne < 0 ? eq : std::min(eq, ne);
        if (op < 0) {
            facts.problem = LineFacts::BadCondition;
            return false;
        }
        const QByteArrayView a = test.first(op);
        const QByteArrayView b = test.sliced(op + 2);
        if (isModule(a) || isModule(b)) {
            onModule = true;
            facts.namesToFill().modules.append(state.expand(withoutQuotes(isModule(a) ? b : a)));
        }
        if (undefined) {
            state.expand(a, undefined);
            state.expand(b, undefined);
        }
        return sameSides(a, b, state) == (op == eq);
    };
    const auto defined = [&](QByteArrayView name) {
        QByteArray value;
        return lowered(name) == "module" ? !state.module.isEmpty() : state.lookUp(name, value);
    };
    switch (directive) {
    case Directive::If:
    case Directive::IfDef:
    case Directive::IfNDef: {
        const bool outer = state.inEffect();
        // A condition in a branch not taken is not tested: none of its branches is.
        bool on = false;
        if (directive == Directive::If)
            on = holds(rest);
        else
            on = defined(trimmed(rest)) == (directive == Directive::IfDef);
        on = on && outer;
        state.branches.push_back({lineNumber, outer, on, on, false, onModule});
        break;
    }
    case Directive::ElseIf:
    case Directive::Else:
        if (state.branches.empty() || state.branches.back().sawElse) {
            facts.problem = directive == Directive::Else ? LineFacts::ElseWithoutIf
                                                         : LineFacts::ElseIfWithoutIf;
            if (directive == Directive::ElseIf)
                holds(rest);
            break;
        }
        {
            LineState::Branch &b = state.branches.back();
            const bool test = directive == Directive::Else || holds(rest);
            b.on = b.outerOn && !b.taken && test;
            b.taken = b.taken || b.on;
            b.sawElse = directive == Directive::Else;
            b.onModule = b.onModule || onModule;
        }
        break;
    case Directive::EndIf:
        if (state.branches.empty())
            facts.problem = LineFacts::EndifWithoutIf;
        else {
            if (state.branches.back().onModule)
                facts.moduleFrom = state.branches.back().line;
            state.branches.pop_back();
        }
        break;
    case Directive::Set: {
        if (!facts.inEffect)
            break;
        const qsizetype eq = rest.indexOf('=');
        const QByteArrayView name = eq < 0 ? QByteArrayView() : trimmed(rest.first(eq));
        if (name.isEmpty()) {
            facts.problem = LineFacts::BadSet;
            break;
        }
        auto next = state.variables ? std::make_shared<VariableMap>(*state.variables)
                                    : std::make_shared<VariableMap>();
        (*next)[lowered(name)] = state.expand(trimmed(rest.sliced(eq + 1)), undefined);
        state.variables = std::move(next);
        break;
    }
    case Directive::CommentChar:
        if (!facts.inEffect)
            break;
        if (rest.size() == 1)
            state.commentChar = rest.front();
        else
            facts.problem = LineFacts::BadCommentChar;
        break;
    case Directive::None:
        break;
    }
    return facts;
}

} // namespace vog
