#include "LinkStore.h"

#include "Text.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <new>

namespace vog {

namespace {
constexpr qsizetype BlockSize = 256 * 1024;
}

LinkStore::LinkStore()
{
    m_columns.resize(1);
    m_firstColumnFiles.fill(-1);
}

void LinkStore::setColumnCount(int count)
{
    if (count < 0)
        count = 0;
    const size_t before = m_columns.size();
    m_columns.resize(size_t(count));
    for (size_t c = std::max<size_t>(before, 1); c < m_columns.size(); ++c)
        takeDefaults(int(c));
}

void LinkStore::insertColumn(int column)
{
    if (column <= 0 || column > columnCount())
        return;
    m_columns.insert(m_columns.begin() + column, Column());
}

void LinkStore::removeColumn(int column)
{
    if (column <= 0 || column >= columnCount())
        return;
    m_columns.erase(m_columns.begin() + column);
}

void LinkStore::clear()
{
    m_columns.clear();
    m_columns.resize(1);
    m_defaults.clear();
    m_latest = -1;
    m_latestTaken = false;
    m_firstColumnFiles.fill(-1);
    m_cells.clear();
    m_blocks.clear();
    m_blockUsed = 0;
    m_blockSize = 0;
}

void LinkStore::takeDefaults(int column)
{
    if (column <= 0 || column >= columnCount())
        return;
    m_columns[size_t(column)].defaults = m_latest;
    m_latestTaken = m_latestTaken || m_latest >= 0;
}

void LinkStore::destroyDefaults()
{
    m_latest = -1;
    m_latestTaken = false;
}

QByteArrayView LinkStore::keep(QByteArrayView bytes)
{
    if (bytes.isEmpty())
        return {};
    if (bytes.size() >= LongValue) {
        // Large values get a block of their own, so the shared block isn't wasted; the length
        // stands before the bytes, as it is too long for a cell to say.
        m_blocks.emplace_back(new char[sizeof(qsizetype) + size_t(bytes.size())]);
        char *p = m_blocks.back().get() + sizeof(qsizetype);
        const qsizetype size = bytes.size();
        std::memcpy(p - sizeof(qsizetype), &size, sizeof size);
        std::memcpy(p, bytes.data(), size_t(bytes.size()));
        // Keep filling the block that was current before.
        if (m_blocks.size() >= 2)
            std::swap(m_blocks[m_blocks.size() - 1], m_blocks[m_blocks.size() - 2]);
        return QByteArrayView(p, bytes.size());
    }
    if (m_blocks.empty() || m_blockSize - m_blockUsed < bytes.size()) {
        // Not cleared first: only the bytes written are ever read, and the rest of the last
        // block is never made resident.
        m_blocks.emplace_back(new char[size_t(BlockSize)]);
        m_blockSize = BlockSize;
        m_blockUsed = 0;
    }
    char *p = m_blocks.back().get() + m_blockUsed;
    std::memcpy(p, bytes.data(), size_t(bytes.size()));
    m_blockUsed += bytes.size();
    return QByteArrayView(p, bytes.size());
}

LinkStore::Cell LinkStore::makeCell(QByteArrayView bytes, const Origin &origin)
{
    const QByteArrayView kept = keep(bytes);
    const auto at = std::uint64_t(reinterpret_cast<std::uintptr_t>(kept.data()));
    if (at >> 48)
        throw std::bad_alloc(); // an address no cell can hold
    return {quint32(at), quint16(at >> 32),
            kept.size() >= LongValue ? LongValue : quint16(kept.size()),
            quint32(std::clamp<qint64>(origin.line, 0, MostLine))};
}

void LinkStore::setCell(int column, int row, QByteArrayView bytes, const Origin &origin)
{
    if (row < 0 || row >= KeptRows)
        return;
    if (column == DefaultsColumn) {
        // The links that took the defaults keep them as they were.
        if (m_latest < 0 || m_latestTaken) {
            m_defaults.push_back(m_latest < 0 ? Defaults{} : m_defaults[size_t(m_latest)]);
            if (m_latest < 0)
                m_defaults.back().files.fill(-1);
            m_latest = int(m_defaults.size()) - 1;
            m_latestTaken = false;
        }
        Defaults &d = m_defaults[size_t(m_latest)];
        d.cells[size_t(row)] = makeCell(bytes, origin);
        d.files[size_t(row)] = origin.file;
        return;
    }
    if (column < 0 || column >= columnCount())
        return;
    Column &c = m_columns[size_t(column)];
    const Cell made = makeCell(bytes, origin);
    makeRoom(c, row) = made;
    if (column == 0)
        m_firstColumnFiles[size_t(row)] = origin.file;
    else
        c.file = origin.file;
}

LinkStore::Cell &LinkStore::makeRoom(Column &c, int row)
{
    const int count = countBits(c.rows);
    // A row past every row set, as a link's lines mostly come, ends the run.
    const int at = c.rows >> row ? rank(c, row) : count;
    if (c.rows >> row & 1)
        return m_cells[c.first + quint32(at)];
    if (count == c.room) {
        const std::size_t end = m_cells.size();
        if (c.room == 0 || c.first + c.room != end) {
            // Not at the end: the run moves there, and the cells it leaves are never read.
            m_cells.resize(end + std::size_t(count));
            if (count)
                std::memmove(static_cast<void *>(&m_cells[end]), &m_cells[c.first],
                             std::size_t(count) * sizeof(Cell));
            c.first = quint32(end);
        }
        m_cells.push_back(Cell());
        ++c.room;
    }
    Cell *run = &m_cells[c.first];
    // A link's lines mostly come in row order: the new cell then ends the run.
    if (at < count)
        std::memmove(static_cast<void *>(run + at + 1), run + at,
                     std::size_t(count - at) * sizeof(Cell));
    run[at] = Cell();
    c.rows |= quint64(1) << row;
    return run[at];
}

void LinkStore::moveCell(int column, int row, qint64 line)
{
    if (column >= 0 && column < columnCount() && row >= 0 && row < KeptRows)
        makeRoom(m_columns[size_t(column)], row).line =
                quint32(std::clamp<qint64>(line, 0, MostLine));
}

void LinkStore::moveLines(int file, qint64 from, qint64 by)
{
    const auto move = [&](Cell &cell) {
        if (cell.line && cell.line >= from && cell.line != MostLine)
            cell.line = quint32(std::clamp<qint64>(cell.line + by, 1, MostLine));
    };
    for (std::size_t column = 0; column < m_columns.size(); ++column) {
        const Column &c = m_columns[column];
        if (column == 0) {
            for (int row = 0; row < KeptRows; ++row)
                if (m_firstColumnFiles[std::size_t(row)] == file && (c.rows >> row & 1))
                    move(m_cells[c.first + quint32(rank(c, row))]);
        } else if (c.file == file) {
            const auto cells = quint32(countBits(c.rows));
            for (quint32 k = 0; k < cells; ++k)
                move(m_cells[c.first + k]);
        }
    }
}

QByteArrayView LinkStore::cell(int column, int row) const
{
    if (column == DefaultsColumn)
        return m_latest < 0 || row < 0 || row >= KeptRows
                ? QByteArrayView()
                : cellBytes(m_defaults[size_t(m_latest)].cells[size_t(row)]);
    if (column < 0 || column >= columnCount() || row < 0 || row >= KeptRows)
        return {};
    const Cell *c = cellOf(m_columns[size_t(column)], row);
    return c ? cellBytes(*c) : QByteArrayView();
}

QByteArrayView LinkStore::cellBytes(const Cell &c) const
{
    const auto *data = reinterpret_cast<const char *>(
            std::uintptr_t((std::uint64_t(c.high) << 32) | c.low));
    if (c.size != LongValue)
        return QByteArrayView(data, qsizetype(c.size));
    qsizetype size;
    std::memcpy(&size, data - sizeof(qsizetype), sizeof size);
    return QByteArrayView(data, size);
}

Origin LinkStore::cellOrigin(int column, int row) const
{
    if (column == DefaultsColumn) {
        if (m_latest < 0 || row < 0 || row >= KeptRows)
            return {};
        const Defaults &d = m_defaults[size_t(m_latest)];
        const quint32 line = d.cells[size_t(row)].line;
        return line ? Origin{d.files[size_t(row)], qint64(line)} : Origin{};
    }
    if (column < 0 || column >= columnCount() || row < 0 || row >= KeptRows)
        return {};
    const Column &c = m_columns[size_t(column)];
    const int file = column == 0 ? m_firstColumnFiles[size_t(row)] : c.file;
    const Cell *cell = cellOf(c, row);
    const quint32 line = cell ? cell->line : 0;
    return line ? Origin{file, qint64(line)} : Origin{};
}

QString LinkStore::cellText(int column, int row) const
{
    const Origin origin = cellOrigin(column, row);
    return origin.isSet() ? sourceFile(origin.file).codec.decode(cell(column, row))
                          : decodeValue(cell(column, row));
}

} // namespace vog

namespace vog {

QByteArrayView LinkStore::inheritedCell(int column, int row) const
{
    if (column <= 0 || column >= columnCount() || row < 0 || row >= KeptRows)
        return {};
    const int v = m_columns[size_t(column)].defaults;
    return v < 0 ? QByteArrayView() : cellBytes(m_defaults[size_t(v)].cells[size_t(row)]);
}

Origin LinkStore::inheritedOrigin(int column, int row) const
{
    if (column <= 0 || column >= columnCount() || row < 0 || row >= KeptRows)
        return {};
    const int v = m_columns[size_t(column)].defaults;
    if (v < 0)
        return {};
    const Defaults &d = m_defaults[size_t(v)];
    const quint32 line = d.cells[size_t(row)].line;
    return line ? Origin{d.files[size_t(row)], qint64(line)} : Origin{};
}

bool LinkStore::inheritsLatest(int column) const
{
    return column > 0 && column < columnCount() && m_latest >= 0
            && m_columns[size_t(column)].defaults == m_latest;
}

} // namespace vog
