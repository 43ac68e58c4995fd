#pragma once

#include <QByteArray>
#include <QByteArrayView>

#include <cstdint>
#include <future>
#include <memory>
#include <optional>

namespace vog {

// What the reader saw in a line as it split it, so that the grammar needn't look again: a byte
// it didn't look for may be there or not.
namespace LineMarks {
enum : std::uint8_t {
    Hash = 1,      // a '#'
    Expands = 2,   // a '[' or a back quote
    Unknown = 0xff // not looked at: any of them may be there
};
}

// Splits the bytes of a configuration file into lines, once, from the start.
// A line ends at LF, with or without a CR before it; any other CR is dropped and the line goes
// on; Ctrl-Z ends the file; a last line without an end is a line; there is no length limit.
// A line is a view that stays valid until the next call of next().
class LineReader
{
public:
    // Reads from memory that outlives the reader. Its fingerprint is worked out when asked
    // for, unless wantFingerprint() started it before.
    explicit LineReader(QByteArrayView data);
    static constexpr qsizetype DefaultChunkSize = 1 << 20;
    // Reads from an open file descriptor, which the reader doesn't close, at least chunkSize
    // bytes at a time (tests pass tiny sizes to make lines straddle the reads).
    explicit LineReader(int fd, qsizetype chunkSize = DefaultChunkSize);
    ~LineReader();
    LineReader(const LineReader &) = delete;
    LineReader &operator=(const LineReader &) = delete;

    // The next line, or false at the end of the file. A failed read throws an IoError.
    bool next(QByteArrayView &line);
    // The number of the line that next() returned last, counted from 1.
    qint64 lineNumber() const { return m_lineNumber; }

    // Where the line that next() returned last stands in the file: its first byte, its bytes
    // up to the line end (stray CRs included) and the length of its line end (0 for a last
    // line without one, 1 for LF, 2 for CR LF). The raw bytes stay valid until the next call.
    qint64 lineStart() const { return m_lineStart; }
    QByteArrayView rawLine() const { return m_raw; }
    // The offset in rawLine() of the byte at this offset of the line next() gave, which lost
    // the line's stray CRs; and where a span of that line ends in rawLine(): after its last
    // byte, or at its start for an empty span.
    qsizetype rawOffset(qsizetype withoutCr) const;
    qsizetype rawEnd(qsizetype start, qsizetype end) const;
    int lineEndLength() const { return m_endLength; }
    // Whether that line is plain ASCII (no byte of 0x80 or more): found on the way to its end.
    bool lineIsAscii() const { return m_ascii; }
    // Which of the grammar's marks (LineMarks) that line holds.
    std::uint8_t lineMarks() const { return m_marks; }

    // What the whole file was, once next() has returned false: lines that ended in CR LF and
    // in a bare LF, whether the last line had a line end, where a Ctrl-Z ended the text (-1
    // for none). finish() reads what follows a Ctrl-Z, so that size() and fingerprint() cover
    // every byte of the file.
    qint64 crlfLines() const { return m_crlfLines; }
    qint64 lfLines() const { return m_lfLines; }
    bool lastLineEnded() const { return m_lastLineEnded; }
    qint64 ctrlZOffset() const { return m_ctrlZ; }
    void finish();
    qint64 size() const { return m_size; }
    // XXH3 (64 bits) of every byte read.
    quint64 fingerprint() const;
    // For a read from memory whose fingerprint() will be asked for: a large file's is worked
    // out on a thread of its own while its lines are read. A read from a file descriptor
    // fingerprints its bytes as they come, and needs nothing.
    void wantFingerprint();

private:
    bool readMore();

    int m_fd = -1;
    qsizetype m_chunkSize = DefaultChunkSize;
    QByteArray m_buffer;   // bytes read from the file and not yet handed out
    const char *m_begin = nullptr;
    const char *m_pos = nullptr;
    const char *m_end = nullptr;
    const char *m_scanned = nullptr; // no LF, and no CR but stray ones, between m_pos and here
    bool m_strayCr = false; // a CR not before an LF stands between m_pos and m_scanned
    std::uint8_t m_seen = 0; // what the bytes between m_pos and m_scanned hold
    bool m_ascii = true;
    std::uint8_t m_marks = 0;
    bool m_atEnd = false;  // nothing more to read: end of file or Ctrl-Z seen
    QByteArray m_withoutCr;
    bool m_crDropped = false; // the line next() gave is m_withoutCr
    qint64 m_lineNumber = 0;
    qint64 m_bufferOffset = 0; // file offset of m_begin
    qint64 m_lineStart = 0;
    QByteArrayView m_raw;
    int m_endLength = 0;
    qint64 m_crlfLines = 0;
    qint64 m_lfLines = 0;
    bool m_lastLineEnded = true;
    qint64 m_ctrlZ = -1;
    qint64 m_size = 0;
    struct Hash;
    std::unique_ptr<Hash> m_hash; // a read from a file descriptor's, of the bytes as they come
    QByteArrayView m_whole;       // a read from memory's bytes, fingerprinted whole
    mutable std::future<quint64> m_wholeHash;
    mutable std::optional<quint64> m_wholeFingerprint;
};

} // namespace vog
