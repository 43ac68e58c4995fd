#pragma once

#include "Field.h"

#include <QPlainTextEdit>
#include <QTextBlock>
#include <QStringList>

#include <vector>

namespace vog {

// A multi-line list with one value per line, in the order met; starts with no lines.
// Lines are only ever appended; an empty line counts as a line. An empty line at the end that
// no append made (the list as the user left it after a final line break, or emptied) is where
// the next line goes, not a line of its own.
class LineList : public QPlainTextEdit, public Field
{
    Q_OBJECT
public:
    explicit LineList(QWidget *parent = nullptr);

    void appendLine(const QString &line);
    // The lines as shown.
    QStringList lines() const;

    QString shownWords(const KeywordRow &) const override { return {}; }
    // Shows exactly these lines, each naming its origin (none past the origins given).
    void setLines(const QStringList &lines, const std::vector<Origin> &origins);
    // The lines shown, as they are, now stand at these origins.
    void nameOrigins(const std::vector<Origin> &origins);
    // Where line n came from; none for a line the user typed or picked.
    Origin originOfLine(int n) const;
    // Where each line shown came from, in order.
    std::vector<Origin> lineOrigins() const;
    // Which value the text cursor stands on, counting the lines that hold one (an empty line
    // holds none); -1 on an empty line.
    int valueAtCursor() const;
    // Shows these lines after those it shows, each naming its origin, in one edit: a list
    // appended line by line is many times slower.
    void appendLines(const QStringList &lines, const std::vector<Origin> &origins);
    int lineCount() const;

    // A value is one line: each character the text control would break it at (line feed,
    // carriage return, line and paragraph separators, its frame marks) is shown as a pilcrow.
    static QString oneLine(QString value, bool keepLineFeeds = false);

protected:
    // Appends the value as a new last line, which names the line of the file that set it.
    void showState(const FieldState &state) override;
    // The tool tip names the origin of the line under the mouse.
    bool event(QEvent *event) override;

private:
    // Appends lines joined by line feeds; origins, when given, are those of the lines in order.
    void append(const QString &joined, const std::vector<Origin> &origins = {});
    // The origins of the lines from this block on, in order; a line past them names none.
    void nameOriginsFrom(QTextBlock block, const std::vector<Origin> &origins);
    bool hasSpareLastLine() const;
    Origin originOf(const QTextBlock &block) const;

    // Whether the empty last line (if any) was made by an append, and so is a line.
    bool m_emptyTailIsLine = false;
    bool m_appending = false;
    // Origins of lines read from files; a block's user state is its index here, -1 for none.
    std::vector<Origin> m_origins;
};

} // namespace vog
