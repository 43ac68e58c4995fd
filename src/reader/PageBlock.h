#pragma once

#include <QByteArrayView>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <new>
#include <type_traits>
#include <utility>

#if defined(__linux__)
#include <sys/mman.h>
#endif

namespace vog {

// A growing array of plain items in one block of pages of its own, for what a read of a large
// file piles up (a million recognised lines, the window values' bytes). On Linux the block
// grows by moving its pages, never by copying them, and pages not yet written cost nothing; its
// pages never go through the C library's heap, which would keep a large freed block resident.
// Elsewhere it grows with realloc.
template <typename T>
class PageBlock
{
    static_assert(std::is_trivially_copyable_v<T>, "items move with their pages");

public:
    PageBlock() = default;
    PageBlock(const PageBlock &) = delete;
    PageBlock &operator=(const PageBlock &) = delete;
    ~PageBlock()
    {
#if defined(__linux__)
        if (m_data)
            ::munmap(m_data, m_bytes);
#else
        std::free(m_data);
#endif
    }

    std::size_t size() const { return m_size; }
    T *data() { return m_data; }
    const T *data() const { return m_data; }
    T &operator[](std::size_t i) { return m_data[i]; }
    const T &operator[](std::size_t i) const { return m_data[i]; }
    T *begin() { return m_data; }
    T *end() { return m_data + m_size; }
    const T *begin() const { return m_data; }
    const T *end() const { return m_data + m_size; }

    void push_back(const T &item)
    {
        if (m_size == m_capacity)
            grow(m_size + 1);
        m_data[m_size++] = item;
    }
    void append(const T *items, std::size_t count)
    {
        if (m_size + count > m_capacity)
            grow(m_size + count);
        if (count)
            std::memcpy(static_cast<void *>(m_data + m_size), items, count * sizeof(T));
        m_size += count;
    }
    // New items are made as T() makes them.
    void resize(std::size_t size)
    {
        if (size > m_capacity)
            grow(size);
        std::fill(m_data + std::min(size, m_size), m_data + size, T());
        m_size = size;
    }
    // The pages stay, for the next read.
    void clear() { m_size = 0; }
    void swap(PageBlock &other)
    {
        std::swap(m_data, other.m_data);
        std::swap(m_size, other.m_size);
        std::swap(m_capacity, other.m_capacity);
        std::swap(m_bytes, other.m_bytes);
    }

private:
    void grow(std::size_t least)
    {
        // Whole pages.
        constexpr std::size_t page = 4096;
        const std::size_t bytes =
                (std::max({least, m_capacity * 2, 4 * page / sizeof(T)}) * sizeof(T) + page - 1)
                / page * page;
        const std::size_t capacity = bytes / sizeof(T);
#if defined(__linux__)
        void *grown = m_data ? ::mremap(m_data, m_bytes, bytes, MREMAP_MAYMOVE) : MAP_FAILED;
        if (grown == MAP_FAILED) {
            // A first block, or one the system won't move: a fresh one, and a copy.
            grown = ::mmap(nullptr, bytes, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS,
                           -1, 0);
            if (grown == MAP_FAILED)
                throw std::bad_alloc();
            if (m_data) {
                std::memcpy(grown, m_data, m_size * sizeof(T));
                ::munmap(m_data, m_bytes);
            }
        }
#else
        void *grown = std::realloc(m_data, bytes);
        if (!grown)
            throw std::bad_alloc();
#endif
        m_data = static_cast<T *>(grown);
        m_capacity = capacity;
        m_bytes = bytes;
#if defined(__linux__) && defined(MADV_HUGEPAGE)
        // Fewer page faults as it fills, and a block moved again and again stays quick to read
        // through (measured: a first pass over 28 MB of lines took 30 ms, 1 ms with them). The
        // whole block is asked for: a part would split it, and a split block can't be moved.
        if (bytes >= (std::size_t(4) << 20))
            ::madvise(m_data, bytes, MADV_HUGEPAGE);
#endif
    }

    T *m_data = nullptr;
    std::size_t m_size = 0;
    std::size_t m_capacity = 0;
    std::size_t m_bytes = 0; // mapped
};

// The bytes of values kept in a row, read through views.
class ByteBlock : public PageBlock<char>
{
public:
    qsizetype size() const { return qsizetype(PageBlock<char>::size()); }
    void append(QByteArrayView bytes) { PageBlock<char>::append(bytes.data(), std::size_t(bytes.size())); }
    void append(const char *bytes, qsizetype count) { PageBlock<char>::append(bytes, std::size_t(count)); }
    void resize(qsizetype size) { PageBlock<char>::resize(std::size_t(size)); }
    operator QByteArrayView() const { return QByteArrayView(data(), size()); }
};

} // namespace vog
