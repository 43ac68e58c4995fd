#include "TArea_Definition.h"

#include "AreaListModel.h"
#include "LinkDialog.h"
#include "NameListModel.h"
#include "document/ConfigDocument.h"
#include "fields/ChoiceField.h"
#include "fields/RowForm.h"
#include "fields/ScreenFit.h"
#include "fields/SharedFont.h"
#include "reader/AreaLine.h"
#include "reader/Errors.h"

#include <QAbstractButton>
#include <QAction>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QPainter>
#include <QPushButton>
#include <QSpinBox>
#include <QStyledItemDelegate>
#include <QTableView>
#include <QTimer>
#include <QVBoxLayout>

#include <algorithm>

using vog::AreaState;

namespace {

vog::AreaLines &areas()
{
    return vog::document().areas();
}

template <typename W>
W *named(W *widget, const char *name, const QString &accessibleName,
         const QString &description = {})
{
    widget->setObjectName(QString::fromLatin1(name));
    widget->setAccessibleName(accessibleName);
    if (!description.isEmpty())
        widget->setAccessibleDescription(description);
    return widget;
}

// The area list: Tab and Shift+Tab leave it, the arrow keys move in it; the row with the focus
// is framed whole, selected or not, where the style frames one cell at most.
class AreaTable : public QTableView
{
public:
    explicit AreaTable(QWidget *parent) : QTableView(parent) { setTabKeyNavigation(false); }

protected:
    void focusInEvent(QFocusEvent *event) override
    {
        QTableView::focusInEvent(event);
        viewport()->update();
    }
    void focusOutEvent(QFocusEvent *event) override
    {
        QTableView::focusOutEvent(event);
        viewport()->update();
    }
    void currentChanged(const QModelIndex &current, const QModelIndex &previous) override
    {
        QTableView::currentChanged(current, previous);
        viewport()->update();
    }
};

class FocusRowDelegate : public QStyledItemDelegate
{
public:
    using QStyledItemDelegate::QStyledItemDelegate;
    void paint(QPainter *painter, const QStyleOptionViewItem &option,
               const QModelIndex &index) const override
    {
        QStyleOptionViewItem cell(option);
        cell.state &= ~QStyle::State_HasFocus;
        QStyledItemDelegate::paint(painter, cell, index);
        const auto *view = qobject_cast<const QAbstractItemView *>(option.widget);
        if (!view || !view->hasFocus() || index.row() != view->currentIndex().row())
            return;
        painter->save();
        painter->setPen(QPen(option.palette.color(QPalette::WindowText), 1, Qt::DotLine));
        const QRect r = option.rect.adjusted(0, 0, -1, -1);
        painter->drawLine(r.topLeft(), r.topRight());
        painter->drawLine(r.bottomLeft(), r.bottomRight());
        if (index.column() == 0)
            painter->drawLine(r.topLeft(), r.bottomLeft());
        if (index.column() == index.model()->columnCount() - 1)
            painter->drawLine(r.topRight(), r.bottomRight());
        painter->restore();
    }
};

QSpinBox *numberField(const char *name, const QString &accessibleName, QWidget *parent)
{
    auto *box = named(new QSpinBox(parent), name, accessibleName,
                      QStringLiteral("0 for not set"));
    box->setRange(0, vog::AreaNumberMost);
    box->setSpecialValueText(QStringLiteral("not set"));
    return box;
}

// The value of a number field as the option's words: none for 0.
QString numberWords(const QSpinBox *box)
{
    return box->value() ? QString::number(box->value()) : QString();
}

} // namespace

TArea_Definition::TArea_Definition(QWidget *parent) : QWidget(parent, Qt::Window)
{
    setObjectName(QStringLiteral("Area_Definition"));
    setWindowTitle(QStringLiteral("Area Definition"));
    setFont(vog::sharedFont());
    move(120, 40);
    resize(780, 640);

    AreaFilter = named(new QLineEdit(this), "AreaFilter", QStringLiteral("Filter"),
                       QStringLiteral("Keeps the areas whose tag or description holds the text, "
                                      "or that name a link whose address holds it"));
    AreaFilter->setPlaceholderText(QStringLiteral("Filter: tag, description or link address"));
    AreaFilter->setClearButtonEnabled(true);
    for (QAbstractButton *clear : AreaFilter->findChildren<QAbstractButton *>())
        clear->setAccessibleName(QStringLiteral("Clear the filter"));

    m_model = new vog::AreaListModel(areas(), this);
    AreaList = named(new AreaTable(this), "AreaList", QStringLiteral("Areas"));
    AreaList->setModel(m_model);
    AreaList->setItemDelegate(new FocusRowDelegate(AreaList));
    // The corner button selects every row.
    if (auto *corner = AreaList->findChild<QAbstractButton *>())
        corner->setAccessibleName(QStringLiteral("Select all areas"));
    AreaList->setSelectionBehavior(QAbstractItemView::SelectRows);
    AreaList->setSelectionMode(QAbstractItemView::ExtendedSelection);
    AreaList->setEditTriggers(QAbstractItemView::NoEditTriggers);
    AreaList->setAlternatingRowColors(true);
    AreaList->setWordWrap(false);
    AreaList->verticalHeader()->hide();
    // Rows of one height, never measured one by one: fifty thousand of them show at once.
    AreaList->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    AreaList->verticalHeader()->setDefaultSectionSize(AreaList->fontMetrics().height() + 6);
    AreaList->horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
    AreaList->horizontalHeader()->setStretchLastSection(true);
    const int widths[] = {170, 90, 160, 60, 50, 45};
    for (int c = 0; c < int(std::size(widths)); ++c)
        AreaList->setColumnWidth(c, widths[c]);

    AreaTag = named(new QLineEdit(this), "AreaTag", QStringLiteral("Tag"));
    AreaPath = named(new QLineEdit(this), "AreaPath", QStringLiteral("Path"),
                     QStringLiteral("Where the messages are kept, or Passthrough"));
    AreaBase = new QComboBox(this);
    AreaBase->setObjectName(QStringLiteral("AreaBase"));
    AreaBase->setEditable(true);
    AreaBase->setInsertPolicy(QComboBox::NoInsert);
    AreaBase->addItems({QString(), QStringLiteral("Squish"), QStringLiteral("Jam"),
                        QStringLiteral("Msg")});
    vog::nameForScreenReaders(AreaBase, QStringLiteral("Message base"),
                              QStringLiteral("Squish, Jam or Msg; empty for not set"));
    AreaGroup = named(new QLineEdit(this), "AreaGroup", QStringLiteral("Group"));
    AreaDescription = named(new QLineEdit(this), "AreaDescription",
                            QStringLiteral("Description"));
    AreaAka = named(new QLineEdit(this), "AreaAka", QStringLiteral("Our address"),
                    QStringLiteral("The address the area is ours under"));
    AreaPurge = numberField("AreaPurge", QStringLiteral("Purge days"), this);
    AreaMaxMsgs = numberField("AreaMaxMsgs", QStringLiteral("Most messages"), this);
    AreaOptions = named(new QLineEdit(this), "AreaOptions", QStringLiteral("Other options"),
                        QStringLiteral("The area's other options and words, as written"));
    AreaLinks = named(new QListWidget(this), "AreaLinks", QStringLiteral("Links of the area"),
                      QStringLiteral("Each link's address and flags"));
    AreaLinks->setSelectionMode(QAbstractItemView::SingleSelection);

    AreaLinkAddress = new QComboBox(this);
    AreaLinkAddress->setObjectName(QStringLiteral("AreaLinkAddress"));
    AreaLinkAddress->setEditable(true);
    AreaLinkAddress->setInsertPolicy(QComboBox::NoInsert);
    AreaLinkAddress->setModel(new vog::NameListModel(AreaLinkAddress));
    AreaLinkAddress->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    AreaLinkAddress->setMinimumContentsLength(18);
    AreaLinkAddress->lineEdit()->setPlaceholderText(QStringLiteral("zone:net/node"));
    vog::nameForScreenReaders(AreaLinkAddress, QStringLiteral("Link address"),
                              QStringLiteral("One of the links, or any address"));
    const auto button = [this](const char *name, const QString &caption) {
        auto *b = new QPushButton(caption, this);
        b->setObjectName(QString::fromLatin1(name));
        // Named by its caption, as every push button.
        b->setAccessibleName(b->text().remove(u'&'));
        return b;
    };
    AreaLinkAdd = button("AreaLinkAdd", QStringLiteral("&Add to selected"));
    AreaLinkRemove = button("AreaLinkRemove", QStringLiteral("Re&move from selected"));
    NewAreaButton = button("NewAreaButton", QStringLiteral("&New area..."));
    RemoveAreaButton = button("RemoveAreaButton", QStringLiteral("&Remove areas"));

    // The picked area's fields, each with its label as its buddy.
    auto *fields = new QGridLayout;
    const auto row = [&](int r, int c, const QString &label, QWidget *field, int span = 1) {
        auto *l = new QLabel(label, this);
        l->setBuddy(field);
        fields->addWidget(l, r, c * 2);
        fields->addWidget(field, r, c * 2 + 1, 1, span);
    };
    row(0, 0, QStringLiteral("&Tag"), AreaTag);
    row(0, 1, QStringLiteral("&Path"), AreaPath);
    row(1, 0, QStringLiteral("&Base"), AreaBase);
    row(1, 1, QStringLiteral("&Group"), AreaGroup);
    row(2, 0, QStringLiteral("&Description"), AreaDescription, 3);
    row(3, 0, QStringLiteral("A&ka"), AreaAka);
    row(3, 1, QStringLiteral("P&urge days"), AreaPurge);
    row(4, 0, QStringLiteral("Mo&st messages"), AreaMaxMsgs);
    row(5, 0, QStringLiteral("&Options"), AreaOptions, 3);
    AreaFieldReason = new QLabel(this);
    AreaFieldReason->setObjectName(QStringLiteral("AreaFieldReason"));
    AreaFieldReason->setWordWrap(true);
    fields->addWidget(AreaFieldReason, 6, 0, 1, 4);
    fields->setColumnStretch(1, 1);
    fields->setColumnStretch(3, 1);
    // The rows stand together; what the links' list makes taller stays below them.
    fields->setRowStretch(7, 1);

    auto *links = new QGridLayout;
    auto *linksLabel = new QLabel(QStringLiteral("&Links"), this);
    linksLabel->setBuddy(AreaLinks);
    links->addWidget(linksLabel, 0, 0, 1, 2);
    links->addWidget(AreaLinks, 1, 0, 1, 2);
    auto *addressLabel = new QLabel(QStringLiteral("L&ink address"), this);
    addressLabel->setBuddy(AreaLinkAddress);
    links->addWidget(addressLabel, 2, 0, 1, 2);
    links->addWidget(AreaLinkAddress, 3, 0, 1, 2);
    AreaLinkReason = new QLabel(this);
    AreaLinkReason->setObjectName(QStringLiteral("AreaLinkReason"));
    AreaLinkReason->setWordWrap(true);
    links->addWidget(AreaLinkReason, 4, 0, 1, 2);
    links->addWidget(AreaLinkAdd, 5, 0);
    links->addWidget(AreaLinkRemove, 5, 1);

    auto *below = new QHBoxLayout;
    below->addLayout(fields, 3);
    below->addLayout(links, 2);

    auto *areaButtons = new QHBoxLayout;
    areaButtons->addWidget(AreaFilter, 1);
    areaButtons->addWidget(NewAreaButton);
    areaButtons->addWidget(RemoveAreaButton);

    // On a screen smaller than the window needs, the window keeps to the screen and scrolls.
    auto *layout = new QVBoxLayout(vog::scrollingContent(this));
    layout->addLayout(areaButtons);
    layout->addWidget(AreaList, 1);
    layout->addLayout(below);
    // Tab goes as the window reads: the row above the list, the list, the fields below it,
    // then the links.
    vog::RowForm::chainFocus({AreaFilter, NewAreaButton, RemoveAreaButton, AreaList, AreaTag,
                              AreaPath, AreaBase, AreaGroup, AreaDescription, AreaAka, AreaPurge,
                              AreaMaxMsgs, AreaOptions, AreaLinks, AreaLinkAddress, AreaLinkAdd,
                              AreaLinkRemove});

    QuickFindAction = new QAction(QStringLiteral("Quick find"), this);
    QuickFindAction->setObjectName(QStringLiteral("QuickFindAction"));
    QuickFindAction->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_F));
    addAction(QuickFindAction);

    connect(AreaFilter, &QLineEdit::textChanged, this, &TArea_Definition::AreaFilterChange);
    connect(AreaList->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            &TArea_Definition::AreaListChange);
    connect(AreaList->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            &TArea_Definition::updateButtons);
    connect(AreaLinks, &QListWidget::currentRowChanged, this, &TArea_Definition::updateButtons);
    connect(AreaLinkAddress, &QComboBox::currentTextChanged, this,
            &TArea_Definition::updateButtons);
    connect(AreaLinkAdd, &QPushButton::clicked, this, &TArea_Definition::AreaLinkAddClick);
    connect(AreaLinkRemove, &QPushButton::clicked, this, &TArea_Definition::AreaLinkRemoveClick);
    connect(NewAreaButton, &QPushButton::clicked, this, &TArea_Definition::NewAreaButtonClick);
    connect(RemoveAreaButton, &QPushButton::clicked, this,
            &TArea_Definition::RemoveAreaButtonClick);

    using F = vog::AreaField;
    connectField(AreaTag, QStringLiteral("Tag"), false,
                 [this](AreaState &s) { s.tag = AreaTag->text(); });
    connectField(AreaPath, QStringLiteral("Path"), false,
                 [this](AreaState &s) { s.path = AreaPath->text(); });
    connectField(AreaBase, QStringLiteral("Base"), false,
                 [this](AreaState &s) { s.fields[F::Base] = AreaBase->currentText(); });
    connectField(AreaGroup, QStringLiteral("Group"), false,
                 [this](AreaState &s) { s.fields[F::Group] = AreaGroup->text(); });
    // A description is written in quotes.
    connectField(AreaDescription, QStringLiteral("Description"), true,
                 [this](AreaState &s) { s.fields[F::Description] = AreaDescription->text(); });
    connectField(AreaAka, QStringLiteral("Aka"), false,
                 [this](AreaState &s) { s.fields[F::Aka] = AreaAka->text(); });
    connectField(AreaPurge, {}, false,
                 [this](AreaState &s) { s.fields[F::Purge] = numberWords(AreaPurge); });
    connectField(AreaMaxMsgs, {}, false,
                 [this](AreaState &s) { s.fields[F::MaxMsgs] = numberWords(AreaMaxMsgs); });
    connectField(AreaOptions, QStringLiteral("Options"), false,
                 [this](AreaState &s) { s.options = vog::splitAreaWords(AreaOptions->text()); });

    // The lines read or found again after a save: the list follows once the command is done.
    m_preparing = new QTimer(this);
    m_preparing->setInterval(0);
    connect(m_preparing, &QTimer::timeout, this, [this] {
        if (m_model->prepareSome(2000))
            m_preparing->stop();
    });

    areas().setReadHandler([this] {
        if (m_following)
            return;
        m_following = true;
        QTimer::singleShot(0, this, &TArea_Definition::followDocument);
    });
    followDocument();
}

TArea_Definition::~TArea_Definition()
{
    areas().setReadHandler(nullptr);
}

void TArea_Definition::connectField(QWidget *field, const QString &label, bool quoted,
                                    const std::function<void(AreaState &)> &change)
{
    // Every change that the program did not make is the user's: typed, pasted, picked,
    // stepped, or set by an assistive client.
    const auto report = [this, field, label, quoted, change] {
        if (m_showing)
            return;
        QString text;
        if (auto *edit = qobject_cast<QLineEdit *>(field))
            text = edit->text();
        else if (auto *box = qobject_cast<QComboBox *>(field))
            text = box->currentText();
        // The options are words of their own, each as the line will hold it, where the file
        // may have made another character its comment's.
        const int area = m_shownArea;
        const char comment = area >= 0 && area < areas().count() ? areas().commentChar(area) : '#';
        QString why;
        for (const QString &word : field == AreaOptions ? vog::splitAreaWords(text)
                                                        : QStringList{text})
            if (why.isEmpty())
                why = vog::areaWordRefusal(word, quoted, comment);
        AreaFieldReason->setText(why.isEmpty() ? QString() : label + QStringLiteral(": ") + why);
        if (why.isEmpty())
            edited(change);
    };
    if (auto *edit = qobject_cast<QLineEdit *>(field))
        connect(edit, &QLineEdit::textChanged, this, report);
    else if (auto *box = qobject_cast<QComboBox *>(field))
        connect(box, &QComboBox::currentTextChanged, this, report);
    else if (auto *number = qobject_cast<QSpinBox *>(field))
        connect(number, &QSpinBox::valueChanged, this, report);
}

void TArea_Definition::edited(const std::function<void(AreaState &)> &change)
{
    const int area = m_shownArea;
    if (area < 0 || area >= areas().count())
        return;
    AreaState s = areas().state(area);
    change(s);
    areas().setState(area, s);
    m_model->areasChanged({area});
}

void TArea_Definition::followDocument()
{
    m_following = false;
    const int row = m_behind ? m_behindRow : AreaList->currentIndex().row();
    if (!isVisible()) {
        // A link edit doesn't wait for fifty thousand rows and twenty thousand addresses that
        // no one sees: they are listed again once the window is shown.
        if (!m_behind) {
            m_behind = true;
            m_behindRow = row;
            m_model->empty();
            showPicked();
        }
        return;
    }
    m_behind = false;
    reloadList();
    offerLinkAddresses();
    if (m_model->rowCount() > 0 && row >= 0)
        AreaList->setCurrentIndex(m_model->index(std::min(row, m_model->rowCount() - 1), 0));
    showPicked();
}

void TArea_Definition::reloadList()
{
    m_model->reload();
    if (isVisible())
        m_preparing->start();
}

void TArea_Definition::offerLinkAddresses()
{
    static const int aka = vog::rowNamed("Aka")->storeRow;
    const vog::LinkStore &store = vog::document().links();
    QStringList addresses;
    for (int column = 1; column < store.columnCount(); ++column) {
        const QString first = store.cellText(column, aka).simplified().section(u' ', 0, 0);
        if (!first.isEmpty())
            addresses.append(first);
    }
    if (addresses.size() == AreaLinkAddress->count())
        return;
    const QString typed = AreaLinkAddress->currentText();
    static_cast<vog::NameListModel *>(AreaLinkAddress->model())->setNames(addresses);
    AreaLinkAddress->setEditText(typed);
}

void TArea_Definition::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    if (m_behind)
        followDocument();
    // The filter's block is made a slice at a time once the window stands, while the user
    // looks at it; a key typed before it is whole makes the rest at once.
    m_preparing->start();
}

int TArea_Definition::pickedArea() const
{
    const QModelIndex current = AreaList->currentIndex();
    return current.isValid() ? m_model->areaAt(current.row()) : -1;
}

std::vector<int> TArea_Definition::selectedAreas() const
{
    std::vector<int> out;
    for (const QModelIndex &index : AreaList->selectionModel()->selectedRows())
        out.push_back(m_model->areaAt(index.row()));
    std::sort(out.begin(), out.end());
    return out;
}

void TArea_Definition::pickArea(int area)
{
    if (m_model->rowOf(area) < 0)
        AreaFilter->clear();
    const int row = m_model->rowOf(area);
    if (row < 0)
        return;
    const QModelIndex index = m_model->index(row, 0);
    AreaList->setCurrentIndex(index);
    AreaList->selectionModel()->select(index, QItemSelectionModel::ClearAndSelect
                                                      | QItemSelectionModel::Rows);
    AreaList->scrollTo(index);
}

void TArea_Definition::AreaFilterChange()
{
    const int picked = pickedArea();
    m_model->setFilter(AreaFilter->text());
    const int row = picked >= 0 ? m_model->rowOf(picked) : -1;
    if (row >= 0)
        AreaList->setCurrentIndex(m_model->index(row, 0));
    showPicked();
}

void TArea_Definition::AreaListChange()
{
    showPicked();
}

void TArea_Definition::showPicked()
{
    const int area = pickedArea();
    m_shownArea = area;
    const AreaState s = area >= 0 ? areas().state(area) : AreaState();
    AreaFieldReason->clear();
    m_showing = true;
    AreaTag->setText(s.tag);
    AreaPath->setText(s.path);
    AreaBase->setEditText(s.fields[vog::Base]);
    AreaGroup->setText(s.fields[vog::Group]);
    AreaDescription->setText(s.fields[vog::Description]);
    AreaAka->setText(s.fields[vog::Aka]);
    AreaPurge->setValue(s.fields[vog::Purge].toInt());
    AreaMaxMsgs->setValue(s.fields[vog::MaxMsgs].toInt());
    AreaOptions->setText(s.options.join(u' '));
    showInherited(area);
    // Each text from its start, as a long path is read.
    for (QLineEdit *edit : {AreaTag, AreaPath, AreaGroup, AreaDescription, AreaAka, AreaOptions})
        edit->setCursorPosition(0);
    const int linkRow = AreaLinks->currentRow();
    AreaLinks->clear();
    for (const vog::AreaLink &link : s.links)
        AreaLinks->addItem(link.shown());
    if (linkRow >= 0 && linkRow < AreaLinks->count())
        AreaLinks->setCurrentRow(linkRow);
    m_showing = false;
    for (QWidget *w : {static_cast<QWidget *>(AreaTag), static_cast<QWidget *>(AreaPath),
                       static_cast<QWidget *>(AreaBase), static_cast<QWidget *>(AreaGroup),
                       static_cast<QWidget *>(AreaDescription), static_cast<QWidget *>(AreaAka),
                       static_cast<QWidget *>(AreaPurge), static_cast<QWidget *>(AreaMaxMsgs),
                       static_cast<QWidget *>(AreaOptions), static_cast<QWidget *>(AreaLinks)})
        w->setEnabled(area >= 0);
    updateButtons();
}

void TArea_Definition::showInherited(int area)
{
    // A field the line lacks shows what the EchoAreaDefaults before it gives, its label in
    // italics and the defaults' line in its tool tip, as a link shows what it inherits.
    const std::pair<QWidget *, int> fields[] = {
        {AreaBase, vog::Base},       {AreaGroup, vog::Group}, {AreaDescription, vog::Description},
        {AreaAka, vog::Aka},         {AreaPurge, vog::Purge}, {AreaMaxMsgs, vog::MaxMsgs}};
    for (const auto &[field, index] : fields) {
        QString value;
        vog::Origin origin;
        const bool inherited = area >= 0 && areas().inheritedField(area, index, value, origin);
        if (inherited) {
            if (auto *edit = qobject_cast<QLineEdit *>(field))
                edit->setText(value);
            else if (auto *box = qobject_cast<QComboBox *>(field))
                box->setEditText(value);
            else if (auto *number = qobject_cast<QSpinBox *>(field))
                number->setValue(value.toInt());
        }
        field->setToolTip(inherited ? QStringLiteral("inherited from EchoAreaDefaults, ")
                                          + vog::describeOrigin(origin)
                                    : QString());
        for (QLabel *label : findChildren<QLabel *>())
            if (label->buddy() == field) {
                QFont font = label->font();
                font.setItalic(inherited);
                label->setFont(font);
            }
    }
}

void TArea_Definition::updateButtons()
{
    const bool selected = AreaList->selectionModel()->hasSelection();
    const QString address = AreaLinkAddress->currentText().trimmed();
    const QString why = address.isEmpty() ? QString() : vog::addressRefusal(address);
    AreaLinkReason->setText(why);
    AreaLinkAdd->setEnabled(selected && !address.isEmpty() && why.isEmpty());
    AreaLinkRemove->setEnabled(selected && AreaLinks->currentRow() >= 0);
    RemoveAreaButton->setEnabled(selected);
}

void TArea_Definition::changeSelected(const std::function<bool(AreaState &)> &change)
{
    std::vector<std::pair<int, AreaState>> changed;
    std::vector<int> touched;
    for (int area : selectedAreas()) {
        AreaState s = areas().state(area);
        if (!change(s))
            continue;
        changed.emplace_back(area, std::move(s));
        touched.push_back(area);
    }
    areas().setStates(changed);
    m_model->areasChanged(touched);
    showPicked();
}

void TArea_Definition::AreaLinkAddClick()
{
    const QString address = AreaLinkAddress->currentText().trimmed();
    if (!vog::addressRefusal(address).isEmpty() || !AreaList->selectionModel()->hasSelection())
        return;
    if (vog::document().linksWithAddress(address).empty()) {
        // Likely a typing slip: a link the tosser doesn't know gets no mail.
        const qsizetype selected = AreaList->selectionModel()->selectedRows().size();
        QMessageBox box(QMessageBox::Question, windowTitle(),
                        QStringLiteral("No link has the address %1. Add it to the %2 anyway?")
                                .arg(address, selected == 1
                                                      ? QStringLiteral("1 selected area")
                                                      : QStringLiteral("%1 selected areas")
                                                                .arg(selected)),
                        QMessageBox::Yes | QMessageBox::No, this);
        box.setObjectName(QStringLiteral("AreaLinkUnknownQuestion"));
        box.setDefaultButton(QMessageBox::No);
        if (box.exec() != QMessageBox::Yes)
            return;
    }
    changeSelected([&](AreaState &s) { return s.addLink(address); });
}

void TArea_Definition::AreaLinkRemoveClick()
{
    const int picked = AreaLinks->currentRow();
    if (m_shownArea < 0 || picked < 0)
        return;
    const QString address = areas().state(m_shownArea).links.at(std::size_t(picked)).address;
    changeSelected([&](AreaState &s) { return s.removeLink(address); });
}

void TArea_Definition::NewAreaButtonClick()
{
    AreaDialog dialog(this);
    if (dialog.exec() != QDialog::Accepted)
        return;
    int added = -1;
    vog::guarded(
            [&] {
                added = areas().addArea(dialog.AreaTagEdit->text(), dialog.AreaPathEdit->text(),
                                        pickedArea(), vog::document().mainFile());
            },
            [this](const QString &message) { emit failed(message); });
    if (added < 0)
        return;
    reloadList();
    pickArea(added);
}

void TArea_Definition::RemoveAreaButtonClick()
{
    const std::vector<int> selected = selectedAreas();
    if (selected.empty())
        return;
    QMessageBox box(QMessageBox::Question, windowTitle(),
                    selected.size() == 1 ? QStringLiteral("Remove 1 area?")
                                         : QStringLiteral("Remove %1 areas?").arg(selected.size()),
                    QMessageBox::Yes | QMessageBox::No, this);
    box.setObjectName(QStringLiteral("AreaRemoveQuestion"));
    box.setDefaultButton(QMessageBox::No);
    if (box.exec() != QMessageBox::Yes)
        return;
    const int row = AreaList->currentIndex().row();
    areas().removeAreas(selected);
    reloadList();
    if (m_model->rowCount() > 0)
        AreaList->setCurrentIndex(m_model->index(std::clamp(row, 0, m_model->rowCount() - 1), 0));
    showPicked();
}

AreaDialog::AreaDialog(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("AreaDialog"));
    setWindowTitle(QStringLiteral("New area"));
    AreaTagEdit = named(new QLineEdit(this), "AreaTagEdit", QStringLiteral("Tag"),
                        QStringLiteral("One word that no other area has"));
    AreaPathEdit = named(new QLineEdit(this), "AreaPathEdit", QStringLiteral("Path"),
                         QStringLiteral("Where the messages are kept, or Passthrough"));
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    OkButton = buttons->button(QDialogButtonBox::Ok);
    auto *form = new QFormLayout(this);
    form->addRow(QStringLiteral("&Tag"), AreaTagEdit);
    form->addRow(QStringLiteral("&Path"), AreaPathEdit);
    form->addRow(buttons);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(AreaTagEdit, &QLineEdit::textChanged, this, &AreaDialog::check);

    m_tags = areas().takenTags();
    check();
}

void AreaDialog::check()
{
    OkButton->setEnabled(vog::AreaLines::tagRefusal(AreaTagEdit->text(), m_tags).isEmpty());
}
