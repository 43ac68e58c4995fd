#pragma once

#include "Field.h"

#include <QPlainTextEdit>
#include <QStringList>

namespace vog {

// A multi-line list with one value per line, in the order met; starts with no lines.
// Lines are only ever appended; an empty line counts as a line.
class LineList : public QPlainTextEdit, public Field
{
    Q_OBJECT
public:
    explicit LineList(QWidget *parent = nullptr);

    void appendLine(const QString &line) { appendJoinedLines(line); }
    // One edit for many lines: the same result as appending them one by one, far faster.
    void appendLines(const QStringList &lines);
    // The same for one or more lines already joined by line feeds.
    void appendJoinedLines(const QString &joined);
    QStringList lines() const;

    // Appends the value as a new last line.
    void setState(const FieldState &state) override;
    // While held, appended lines wait and go in with one edit when released: a list appended
    // line by line is many times slower.
    void hold() { m_holding = true; }
    void release();
    int lineCount() const;

private:
    // An empty document and a document of one empty line look alike; this tells them apart.
    bool m_hasLines = false;
    bool m_holding = false;
    QString m_held; // the held lines, joined as the list will hold them
    qsizetype m_heldCount = 0;
};

} // namespace vog
