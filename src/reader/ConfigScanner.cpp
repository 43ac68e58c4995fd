#include "ConfigScanner.h"

#include "ConfigRead.h"
#include "Text.h"

namespace vog {

namespace {

// A keyword line in effect, as the grammar found it in a line (without its CRs).
void describe(KeywordLine &out, const LineFacts &facts, QByteArrayView line, LineState *state)
{
    out.row = facts.row;
    out.line = line.sliced(facts.lineFrom, facts.lineTo - facts.lineFrom);
    out.alone = facts.alone;
    out.keywordLower = facts.keywordLower;
    out.marks = LineMarks::Unknown;
    out.value = facts.alone ? aloneValue()
                            : line.sliced(facts.valueStart, facts.valueEnd - facts.valueStart);
    out.valueStart = facts.valueStart;
    out.valueEnd = facts.valueEnd;
    out.commentStart = facts.commentStart;
    out.comment = facts.commentStart < 0
            ? QByteArrayView()
            : line.sliced(facts.commentStart, facts.lineTo - facts.commentStart);
    out.keyword = line.sliced(facts.lineFrom, facts.keywordEnd - facts.lineFrom);
    out.separator = line.sliced(facts.keywordEnd, facts.valueStart - facts.keywordEnd);
    out.state = state;
}

} // namespace

bool matchLine(QByteArrayView line, KeywordLine &out, LineState *state)
{
    LineState fresh;
    const LineFacts facts = readLine(line, state ? *state : fresh);
    if (facts.kind != LineKind::Keyword || !facts.inEffect)
        return false;
    describe(out, facts, line, state);
    return true;
}

bool ConfigScanner::next(KeywordLine &out)
{
    QByteArrayView raw;
    while (m_lines.next(raw)) {
        if (m_firstBytes && !raw.isEmpty() && !isTrimmed(raw.front())
            && !(*m_firstBytes)[static_cast<unsigned char>(raw.front())]
            && m_lines.lineStart() + m_lines.rawLine().size() < (qint64(1) << 32)) {
            if (m_everyLine) {
                LineFacts unread;
                unread.kind = LineKind::Other;
                unread.inEffect = m_state.inEffect();
                m_everyLine->lineRead(raw, unread);
            }
            continue;
        }
        const LineFacts facts = readLine(raw, m_state, m_lines.lineNumber(), m_lines.lineMarks());
        if (m_everyLine) {
            m_everyLine->lineRead(raw, facts);
            // Unknown words and text are nobody's business; a keyword line in effect is told
            // apart only for what --check finds in it.
            const bool keyword = facts.kind == LineKind::Keyword;
            if (keyword ? !facts.inEffect || !facts.undefined().isEmpty()
                        : facts.kind > LineKind::Comment && facts.kind != LineKind::Other)
                m_everyLine->otherLine(facts, m_lines.lineNumber());
        }
        if (facts.kind != LineKind::Keyword || !facts.inEffect)
            continue;
        describe(out, facts, raw, &m_state);
        out.lineNumber = m_lines.lineNumber();
        out.lineStart = m_lines.lineStart();
        out.endLength = m_lines.lineEndLength();
        out.marks = m_lines.lineMarks();
        const QByteArrayView bytes = m_lines.rawLine();
        out.rawLength = bytes.size();
        if (bytes.data() != raw.data()) {
            // The line lost stray CRs on the way: count them back in.
            out.valueEnd = m_lines.rawEnd(out.valueStart, out.valueEnd);
            out.valueStart = m_lines.rawOffset(out.valueStart);
            if (out.commentStart >= 0)
                out.commentStart = m_lines.rawOffset(out.commentStart);
        }
        return true;
    }
    return false;
}

} // namespace vog
