#include "RowForm.h"

#include "BrowseButton.h"
#include "ButtonRoom.h"
#include "ChoiceField.h"
#include "FlagBoxes.h"
#include "LineList.h"
#include "NumberField.h"
#include "RadioChoice.h"
#include "TextField.h"
#include "UseBox.h"

#include <QCheckBox>
#include <QEvent>
#include <QLabel>
#include <QRadioButton>
#include <QScrollBar>

namespace vog {

namespace {

constexpr int LabelLeft = 4;
constexpr int RowPitch = 24;
constexpr int TallGap = 4;

QString dottedLabel(const char *name, int dots)
{
    return QString::fromLatin1(name) + QStringLiteral("   ") + QString(dots, QLatin1Char('.'));
}

} // namespace

RowForm::RowForm(int fieldColumn, int top, QWidget *parent)
    : QWidget(parent), m_nominalColumn(fieldColumn), m_column(fieldColumn), m_top(top)
{
}

template <typename Field>
Field *RowForm::add(Field *field, const char *name, const QString &label, int width, bool tall)
{
    field->setObjectName(QString::fromLatin1(name));
    // Screen readers say the keyword, not the dot leader of its label.
    field->setAccessibleName(QString::fromLatin1(name));
    auto *caption = new QLabel(label, this);
    caption->setTextFormat(Qt::PlainText);
    caption->setBuddy(field);
    // Some screen readers name a field by its label (drop-downs on Linux): without the dots.
    caption->setAccessibleName(QString::fromLatin1(name));
    Row row;
    row.label = caption;
    row.field = field;
    row.width = width;
    row.tall = tall;
    m_rows.append(row);
    return field;
}

TextField *RowForm::text(TextField *&member, const char *name, int dots, int width)
{
    return member = add(new TextField(this), name, dottedLabel(name, dots), width, false);
}

ChoiceField *RowForm::choice(ChoiceField *&member, const char *name, int dots,
                             const QStringList &items)
{
    return member = add(new ChoiceField(items, this), name, dottedLabel(name, dots), 145, false);
}

ChoiceField *RowForm::onOff(ChoiceField *&member, const char *name, int dots)
{
    return choice(member, name, dots, ChoiceField::onOffItems());
}

ChoiceField *RowForm::lowerUpper(ChoiceField *&member, const char *name, int dots)
{
    return choice(member, name, dots, ChoiceField::lowerUpperItems());
}

NumberField *RowForm::number(NumberField *&member, const char *name, int dots, int maximum)
{
    return member = add(new NumberField(maximum, this), name, dottedLabel(name, dots), 121, false);
}

RadioChoice *RowForm::radio(RadioChoice *&member, const char *name, const QStringList &options,
                            int columns, int width)
{
    return member = add(new RadioChoice(options, columns, this), name, QString::fromLatin1(name),
                        width, true);
}

FlagBoxes *RowForm::flags(FlagBoxes *&member, const char *name, const QStringList &words,
                          const QString &boxPrefix, int perLine, int step)
{
    return member = add(new FlagBoxes(words, boxPrefix, perLine, step, this), name,
                        QString::fromLatin1(name), perLine * step, true);
}

LineList *RowForm::lines(LineList *&member, const char *name, int visibleLines, int width,
                         bool scrollBar)
{
    member = add(new LineList(this), name, QString::fromLatin1(name), width, true);
    member->setVerticalScrollBarPolicy(scrollBar ? Qt::ScrollBarAlwaysOn : Qt::ScrollBarAlwaysOff);
    member->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_rows.last().visibleLines = visibleLines;
    return member;
}

BrowseButton *RowForm::button(BrowseButton *&member, const char *name, const QString &caption)
{
    member = new BrowseButton(caption, this);
    member->setObjectName(QString::fromLatin1(name));
    const QString field = m_rows.last().field->objectName();
    member->setAccessibleName(m_rows.last().tall ? QStringLiteral("Add a file to ") + field
                                                 : QStringLiteral("Browse for ") + field);
    m_rows.last().button = member;
    return member;
}

UseBox *RowForm::use(UseBox *&member, const char *name)
{
    member = new UseBox(this);
    member->setObjectName(QString::fromLatin1(name));
    // Named "Use" like its caption; which number it belongs to is said after the name.
    member->setAccessibleDescription(QStringLiteral("Use ") + m_rows.last().field->objectName());
    m_rows.last().use = member;
    return member;
}

QList<QWidget *> RowForm::fields() const
{
    QList<QWidget *> out;
    for (const Row &r : m_rows)
        out.append(r.field);
    return out;
}

QList<QWidget *> RowForm::buttons() const
{
    QList<QWidget *> out;
    for (const Row &r : m_rows)
        if (r.button)
            out.append(r.button);
    return out;
}

QList<QWidget *> RowForm::useBoxes() const
{
    QList<QWidget *> out;
    for (const Row &r : m_rows)
        if (r.use)
            out.append(r.use);
    return out;
}

QList<QWidget *> RowForm::fieldsWithButtons() const
{
    QList<QWidget *> out;
    for (const Row &r : m_rows) {
        out.append(r.field);
        if (r.button)
            out.append(r.button);
    }
    return out;
}

QLabel *RowForm::labelFor(const QWidget *field) const
{
    for (const Row &r : m_rows)
        if (r.field == field)
            return r.label;
    return nullptr;
}

void RowForm::changeEvent(QEvent *event)
{
    QWidget::changeEvent(event);
    if (event->type() == QEvent::FontChange)
        relayout();
}

void RowForm::relayout()
{
    const QFontMetrics fm = fontMetrics();
    // The field column: at its usual place, or right of the widest keyword in this font.
    int column = m_nominalColumn;
    int rowHeight = 21;
    for (const Row &r : m_rows) {
        const QString keyword = r.tall ? r.label->text() : r.field->objectName();
        const int need = LabelLeft + fm.horizontalAdvance(keyword + QStringLiteral("   ..")) + 4;
        column = std::max(column, need);
        if (!r.tall)
            rowHeight = std::max(rowHeight, r.field->minimumSizeHint().height());
    }
    m_column = column;
    const int pitch = std::max(RowPitch, rowHeight + 2);

    int y = m_top;
    int right = 0;
    for (const Row &r : m_rows) {
        int width = r.width;
        int height = rowHeight;
        if (r.tall) {
            if (auto *list = qobject_cast<LineList *>(r.field)) {
                height = r.visibleLines * fm.lineSpacing() + 2 * list->frameWidth()
                    + 2 * int(list->document()->documentMargin()) + 2;
            } else {
                const QSize hint = r.field->sizeHint();
                height = hint.height();
                width = std::max(width, hint.width());
            }
            r.label->setGeometry(LabelLeft, y + 2, column - LabelLeft, fm.height() + 2);
        } else {
            if (!qobject_cast<TextField *>(r.field))
                width = std::max(width, r.field->sizeHint().width());
            r.label->setGeometry(LabelLeft, y, column - LabelLeft, rowHeight);
        }
        r.label->setAlignment(Qt::AlignLeft | (r.tall ? Qt::AlignTop : Qt::AlignVCenter));
        r.field->setGeometry(column, y, width, height);
        int rowRight = column + width;
        if (r.button) {
            if (r.tall) {
                const QSize size = buttonRoom(r.button, QSize(19, height));
                r.button->setGeometry(column + width + 1, y, size.width(), height);
                rowRight += 1 + size.width();
            } else {
                const QSize size = buttonRoom(r.button, QSize(19, std::min(20, rowHeight)));
                r.button->setGeometry(column + width - size.width(),
                                      y + (rowHeight - size.height()) / 2, size.width(),
                                      size.height());
            }
            r.button->raise();
        }
        if (r.use) {
            const QSize hint = r.use->sizeHint();
            r.use->setGeometry(column + width + 2, y + (rowHeight - hint.height()) / 2,
                               std::max(41, hint.width()), hint.height());
            rowRight = column + width + 2 + std::max(41, hint.width());
        }
        right = std::max(right, rowRight);
        y += r.tall ? height + TallGap : pitch;
    }
    setMinimumSize(right + 2, y + 8);
}

QList<QWidget *> RowForm::focusTargets(QWidget *field)
{
    QList<QWidget *> out;
    if (auto *radio = qobject_cast<RadioChoice *>(field)) {
        for (int i = 0; i < radio->optionCount(); ++i)
            out.append(radio->option(i));
    } else if (auto *flags = qobject_cast<FlagBoxes *>(field)) {
        for (int i = 0; i < flags->boxCount(); ++i)
            out.append(flags->checkBox(i));
    } else {
        out.append(field);
    }
    return out;
}

void RowForm::chainFocus(const QList<QWidget *> &fields)
{
    QWidget *previous = nullptr;
    for (QWidget *field : fields) {
        for (QWidget *w : focusTargets(field)) {
            if (previous)
                QWidget::setTabOrder(previous, w);
            previous = w;
        }
    }
}

} // namespace vog
