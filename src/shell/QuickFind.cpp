#include "QuickFind.h"

#include "QuickFindModel.h"
#include "editors/TArea_Definition.h"
#include "editors/TLink_Keywords.h"
#include "editors/Windows.h"
#include "fields/RadioChoice.h"
#include "fields/RowForm.h"
#include "reader/KeywordTable.h"

#include <QAbstractButton>
#include <QAction>
#include <QCoreApplication>
#include <QComboBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QListView>
#include <QMenu>
#include <QPainter>
#include <QRadioButton>
#include <QScreen>
#include <QScrollArea>
#include <QTableView>
#include <QStyledItemDelegate>
#include <QVBoxLayout>

namespace vog {

namespace {

// A result as one line: its name in bold, then where it is and what it holds, dimmed.
class ResultDelegate final : public QStyledItemDelegate
{
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    void paint(QPainter *painter, const QStyleOptionViewItem &option,
               const QModelIndex &index) const override
    {
        QStyleOptionViewItem opt = option;
        initStyleOption(&opt, index);
        opt.text.clear();
        const QWidget *view = opt.widget;
        QStyle *style = view->style();
        style->drawControl(QStyle::CE_ItemViewItem, &opt, painter, view);
        const QRect r = style->subElementRect(QStyle::SE_ItemViewItemText, &opt, view)
                                .adjusted(4, 0, -4, 0);
        const bool selected = opt.state & QStyle::State_Selected;
        const QPalette::ColorGroup group =
                opt.state & QStyle::State_Active ? QPalette::Active : QPalette::Inactive;

        QFont bold = opt.font;
        bold.setBold(true);
        const QFontMetrics boldMetrics(bold);
        const QString name = boldMetrics.elidedText(
                index.data(QuickFindModel::NameRole).toString(), Qt::ElideRight, r.width() * 2 / 3);
        painter->save();
        painter->setFont(bold);
        painter->setPen(opt.palette.color(group, selected ? QPalette::HighlightedText
                                                          : QPalette::Text));
        painter->drawText(r, Qt::AlignLeft | Qt::AlignVCenter, name);
        const QRect rest = r.adjusted(boldMetrics.horizontalAdvance(name) + 12, 0, 0, 0);
        painter->setFont(opt.font);
        painter->setPen(opt.palette.color(group, selected ? QPalette::HighlightedText
                                                          : QPalette::PlaceholderText));
        painter->drawText(rest, Qt::AlignLeft | Qt::AlignVCenter,
                          opt.fontMetrics.elidedText(
                                  index.data(QuickFindModel::DetailRole).toString(),
                                  Qt::ElideRight, rest.width()));
        painter->restore();
    }

    QSize sizeHint(const QStyleOptionViewItem &option, const QModelIndex &index) const override
    {
        return {QStyledItemDelegate::sizeHint(option, index).width(), rowHeight(option.fontMetrics)};
    }

    static int rowHeight(const QFontMetrics &metrics) { return metrics.height() + 8; }
};

// Where the keyboard goes in a field: a radio choice's selected option, or its first, as Tab
// would reach it.
QWidget *focusTarget(QWidget *field)
{
    if (auto *radio = qobject_cast<RadioChoice *>(field))
        if (QWidget *selected = radio->option(radio->selectedOption()))
            return selected;
    const QList<QWidget *> targets = RowForm::focusTargets(field);
    return targets.isEmpty() ? field : targets.first();
}

} // namespace

QuickFind::QuickFind(QWidget *parent, QAction *parentsQuickFind, QAction *configurator)
    : QFrame(parent, Qt::Popup)
{
    setObjectName(QStringLiteral("QuickFind"));
    setAccessibleName(QStringLiteral("Quick find"));
    setFrameStyle(QFrame::StyledPanel | QFrame::Raised);

    QuickFindText = new QLineEdit(this);
    QuickFindText->setObjectName(QStringLiteral("QuickFindText"));
    QuickFindText->setPlaceholderText(QStringLiteral("Keyword, link name or address, area tag"));
    QuickFindText->setAccessibleName(QStringLiteral("Find"));
    QuickFindText->setAccessibleDescription(
            QStringLiteral("A keyword, a link's name or one of its addresses"));

    m_model = new QuickFindModel(this);
    QuickFindResults = new QListView(this);
    QuickFindResults->setObjectName(QStringLiteral("QuickFindResults"));
    QuickFindResults->setAccessibleName(QStringLiteral("Found"));
    QuickFindResults->setModel(m_model);
    QuickFindResults->setItemDelegate(new ResultDelegate(QuickFindResults));
    QuickFindResults->setUniformItemSizes(true);
    QuickFindResults->setEditTriggers(QAbstractItemView::NoEditTriggers);
    QuickFindResults->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(4, 4, 4, 4);
    layout->setSpacing(4);
    layout->addWidget(QuickFindText);
    layout->addWidget(QuickFindResults);

    // Up and Down reach the list from the text box; Return opens from either.
    QuickFindText->installEventFilter(this);
    QuickFindResults->installEventFilter(this);
    connect(QuickFindText, &QLineEdit::textChanged, this, &QuickFind::find);
    connect(QuickFindResults, &QListView::clicked, this,
            [this](const QModelIndex &index) { open(index.row()); });

    const auto answer = [this](QAction *action, QWidget *window) {
        connect(action, &QAction::triggered, this, [this, window] { popUp(window); });
    };
    answer(parentsQuickFind, parent);
    for (const WindowRow &row : windowRows())
        if (QAction *action = row.instance ? quickFindActionOf(row.instance()) : nullptr)
            answer(action, row.instance());
    // Nothing to find, and no window to show, before a file is open.
    const auto follow = [parentsQuickFind, configurator] {
        parentsQuickFind->setEnabled(configurator->isEnabled());
    };
    connect(configurator, &QAction::changed, this, follow);
    follow();
}

void QuickFind::popUp(QWidget *over)
{
    // Values change between finds, and links come with each Open.
    find();
    const QRect window = over->geometry();
    const int width = std::clamp(window.width() - 40, 360, 600);
    QRect place(QPoint(window.center().x() - width / 2, window.top() + 24),
                QSize(width, height()));
    if (const QScreen *screen = over->screen()) {
        const QRect room = screen->availableGeometry();
        place.moveRight(std::min(place.right(), room.right()));
        place.moveLeft(std::max(place.left(), room.left()));
        place.moveBottom(std::min(place.bottom(), room.bottom()));
        place.moveTop(std::max(place.top(), room.top()));
    }
    setGeometry(place);
    QuickFindText->selectAll();
    show();
    activateWindow();
    QuickFindText->setFocus(Qt::PopupFocusReason);
}

void QuickFind::find()
{
    m_model->find(QuickFindText->text());
    if (m_model->rowCount() > 0)
        QuickFindResults->setCurrentIndex(m_model->index(0));
    QuickFindResults->scrollToTop();
    // As tall as its rows, up to a dozen; the rest scroll.
    const int rows = std::clamp(m_model->rowCount(), 1, 12);
    resize(width(), rows * ResultDelegate::rowHeight(QuickFindResults->fontMetrics())
                            + 2 * QuickFindResults->frameWidth()
                            + QuickFindText->sizeHint().height() + 16);
}

void QuickFind::open(int row)
{
    if (row < 0 || row >= m_model->rowCount())
        return;
    const QuickFindModel::Found found = m_model->found(row);
    hide();
    if (found.keyword) {
        showWindow(windowShowing(found.keyword->place));
        EditorWindow *window = QuickFindModel::windowOf(*found.keyword);
        QWidget *field = window->form()->fieldWidget(*found.keyword);
        window->scrollArea()->ensureWidgetVisible(field, 8, 8);
        focusTarget(field)->setFocus(Qt::ShortcutFocusReason);
        return;
    }
    if (found.area >= 0) {
        showWindow(*windowShowing(Shows::Areas));
        Area_Definition->pickArea(found.area);
        Area_Definition->AreaList->setFocus(Qt::ShortcutFocusReason);
        return;
    }
    // Shown first, so that the window stands behind a load's error box, and brought to the
    // front again once the box is closed.
    const WindowRow &linkWindow = *windowShowing(Shows::Link);
    showWindow(linkWindow);
    QComboBox *links = Link_Keywords->LinkChange;
    links->setCurrentIndex(found.link);
    Link_Keywords->LinkChangeChange();
    showWindow(linkWindow);
    links->setFocus(Qt::ShortcutFocusReason);
}

bool QuickFind::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() != QEvent::KeyPress)
        return QFrame::eventFilter(watched, event);
    switch (static_cast<QKeyEvent *>(event)->key()) {
    case Qt::Key_Up:
    case Qt::Key_Down:
    case Qt::Key_PageUp:
    case Qt::Key_PageDown:
        if (watched != QuickFindText)
            break;
        QCoreApplication::sendEvent(QuickFindResults, event);
        return true;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        open(QuickFindResults->currentIndex().row());
        return true;
    case Qt::Key_Escape:
        hide();
        return true;
    default:
        break;
    }
    return QFrame::eventFilter(watched, event);
}

} // namespace vog
