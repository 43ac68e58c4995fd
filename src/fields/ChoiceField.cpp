#include "ChoiceField.h"

namespace vog {

ChoiceField::ChoiceField(const QStringList &items, QWidget *parent) : QComboBox(parent)
{
    setEditable(true);
    // Typed text stays text; it never becomes a new item.
    setInsertPolicy(QComboBox::NoInsert);
    addItems(items);
    setCurrentIndex(-1);
    setEditText(QString());
}

} // namespace vog
