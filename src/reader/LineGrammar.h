#pragma once

#include "KeywordTable.h"
#include "LineReader.h"

#include <QByteArray>
#include <QByteArrayList>
#include <QByteArrayView>

#include <array>
#include <map>
#include <memory>
#include <vector>

namespace vog {

// The variables of a read: those that `set` lines define, by name in lower case. Shared, never
// changed once made: a `set` line makes a new map, so a state kept at a line stays as it was.
using VariableMap = std::map<QByteArray, QByteArray>;

// What the lines before a line leave for it: the comment character, the variables and the
// conditions open. A file read through an include starts from the state at its include line
// (the conditions closed); a file the user opens starts afresh.
class LineState
{
public:
    // A fresh state, for the first line of a file the user opens: [module] the chosen module.
    LineState();

    char commentChar = '#';
    std::shared_ptr<const VariableMap> variables; // null: none defined
    QByteArray module;
    // --check: the [NAME] words that nothing defines are looked for in every line in effect.
    bool reportUndefined = false;

    // One condition open, from its if line on.
    struct Branch
    {
        qint64 line;    // the if line
        bool outerOn;   // the lines around the condition are in effect
        bool on;        // the lines of the branch read now are
        bool taken;     // a branch of this condition was taken already
        bool sawElse;
        bool onModule;  // a test of it compares [module]
    };
    std::vector<Branch> branches;
    bool inEffect() const { return branches.empty() || branches.back().on; }

    // The same state for the first line of another file: variables and comment character
    // carried on, no condition open.
    LineState forIncludedFile() const;

    // The value of a variable: one a set line defines, else OS (UNIX) and module, else the
    // environment's. False for a name nothing defines.
    bool lookUp(QByteArrayView name, QByteArray &value) const;

    // A text with every [NAME] replaced by the variable's value. A name nothing defines stands
    // for nothing, and is reported in undefined (if given); a word in back quotes is never run:
    // it is kept as written, and backQuoted (if given) set.
    QByteArray expand(QByteArrayView text, QByteArrayList *undefined = nullptr,
                      bool *backQuoted = nullptr) const;
};

// The first words of the area lines, in lower case, in the order of AreaKind.
inline constexpr std::array<QByteArrayView, 5> AreaKeywords{
    "echoarea", "localarea", "netmailarea", "badarea", "dupearea"};

// The first words of the lines that change how the lines after them read, in lower case: the
// conditions (if, ifdef, ifndef, elseif, else, endif), set and CommentChar.
inline constexpr std::array<QByteArrayView, 8> DirectiveWords{
    "if", "ifdef", "ifndef", "elseif", "else", "endif", "set", "commentchar"};

// What one line is.
enum class LineKind : std::uint8_t {
    Empty,
    Comment,
    Condition,   // if, ifdef, ifndef, elseif, else, endif
    Set,         // set NAME=VALUE
    CommentChar, // CommentChar C
    Keyword,     // a keyword of the table, with its value
    Alone,       // a keyword of the table alone on its line that needs a value
    Other,       // anything else: an unknown word, text
};

// The names a line gives beside its facts: few lines have any.
struct LineNames
{
    // [NAME] words that nothing defines, in a line in effect (when the state asks for them).
    QByteArrayList undefined;
    // The names that an if or elseif compares [module] with.
    QByteArrayList modules;
};

// A line made sense of. Offsets count bytes of the line as given (trimmed or not). Small enough
// to be made for every line of a file without a block fill.
struct LineFacts
{
    LineKind kind = LineKind::Empty;
    bool inEffect = true;   // false in a branch not taken
    // A switch written alone: its value reads as "on", and the line has no value bytes.
    bool alone = false;
    // The line spells its first word in lower case.
    bool keywordLower = false;
    // What went wrong, for --check; empty for nothing.
    enum Problem : std::uint8_t {
        None,
        IfWithoutEndif,  // reported at the file's end, for the if line
        EndifWithoutIf,
        ElseWithoutIf,
        ElseIfWithoutIf,
        BadCondition,    // an if or elseif with no == or !=
        BadCommentChar,  // not one character
        BadSet,          // no NAME=
    } problem = None;
    // The first word names an area line (1) or is EchoAreaDefaults (2): for the area lines'
    // own reading.
    std::uint8_t areaWord = 0;
    const KeywordRow *row = nullptr;
    // The line without the blanks and control characters around it; its first word (a
    // keyword's) starts at lineFrom.
    qsizetype lineFrom = 0;
    qsizetype lineTo = 0;
    qsizetype keywordEnd = 0;
    // The value: without the blanks around it and its comment; for an area line or
    // EchoAreaDefaults, the words after its first.
    qsizetype valueStart = 0;
    qsizetype valueEnd = 0;
    qsizetype commentStart = -1; // the trailing comment character, -1 for none
    // At the endif of a condition that compares [module], its if line.
    qint64 moduleFrom = 0;
    std::unique_ptr<LineNames> names; // null: none

    const QByteArrayList &undefined() const { return names ? names->undefined : noNames(); }
    const QByteArrayList &modules() const { return names ? names->modules : noNames(); }
    LineNames &namesToFill()
    {
        if (!names)
            names = std::make_unique<LineNames>();
        return *names;
    }

private:
    static const QByteArrayList &noNames()
    {
        static const QByteArrayList none;
        return none;
    }
};

// Reads one line, given the state before it, into what it is; the state becomes the one after
// it. lineNumber is kept with each condition opened. The words of a line are separated by blanks
// or tabs; a keyword's value is the rest of the line without its trailing comment: the comment
// character after a blank or tab and before a blank, a tab, another comment character or the
// line's end. marks tells what the line can't hold, where the caller knows.
LineFacts readLine(QByteArrayView line, LineState &state, qint64 lineNumber = 0,
                   std::uint8_t marks = LineMarks::Unknown);

// The module chosen for this run: what [module] stands for in every read from now on; empty
// for none.
void chooseModule(const QByteArray &name);
const QByteArray &chosenModule();

// The switch "on" that a keyword written alone stands for.
inline QByteArrayView aloneValue()
{
    return QByteArrayView("on", 2);
}

// Whether a keyword written alone means On: On/Off choices, inverted ones, and radio choices
// with an "on" option.
bool offersOn(const KeywordRow &row);

// The end of a value that starts at `from` of a line: before its trailing comment and the
// blanks before that; and where the comment character stands (-1: none).
qsizetype valueEndBeforeComment(QByteArrayView line, qsizetype from, char commentChar,
                                qsizetype *commentStart = nullptr);

// Whether a condition's two sides are the same after expansion: without the double quotes
// around each side and without regard to letter case.
bool sameSides(QByteArrayView a, QByteArrayView b, const LineState &state);

} // namespace vog
