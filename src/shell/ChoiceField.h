#pragma once

#include <QComboBox>

namespace vog {

// A drop-down whose text the user may also type over, with a fixed pair of items ("On", "Off"
// or "Lower", "Upper"). It starts with empty text and no item selected; the reader sets its
// text to one of the item texts and never selects by position.
class ChoiceField : public QComboBox
{
    Q_OBJECT
public:
    ChoiceField(const QStringList &items, QWidget *parent = nullptr);

    void setChoiceText(const QString &text) { setEditText(text); }
    QString choiceText() const { return currentText(); }

    static QStringList onOffItems() { return {QStringLiteral("On"), QStringLiteral("Off")}; }
    static QStringList lowerUpperItems()
    {
        return {QStringLiteral("Lower"), QStringLiteral("Upper")};
    }
};

} // namespace vog
