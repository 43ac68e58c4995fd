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
    m_columns.resize(size_t(count));
    m_current = nullptr;
    m_currentColumn = -1;
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

void LinkStore::setCell(int column, int row, QByteArrayView bytes, const Origin &origin)
{
    if (column < 0 || column >= columnCount() || row < 0 || row >= KeptRows)
        return;
    const QByteArrayView kept = keep(bytes);
    if (column != m_currentColumn) {
        m_current = &m_columns[size_t(column)];
        m_currentColumn = column;
    }
    Column &c = *m_current;
    const auto at = std::uint64_t(reinterpret_cast<std::uintptr_t>(kept.data()));
    if (at >> 48)
        throw std::bad_alloc(); // an address no cell can hold
    c.cells[size_t(row)] = {quint32(at), quint16(at >> 32),
                            kept.size() >= LongValue ? LongValue : quint16(kept.size()),
                            quint32(std::clamp<qint64>(origin.line, 0, MostLine))};
    if (column == 0)
        m_firstColumnFiles[size_t(row)] = origin.file;
    else
        c.file = origin.file;
}

QByteArrayView LinkStore::cell(int column, int row) const
{
    if (column < 0 || column >= columnCount() || row < 0 || row >= KeptRows)
        return {};
    const Cell &c = m_columns[size_t(column)].cells[size_t(row)];
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
