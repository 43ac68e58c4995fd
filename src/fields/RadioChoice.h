#pragma once

#include "Field.h"

#include <QGroupBox>
#include <QStringList>

class QButtonGroup;
class QRadioButton;

namespace vog {

// A framed group of mutually exclusive options laid out in columns, filled top to bottom,
// column by column. Starts with no option selected.
class RadioChoice : public QGroupBox, public Field
{
    Q_OBJECT
public:
    // The options in this many columns, filled column by column.
    explicit RadioChoice(const RadioRule &rule, int columns = 1, QWidget *parent = nullptr);

    QString shownWords(const KeywordRow &row) const override
    {
        FieldState state;
        state.option = selectedOption();
        return wordsOf(row, state);
    }

    // Selects option n, as the program's set; any other selected option is deselected. n
    // outside the list does nothing.
    void selectOption(int n);
    // The selected option, or -1 when none is.
    int selectedOption() const;
    int optionCount() const { return int(m_options.size()); }
    QString caption(int n) const;
    // The option with this caption, or -1.
    int optionWithCaption(const QString &caption) const;
    QRadioButton *option(int n) const { return m_options.value(n); }

protected:
    void showState(const FieldState &state) override
    {
        selectOption(state.option);
        showOrigin(this, state);
    }

private:
    QButtonGroup *m_group;
    QList<QRadioButton *> m_options;
};

} // namespace vog
