#include "LinkStore.h"

#include "Text.h"

#include <cstring>

namespace vog {

namespace {
constexpr qsizetype BlockSize = 256 * 1024;
}

LinkStore::LinkStore()
{
    m_columns.resize(1);
}

void LinkStore::setColumnCount(int count)
{
    if (count < 0)
        count = 0;
    m_columns.resize(size_t(count));
}

QByteArrayView LinkStore::keep(QByteArrayView bytes)
{
    if (bytes.isEmpty())
        return {};
    if (bytes.size() > BlockSize / 4) {
        // Large values get a block of their own, so the shared block isn't wasted.
        m_blocks.push_back(std::make_unique<char[]>(size_t(bytes.size())));
        char *p = m_blocks.back().get();
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

void LinkStore::setCell(int column, int row, QByteArrayView bytes)
{
    if (column < 0 || column >= columnCount() || row < 0 || row >= RowCount)
        return;
    Column &c = m_columns[size_t(column)];
    if (row < DenseRows) {
        const QByteArrayView kept = keep(bytes);
        c.cells[size_t(row)] = {kept.data(), kept.size()};
        return;
    }
    if (!c.sparse)
        c.sparse = std::make_unique<std::map<int, QByteArray>>();
    (*c.sparse)[row] = bytes.toByteArray();
}

QByteArrayView LinkStore::cell(int column, int row) const
{
    if (column < 0 || column >= columnCount() || row < 0 || row >= RowCount)
        return {};
    const Column &c = m_columns[size_t(column)];
    if (row < DenseRows)
        return QByteArrayView(c.cells[size_t(row)].data, c.cells[size_t(row)].size);
    if (!c.sparse)
        return {};
    auto it = c.sparse->find(row);
    return it == c.sparse->end() ? QByteArrayView() : QByteArrayView(it->second);
}

QString LinkStore::cellText(int column, int row) const
{
    return decodeValue(cell(column, row));
}

} // namespace vog
