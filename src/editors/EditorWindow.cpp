#include "EditorWindow.h"

#include "Pickers.h"
#include "document/ConfigDocument.h"
#include "reader/Errors.h"
#include "fields/BrowseButton.h"
#include "fields/FileOpenDialog.h"
#include "fields/LineList.h"
#include "fields/TextField.h"
#include "fields/SharedFont.h"

#include <QAction>
#include <QLabel>
#include <QApplication>
#include <QScrollArea>
#include <QScrollBar>
#include <QVBoxLayout>

namespace vog {

EditorWindow::EditorWindow(const QString &objectName, const QString &title,
                           const QRect &placement, Place place, const FormLook &look,
                           QWidget *parent)
    : QWidget(parent, Qt::Window)
{
    setObjectName(objectName);
    setWindowTitle(title);
    setFont(sharedFont());
    move(placement.topLeft());
    resize(placement.size());

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    m_scroll = new QScrollArea(this);
    m_scroll->setFrameShape(QFrame::NoFrame);
    m_scroll->setWidgetResizable(true);
    // It takes the focus once per round of Tab, for scrolling by keys.
    m_scroll->setAccessibleName(title);
    m_form = new RowForm(place, look, m_scroll);
    m_scroll->setWidget(m_form);
    layout->addWidget(m_scroll);

    // The scroll area by itself only brings a field's text cursor into view, which can leave
    // the rest of the field under the window's edge.
    connect(qApp, &QApplication::focusChanged, this, [this](QWidget *, QWidget *now) {
        if (now && m_form->isAncestorOf(now))
            showWhole(now);
    });

    OpenFileDialog = new FileOpenDialog(QStringLiteral("OpenFileDialog"), this);

    QuickFindAction = new QAction(QStringLiteral("Quick find"), this);
    QuickFindAction->setObjectName(QStringLiteral("QuickFindAction"));
    QuickFindAction->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_F));
    addAction(QuickFindAction);

    for (const KeywordRow *row : rowsShownIn(place)) {
        if (Field *f = m_form->field(*row))
            f->setChangeHandler([this, row] { reportChange(*row); });
        if (BrowseButton *button = m_form->button(*row))
            connect(button, &BrowseButton::clicked, this, [this, row] { browse(*row); });
    }
}

EditorWindow::~EditorWindow()
{
    // A field losing the focus while the window goes reports nothing any more.
    for (const KeywordRow &row : keywordTable())
        if (Field *f = m_form->field(row))
            f->setChangeHandler(nullptr);
}

void EditorWindow::reportChange(const KeywordRow &row)
{
    const int record = shownRecord();
    if (record < -1)
        return; // before the first link load the fields belong to no link
    if (auto *list = qobject_cast<LineList *>(m_form->fieldWidget(row)))
        document().setLines(row, list->lines(), list->lineOrigins());
    else
        document().setValue(row, record, m_form->field(row)->shownWords(row));
}

void EditorWindow::showValue(const KeywordRow &row, int column)
{
    showValue(row, document().inEffect(row, column), document().notesOf(row, column));
}

void EditorWindow::showValue(const KeywordRow &row, const InEffect &value, const QStringList &notes)
{
    FieldState state = fieldState(row, value.words, value.changed ? 0 : value.origin.line,
                                  document().followedOption(row));
    // Shown in the codepage of the file it came from, naming its line; typed text as typed.
    state.origin = value.origin;
    state.codec = value.codec;
    state.inherited = value.inherited;
    state.notes = notes;
    QWidget *field = m_form->fieldWidget(row);
    m_form->field(row)->setState(state);
    if (QLabel *label = m_form->labelFor(field)) {
        QFont italic;
        italic.setItalic(value.inherited);
        label->setFont(value.inherited ? italic : QFont());
    }
}

void EditorWindow::showDocument()
{
    for (const KeywordRow &row : keywordTable()) {
        Field *field = m_form->field(row);
        if (auto *list = dynamic_cast<LineList *>(field)) {
            const ConfigDocument::ListLines lines = document().listLines(row);
            list->setLines(lines.lines, lines.origins);
        } else if (field && document().inEffect(row, shownRecord()).isSet()) {
            guarded([&] { showValue(row, shownRecord()); }, [](const QString &) {});
        } else if (field) {
            showNothing(row);
        }
    }
}

void EditorWindow::showNothing(const KeywordRow &row)
{
    m_form->field(row)->setState(FieldState());
    if (QLabel *label = m_form->labelFor(m_form->fieldWidget(row)))
        label->setFont(QFont());
}

void EditorWindow::showWhole(QWidget *w)
{
    // The whole row's field: a radio choice or a block of flag boxes, not just one option.
    while (w->parentWidget() != m_form)
        w = w->parentWidget();
    const QRect r = w->geometry();
    m_scroll->ensureVisible(r.center().x(), r.center().y(), r.width() / 2 + 4,
                            r.height() / 2 + 4);
}

void EditorWindow::scrollToTop()
{
    m_scroll->verticalScrollBar()->setValue(m_scroll->verticalScrollBar()->minimum());
}

void EditorWindow::scrollToBottom()
{
    m_scroll->verticalScrollBar()->setValue(m_scroll->verticalScrollBar()->maximum());
}

void EditorWindow::browse(const char *keyword)
{
    const KeywordRow *row = rowNamed(keyword);
    if (!row)
        qFatal("%s: no keyword %s", qPrintable(objectName()), keyword);
    browse(*row);
}

void EditorWindow::browse(const KeywordRow &row)
{
    QWidget *field = m_form->fieldWidget(row);
    if (!field)
        qFatal("%s: no field for %s", qPrintable(objectName()), row.name);
    finishEditing();
    // A path written with [NAME] words starts the browse where the tosser would look; any
    // other browses as it always has.
    const auto seen = [&] {
        const QString text = static_cast<TextField *>(field)->text();
        const QString path = document().pathSeen(row, shownRecord(), text);
        return path == text ? QString() : path;
    };
    switch (row.browse) {
    case Browse::File:
        pickFile(OpenFileDialog, static_cast<TextField *>(field), seen());
        break;
    case Browse::Directory:
        pickDirectory(static_cast<TextField *>(field), seen());
        break;
    case Browse::AddFile:
        appendPickedFile(OpenFileDialog, static_cast<LineList *>(field));
        break;
    case Browse::None:
        break;
    }
}

} // namespace vog
