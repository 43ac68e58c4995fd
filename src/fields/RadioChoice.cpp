#include "RadioChoice.h"

#include <QButtonGroup>
#include <QGridLayout>
#include <QRadioButton>

namespace vog {

RadioChoice::RadioChoice(const RadioRule &rule, int columns, QWidget *parent)
    : QGroupBox(parent), m_group(new QButtonGroup(this))
{
    QStringList captions;
    for (const RadioOption &o : rule.options)
        captions.append(QString::fromLatin1(o.caption));
    auto *grid = new QGridLayout(this);
    grid->setContentsMargins(8, 2, 8, 2);
    grid->setVerticalSpacing(0);
    const int rows = (int(captions.size()) + columns - 1) / columns;
    for (int i = 0; i < captions.size(); ++i) {
        auto *button = new QRadioButton(captions[i], this);
        m_group->addButton(button, i);
        m_options.append(button);
        grid->addWidget(button, i % rows, i / rows);
    }
    for (int c = 0; c < columns; ++c)
        grid->setColumnStretch(c, 1);
    // Clicked, keyed or toggled by an assistive client: whatever selects an option.
    connect(m_group, &QButtonGroup::idToggled, this, [this](int, bool on) {
        if (on)
            stateChanged(this);
    });
}

void RadioChoice::selectOption(int n)
{
    const ProgramSet set(*this);
    if (QAbstractButton *b = m_group->button(n)) {
        b->setChecked(true);
    } else if (QAbstractButton *checked = m_group->checkedButton(); checked && n < 0) {
        // No option: none shown, rather than the one another record left.
        m_group->setExclusive(false);
        checked->setChecked(false);
        m_group->setExclusive(true);
    }
}

int RadioChoice::selectedOption() const
{
    return m_group->checkedId();
}

QString RadioChoice::caption(int n) const
{
    const QRadioButton *b = m_options.value(n);
    return b ? b->text() : QString();
}

int RadioChoice::optionWithCaption(const QString &caption) const
{
    for (int i = 0; i < m_options.size(); ++i)
        if (m_options[i]->text() == caption)
            return i;
    return -1;
}

} // namespace vog
