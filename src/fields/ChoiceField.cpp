#include "ChoiceField.h"

#include <QLineEdit>

namespace vog {

ChoiceField::ChoiceField(const QStringList &items, QWidget *parent) : QComboBox(parent)
{
    setEditable(true);
    // Typed text stays text; it never becomes a new item.
    setInsertPolicy(QComboBox::NoInsert);
    addItems(items);
    setCurrentIndex(-1);
    setEditText(QString());
    connect(this, &QComboBox::currentTextChanged, this, [this] { stateChanged(this); });
    connect(lineEdit(), &QLineEdit::editingFinished, this, [this] {
        if (!m_row)
            return;
        const QString shown = shownWords(*m_row);
        if (!shown.isEmpty() && shown != currentText()) {
            const ProgramSet set(*this);
            setEditText(shown);
        }
    });
}

QString ChoiceField::shownWords(const KeywordRow &row) const
{
    const QString text = currentText();
    if (text.trimmed().isEmpty())
        return {};
    return wordsOf(row, fieldState(row, text.toUtf8()));
}

void ChoiceField::nameForScreenReaders(const QString &name)
{
    vog::nameForScreenReaders(this, name, itemText(0) + QStringLiteral(" or ") + itemText(1));
}

void nameForScreenReaders(QComboBox *box, const QString &name, const QString &description)
{
    for (QWidget *w : {static_cast<QWidget *>(box), static_cast<QWidget *>(box->lineEdit())}) {
        w->setAccessibleName(name);
        w->setAccessibleDescription(description);
    }
}

} // namespace vog
