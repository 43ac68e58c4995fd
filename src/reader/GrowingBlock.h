#pragma once

#include "LargePages.h"

#include <QByteArray>

#include <algorithm>

namespace vog {

// Makes room in a block that a read fills line by line (a hub's area lines) for `more` bytes:
// it grows to twice its size into a new block that, once large, asks for large pages before
// the bytes kept are copied into it. Appended to a line at a time, a block of megabytes would
// otherwise be made resident a small page at a time, several times over.
inline void growBlock(QByteArray &block, qsizetype more)
{
    if (block.capacity() - block.size() >= more)
        return;
    QByteArray larger;
    larger.reserve(std::max(2 * block.capacity(), block.size() + more));
    preferLargePages(larger.data(), std::size_t(larger.capacity()));
    larger.append(block);
    block.swap(larger);
}

} // namespace vog
