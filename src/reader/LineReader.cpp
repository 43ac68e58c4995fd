#include "LineReader.h"

#include "Errors.h"

#include <xxhash.h>

#include <cerrno>
#include <cstring>
#include <unistd.h>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace vog {

namespace {
constexpr char CtrlZ = 26;

// What a line holds, found as its end is looked for: the marks the grammar asks about, and a
// byte of 0x80 or more.
constexpr std::uint8_t High = 0x80;
static_assert(!(High & (LineMarks::Hash | LineMarks::Expands)), "a bit of its own");

std::uint8_t marksOf(char c)
{
    const auto u = static_cast<unsigned char>(c);
    return u >= 0x80 ? High
            : c == '#' ? LineMarks::Hash
            : c == '[' || c == '`' ? LineMarks::Expands
                                   : 0;
}

// The first LF or CR from p on, or end if there is none; what the bytes before it hold is added
// to seen. One pass over the line finds its end, the CR of a CR LF, whether it is plain ASCII
// and the marks: sixteen bytes at a time, the last few of a buffer one by one.
const char *findBreak(const char *p, const char *end, std::uint8_t &seen)
{
#if defined(__SSE2__)
    const __m128i lf = _mm_set1_epi8('\n');
    const __m128i cr = _mm_set1_epi8('\r');
    const __m128i hash = _mm_set1_epi8('#');
    const __m128i open = _mm_set1_epi8('[');
    const __m128i quote = _mm_set1_epi8('`');
    __m128i highs = _mm_setzero_si128();
    __m128i hashes = _mm_setzero_si128();
    __m128i expands = _mm_setzero_si128();
    // Without a branch: which marks a line holds follows no pattern a branch could learn.
    const auto mark = [&seen](unsigned bits, std::uint8_t m) {
        seen |= std::uint8_t(m & -std::uint8_t(bits != 0));
    };
    for (; end - p >= 16; p += 16) {
        const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i *>(p));
        const auto breaks = unsigned(
                _mm_movemask_epi8(_mm_or_si128(_mm_cmpeq_epi8(v, lf), _mm_cmpeq_epi8(v, cr))));
        const __m128i h = _mm_cmpeq_epi8(v, hash);
        const __m128i x = _mm_or_si128(_mm_cmpeq_epi8(v, open), _mm_cmpeq_epi8(v, quote));
        if (breaks) {
            const unsigned before = (1u << unsigned(__builtin_ctz(breaks))) - 1;
            mark(unsigned(_mm_movemask_epi8(highs)) | (unsigned(_mm_movemask_epi8(v)) & before),
                 High);
            mark(unsigned(_mm_movemask_epi8(hashes)) | (unsigned(_mm_movemask_epi8(h)) & before),
                 LineMarks::Hash);
            mark(unsigned(_mm_movemask_epi8(expands)) | (unsigned(_mm_movemask_epi8(x)) & before),
                 LineMarks::Expands);
            return p + __builtin_ctz(breaks);
        }
        highs = _mm_or_si128(highs, v);
        hashes = _mm_or_si128(hashes, h);
        expands = _mm_or_si128(expands, x);
    }
    mark(unsigned(_mm_movemask_epi8(highs)), High);
    mark(unsigned(_mm_movemask_epi8(hashes)), LineMarks::Hash);
    mark(unsigned(_mm_movemask_epi8(expands)), LineMarks::Expands);
#endif
    for (; p < end; ++p) {
        if (*p == '\n' || *p == '\r')
            return p;
        seen |= marksOf(*p);
    }
    return end;
}

} // namespace

struct LineReader::Hash
{
    Hash() { XXH3_64bits_reset(state); }
    ~Hash() { XXH3_freeState(state); }
    void add(const char *bytes, qsizetype size)
    {
        if (size > 0)
            XXH3_64bits_update(state, bytes, size_t(size));
    }
    XXH3_state_t *state = XXH3_createState();
};

LineReader::LineReader(QByteArrayView data)
    : m_begin(data.data()), m_pos(data.data()), m_end(data.data() + data.size()),
      m_scanned(data.data()), m_atEnd(true), m_size(data.size()), m_whole(data)
{
    if (!data.isEmpty())
        if (const void *z = std::memchr(m_begin, CtrlZ, size_t(data.size()))) {
            m_end = static_cast<const char *>(z);
            m_ctrlZ = m_end - m_begin;
        }
}

LineReader::LineReader(int fd, qsizetype chunkSize)
    : m_fd(fd), m_chunkSize(std::max<qsizetype>(chunkSize, 1)), m_hash(std::make_unique<Hash>())
{
    if (!m_hash->state)
        throw std::bad_alloc();
}

LineReader::~LineReader() = default;

quint64 LineReader::fingerprint() const
{
    if (m_hash)
        return XXH3_64bits_digest(m_hash->state);
    if (m_wholeHash.valid())
        m_wholeFingerprint = m_wholeHash.get();
    if (!m_wholeFingerprint)
        m_wholeFingerprint = XXH3_64bits(m_whole.data(), size_t(m_whole.size()));
    return *m_wholeFingerprint;
}

void LineReader::wantFingerprint()
{
    // A large file's fingerprint is worth a thread: it takes as long as a read of its lines.
    if (!m_hash && !m_wholeHash.valid() && !m_wholeFingerprint
        && m_whole.size() >= (qsizetype(1) << 20))
        m_wholeHash = std::async(std::launch::async, [whole = m_whole] {
            return quint64(XXH3_64bits(whole.data(), size_t(whole.size())));
        });
}

void LineReader::finish()
{
    if (m_fd < 0 || m_ctrlZ < 0)
        return;
    // The text ended at a Ctrl-Z; the bytes after it are part of the file all the same.
    char chunk[1 << 16];
    for (;;) {
        ssize_t got;
        do {
            got = ::read(m_fd, chunk, sizeof chunk);
        } while (got < 0 && errno == EINTR);
        if (got < 0)
            throw IoError(errno, ioErrorMessage(errno));
        if (got == 0)
            break;
        m_hash->add(chunk, got);
        m_size += got;
    }
    m_fd = -1;
}

bool LineReader::readMore()
{
    // Keep the part of the current line already read at the front, then append a chunk.
    const qsizetype kept = m_end - m_pos;
    const qsizetype scannedOffset = m_scanned - m_pos;
    m_bufferOffset += m_pos - m_begin;
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
    m_hash->add(m_begin + kept, got);
    m_size += got;
    if (got == 0) {
        m_atEnd = true;
    } else if (const void *z = std::memchr(m_begin + kept, CtrlZ, size_t(got))) {
        m_end = static_cast<const char *>(z);
        m_atEnd = true;
        m_ctrlZ = m_bufferOffset + (m_end - m_begin);
    }
    return got > 0;
}

bool LineReader::next(QByteArrayView &line)
{
    const char *lf;
    for (;;) {
        const char *stop = findBreak(m_scanned, m_end, m_seen);
        if (stop == m_end) {
            m_scanned = m_end;
            if (m_atEnd) {
                if (m_pos == m_end)
                    return false;
                lf = m_end; // the last line has no line end
                break;
            }
            readMore();
            continue;
        }
        if (*stop == '\n') {
            lf = stop;
            break;
        }
        // A CR: the usual CR LF ends the line; any other CR is dropped and the line goes on. A CR
        // that is the last byte read is looked at again once the next bytes are there.
        if (stop + 1 < m_end) {
            if (stop[1] == '\n') {
                lf = stop + 1;
                break;
            }
            m_strayCr = true;
            m_scanned = stop + 1;
            continue;
        }
        if (m_atEnd) {
            lf = m_end; // a CR ends the file: the last line has no line end, and loses the CR
            break;
        }
        m_scanned = stop;
        readMore();
    }

    const char *start = m_pos;
    const bool ended = lf < m_end;
    m_pos = ended ? lf + 1 : lf;
    m_scanned = m_pos;
    ++m_lineNumber;
    m_lineStart = m_bufferOffset + (start - m_begin);
    m_lastLineEnded = ended;
    m_ascii = !(m_seen & High);
    m_marks = m_seen & (LineMarks::Hash | LineMarks::Expands);
    m_seen = 0;

    qsizetype length = lf - start;
    const bool crlf = ended && length > 0 && lf[-1] == '\r';
    m_endLength = ended ? 1 + crlf : 0;
    m_raw = QByteArrayView(start, length - crlf);
    if (ended)
        ++(crlf ? m_crlfLines : m_lfLines);
    m_crDropped = m_strayCr;
    if (!m_strayCr) {
        // No CR but, at most, the one just before the line's end (a CR LF's, or the file's last
        // byte): the line needs no copy.
        line = QByteArrayView(start, length - (length > 0 && lf[-1] == '\r'));
        return true;
    }
    m_strayCr = false;
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

qsizetype LineReader::rawOffset(qsizetype withoutCr) const
{
    if (!m_crDropped)
        return withoutCr;
    qsizetype seen = 0;
    for (qsizetype i = 0; i < m_raw.size(); ++i)
        if (m_raw[i] != '\r' && seen++ == withoutCr)
            return i;
    return m_raw.size();
}

qsizetype LineReader::rawEnd(qsizetype start, qsizetype end) const
{
    return end > start ? rawOffset(end - 1) + 1 : rawOffset(start);
}

} // namespace vog
