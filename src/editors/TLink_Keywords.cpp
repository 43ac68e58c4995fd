#include "TLink_Keywords.h"

#include "TGeneral_Keywords.h"
#include "Windows.h"
#include "fields/ChoiceField.h"
#include "fields/RadioChoice.h"
#include "reader/Errors.h"
#include "reader/ValueRules.h"
#include "document/ConfigDocument.h"

#include <QComboBox>
#include <QEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

TLink_Keywords::TLink_Keywords(QWidget *parent)
    : vog::EditorWindow(QStringLiteral("Link_Keywords"), QStringLiteral("Link Keywords"),
                        QRect(83, 16, 719, 571), vog::Place::Link, {160, 55, 530, 530}, parent),
      LinksStringGrid(vog::document().links())
{
    vog::RowForm &f = *form();

    Label1 = new QLabel(QStringLiteral("Link"), &f);
    Label1->setObjectName(QStringLiteral("Label1"));
    QFont titleFont(QStringLiteral("Courier New"));
    titleFont.setStyleHint(QFont::TypeWriter);
    titleFont.setBold(true);
    titleFont.setItalic(true);
    titleFont.setPixelSize(15);
    Label1->setFont(titleFont);
    Label1->move(138, 11);
    Label1->adjustSize();

    LinkChange = new QComboBox(&f);
    LinkChange->setObjectName(QStringLiteral("LinkChange"));
    LinkChange->setEditable(true);
    // Typed text never becomes an entry: entry k must stay paired with column k + 1.
    LinkChange->setInsertPolicy(QComboBox::NoInsert);
    // Sizing to the contents would measure every name again on each append.
    LinkChange->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    LinkChange->setMinimumContentsLength(20);
    placeLinkChange();
    vog::nameForScreenReaders(LinkChange, QStringLiteral("Link"),
                              QStringLiteral("The link whose keywords are shown"));
    Label1->setBuddy(LinkChange);

    LinkDefaultsButton = new QPushButton(QStringLiteral("Defaults"), &f);
    LinkDefaultsButton->setObjectName(QStringLiteral("LinkDefaultsButton"));
    LinkDefaultsButton->setCheckable(true);
    // Named by its caption, as every push button.
    LinkDefaultsButton->setAccessibleName(LinkDefaultsButton->text());
    placeLinkChange();
    connect(LinkDefaultsButton, &QPushButton::clicked, this,
            &TLink_Keywords::LinkDefaultsButtonClick);

    QList<QWidget *> order{LinkChange, LinkDefaultsButton};
    order.append(f.fieldsWithButtons());
    order.append(f.useBoxes());
    vog::RowForm::chainFocus(order);

    // One load per user change: a pick from the list, or an edit of the text. Changes made
    // by the program (the Open adding entries) load nothing.
    connect(LinkChange, &QComboBox::activated, this, &TLink_Keywords::LinkChangeChange);
    connect(LinkChange->lineEdit(), &QLineEdit::textEdited, this,
            &TLink_Keywords::LinkChangeChange);

    connectBrowseButtons();
    for (const vog::KeywordRow *row : vog::rowsShownIn(vog::Place::Link)) {
        QWidget *field = form()->fieldWidget(*row);
        auto *edit = qobject_cast<QLineEdit *>(field);
        if (auto *choice = qobject_cast<QComboBox *>(field))
            edit = choice->lineEdit();
        if (edit)
            m_leaving.push_back(connect(edit, &QLineEdit::editingFinished, this,
                                        [this, row] { leftEmptied(*row); }));
    }
}

TLink_Keywords::~TLink_Keywords()
{
    // A field losing the focus while the window goes finds no window to ask any more.
    for (const QMetaObject::Connection &c : m_leaving)
        disconnect(c);
}

void TLink_Keywords::changeEvent(QEvent *event)
{
    vog::EditorWindow::changeEvent(event);
    if (event->type() == QEvent::FontChange && LinkChange)
        placeLinkChange();
}

void TLink_Keywords::placeLinkChange()
{
    // As tall as the current font needs.
    LinkChange->setGeometry(188, 9, 383, LinkChange->sizeHint().height());
    if (LinkDefaultsButton)
        LinkDefaultsButton->setGeometry(577, 9, std::max(80, LinkDefaultsButton->sizeHint().width()),
                                        LinkChange->height());
}

void TLink_Keywords::LinkDefaultsButtonClick()
{
    if (!LinkDefaultsButton->isChecked()) {
        LinkChangeChange();
        return;
    }
    vog::guarded([&] { loadRecord(vog::LinkStore::DefaultsColumn); },
                 [this](const QString &message) { emit loadFailed(message); });
}

void TLink_Keywords::LinkChangeChange()
{
    // Entry k names column k + 1; with no entry selected, column 0 holds the lines that stood
    // before the file's first link.
    const int column = LinkChange->currentIndex() + 1;
    // A link picked: the defaults are no longer shown.
    LinkDefaultsButton->setChecked(false);
    vog::guarded([&] { loadRecord(column); },
                 [this](const QString &message) { emit loadFailed(message); });
}

void TLink_Keywords::showRecordAgain()
{
    if (m_shown >= 0)
        vog::guarded([&] { loadRecord(m_shown); },
                     [this](const QString &message) { emit loadFailed(message); });
}

void TLink_Keywords::loadRecord(int column)
{
    // What the user typed from here on belongs to this record, also if a row stops the load.
    m_shown = column;
    // Rows in store order: a row whose text is no number throws, and it and every later row
    // keep what they showed.
    for (const vog::KeywordRow *row : vog::rowsShownIn(vog::Place::Link))
        loadRow(*row, column);
    emit linkLoaded(column);
}

void TLink_Keywords::loadRow(const vog::KeywordRow &row, int column)
{
    const vog::InEffect value = vog::document().inEffect(row, column);
    vog::FieldState state = vog::fieldState(row, value.words, value.changed ? 0 : value.origin.line,
                                            followedDefault(row));
    // Shown in the codepage of the file it came from, naming its line; typed text as typed.
    state.origin = value.origin;
    state.codec = value.codec;
    state.inherited = value.inherited;
    QWidget *field = form()->fieldWidget(row);
    form()->field(row)->setState(state);
    // An inherited value's label in italics, the link's own in the window's font.
    if (QLabel *label = form()->labelFor(field)) {
        QFont italic;
        italic.setItalic(true);
        label->setFont(value.inherited ? italic : QFont());
    }
}

void TLink_Keywords::leftEmptied(const vog::KeywordRow &row)
{
    // An inherited value can't be emptied for one link: no line of its own can say "none", and
    // the tosser goes on using the default. Left empty, the field shows the default again.
    if (m_shown <= 0 || m_shown == vog::LinkStore::DefaultsColumn
        || !form()->field(row)->shownWords(row).isEmpty())
        return;
    const vog::InEffect file = vog::document().inEffect(row, m_shown, false);
    if (!file.inherited || vog::document().change(row, m_shown))
        return;
    vog::guarded([&] { loadRow(row, m_shown); },
                 [this](const QString &message) { emit loadFailed(message); });
}

int TLink_Keywords::followedDefault(const vog::KeywordRow &row) const
{
    // The option captioned as the one selected in the other window (whose options may stand in
    // another order), or -1, which selects nothing, when none is.
    if (!row.radio || !row.radio->followsField || !General_Keywords)
        return -1;
    const auto *followed = General_Keywords->field<vog::RadioChoice>(row.radio->followsField);
    const auto *own = field<vog::RadioChoice>(row.name);
    if (!followed || !own || followed->selectedOption() < 0)
        return -1;
    return own->optionWithCaption(followed->caption(followed->selectedOption()));
}

// clang-format off
void TLink_Keywords::AutoAreaCreateFileButtonClick() { browse(__func__); }
void TLink_Keywords::DenyFwdFileButtonClick()        { browse(__func__); }
void TLink_Keywords::ForwardRequestFileButtonClick() { browse(__func__); }
void TLink_Keywords::FileBoxButtonClick()            { browse(__func__); }
void TLink_Keywords::LinkMsgBaseDirButtonClick()     { browse(__func__); }
// clang-format on
