#pragma once

#include "Field.h"

#include <QLineEdit>

#include <limits>

namespace vog {

// A single-line text field; starts empty. The reader sets its whole text.
class TextField : public QLineEdit, public Field
{
    Q_OBJECT
public:
    explicit TextField(QWidget *parent = nullptr) : QLineEdit(parent)
    {
        // A value is shown whole, however long: by default the line edit cuts text at 32767.
        setMaxLength(std::numeric_limits<int>::max());
        connect(this, &QLineEdit::textChanged, this, [this] { stateChanged(this); });
    }

    QString shownWords(const KeywordRow &) const override { return text(); }

protected:
    void showState(const FieldState &state) override
    {
        setText(shownText(state));
        showOrigin(this, state);
    }
};

} // namespace vog
