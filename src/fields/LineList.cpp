#include "LineList.h"

#include <QTextCursor>
#include <QTextDocument>

namespace vog {

LineList::LineList(QWidget *parent) : QPlainTextEdit(parent)
{
    setLineWrapMode(QPlainTextEdit::NoWrap);
    // Tab moves on to the next field, as it does from every other row.
    setTabChangesFocus(true);
    connect(document(), &QTextDocument::contentsChanged, this, [this] {
        if (!document()->isEmpty())
            m_hasLines = true;
    });
}

void LineList::appendLines(const QStringList &lines)
{
    if (!lines.isEmpty())
        appendJoinedLines(lines.join(QLatin1Char('\n')));
}

void LineList::appendJoinedLines(const QString &joined)
{
    if (!m_hasLines && document()->isEmpty()) {
        setPlainText(joined);
    } else {
        QTextCursor cursor(document());
        cursor.beginEditBlock();
        cursor.movePosition(QTextCursor::End);
        cursor.insertText(QLatin1Char('\n') + joined);
        cursor.endEditBlock();
    }
    m_hasLines = true;
}

QStringList LineList::lines() const
{
    if (!m_hasLines && document()->isEmpty())
        return {};
    return toPlainText().split(QLatin1Char('\n'));
}

int LineList::lineCount() const
{
    if (!m_hasLines && document()->isEmpty())
        return 0;
    return document()->blockCount();
}

void LineList::setState(const FieldState &state)
{
    if (!m_holding) {
        appendLine(shownText(state));
        return;
    }
    if (m_heldCount++)
        m_held += QLatin1Char('\n');
    appendDecoded(m_held, state.text);
}

void LineList::release()
{
    m_holding = false;
    if (!m_heldCount)
        return;
    appendJoinedLines(m_held);
    m_held.clear();
    m_heldCount = 0;
}

} // namespace vog
