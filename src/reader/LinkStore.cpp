#include "LinkStore.h"

#include "Text.h"

#include <algorithm>
#include <cstring>

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
    if (bytes.size() > BlockSize / 4) {
        // Large values get a block of their own, so the shared block isn't wasted; the length
        // stands before the bytes, for one too long for a cell to say.
        m_blocks.push_back(std::make_unique<char[]>(sizeof(qsizetype) + size_t(bytes.size())));
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
        m_blocks.push_back(std::make_unique<char[]>(size_t(BlockSize)));
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
    c.cells[size_t(row)] = {kept.data(),
                            kept.size() >= qsizetype(LongValue) ? LongValue : quint32(kept.size()),
                            quint32(std::clamp<qint64>(origin.line, 0, LongValue))};
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
    if (c.size != LongValue)
        return QByteArrayView(c.data, qsizetype(c.size));
    qsizetype size;
    std::memcpy(&size, c.data - sizeof(qsizetype), sizeof size);
    return QByteArrayView(c.data, size);
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
