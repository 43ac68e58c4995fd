#include "FlagBoxes.h"

#include <QCheckBox>

namespace vog {

FlagBoxes::FlagBoxes(const FlagSet &flags, int perLine, int step, QWidget *parent)
    : QWidget(parent), m_perLine(perLine), m_step(step)
{
    for (QByteArrayView word : flags.words) {
        const QString caption = QString::fromLatin1(word);
        auto *b = new QCheckBox(caption, this);
        b->setObjectName(QString::fromLatin1(flags.boxPrefix)
                         + QString(caption).replace(QLatin1Char('/'), QLatin1Char('_')));
        m_boxes.append(b);
        connect(b, &QCheckBox::toggled, this, [this] { stateChanged(this); });
    }
    place();
}

void FlagBoxes::showState(const FieldState &state)
{
    for (int i = 0; i < m_boxes.size(); ++i)
        m_boxes[i]->setChecked(state.boxes & (1u << i));
    showOrigin(this, state);
}

QString FlagBoxes::shownWords(const KeywordRow &row) const
{
    FieldState state;
    for (int i = 0; i < m_boxes.size(); ++i)
        if (m_boxes[i]->isChecked())
            state.boxes |= 1u << i;
    return wordsOf(row, state);
}

void FlagBoxes::setBox(int i, bool on)
{
    const ProgramSet set(*this);
    if (QCheckBox *b = m_boxes.value(i))
        b->setChecked(on);
}

bool FlagBoxes::box(int i) const
{
    const QCheckBox *b = m_boxes.value(i);
    return b && b->isChecked();
}

QSize FlagBoxes::sizeHint() const
{
    int step = m_step;
    int lineHeight = 0;
    for (const QCheckBox *b : m_boxes) {
        step = std::max(step, b->sizeHint().width() + 2);
        lineHeight = std::max(lineHeight, b->sizeHint().height());
    }
    const int lines = (int(m_boxes.size()) + m_perLine - 1) / m_perLine;
    return QSize(step * m_perLine, lineHeight * lines);
}

void FlagBoxes::resizeEvent(QResizeEvent *)
{
    place();
}

void FlagBoxes::place()
{
    // Boxes stand at fixed steps, wider only when a caption would not fit.
    const QSize hint = sizeHint();
    const int step = hint.width() / m_perLine;
    const int lines = (int(m_boxes.size()) + m_perLine - 1) / m_perLine;
    const int lineHeight = lines ? hint.height() / lines : 0;
    for (int i = 0; i < m_boxes.size(); ++i)
        m_boxes[i]->setGeometry((i % m_perLine) * step, (i / m_perLine) * lineHeight, step - 2,
                                lineHeight);
}

} // namespace vog
