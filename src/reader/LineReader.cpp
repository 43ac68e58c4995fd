#include "LineReader.h"

#include "Errors.h"

#include <cerrno>
#include <cstring>
#include <unistd.h>

namespace vog {

namespace {
constexpr char CtrlZ = 26;
} // namespace

LineReader::LineReader(QByteArrayView data)
    : m_begin(data.data()), m_pos(data.data()), m_end(data.data() + data.size()),
      m_scanned(data.data()), m_atEnd(true)
{
    if (!data.isEmpty())
        if (const void *z = std::memchr(m_begin, CtrlZ, size_t(data.size())))
            m_end = static_cast<const char *>(z);
}

LineReader::LineReader(int fd, qsizetype chunkSize)
    : m_fd(fd), m_chunkSize(std::max<qsizetype>(chunkSize, 1))
{
}

bool LineReader::readMore()
{
    // Keep the part of the current line already read at the front, then append a chunk.
    const qsizetype kept = m_end - m_pos;
    const qsizetype scannedOffset = m_scanned - m_pos;
    if (m_pos != m_buffer.constData() && kept > 0)
        std::memmove(m_buffer.data(), m_pos, size_t(kept));
    qsizetype capacity = m_buffer.size();
    if (capacity - kept < m_chunkSize)
        capacity = std::max(kept * 2, kept + m_chunkSize);
    m_buffer.resize(capacity);

    ssize_t got;
    do {
        got = ::read(m_fd, m_buffer.data() + kept, size_t(capacity - kept));
    } while (got < 0 && errno == EINTR);
    if (got < 0)
        throw IoError(errno, ioErrorMessage(errno));

    m_begin = m_buffer.constData();
    m_pos = m_begin;
    m_scanned = m_begin + scannedOffset;
    m_end = m_begin + kept + got;
    if (got == 0) {
        m_atEnd = true;
    } else if (const void *z = std::memchr(m_begin + kept, CtrlZ, size_t(got))) {
        m_end = static_cast<const char *>(z);
        m_atEnd = true;
    }
    return got > 0;
}

bool LineReader::next(QByteArrayView &line)
{
    const char *lf;
    for (;;) {
        lf = m_scanned < m_end ? static_cast<const char *>(
                     std::memchr(m_scanned, '\n', size_t(m_end - m_scanned)))
                               : nullptr;
        if (lf)
            break;
        m_scanned = m_end;
        if (m_atEnd) {
            if (m_pos == m_end)
                return false;
            lf = m_end; // the last line has no line end
            break;
        }
        readMore();
    }

    const char *start = m_pos;
    m_pos = lf < m_end ? lf + 1 : lf;
    m_scanned = m_pos;
    ++m_lineNumber;

    const qsizetype length = lf - start;
    if (length == 0 || !std::memchr(start, '\r', size_t(length))) {
        line = QByteArrayView(start, length);
        return true;
    }
    // CRs never belong to a line: before an LF they are part of the line end, elsewhere dropped.
    m_withoutCr.resize(length);
    char *out = m_withoutCr.data();
    for (const char *p = start; p < lf; ++p)
        if (*p != '\r')
            *out++ = *p;
    m_withoutCr.truncate(out - m_withoutCr.constData());
    line = QByteArrayView(m_withoutCr);
    return true;
}

} // namespace vog
