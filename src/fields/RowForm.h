#pragma once

#include "reader/KeywordTable.h"

#include <QList>
#include <QStringList>
#include <QWidget>

class QLabel;

namespace vog {

class BrowseButton;
class Field;

// Where a window's rows stand and how wide its long fields are.
struct FormLook
{
    int fieldColumn;
    int top;
    int longWidth;  // long text fields and line lists
    int radioWidth;
};

// The rows of an editor window, built from the keyword table: one keyword per row, a label at
// the left edge and the field on the common field column, each field in its initial state and
// named after its keyword, with its browse button or Use box.
//
// Labels of one-row fields read "Keyword   ....." and run under the field, which hides the
// dots that don't fit; taller fields carry the bare keyword. The field column moves right only
// when a keyword would not fit before it in the current font.
class RowForm : public QWidget
{
    Q_OBJECT
public:
    // The rows of the keyword table shown in this place, in the table's order.
    RowForm(Place place, const FormLook &look, QWidget *parent = nullptr);

    // The field of a row shown here, or null.
    Field *field(const KeywordRow &row) const;
    QWidget *fieldWidget(const KeywordRow &row) const;

    // Fields, browse buttons and Use boxes in the order their rows were added.
    QList<QWidget *> fields() const;
    QList<QWidget *> buttons() const;
    // The browse button of a row; null for a row without one.
    BrowseButton *button(const KeywordRow &row) const;
    QList<QWidget *> useBoxes() const;
    // Fields in row order, each followed by its browse button if it has one.
    QList<QWidget *> fieldsWithButtons() const;
    // The label of the row whose field has this object name.
    QLabel *labelFor(const QWidget *field) const;

    int fieldColumn() const { return m_column; }
    // Places every row again, for the current font.
    void relayout();
    // Where the first row starts, below what the window puts above the rows.
    void setTop(int top)
    {
        if (top == m_top)
            return;
        m_top = top;
        relayout();
    }

    // The widgets that take the keyboard focus inside a field, in order.
    static QList<QWidget *> focusTargets(QWidget *field);
    // Chains the keyboard focus through the fields in this order.
    static void chainFocus(const QList<QWidget *> &fields);

protected:
    void changeEvent(QEvent *event) override;

private:
    struct Row
    {
        const KeywordRow *keyword = nullptr;
        QLabel *label = nullptr;
        QWidget *field = nullptr;
        Field *asField = nullptr;
        int width = 0;
        bool tall = false;
        BrowseButton *button = nullptr;
        QWidget *use = nullptr;
    };
    void add(const KeywordRow &row, const FormLook &look);

    QList<Row> m_rows;
    std::vector<int> m_rowOfKeyword; // keyword table index to m_rows index, or -1
    int m_nominalColumn;
    int m_column;
    int m_top;
};

} // namespace vog
