#pragma once

#include "PageBlock.h"
#include "SourceFiles.h"

#include <QByteArrayView>
#include <QString>

#include <array>
#include <deque>
#include <limits>
#include <memory>
#include <vector>

namespace vog {

// The link record store: a table of text cells addressed (column, row), one column per link
// record and one row per per-link keyword. Cells hold the bytes of the file as they stood; a
// cell never written reads as empty. Columns are added without moving existing cells, and cell
// text lives in large shared blocks, so tens of thousands of links cost little.
//
// The defaults that LinkDefaults blocks set are kept in versions: a block that changes them
// makes a new version only once a link has taken the one before, and each link column names
// the version that stood at its link line. The defaults as the last block left them are a
// record of their own, at DefaultsColumn, which no link column can reach.
class LinkStore
{
public:
    static constexpr int RowCount = 100;
    static constexpr int DefaultsColumn = std::numeric_limits<int>::max();

    LinkStore();

    int columnCount() const { return int(m_columns.size()); }
    int rowCount() const { return RowCount; }
    // New columns inherit the defaults as they stand now.
    void setColumnCount(int count);
    // An empty column put in at `column`, the columns from there on one further; and a column
    // taken out, those after it one back. Column 0 stays.
    void insertColumn(int column);
    void removeColumn(int column);
    // No links, no defaults and no cells: as made.
    void clear();

    // Cells outside the columns or the keyword rows are ignored when written and read as empty.
    // A cell remembers the line that wrote it, and is shown in the codepage of that line's file.
    void setCell(int column, int row, QByteArrayView bytes, const Origin &origin = {});
    QByteArrayView cell(int column, int row) const;
    // The line that wrote a link's cell now stands at another line of its file.
    void moveCell(int column, int row, qint64 line);
    // The lines of a file from `from` on now stand `by` lines further on: the links' cells
    // they wrote follow (the defaults' are built again from their lines).
    void moveLines(int file, qint64 from, qint64 by);
    Origin cellOrigin(int column, int row) const;
    QString cellText(int column, int row) const;

    // The defaults. Writing DefaultsColumn through setCell sets one of them; this empties them
    // all, for the links that follow.
    void destroyDefaults();
    // The link takes the defaults as they stand now, as its link line did when read.
    void takeDefaults(int column);
    // What a link inherits where its own cell is empty: the default as it stood at its link
    // line (empty, no origin, for none).
    QByteArrayView inheritedCell(int column, int row) const;
    Origin inheritedOrigin(int column, int row) const;
    // Whether the link inherits the defaults as the last block left them.
    bool inheritsLatest(int column) const;

private:
    // Rows 1 to 48 are the keyword rows; nothing is ever kept in the others.
    static constexpr int KeptRows = 49;
    // Twelve bytes a cell, as tens of thousands of links make a million of them: the address of
    // the value's bytes in 48 bits (every address a process is given fits), its length in 16,
    // its line in 32. A value of 64 KiB or more keeps its length before its bytes; a line past
    // the 32-bit count is named as the last one it can.
    static constexpr quint16 LongValue = 0xFFFF;
    static constexpr quint32 MostLine = 0xFFFFFFFF;
    struct Cell
    {
        quint32 low = 0; // the address's low 32 bits
        quint16 high = 0; // its next 16
        quint16 size = 0;
        quint32 line = 0;
    };
    // A link's column is written by one file; column 0, the lines before a file's first link,
    // by any file that has such lines, so it keeps a file for each row. A link sets a few of
    // the keyword rows, so a column keeps only the cells written, in row order, in a run of
    // the shared cells: `rows` tells which rows they are. The column written last stands at the
    // end of the cells and grows in place; any other moves to the end to grow.
    struct Column
    {
        quint64 rows = 0;   // bit r: row r has a cell
        quint32 first = 0;  // its cells' run in m_cells
        quint8 room = 0;    // cells the run holds
        int file = -1;
        int defaults = -1; // the version of the defaults it inherits, or -1 for none
    };
    // The place of a row's cell in the column's run.
    static int rank(const Column &c, int row)
    {
        return countBits(c.rows & ((quint64(1) << row) - 1));
    }
    // The bits set, inline: without a popcount instruction in the build, the builtin is a call.
    static int countBits(quint64 x)
    {
        x -= (x >> 1) & 0x5555555555555555ULL;
        x = (x & 0x3333333333333333ULL) + ((x >> 2) & 0x3333333333333333ULL);
        x = (x + (x >> 4)) & 0x0f0f0f0f0f0f0f0fULL;
        return int((x * 0x0101010101010101ULL) >> 56);
    }
    const Cell *cellOf(const Column &c, int row) const
    {
        return c.rows >> row & 1 ? &m_cells[c.first + quint32(rank(c, row))] : nullptr;
    }
    Cell &makeRoom(Column &c, int row);
    // Blocks stand in any file, so each default keeps its file.
    struct Defaults
    {
        std::array<Cell, KeptRows> cells{};
        std::array<int, KeptRows> files{};
    };

    QByteArrayView keep(QByteArrayView bytes);
    Cell makeCell(QByteArrayView bytes, const Origin &origin);
    QByteArrayView cellBytes(const Cell &c) const;

    std::vector<Column> m_columns;
    PageBlock<Cell> m_cells;
    std::deque<Defaults> m_defaults;
    int m_latest = -1;          // the version a new link inherits
    bool m_latestTaken = false; // whether a link inherits it already
    std::array<int, KeptRows> m_firstColumnFiles;
    std::vector<std::unique_ptr<char[]>> m_blocks;
    qsizetype m_blockUsed = 0;
    qsizetype m_blockSize = 0;
};

} // namespace vog
