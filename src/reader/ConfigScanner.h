#pragma once

#include "KeywordTable.h"
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
    QByteArrayView value; // the rest after the keyword, trimmed; the file's letter case
    qint64 lineNumber = 0;
    // Where the line's bytes stand in the file, enough to rewrite the value alone: the line's
    // first byte, its length before the line end (stray CRs counted), the line end's length,
    // and the value's bytes as offsets into the line.
    qint64 lineStart = 0;
    qsizetype rawLength = 0;
    int endLength = 0;
    qsizetype valueStart = 0;
    qsizetype valueEnd = 0;
};

class ConfigSink;

// Walks the lines of a configuration file and yields the ones that carry a keyword.
// Comments, unknown keywords, keywords without a value or followed by a tab are skipped; a sink,
// if given, sees every line as it was read.
class ConfigScanner
{
public:
    explicit ConfigScanner(LineReader &lines, ConfigSink *everyLine = nullptr)
        : m_lines(lines), m_everyLine(everyLine)
    {
    }

    // The next keyword line, or false at the end of the file. Views stay valid until the next
    // call. A failed read throws an IoError.
    bool next(KeywordLine &out);

    // Passes over, unmatched, the lines whose first byte is neither a blank nor one marked here:
    // for a read that wants the lines of a few keywords alone. A line that a save couldn't
    // rewrite (past the first 4 GiB of the file) is matched all the same. Null: every line.
    void onlyFirstBytes(const std::array<bool, 256> *bytes) { m_firstBytes = bytes; }

private:
    LineReader &m_lines;
    ConfigSink *m_everyLine;
    const std::array<bool, 256> *m_firstBytes = nullptr;
};

// Recognises one line as read (already trimmed): its row and value, or false.
bool matchLine(QByteArrayView lineAsRead, KeywordLine &out);

} // namespace vog
