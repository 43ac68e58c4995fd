#include "TLink_Keywords.h"

#include "LinkDialog.h"
#include "NameListModel.h"
#include "fields/ChoiceField.h"
#include "reader/Address.h"
#include "reader/Errors.h"
#include "reader/ValueRules.h"
#include "document/ConfigDocument.h"

#include <QCheckBox>
#include <QComboBox>
#include <QEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QSignalBlocker>

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
    LinkChange->setModel(new vog::NameListModel(LinkChange));
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

    const auto button = [&](QPushButton *&b, const char *name, const QString &caption,
                            void (TLink_Keywords::*click)()) {
        b = new QPushButton(caption, &f);
        b->setObjectName(QLatin1String(name));
        b->setAccessibleName(caption);
        connect(b, &QPushButton::clicked, this, click);
    };
    button(NewLinkButton, "NewLinkButton", QStringLiteral("New..."),
           &TLink_Keywords::NewLinkButtonClick);
    button(CopyLinkButton, "CopyLinkButton", QStringLiteral("Copy..."),
           &TLink_Keywords::CopyLinkButtonClick);
    button(RenameLinkButton, "RenameLinkButton", QStringLiteral("Rename..."),
           &TLink_Keywords::RenameLinkButtonClick);
    button(RemoveLinkButton, "RemoveLinkButton", QStringLiteral("Remove"),
           &TLink_Keywords::RemoveLinkButtonClick);
    placeLinkChange();
    enableLinkButtons();
    enableRows();

    QList<QWidget *> order{LinkChange,     LinkDefaultsButton, NewLinkButton,
                           CopyLinkButton, RenameLinkButton,   RemoveLinkButton};
    order.append(f.fieldsWithButtons());
    order.append(f.useBoxes());
    vog::RowForm::chainFocus(order);

    // One load per user change: a pick from the list, or an edit of the text. Changes made
    // by the program (the Open adding entries) load nothing.
    connect(LinkChange, &QComboBox::activated, this, &TLink_Keywords::LinkChangeChange);
    connect(LinkChange->lineEdit(), &QLineEdit::textEdited, this,
            &TLink_Keywords::LinkChangeChange);

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
    if (!RemoveLinkButton)
        return;
    // The link buttons in a row under the list, and the keyword rows under them.
    int x = LinkChange->x();
    const int y = LinkChange->geometry().bottom() + 5;
    int height = 0;
    for (QPushButton *b : {NewLinkButton, CopyLinkButton, RenameLinkButton, RemoveLinkButton}) {
        const QSize hint = b->sizeHint();
        b->setGeometry(x, y, std::max(90, hint.width()), hint.height());
        x += b->width() + 6;
        height = std::max(height, hint.height());
    }
    form()->setTop(y + height + 10);
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

void TLink_Keywords::enableRows()
{
    // Before the first load the rows belong to no record: typing there would go nowhere.
    const bool record = m_shown >= 0;
    vog::RowForm &f = *form();
    QList<QWidget *> rows = f.fieldsWithButtons() + f.useBoxes();
    for (QWidget *field : f.fields())
        if (QLabel *label = f.labelFor(field))
            rows.append(label);
    for (QWidget *w : rows)
        w->setEnabled(record);
}

void TLink_Keywords::enableLinkButtons()
{
    // A link whose file was read again since stands in no file: nothing to act on.
    const bool link = m_shown > 0 && m_shown != vog::LinkStore::DefaultsColumn
            && vog::document().linkLine(m_shown);
    for (QPushButton *b : {CopyLinkButton, RenameLinkButton, RemoveLinkButton})
        if (b)
            b->setEnabled(link);
}

void TLink_Keywords::showLinkEdit(int column, bool added)
{
    {
        // The program's own changes of the list load nothing on the way.
        const QSignalBlocker quiet(LinkChange);
        if (added)
            LinkChange->insertItem(column - 1, vog::document().linkName(column));
        LinkChange->setCurrentIndex(column - 1);
    }
    LinkDefaultsButton->setChecked(false);
    linkCommand([&] { loadRecord(column); });
    emit linksChanged();
}

bool TLink_Keywords::askLink(const QString &title, int renamed, QString &name, QString &address)
{
    vog::finishEditing();
    const bool asksAddress = renamed < 0;
    vog::LinkDialog dialog(title, renamed < 0 ? QString() : vog::document().linkName(renamed),
                           asksAddress,
                           [renamed, asksAddress](const QString &n, const QString &a) {
                               return vog::document().linkRefusal(n, asksAddress ? &a : nullptr,
                                                                     renamed);
                           },
                           this);
    if (dialog.exec() != QDialog::Accepted)
        return false;
    name = dialog.name();
    address = dialog.address();
    return true;
}

void TLink_Keywords::linkCommand(const std::function<void()> &command)
{
    vog::guarded(command, [this](const QString &message) { emit loadFailed(message); });
}

void TLink_Keywords::NewLinkButtonClick()
{
    QString name, address;
    const int near = m_shown == vog::LinkStore::DefaultsColumn ? 0 : m_shown;
    // The file is read while the dialog is answered.
    vog::document().readAhead(near);
    if (askLink(QStringLiteral("New link"), -1, name, address))
        linkCommand([&] { showLinkEdit(vog::document().addLink(near, name, address), true); });
    vog::document().dropReadAhead();
}

void TLink_Keywords::CopyLinkButtonClick()
{
    const int column = m_shown;
    QString name, address;
    if (!CopyLinkButton->isEnabled())
        return;
    vog::document().readAhead(column);
    if (askLink(QStringLiteral("Copy of %1").arg(vog::document().linkName(column)), -1, name,
                address))
        linkCommand([&] { showLinkEdit(vog::document().copyLink(column, name, address), true); });
    vog::document().dropReadAhead();
}

void TLink_Keywords::RenameLinkButtonClick()
{
    const int column = m_shown;
    QString name, address;
    if (!RenameLinkButton->isEnabled()
        || !askLink(QStringLiteral("Rename"), column, name, address))
        return;
    linkCommand([&] {
        vog::document().renameLink(column, name);
        const QSignalBlocker quiet(LinkChange);
        LinkChange->setItemText(column - 1, vog::document().linkName(column));
        emit linksChanged();
    });
}

void TLink_Keywords::RemoveLinkButtonClick()
{
    if (!RemoveLinkButton->isEnabled())
        return;
    vog::finishEditing();
    const int column = m_shown;
    // Read once, for the question's count and the removal.
    vog::document().readAhead(column);
    linkCommand([&] {
                vog::ConfigDocument &doc = vog::document();
                const QString address = doc.inEffect(*vog::rowNamed("Aka"), column)
                                                .text()
                                                .section(QLatin1Char(' '), 0, 0,
                                                         QString::SectionSkipEmpty);
                QMessageBox box(QMessageBox::Question, windowTitle(),
                                QStringLiteral("Remove the link %1 (%2) and its %3 lines?")
                                        .arg(doc.linkName(column), address)
                                        .arg(doc.sectionLineCount(column)),
                                QMessageBox::Yes | QMessageBox::No, this);
                box.setObjectName(QStringLiteral("RemoveLinkQuestion"));
                box.setDefaultButton(QMessageBox::No);
                // Where areas were read, a link gone should get none of them any more.
                const QStringList addresses = doc.inEffect(*vog::rowNamed("Aka"), column)
                                                      .text()
                                                      .split(QLatin1Char(' '), Qt::SkipEmptyParts);
                if (doc.areas().count() > 0 && !addresses.isEmpty()) {
                    auto *areas = new QCheckBox(
                            QStringLiteral("Take %1 off every area that has it")
                                    .arg(addresses.join(QStringLiteral(", "))),
                            &box);
                    areas->setObjectName(QStringLiteral("RemoveFromAreas"));
                    areas->setChecked(true);
                    box.setCheckBox(areas);
                }
                if (box.exec() != QMessageBox::Yes)
                    return;
                const bool offAreas = box.checkBox() && box.checkBox()->isChecked();
                doc.removeLink(column, offAreas);
                {
                    const QSignalBlocker quiet(LinkChange);
                    LinkChange->removeItem(column - 1);
                }
                // The link after it is shown, else the one before, else none.
                const int shown = std::min(column, LinkChange->count());
                if (shown > 0) {
                    showLinkEdit(shown, false);
                } else {
                    const QSignalBlocker quiet(LinkChange);
                    LinkChange->setCurrentIndex(-1);
                    LinkChange->setEditText(QString());
                    loadRecord(0);
                    emit linksChanged();
                }
            });
    vog::document().dropReadAhead();
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

void TLink_Keywords::followLinks(const std::vector<int> &columns)
{
    QStringList names;
    for (const int column : columns)
        names.append(vog::document().linkName(column));
    if (names.isEmpty())
        return;
    // Adding to an empty list selects its first entry; the list selects nothing, and reports no
    // change of entry or text, so no link is loaded on the way.
    const QSignalBlocker quiet(LinkChange);
    const int index = LinkChange->currentIndex();
    const QString text = LinkChange->currentText();
    // All the names in one insertion, not one for each.
    static_cast<vog::NameListModel *>(LinkChange->model())->append(names);
    if (LinkChange->currentIndex() != index) {
        LinkChange->setCurrentIndex(index);
        LinkChange->setEditText(text);
    }
}

void TLink_Keywords::showDocument()
{
    QStringList names;
    for (int column = 1; column < vog::document().links().columnCount(); ++column)
        names.append(vog::document().linkName(column));
    {
        const QSignalBlocker quiet(LinkChange);
        static_cast<vog::NameListModel *>(LinkChange->model())->setNames(names);
        LinkChange->setCurrentIndex(-1);
        LinkChange->setEditText(QString());
    }
    LinkDefaultsButton->setChecked(false);
    m_shown = -2;
    enableLinkButtons();
    enableRows();
    for (const vog::KeywordRow *row : vog::rowsShownIn(vog::Place::Link))
        showNothing(*row);
}

void TLink_Keywords::loadRecord(int column)
{
    // What the user typed from here on belongs to this record, also if a row stops the load.
    m_shown = column;
    enableLinkButtons();
    enableRows();
    // Rows in store order: a row whose text is no number throws, and it and every later row
    // keep what they showed.
    for (const vog::KeywordRow *row : vog::rowsShownIn(vog::Place::Link))
        showValue(*row, column);
    emit linkLoaded(column);
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
    vog::guarded([&] { showValue(row, m_shown); },
                 [this](const QString &message) { emit loadFailed(message); });
}

// clang-format off
void TLink_Keywords::AutoAreaCreateFileButtonClick() { browse("AutoAreaCreateFile"); }
void TLink_Keywords::DenyFwdFileButtonClick()        { browse("DenyFwdFile"); }
void TLink_Keywords::ForwardRequestFileButtonClick() { browse("ForwardRequestFile"); }
void TLink_Keywords::FileBoxButtonClick()            { browse("FileBox"); }
void TLink_Keywords::LinkMsgBaseDirButtonClick()     { browse("LinkMsgBaseDir"); }
// clang-format on
