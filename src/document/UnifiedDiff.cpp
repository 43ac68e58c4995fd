#include "UnifiedDiff.h"

#include <dtl/dtl.hpp>

#include <QHash>

#include <algorithm>
#include <cstring>
#include <optional>
#include <unordered_set>
#include <vector>

namespace vog {

namespace {

constexpr std::size_t Context = 3;

using Lines = std::vector<QByteArrayView>;

// Each line with its line end, split as the reader splits them.
Lines splitLines(QByteArrayView bytes)
{
    Lines lines;
    const char *p = bytes.data();
    const char *const end = p + bytes.size();
    while (p < end) {
        const auto *lf = static_cast<const char *>(std::memchr(p, '\n', std::size_t(end - p)));
        const char *stop = lf ? lf : end;
        const auto *cr = static_cast<const char *>(std::memchr(p, '\r', std::size_t(stop - p)));
        const char *next = cr && cr + 1 != lf ? cr + 1 : lf ? lf + 1 : end;
        lines.emplace_back(p, next - p);
        p = next;
    }
    return lines;
}

// A run of changed lines: old lines removed at oldAt, new lines added at newAt.
struct Block
{
    std::size_t oldAt, oldCount, newAt, newCount;
};

struct LineHash
{
    std::size_t operator()(QByteArrayView line) const { return qHash(line); }
};

// The blocks without a search, where the lines the two sides share can pair up one way only:
// the lines of each side that the other side has, in order, are the same on both sides. Then
// every longest common subsequence pairs them in that order, so every shortest edit script
// keeps exactly those lines, and the blocks are the runs between them. This is the usual
// case of a save: values changed in place, no changed line found elsewhere. None where the
// lines shared could pair another way, or where the search below would stop short of a
// shortest script (it gives up past a bound of steps), so that the same edit always shows the
// same hunks.
std::optional<std::vector<Block>> pairedBlocks(const Lines &before, const Lines &after,
                                               std::size_t from)
{
    const std::unordered_set<QByteArrayView, LineHash> inBefore(before.begin(), before.end());
    const std::unordered_set<QByteArrayView, LineHash> inAfter(after.begin(), after.end());
    std::vector<std::size_t> keptBefore, keptAfter;
    for (std::size_t i = 0; i < before.size(); ++i)
        if (inAfter.count(before[i]))
            keptBefore.push_back(i);
    for (std::size_t j = 0; j < after.size(); ++j)
        if (inBefore.count(after[j]))
            keptAfter.push_back(j);
    if (keptBefore.size() != keptAfter.size())
        return std::nullopt;
    for (std::size_t k = 0; k < keptBefore.size(); ++k)
        if (before[keptBefore[k]] != after[keptAfter[k]])
            return std::nullopt;
    // The search's steps up to its last round but one: p rounds past the length difference d
    // take (p + 1)(d + 1 + p) steps, and it stops short once a round ends past its bound.
    const std::size_t shorter = std::min(before.size(), after.size());
    const std::size_t d = std::max(before.size(), after.size()) - shorter;
    const std::size_t p = shorter - keptBefore.size();
    if (p > 0 && p * (d + p) >= dtl::MAX_CORDINATES_SIZE)
        return std::nullopt;
    std::vector<Block> blocks;
    std::size_t oldAt = 0, newAt = 0;
    for (std::size_t k = 0; k <= keptBefore.size(); ++k) {
        const std::size_t oldEnd = k < keptBefore.size() ? keptBefore[k] : before.size();
        const std::size_t newEnd = k < keptAfter.size() ? keptAfter[k] : after.size();
        if (oldEnd > oldAt || newEnd > newAt)
            blocks.push_back({from + oldAt, oldEnd - oldAt, from + newAt, newEnd - newAt});
        oldAt = oldEnd + 1;
        newAt = newEnd + 1;
    }
    return blocks;
}

// The blocks of a shortest edit script between the lines [from, a.size() - to) of a and of b.
std::vector<Block> changedBlocks(const Lines &a, const Lines &b, std::size_t from, std::size_t to)
{
    const Lines before(a.begin() + qsizetype(from), a.end() - qsizetype(to));
    const Lines after(b.begin() + qsizetype(from), b.end() - qsizetype(to));
    if (auto blocks = pairedBlocks(before, after, from))
        return std::move(*blocks);
    dtl::Diff<QByteArrayView, Lines> diff(before, after);
    if (before.size() + after.size() > 10000)
        diff.onHuge();
    diff.compose();
    std::vector<Block> blocks;
    std::size_t oldAt = from, newAt = from;
    bool open = false;
    for (const auto &[line, info] : diff.getSes().getSequence()) {
        if (info.type == dtl::SES_COMMON) {
            open = false;
            ++oldAt;
            ++newAt;
            continue;
        }
        if (!open)
            blocks.push_back({oldAt, 0, newAt, 0});
        open = true;
        if (info.type == dtl::SES_DELETE) {
            ++blocks.back().oldCount;
            ++oldAt;
        } else {
            ++blocks.back().newCount;
            ++newAt;
        }
    }
    return blocks;
}

// "start,count" of a hunk's side, the start counted from 1; a side with no line names the
// line before it.
QString range(std::size_t at, std::size_t count)
{
    if (count == 1)
        return QString::number(at + 1);
    return QStringLiteral("%1,%2").arg(count ? at + 1 : at).arg(count);
}

void appendLine(QString &out, char mark, QByteArrayView line, const TextCodec &codec)
{
    qsizetype end = line.size();
    if (line.endsWith("\r\n"))
        end -= 2;
    else if (line.endsWith('\n') || line.endsWith('\r'))
        end -= 1;
    out += QLatin1Char(mark);
    codec.append(out, line.first(end));
    out += QLatin1Char('\n');
    if (end == line.size())
        out += QStringLiteral("\\ No newline at end of file\n");
}

// How many bytes the two have in common from their starts, and from their ends (at most most),
// compared a page at a time.
constexpr qsizetype Step = 4096;

qsizetype sharedHead(QByteArrayView a, QByteArrayView b)
{
    const qsizetype n = std::min(a.size(), b.size());
    qsizetype at = 0;
    while (at + Step <= n && std::memcmp(a.data() + at, b.data() + at, Step) == 0)
        at += Step;
    while (at < n && a[at] == b[at])
        ++at;
    return at;
}

qsizetype sharedTail(QByteArrayView a, QByteArrayView b, qsizetype most)
{
    qsizetype n = 0;
    while (n + Step <= most
           && std::memcmp(a.data() + a.size() - n - Step, b.data() + b.size() - n - Step, Step)
                   == 0)
        n += Step;
    while (n < most && a[a.size() - 1 - n] == b[b.size() - 1 - n])
        ++n;
    return n;
}

// Where the line starts that is the given number of LF line ends before the line start at, or
// after it.
qsizetype linesBack(QByteArrayView bytes, qsizetype at, std::size_t lines)
{
    for (; lines > 0 && at > 0; --lines) {
        const auto *lf =
                static_cast<const char *>(::memrchr(bytes.data(), '\n', std::size_t(at - 1)));
        at = lf ? lf - bytes.data() + 1 : 0;
    }
    return at;
}

qsizetype linesOn(QByteArrayView bytes, qsizetype at, std::size_t lines)
{
    for (; lines > 0 && at < bytes.size(); --lines) {
        const auto *lf = static_cast<const char *>(
                std::memchr(bytes.data() + at, '\n', std::size_t(bytes.size() - at)));
        at = lf ? lf - bytes.data() + 1 : bytes.size();
    }
    return at;
}

// The lines of bytes that end in a line end, as the reader ends them: each LF, and each CR
// not followed by one.
std::size_t endedLines(QByteArrayView bytes)
{
    // The LFs counted 8 bytes at a time: each byte that is one gives its top bit, summed per
    // byte for up to 255 words before the sums are added up.
    constexpr quint64 Ones = 0x0101010101010101ULL, Low7 = 0x7f7f7f7f7f7f7f7fULL;
    constexpr quint64 Pairs = 0x00ff00ff00ff00ffULL;
    std::size_t lines = 0;
    qsizetype at = 0;
    while (at + 8 <= bytes.size()) {
        quint64 sums = 0;
        for (int k = 0; k < 255 && at + 8 <= bytes.size(); ++k, at += 8) {
            quint64 word;
            std::memcpy(&word, bytes.data() + at, 8);
            const quint64 x = word ^ (Ones * '\n');
            sums += ~(((x & Low7) + Low7) | x | Low7) >> 7;
        }
        sums = (sums & Pairs) + ((sums >> 8) & Pairs);
        lines += std::size_t((sums * 0x0001000100010001ULL) >> 48);
    }
    lines += std::size_t(std::count(bytes.begin() + at, bytes.end(), '\n'));
    for (const char *p = bytes.data(), *end = p + bytes.size();
         p < end && (p = static_cast<const char *>(std::memchr(p, '\r', std::size_t(end - p))));)
        if (++p == end || *p != '\n')
            ++lines;
    return lines;
}

// The new bytes of a save as the pieces they are written from: mostly slices of the bytes as
// read, and the few bytes of each edit between them.
struct Joined
{
    const std::vector<QByteArrayView> &pieces;
    qsizetype size() const
    {
        qsizetype n = 0;
        for (QByteArrayView p : pieces)
            n += p.size();
        return n;
    }
    // The bytes from `at` on, `n` of them, in one block.
    QByteArray sliced(qsizetype at, qsizetype n) const
    {
        QByteArray out;
        out.reserve(n);
        for (QByteArrayView p : pieces) {
            if (n <= 0)
                break;
            if (at >= p.size()) {
                at -= p.size();
                continue;
            }
            const qsizetype take = std::min(p.size() - at, n);
            out.append(p.sliced(at, take));
            n -= take;
            at = 0;
        }
        return out;
    }
};

QByteArrayView sliceOf(QByteArrayView bytes, qsizetype at, qsizetype n, QByteArray &)
{
    return bytes.sliced(at, n);
}

QByteArrayView sliceOf(const Joined &bytes, qsizetype at, qsizetype n, QByteArray &block)
{
    block = bytes.sliced(at, n);
    return block;
}


} // namespace

namespace {

// A stretch of the new bytes that may differ from the bytes as read: [from, to) of the old
// bytes became [newFrom, newTo). Outside the stretches the bytes are the same.
struct Stretch
{
    qsizetype from, to, newFrom, newTo;
};

// The new bytes in one block: one stretch, all of them.
std::vector<Stretch> stretchesOf(QByteArrayView before, QByteArrayView after)
{
    return {{0, before.size(), 0, after.size()}};
}

// The new bytes in pieces: a piece that is the bytes as read, at or after where the last such
// piece ended, keeps them; whatever lies between two kept pieces is a stretch. So only what the
// edits touched is looked at, however far apart they are.
std::vector<Stretch> stretchesOf(QByteArrayView before, const Joined &after)
{
    std::vector<Stretch> out;
    const auto start = reinterpret_cast<quintptr>(before.data());
    qsizetype at = 0, newAt = 0;
    std::optional<Stretch> open;
    for (QByteArrayView p : after.pieces) {
        if (p.isEmpty())
            continue;
        const auto where = reinterpret_cast<quintptr>(p.data());
        const bool kept = where >= start && where - start + quintptr(p.size()) <= quintptr(before.size())
                && qsizetype(where - start) >= at;
        if (!kept) {
            if (!open)
                open = Stretch{at, at, newAt, newAt};
            newAt += p.size();
            continue;
        }
        const qsizetype from = qsizetype(where - start);
        if (open || from > at)
            out.push_back({open ? open->from : at, from, open ? open->newFrom : newAt, newAt});
        open.reset();
        at = from + p.size();
        newAt += p.size();
    }
    if (open || at < before.size())
        out.push_back({open ? open->from : at, before.size(), open ? open->newFrom : newAt, newAt});
    return out;
}

// The hunks of the lines a and b, which start at line firstLine of the old file and firstNew
// of the new one, for the blocks changed between them.
void appendHunks(QString &out, const Lines &a, const Lines &b, const std::vector<Block> &blocks,
                 std::size_t firstLine, std::size_t firstNew, const TextCodec &codec)
{
    for (std::size_t first = 0; first < blocks.size();) {
        // Blocks closer than twice the context share one hunk.
        std::size_t last = first;
        while (last + 1 < blocks.size()
               && blocks[last + 1].oldAt - (blocks[last].oldAt + blocks[last].oldCount)
                       <= 2 * Context)
            ++last;
        const Block &f = blocks[first];
        const Block &l = blocks[last];
        const std::size_t lead = std::min(Context, f.oldAt);
        const std::size_t oldEnd = l.oldAt + l.oldCount;
        const std::size_t trail = std::min(Context, a.size() - oldEnd);
        out += QStringLiteral("@@ -")
                + range(firstLine + f.oldAt - lead, oldEnd + trail - (f.oldAt - lead))
                + QStringLiteral(" +")
                + range(firstNew + f.newAt - lead, l.newAt + l.newCount + trail - (f.newAt - lead))
                + QStringLiteral(" @@\n");
        for (std::size_t i = f.oldAt - lead; i < f.oldAt; ++i)
            appendLine(out, ' ', a[i], codec);
        for (std::size_t k = first; k <= last; ++k) {
            const Block &blk = blocks[k];
            for (std::size_t i = 0; i < blk.oldCount; ++i)
                appendLine(out, '-', a[blk.oldAt + i], codec);
            for (std::size_t i = 0; i < blk.newCount; ++i)
                appendLine(out, '+', b[blk.newAt + i], codec);
            const std::size_t next = k < last ? blocks[k + 1].oldAt : blk.oldAt + blk.oldCount;
            for (std::size_t i = blk.oldAt + blk.oldCount; i < next; ++i)
                appendLine(out, ' ', a[i], codec);
        }
        for (std::size_t i = oldEnd; i < oldEnd + trail; ++i)
            appendLine(out, ' ', a[i], codec);
        first = last + 1;
    }
}

// The new bytes in one block, or in pieces: the same diff either way.
template <typename After>
QString diffOf(const QString &path, QByteArrayView before, const After &after,
               const TextCodec &codec)
{
    // Only the lines of each stretch from its first changed byte to its last, with their
    // context, are split and diffed: the bytes a stretch shares at both ends are compared once,
    // fast, so a change in a long file costs what lies between its first and last changes,
    // and changes far apart cost each its own lines. The cuts fall after an LF, where the lines
    // on either side are the same in both files. Stretches whose lines with their context meet
    // are diffed as one.
    struct Cut
    {
        qsizetype from, to; // lines of the old bytes, with context
        qsizetype grown;    // what the new bytes of the changes in them add
    };
    std::vector<Cut> cuts;
    for (const Stretch &st : stretchesOf(before, after)) {
        QByteArray block;
        const QByteArrayView old = before.sliced(st.from, st.to - st.from);
        const QByteArrayView now = sliceOf(after, st.newFrom, st.newTo - st.newFrom, block);
        const qsizetype same = sharedHead(old, now);
        if (same == old.size() && same == now.size())
            continue; // the edits came to the same bytes
        const qsizetype sameAtEnd = sharedTail(old, now, std::min(old.size(), now.size()) - same);
        const qsizetype changed = st.from + same;
        const auto *lf = static_cast<const char *>(::memrchr(before.data(), '\n', std::size_t(changed)));
        const qsizetype from = linesBack(before, lf ? lf - before.data() + 1 : 0, Context);
        const qsizetype end = st.to - sameAtEnd;
        lf = static_cast<const char *>(
                std::memchr(before.data() + end, '\n', std::size_t(before.size() - end)));
        const qsizetype to = linesOn(before, lf ? lf - before.data() + 1 : before.size(), Context);
        const qsizetype grown = now.size() - old.size();
        if (!cuts.empty() && from <= cuts.back().to) {
            cuts.back().to = std::max(cuts.back().to, to);
            cuts.back().grown += grown;
        } else {
            cuts.push_back({from, to, grown});
        }
    }
    if (cuts.empty())
        return {};
    QString out = QStringLiteral("--- ") + path + QStringLiteral("\n+++ ") + path
            + QLatin1Char('\n');
    std::size_t firstLine = 0;
    qsizetype counted = 0, grownBefore = 0;
    qint64 linesGrown = 0; // what the cuts before added to the lines
    for (const Cut &cut : cuts) {
        firstLine += endedLines(before.sliced(counted, cut.from - counted));
        counted = cut.from;
        const Lines a = splitLines(before.sliced(cut.from, cut.to - cut.from));
        QByteArray block;
        const Lines b = splitLines(sliceOf(after, cut.from + grownBefore,
                                           cut.to - cut.from + cut.grown, block));
        grownBefore += cut.grown;
        std::size_t head = 0;
        while (head < a.size() && head < b.size() && a[head] == b[head])
            ++head;
        std::size_t tail = 0;
        while (tail < a.size() - head && tail < b.size() - head
               && a[a.size() - 1 - tail] == b[b.size() - 1 - tail])
            ++tail;
        appendHunks(out, a, b, changedBlocks(a, b, head, tail), firstLine,
                    std::size_t(qint64(firstLine) + linesGrown), codec);
        linesGrown += qint64(b.size()) - qint64(a.size());
    }
    return out;
}

// A file not on disk yet has no bytes, and no address for them either.
QByteArrayView noNull(QByteArrayView bytes)
{
    static const char none[] = "";
    return bytes.data() ? bytes : QByteArrayView(none, 0);
}

} // namespace

QString unifiedDiff(const QString &path, QByteArrayView before, QByteArrayView after,
                    const TextCodec &codec)
{
    return diffOf(path, noNull(before), noNull(after), codec);
}

QString unifiedDiff(const QString &path, QByteArrayView before,
                    const std::vector<QByteArrayView> &after, const TextCodec &codec)
{
    return diffOf(path, noNull(before), Joined{after}, codec);
}

} // namespace vog
