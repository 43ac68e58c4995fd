#pragma once

#include "Field.h"

#include <QComboBox>

namespace vog {

// A drop-down whose text the user may also type over, with a fixed pair of items ("On", "Off"
// or "Lower", "Upper"). It starts with empty text and no item selected; the reader sets its
// text to one of the item texts and never selects by position.
class ChoiceField : public QComboBox, public Field
{
    Q_OBJECT
public:
    ChoiceField(const QStringList &items, QWidget *parent = nullptr);
    // The keyword whose rule reads the typed text: once the user leaves the field, it shows the
    // item text that is written ("on" becomes "On", "maybe" "Off").
    void readsAs(const KeywordRow &row) { m_row = &row; }

    // The item text the typed text reads as ("on" is "On"); nothing for an emptied field.
    QString shownWords(const KeywordRow &row) const override;
    // Names the field and the text box inside it for screen readers, saying its two items.
    void nameForScreenReaders(const QString &name);

    static QStringList onOffItems() { return {QStringLiteral("On"), QStringLiteral("Off")}; }
    static QStringList lowerUpperItems()
    {
        return {QStringLiteral("Lower"), QStringLiteral("Upper")};
    }

protected:
    void showState(const FieldState &state) override
    {
        setEditText(QString::fromLatin1(state.choice));
        showOrigin(this, state);
    }

private:
    const KeywordRow *m_row = nullptr;
};

// Names a drop-down for screen readers, and the text box inside it too: that is where the
// keyboard focus is, and a reader on Linux takes the drop-down's own name from its text.
void nameForScreenReaders(QComboBox *box, const QString &name, const QString &description);

} // namespace vog
