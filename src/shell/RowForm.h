#pragma once

#include <QList>
#include <QStringList>
#include <QWidget>

class QLabel;

namespace vog {

class BrowseButton;
class ChoiceField;
class FlagBoxes;
class LineList;
class NumberField;
class RadioChoice;
class TextField;
class UseBox;

// Passes a window's member together with its name: FIELD(AddToSeen) is `AddToSeen, "AddToSeen"`.
#define FIELD(member) member, #member

// The rows of an editor window: one keyword per row, a label at the left edge and the field on
// the common field column. Each call adds one row below the last, creates the field in its
// initial state, names it and stores it in the window's member. Companion buttons and Use boxes
// attach to the row added last.
//
// Labels of one-row fields read "Keyword   ....." and run under the field, which hides the
// dots that don't fit; taller fields carry the bare keyword. The field column moves right only
// when a keyword would not fit before it in the current font.
class RowForm : public QWidget
{
    Q_OBJECT
public:
    RowForm(int fieldColumn, int top, QWidget *parent = nullptr);

    TextField *text(TextField *&member, const char *name, int dots, int width);
    ChoiceField *choice(ChoiceField *&member, const char *name, int dots, const QStringList &items);
    ChoiceField *onOff(ChoiceField *&member, const char *name, int dots);
    ChoiceField *lowerUpper(ChoiceField *&member, const char *name, int dots);
    NumberField *number(NumberField *&member, const char *name, int dots, int maximum);
    RadioChoice *radio(RadioChoice *&member, const char *name, const QStringList &options,
                       int columns, int width);
    FlagBoxes *flags(FlagBoxes *&member, const char *name, const QStringList &words,
                     const QString &boxPrefix, int perLine, int step);
    LineList *lines(LineList *&member, const char *name, int visibleLines, int width,
                    bool scrollBar);

    // A "..." button over the right end of the last row's field, or, beside a line list, a
    // button as tall as the list at its right.
    BrowseButton *button(BrowseButton *&member, const char *name,
                         const QString &caption = QStringLiteral("..."));
    // A "Use" box right of the last row's number field.
    UseBox *use(UseBox *&member, const char *name);

    // Fields, browse buttons and Use boxes in the order their rows were added.
    QList<QWidget *> fields() const;
    QList<QWidget *> buttons() const;
    QList<QWidget *> useBoxes() const;
    // Fields in row order, each followed by its browse button if it has one.
    QList<QWidget *> fieldsWithButtons() const;
    // The label of the row whose field has this object name.
    QLabel *labelFor(const QWidget *field) const;

    int fieldColumn() const { return m_column; }
    // Places every row again, for the current font.
    void relayout();

    // The widgets that take the keyboard focus inside a field, in order.
    static QList<QWidget *> focusTargets(QWidget *field);
    // Chains the keyboard focus through the fields in this order.
    static void chainFocus(const QList<QWidget *> &fields);

protected:
    void changeEvent(QEvent *event) override;

private:
    struct Row
    {
        QLabel *label = nullptr;
        QWidget *field = nullptr;
        int width = 0;
        bool tall = false;
        int visibleLines = 0;
        BrowseButton *button = nullptr;
        QWidget *use = nullptr;
    };
    template <typename Field>
    Field *add(Field *field, const char *name, const QString &label, int width, bool tall);

    QList<Row> m_rows;
    int m_nominalColumn;
    int m_column;
    int m_top;
};

} // namespace vog
