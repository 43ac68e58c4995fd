#include "LineList.h"

#include <QHelpEvent>
#include <QTextBlock>
#include <QToolTip>
#include <QTextCursor>
#include <QTextDocument>

#include <algorithm>

namespace vog {

LineList::LineList(QWidget *parent) : QPlainTextEdit(parent)
{
    setLineWrapMode(QPlainTextEdit::NoWrap);
    // Tab moves on to the next field, as it does from every other row.
    setTabChangesFocus(true);
    // Any edit but an append leaves an empty last line as room for the next one.
    connect(document(), &QTextDocument::contentsChanged, this, [this] {
        if (!m_appending) {
            m_emptyTailIsLine = false;
            stateChanged(this);
        }
    });
}

QString LineList::oneLine(QString value, bool keepLineFeeds)
{
    const auto breaks = [keepLineFeeds](QChar c) {
        return (c == u'\n' && !keepLineFeeds) || c == u'\r' || c == QChar::LineSeparator
                || c == QChar::ParagraphSeparator || c.unicode() == 0xFDD0
                || c.unicode() == 0xFDD1;
    };
    // Most values hold none: a fast search for each, and no copy for them.
    const bool none = (keepLineFeeds || !value.contains(u'\n')) && !value.contains(u'\r')
            && !value.contains(QChar::LineSeparator) && !value.contains(QChar::ParagraphSeparator)
            && !value.contains(QChar(0xFDD0)) && !value.contains(QChar(0xFDD1));
    if (none)
        return value;
    for (QChar &c : value)
        if (breaks(c))
            c = QChar(0x00B6); // the pilcrow, which every font has
    return value;
}

void LineList::appendLine(const QString &line)
{
    append(oneLine(line));
}

bool LineList::hasSpareLastLine() const
{
    return !m_emptyTailIsLine && document()->lastBlock().text().isEmpty();
}

void LineList::append(const QString &joined, const std::vector<Origin> &origins)
{
    m_appending = true;
    const bool spare = hasSpareLastLine();
    const int first = document()->blockCount() - (spare ? 1 : 0);
    if (spare && document()->isEmpty()) {
        setPlainText(joined);
    } else {
        QTextCursor cursor(document());
        cursor.beginEditBlock();
        cursor.movePosition(QTextCursor::End);
        cursor.insertText(spare ? joined : QLatin1Char('\n') + joined);
        cursor.endEditBlock();
    }
    // Each new line names its origin, or none.
    nameOriginsFrom(document()->findBlockByNumber(first), origins);
    m_appending = false;
    m_emptyTailIsLine = joined.isEmpty() || joined.endsWith(QLatin1Char('\n'));
}

void LineList::nameOriginsFrom(QTextBlock block, const std::vector<Origin> &origins)
{
    // The lines of a whole file's list at once: room for them made once, not doubled up to.
    if (m_origins.empty())
        m_origins.reserve(origins.size());
    for (std::size_t i = 0; block.isValid(); block = block.next(), ++i) {
        if (i < origins.size() && origins[i].isSet()) {
            block.setUserState(int(m_origins.size()));
            m_origins.push_back(origins[i]);
        } else {
            block.setUserState(-1);
        }
    }
}

void LineList::nameOrigins(const std::vector<Origin> &origins)
{
    m_origins.clear();
    nameOriginsFrom(document()->begin(), origins);
}

void LineList::setLines(const QStringList &lines, const std::vector<Origin> &origins)
{
    m_appending = true;
    // The lines shown already, as after a save: only where they stand changes, and the text
    // keeps its cursor, its scrolling and its undo steps.
    if (!lines.isEmpty() && lineCount() == lines.size() && this->lines() == lines) {
        m_appending = false;
        nameOrigins(origins);
        return;
    }
    clear();
    m_origins.clear();
    m_emptyTailIsLine = false;
    m_appending = false;
    appendLines(lines, origins);
}

void LineList::appendLines(const QStringList &lines, const std::vector<Origin> &origins)
{
    if (!lines.isEmpty())
        append(oneLine(lines.join(QLatin1Char('\n')), true), origins);
}

Origin LineList::originOfLine(int n) const
{
    return originOf(document()->findBlockByNumber(n));
}

Origin LineList::originOf(const QTextBlock &block) const
{
    const int index = block.userState();
    return index >= 0 && std::size_t(index) < m_origins.size() ? m_origins[std::size_t(index)]
                                                                : Origin();
}

std::vector<Origin> LineList::lineOrigins() const
{
    std::vector<Origin> origins;
    origins.reserve(std::size_t(document()->blockCount()));
    for (QTextBlock b = document()->begin(); b.isValid(); b = b.next())
        origins.push_back(originOf(b));
    return origins;
}

int LineList::valueAtCursor() const
{
    // As the document counts values: a line of characters of code 0 to 32 alone is empty.
    const auto empty = [](const QString &line) {
        return std::all_of(line.begin(), line.end(), [](QChar c) { return c.unicode() <= 32; });
    };
    const QTextBlock at = textCursor().block();
    if (empty(at.text()))
        return -1;
    int values = 0;
    for (QTextBlock b = document()->begin(); b.isValid() && b != at; b = b.next())
        values += empty(b.text()) ? 0 : 1;
    return values;
}

bool LineList::event(QEvent *event)
{
    if (event->type() != QEvent::ToolTip)
        return QPlainTextEdit::event(event);
    auto *help = static_cast<QHelpEvent *>(event);
    const QPoint at = viewport()->mapFrom(this, help->pos());
    const QString origin = describeOrigin(originOfLine(cursorForPosition(at).blockNumber()));
    if (origin.isEmpty())
        QToolTip::hideText();
    else
        QToolTip::showText(help->globalPos(), origin, this);
    return true;
}

QStringList LineList::lines() const
{
    QStringList result;
    result.reserve(document()->blockCount());
    for (QTextBlock b = document()->begin(); b.isValid(); b = b.next())
        result.append(b.text());
    if (hasSpareLastLine())
        result.removeLast();
    return result;
}

int LineList::lineCount() const
{
    return document()->blockCount() - (hasSpareLastLine() ? 1 : 0);
}

void LineList::showState(const FieldState &state)
{
    append(oneLine(shownText(state)), {state.origin});
}

} // namespace vog
