#pragma once

#include <QByteArray>
#include <QByteArrayView>

namespace vog {

// Splits the bytes of a configuration file into lines, once, from the start.
// A line ends at LF, with or without a CR before it; any other CR is dropped and the line goes
// on; Ctrl-Z ends the file; a last line without an end is a line; there is no length limit.
// A line is a view that stays valid until the next call of next().
class LineReader
{
public:
    // Reads from memory that outlives the reader.
    explicit LineReader(QByteArrayView data);
    static constexpr qsizetype DefaultChunkSize = 1 << 20;
    // Reads from an open file descriptor, which the reader doesn't close, at least chunkSize
    // bytes at a time (tests pass tiny sizes to make lines straddle the reads).
    explicit LineReader(int fd, qsizetype chunkSize = DefaultChunkSize);

    // The next line, or false at the end of the file. A failed read throws an IoError.
    bool next(QByteArrayView &line);
    // The number of the line that next() returned last, counted from 1.
    qint64 lineNumber() const { return m_lineNumber; }

private:
    bool readMore();

    int m_fd = -1;
    qsizetype m_chunkSize = DefaultChunkSize;
    QByteArray m_buffer;   // bytes read from the file and not yet handed out
    const char *m_begin = nullptr;
    const char *m_pos = nullptr;
    const char *m_end = nullptr;
    const char *m_scanned = nullptr; // no LF between m_pos and here
    bool m_atEnd = false;  // nothing more to read: end of file or Ctrl-Z seen
    QByteArray m_withoutCr;
    qint64 m_lineNumber = 0;
};

} // namespace vog
