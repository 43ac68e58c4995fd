#pragma once

#include "reader/Text.h"
#include "reader/ValueRules.h"

#include <QApplication>
#include <QPointer>
#include <QString>
#include <QWidget>

#include <functional>

namespace vog {

// Ends the edit in the focused field before the program asks anything. A field reports its last
// edit when it loses the focus, and the link list loads the link typed into it: that, with any
// error it shows, comes before the dialog, never inside it. Gives the field, for the focus to
// go back to it when the program stays where it was.
inline QPointer<QWidget> finishEditing()
{
    QPointer<QWidget> field = QApplication::focusWidget();
    if (field)
        field->clearFocus();
    return field;
}

// What every field kind does with the state that a value gives it: a text field sets its whole
// text, a line list appends a line, a choice shows its item text, a number is held to the range,
// a radio choice selects an option, a block of flag boxes sets every box. A field set from a
// file names the line that set it as its tool tip; one the user changed names none.
class Field
{
public:
    virtual ~Field() = default;
    // Shows a state. The program's own set: nothing it changes is reported as the user's.
    void setState(const FieldState &state)
    {
        const ProgramSet set(*this);
        showState(state);
    }
    // What the field shows, as the words to write for its keyword: the text of a text field,
    // the item text of a choice, the number, the option's word, the words of the boxes on.
    // Empty for nothing to write. Line lists give their lines instead.
    virtual QString shownWords(const KeywordRow &row) const = 0;

    // Called whenever the user changes the field: typing, stepping, wheeling, picking, toggling,
    // editing a list, a browse pick, an assistive client setting it, in any window, with or
    // without the focus. What the program sets reports nothing.
    void setChangeHandler(std::function<void()> handler) { m_changed = std::move(handler); }
    void userChanged(QWidget *field)
    {
        field->setToolTip(QString()); // typed, not read from a file
        if (m_changed)
            m_changed();
    }

protected:
    virtual void showState(const FieldState &state) = 0;

    // Around the program's own sets of a field: a change inside one is not the user's.
    class ProgramSet
    {
    public:
        explicit ProgramSet(Field &field) : m_field(field) { ++m_field.m_programSets; }
        ~ProgramSet() { --m_field.m_programSets; }
        ProgramSet(const ProgramSet &) = delete;
        ProgramSet &operator=(const ProgramSet &) = delete;

    private:
        Field &m_field;
    };
    // What the field holds changed: the user's change, unless the program is setting it. Told
    // apart by who set it, never by who has the focus.
    void stateChanged(QWidget *field)
    {
        if (!m_programSets)
            userChanged(field);
    }

    // The words of a state the field holds.
    static QString wordsOf(const KeywordRow &row, const FieldState &state)
    {
        return QString::fromLatin1(stateWords(row, state));
    }
    // The state's text as the user reads it, in its file's codepage.
    static QString shownText(const FieldState &state)
    {
        return state.codec ? state.codec->decode(state.text) : decodeValue(state.text);
    }
    static void showOrigin(QWidget *field, const FieldState &state)
    {
        QString tip;
        if (!state.inherited)
            tip = describeOrigin(state.origin);
        else if (state.origin.isSet())
            tip = QStringLiteral("inherited from LinkDefaults, ") + describeOrigin(state.origin);
        else
            tip = QStringLiteral("inherited from LinkDefaults");
        for (const QString &note : state.notes)
            tip += (tip.isEmpty() ? QString() : QStringLiteral("\n")) + note;
        field->setToolTip(tip);
    }

private:
    std::function<void()> m_changed;
    int m_programSets = 0;
};

} // namespace vog
