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
    m_current = nullptr;
    m_currentColumn = -1;
}

void LinkStore::insertColumn(int column)
{
    if (column <= 0 || column > columnCount())
        return;
    m_columns.insert(m_columns.begin() + column, Column());
    m_current = nullptr;
    m_currentColumn = -1;
}

void LinkStore::removeColumn(int column)
{
    if (column <= 0 || column >= columnCount())
        return;
    m_columns.erase(m_columns.begin() + column);
    m_current = nullptr;
    m_currentColumn = -1;
}

void LinkStore::clear()
{
    m_columns.clear();
    m_columns.resize(1);
    m_defaults.clear();
    m_latest = -1;
    m_latestTaken = false;
    m_current = nullptr;
    m_currentColumn = -1;
    m_firstColumnFiles.fill(-1);
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
    if (column != m_currentColumn) {
        m_current = &m_columns[size_t(column)];
        m_currentColumn = column;
    }
    Column &c = *m_current;
    c.cells[size_t(row)] = makeCell(bytes, origin);
    if (column == 0)
        m_firstColumnFiles[size_t(row)] = origin.file;
    else
        c.file = origin.file;
}

void LinkStore::moveCell(int column, int row, qint64 line)
{
    if (column >= 0 && column < columnCount() && row >= 0 && row < KeptRows)
        m_columns[size_t(column)].cells[size_t(row)].line =
                quint32(std::clamp<qint64>(line, 0, MostLine));
}

QByteArrayView LinkStore::cell(int column, int row) const
{
    if (column == DefaultsColumn)
        return m_latest < 0 || row < 0 || row >= KeptRows
                ? QByteArrayView()
                : cellBytes(m_defaults[size_t(m_latest)].cells[size_t(row)]);
    if (column < 0 || column >= columnCount() || row < 0 || row >= KeptRows)
        return {};
    return cellBytes(m_columns[size_t(column)].cells[size_t(row)]);
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
    const quint32 line = c.cells[size_t(row)].line;
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
