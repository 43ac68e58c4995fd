#include "RowForm.h"

#include "BrowseButton.h"
#include "ButtonRoom.h"
#include "ChoiceField.h"
#include "FieldLook.h"
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
// The widths every window shares.
constexpr int ShortWidth = 121;
constexpr int NumberWidth = 121;
constexpr int ChoiceWidth = 145;
constexpr int AddButtonRoom = 18;

} // namespace

RowForm::RowForm(Place place, const FormLook &look, QWidget *parent)
    : QWidget(parent), m_rowOfKeyword(keywordTable().size(), -1),
      m_nominalColumn(look.fieldColumn), m_column(look.fieldColumn), m_top(look.top)
{
    for (const KeywordRow *row : rowsShownIn(place))
        add(*row, look);
    relayout();
}

void RowForm::add(const KeywordRow &keyword, const FormLook &look)
{
    const QString name = QString::fromLatin1(keyword.name);
    const FieldLook &shape = fieldLook(keyword);
    Row row;
    row.keyword = &keyword;
    QWidget *field = nullptr;
    switch (keyword.kind) {
    case ValueKind::Text:
        field = new TextField(this);
        row.width = shape.width == Width::Short ? ShortWidth
            : shape.width == Width::LongLessOne ? look.longWidth - 1
                                                  : look.longWidth;
        break;
    case ValueKind::OnOff:
    case ValueKind::InvertedOnOff:
    case ValueKind::LowerUpper: {
        auto *choice = new ChoiceField(keyword.kind == ValueKind::LowerUpper
                                               ? ChoiceField::lowerUpperItems()
                                               : ChoiceField::onOffItems(),
                                       this);
        choice->readsAs(keyword);
        field = choice;
        row.width = ChoiceWidth;
        break;
    }
    case ValueKind::Number:
        field = new NumberField(keyword.range, this);
        row.width = NumberWidth;
        break;
    case ValueKind::Radio:
        field = new RadioChoice(*keyword.radio, shape.columns, this);
        row.width = look.radioWidth;
        row.tall = true;
        break;
    case ValueKind::Flags:
        field = new FlagBoxes(*keyword.flags, shape.columns, shape.step, this);
        row.width = shape.columns * shape.step;
        row.tall = true;
        break;
    case ValueKind::LineList: {
        auto *list = new LineList(this);
        list->setVerticalScrollBarPolicy(shape.scrollBar ? Qt::ScrollBarAlwaysOn
                                                           : Qt::ScrollBarAlwaysOff);
        list->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        field = list;
        // A list with a "+" leaves room for it at its right.
        row.width = look.longWidth - (keyword.browse == Browse::AddFile ? AddButtonRoom : 0);
        row.tall = true;
        break;
    }
    case ValueKind::LinkName:
        return; // shown as the link list's entry, not as a row
    }
    field->setObjectName(name);
    // Screen readers say the keyword, not the dot leader of its label.
    if (auto *choice = qobject_cast<ChoiceField *>(field))
        choice->nameForScreenReaders(name);
    else
        field->setAccessibleName(name);
    row.field = field;
    row.asField = dynamic_cast<Field *>(field);

    const QString label = row.tall ? name
                                   : name + QStringLiteral("   ") + QString(shape.dots, u'.');
    row.label = new QLabel(label, this);
    row.label->setTextFormat(Qt::PlainText);
    row.label->setBuddy(field);
    // Some screen readers name a field by its label (drop-downs on Linux): without the dots.
    row.label->setAccessibleName(name);

    if (keyword.browse != Browse::None) {
        const bool add = keyword.browse == Browse::AddFile;
        row.button = new BrowseButton(add ? QStringLiteral("+") : QStringLiteral("..."), this);
        row.button->setObjectName(name + QStringLiteral("Button"));
        row.button->setAccessibleName((add ? QStringLiteral("Add a file to ")
                                           : QStringLiteral("Browse for "))
                                      + name);
    }
    if (keyword.useBox) {
        auto *use = new UseBox(this);
        use->setObjectName(name + QStringLiteral("Use"));
        // Named "Use" like its caption; which number it belongs to is said after the name.
        use->setAccessibleDescription(QStringLiteral("Use ") + name);
        static_cast<NumberField *>(field)->setUseBox(use);
        row.use = use;
    }
    m_rowOfKeyword[std::size_t(keyword.index)] = int(m_rows.size());
    m_rows.append(row);
}

QWidget *RowForm::fieldWidget(const KeywordRow &row) const
{
    const int at = m_rowOfKeyword.at(std::size_t(row.index));
    return at < 0 ? nullptr : m_rows[at].field;
}

Field *RowForm::field(const KeywordRow &row) const
{
    const int at = m_rowOfKeyword.at(std::size_t(row.index));
    return at < 0 ? nullptr : m_rows[at].asField;
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

BrowseButton *RowForm::button(const KeywordRow &row) const
{
    const int at = m_rowOfKeyword.at(std::size_t(row.index));
    return at < 0 ? nullptr : m_rows[at].button;
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
                height = fieldLook(*r.keyword).visibleLines * fm.lineSpacing() + 2 * list->frameWidth()
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
