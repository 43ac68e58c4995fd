#pragma once

#include "KeywordTable.h"
#include "LineGrammar.h"
#include "LineReader.h"

#include <QByteArray>
#include <QByteArrayView>

#include <array>

namespace vog {

// A line that carries a known keyword: its row, the line as read and the value cut from it.
struct KeywordLine
{
    const KeywordRow *row = nullptr;
    QByteArrayView line;  // the line as read: trimmed, in the file's letter case
    // The rest after the keyword without its trailing comment, trimmed; the file's letter case.
    // "on" for a switch written alone, which has no value bytes.
    QByteArrayView value;
    qint64 lineNumber = 0;
    bool alone = false;
    bool keywordLower = false; // the keyword spelled in lower case
    // What the line may hold (LineMarks), as far as its reader knows.
    std::uint8_t marks = LineMarks::Unknown;
    // Where the line's bytes stand in the file, enough to rewrite the value alone: the line's
    // first byte, its length before the line end (stray CRs counted), the line end's length,
    // the value's bytes as offsets into the line (an empty span after the keyword for a
    // switch alone) and where its trailing comment begins (-1: none).
    qint64 lineStart = 0;
    qsizetype rawLength = 0;
    int endLength = 0;
    qsizetype valueStart = 0;
    qsizetype valueEnd = 0;
    qsizetype commentStart = -1;
    QByteArrayView comment; // the trailing comment, from its comment character on, trimmed
    QByteArrayView keyword;   // the keyword as the line spells it
    QByteArrayView separator; // the blanks and tabs between it and the value
    // The state the lines before it left, which the line keeps: its variables, for what the
    // value reads as after expansion.
    const LineState *state = nullptr;
};

class ConfigSink;

// Walks the lines of a configuration file and yields the ones that carry a keyword in effect,
// each read by readLine() from the state the lines before it left. Comments, unknown keywords,
// keywords that need a value and stand alone, conditions and the lines of branches not taken
// are not yielded; a sink, if given, sees every line as it was read and every line of those
// that is not a comment or empty.
class ConfigScanner
{
public:
    explicit ConfigScanner(LineReader &lines, ConfigSink *everyLine = nullptr,
                           LineState *state = nullptr)
        : m_lines(lines), m_everyLine(everyLine), m_state(state ? *state : m_own)
    {
    }

    // The next keyword line, or false at the end of the file. Views stay valid until the next
    // call. A failed read throws an IoError.
    bool next(KeywordLine &out);
    // The state after the last line read.
    LineState &state() { return m_state; }

    // Passes over, unmatched, the lines whose first byte is neither a blank nor one marked here:
    // for a read that wants the lines of a few keywords alone. A line that a save couldn't
    // rewrite (past the first 4 GiB of the file) is matched all the same. Null: every line.
    void onlyFirstBytes(const std::array<bool, 256> *bytes) { m_firstBytes = bytes; }

private:
    LineReader &m_lines;
    ConfigSink *m_everyLine;
    const std::array<bool, 256> *m_firstBytes = nullptr;
    LineState m_own;
    LineState &m_state;
};

// Recognises one line, read from the state the lines before it left (a fresh one for none):
// its row and value, or false. Offsets count bytes of the line as given.
bool matchLine(QByteArrayView line, KeywordLine &out, LineState *state = nullptr);

} // namespace vog
