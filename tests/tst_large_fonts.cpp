// Large fonts and high resolution: with the shared font made larger, nothing on any window is
// cut off and nothing overlaps. CTest runs this once as it is and once at twice the resolution
// (QT_SCALE_FACTOR=2); the geometry checked is the same logical one in both runs.
#include "TestSupport.h"

#include "editors/DirectoryList.h"
#include "editors/TFiles_and_Paths.h"
#include "editors/TGeneral_Keywords.h"
#include "editors/TLink_Keywords.h"
#include "editors/TSelect_directory.h"
#include "fields/ChoiceField.h"
#include "editors/EditorWindow.h"
#include "fields/FlagBoxes.h"
#include "fields/LineList.h"
#include "fields/NumberField.h"
#include "fields/RadioChoice.h"
#include "fields/RowForm.h"
#include "fields/SharedFont.h"
#include "shell/Startup.h"
#include "fields/TextField.h"
#include "shell/TMain.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QMenuBar>
#include <QPushButton>
#include <QRadioButton>
#include <QScopeGuard>
#include <QStyleOptionButton>
#include <QStyleOptionComboBox>
#include <QStyleOptionSpinBox>
#include <QtTest>

namespace {

// What went wrong, collected over a whole window so that one run names every fault.
class Problems
{
public:
    void add(const QWidget *w, const QString &what)
    {
        m_list.append(w->objectName() + QStringLiteral(": ") + what);
    }
    void check(bool ok, const QWidget *w, const QString &what)
    {
        if (!ok)
            add(w, what);
    }
    const QStringList &list() const { return m_list; }

private:
    QStringList m_list;
};

QString rectText(const QRect &r)
{
    return QStringLiteral("%1,%2 %3x%4").arg(r.x()).arg(r.y()).arg(r.width()).arg(r.height());
}

// The widget's rectangle in the coordinates of an ancestor.
QRect rectIn(const QWidget *w, const QWidget *ancestor)
{
    return QRect(w->mapTo(ancestor, QPoint(0, 0)), w->size());
}

// A push button's caption is drawn inside its contents rectangle.
void captionFits(const QPushButton *button, Problems &problems)
{
    QStyleOptionButton option;
    option.initFrom(button);
    option.text = button->text();
    const QRect contents = button->style()->subElementRect(QStyle::SE_PushButtonContents, &option,
                                                          button);
    const QFontMetrics fm(button->font());
    const QString shown = QString(button->text()).remove(QLatin1Char('&'));
    problems.check(fm.horizontalAdvance(shown) <= contents.width()
                       && fm.height() <= contents.height(),
                   button,
                   QStringLiteral("caption \"%1\" (%2x%3) cut off in %4")
                       .arg(shown)
                       .arg(fm.horizontalAdvance(shown))
                       .arg(fm.height())
                       .arg(rectText(contents)));
}

// Check boxes and radio options need the room their caption asks for.
void buttonFits(const QAbstractButton *b, Problems &problems)
{
    const QSize need = b->sizeHint();
    problems.check(b->width() >= need.width() && b->height() >= need.height(), b,
                   QStringLiteral("caption \"%1\" needs %2x%3, has %4x%5")
                       .arg(b->text())
                       .arg(need.width())
                       .arg(need.height())
                       .arg(b->width())
                       .arg(b->height()));
}

// The boxes of one field stand side by side inside it, none over another.
void boxesFit(const QWidget *field, const QList<QAbstractButton *> &boxes, Problems &problems)
{
    const QRect inside = field->contentsRect();
    for (int i = 0; i < boxes.size(); ++i) {
        buttonFits(boxes[i], problems);
        problems.check(inside.contains(boxes[i]->geometry()), boxes[i],
                       QStringLiteral("sticks out of %1").arg(field->objectName()));
        for (int j = i + 1; j < boxes.size(); ++j)
            problems.check(!boxes[i]->geometry().intersects(boxes[j]->geometry()), boxes[i],
                           QStringLiteral("overlaps %1").arg(boxes[j]->objectName()
                                                                 + boxes[j]->text()));
    }
}

void comboFits(const QComboBox *combo, const QStringList &texts, Problems &problems)
{
    QStyleOptionComboBox option;
    option.initFrom(combo);
    option.editable = combo->isEditable();
    const QRect edit = combo->style()->subControlRect(QStyle::CC_ComboBox, &option,
                                                      QStyle::SC_ComboBoxEditField, combo);
    const QFontMetrics fm(combo->font());
    for (const QString &text : texts)
        problems.check(fm.horizontalAdvance(text) < edit.width(), combo,
                       QStringLiteral("\"%1\" does not fit its edit box").arg(text));
    problems.check(combo->height() >= combo->minimumSizeHint().height(), combo,
                   QStringLiteral("%1 high, needs %2")
                       .arg(combo->height())
                       .arg(combo->minimumSizeHint().height()));
}

QStringList itemTexts(const QComboBox *combo)
{
    QStringList texts;
    for (int i = 0; i < combo->count(); ++i)
        texts.append(combo->itemText(i));
    return texts;
}

// One row of an editor window: its label, its field and what stands beside the field.
struct Row
{
    QLabel *label;
    QWidget *field;
    QList<QWidget *> companions; // browse button, Use box
};

void checkField(const Row &row, Problems &problems)
{
    QWidget *field = row.field;
    if (auto *choice = qobject_cast<vog::ChoiceField *>(field)) {
        comboFits(choice, itemTexts(choice), problems);
    } else if (auto *number = qobject_cast<vog::NumberField *>(field)) {
        QStyleOptionSpinBox option;
        option.initFrom(number);
        const QRect edit = number->style()->subControlRect(QStyle::CC_SpinBox, &option,
                                                           QStyle::SC_SpinBoxEditField, number);
        const QString widest = QString::number(number->maximum());
        problems.check(QFontMetrics(number->font()).horizontalAdvance(widest) < edit.width(),
                       number, QStringLiteral("%1 does not fit its edit box").arg(widest));
        problems.check(number->height() >= number->minimumSizeHint().height(), number,
                       QStringLiteral("too low for its text"));
    } else if (auto *text = qobject_cast<vog::TextField *>(field)) {
        problems.check(text->height() >= text->minimumSizeHint().height(), text,
                       QStringLiteral("too low for its text"));
    } else if (auto *radio = qobject_cast<vog::RadioChoice *>(field)) {
        QList<QAbstractButton *> options;
        for (int i = 0; i < radio->optionCount(); ++i)
            options.append(radio->option(i));
        boxesFit(radio, options, problems);
    } else if (auto *flags = qobject_cast<vog::FlagBoxes *>(field)) {
        QList<QAbstractButton *> boxes;
        for (int i = 0; i < flags->boxCount(); ++i)
            boxes.append(flags->checkBox(i));
        boxesFit(flags, boxes, problems);
    } else if (auto *list = qobject_cast<vog::LineList *>(field)) {
        // Every list shows at least four lines.
        const int lines = list->viewport()->height() / list->fontMetrics().lineSpacing();
        problems.check(lines >= 4, list, QStringLiteral("shows only %1 lines").arg(lines));
    } else {
        problems.add(field, QStringLiteral("of a kind this test does not know"));
    }
}

void checkRow(const Row &row, const QFontMetrics &fm, Problems &problems)
{
    QLabel *label = row.label;
    QWidget *field = row.field;
    const QString keyword = field->objectName();
    // A one-row field's label: the keyword and its three blanks stand clear of the field; the
    // dots may run under it. A taller field's label is the bare keyword and must fit whole.
    const bool dotted = label->text() != keyword;
    const QString mustShow = dotted ? keyword + QStringLiteral("   ") : keyword;
    const int textLeft = label->x() + label->contentsRect().left() + label->margin();
    const int textRight = textLeft + fm.horizontalAdvance(mustShow);
    problems.check(textRight <= field->x() && textRight <= label->geometry().right() + 1, label,
                   QStringLiteral("\"%1\" ends at %2, its field starts at %3")
                       .arg(mustShow)
                       .arg(textRight)
                       .arg(field->x()));
    problems.check(label->height() >= fm.height(), label,
                   QStringLiteral("%1 high, its text %2").arg(label->height()).arg(fm.height()));
    // A label stands on its field's row.
    problems.check(label->y() >= field->y() && label->y() < field->geometry().bottom(), label,
                   QStringLiteral("off its field's row"));

    checkField(row, problems);

    for (QWidget *companion : row.companions) {
        const QRect f = field->geometry();
        const QRect c = companion->geometry();
        // Beside its field or over the field's right end, never above or below the row.
        problems.check(c.top() >= f.top() && c.bottom() <= f.bottom(), companion,
                       QStringLiteral("%1 reaches out of its row %2")
                           .arg(rectText(c), rectText(f)));
        if (auto *button = qobject_cast<QPushButton *>(companion)) {
            captionFits(button, problems);
            problems.check(c.right() == f.right() || c.left() > f.right(), button,
                           QStringLiteral("neither over the field's end nor beside it"));
        } else if (auto *box = qobject_cast<QCheckBox *>(companion)) {
            buttonFits(box, problems);
            problems.check(c.left() > f.right(), box, QStringLiteral("stands over its field"));
        }
    }
}

QList<Row> rowsOf(vog::EditorWindow *window)
{
    vog::RowForm *form = window->form();
    QList<Row> rows;
    for (QWidget *field : form->fields()) {
        Row row{form->labelFor(field), field, {}};
        // Companions are named after their field.
        for (const char *suffix : {"Button", "Use"})
            if (auto *c = form->findChild<QWidget *>(field->objectName()
                                                     + QString::fromLatin1(suffix)))
                row.companions.append(c);
        rows.append(row);
    }
    return rows;
}

void checkEditor(vog::EditorWindow *window, Problems &problems)
{
    vog::RowForm *form = window->form();
    const QFontMetrics fm(form->font());
    const QList<Row> rows = rowsOf(window);
    if (rows.isEmpty())
        problems.add(window, QStringLiteral("has no rows"));

    QList<QPair<QWidget *, QRect>> placed;
    QList<QWidget *> inRows;
    for (const Row &row : rows) {
        checkRow(row, fm, problems);
        for (QWidget *w : QList<QWidget *>{row.label, row.field} + row.companions) {
            placed.append({w, w->geometry()});
            inRows.append(w);
        }
    }
    // What stands above the rows (the link list and its label).
    for (QWidget *w : form->findChildren<QWidget *>(Qt::FindDirectChildrenOnly)) {
        if (inRows.contains(w) || !w->isVisibleTo(form))
            continue;
        placed.append({w, w->geometry()});
        if (auto *combo = qobject_cast<QComboBox *>(w))
            comboFits(combo, itemTexts(combo), problems);
        if (auto *label = qobject_cast<QLabel *>(w)) {
            const QFontMetrics own(label->font());
            problems.check(own.horizontalAdvance(label->text()) <= label->width()
                               && own.height() <= label->height(),
                           label, QStringLiteral("\"%1\" cut off").arg(label->text()));
        }
    }
    // Nothing of one row touches another row, and everything lies on the scrolling form.
    for (int i = 0; i < placed.size(); ++i) {
        problems.check(QRect(QPoint(0, 0), form->minimumSize()).contains(placed[i].second),
                       placed[i].first, QStringLiteral("outside the scrolling area"));
        for (int j = i + 1; j < placed.size(); ++j) {
            QWidget *a = placed[i].first;
            QWidget *b = placed[j].first;
            const bool sameRow = std::any_of(rows.begin(), rows.end(), [&](const Row &r) {
                const QList<QWidget *> all = QList<QWidget *>{r.label, r.field} + r.companions;
                return all.contains(a) && all.contains(b);
            });
            if (!sameRow && placed[i].second.intersects(placed[j].second))
                problems.add(a, QStringLiteral("overlaps %1 (%2 and %3)")
                                    .arg(b->objectName().isEmpty() ? b->metaObject()->className()
                                                                   : b->objectName(),
                                         rectText(placed[i].second), rectText(placed[j].second)));
        }
    }
}

void checkChooser(TSelect_directory *chooser, Problems &problems)
{
    const QList<QWidget *> parts{chooser->DirectoryListBox, chooser->DriveComboBox,
                                 chooser->OkButton};
    for (int i = 0; i < parts.size(); ++i) {
        problems.check(chooser->OkButton->parentWidget()->rect().contains(parts[i]->geometry()),
                       parts[i],
                       QStringLiteral("outside the chooser"));
        for (int j = i + 1; j < parts.size(); ++j)
            problems.check(!parts[i]->geometry().intersects(parts[j]->geometry()), parts[i],
                           QStringLiteral("overlaps ") + parts[j]->objectName());
    }
    captionFits(chooser->OkButton, problems);
    comboFits(chooser->DriveComboBox, itemTexts(chooser->DriveComboBox), problems);
    const QFontMetrics fm(chooser->DirectoryListBox->font());
    problems.check(chooser->DirectoryListBox->viewport()->height() >= 5 * fm.lineSpacing(),
                   chooser->DirectoryListBox, QStringLiteral("shows fewer than five folders"));
}

void checkMain(TMain *main, Problems &problems)
{
    // The note sits whole in the client area below the menu bar.
    // The widget the note stands on, which scrolls where the window is smaller.
    QWidget *client = main->Memo1->parentWidget();
    problems.check(client->rect().contains(main->Memo1->geometry()), main->Memo1,
                   QStringLiteral("%1 cut off by the client area %2")
                       .arg(rectText(main->Memo1->geometry()), rectText(client->rect())));
    problems.check(rectIn(client, main).top() >= main->menuBar()->geometry().bottom(), client,
                   QStringLiteral("under the menu bar"));
}

} // namespace

class TestLargeFonts final : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void nothingCutOffOrOverlapping_data();
    void nothingCutOffOrOverlapping();
    void defaultFontKeepsTheNominalLayout_data();
    void defaultFontKeepsTheNominalLayout();
    void defaultFontKeepsTheRowPitch();
};

// The run at twice the resolution must really draw at twice the resolution.
void TestLargeFonts::initTestCase()
{
    const double scale = qEnvironmentVariableIsSet("QT_SCALE_FACTOR")
        ? qEnvironmentVariable("QT_SCALE_FACTOR").toDouble()
        : 1.0;
    Program program;
    Main->show();
    QVERIFY(QTest::qWaitForWindowExposed(Main));
    QCOMPARE(Main->devicePixelRatio(), scale);
}

void TestLargeFonts::nothingCutOffOrOverlapping_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("points");
    for (const char *name : {"Main", "General_Keywords", "Files_and_Paths", "Link_Keywords",
                             "Select_directory"})
        for (int points : {8, 12, 16})
            QTest::addRow("%s at %d pt", name, points) << QString::fromLatin1(name) << points;
}

void TestLargeFonts::nothingCutOffOrOverlapping()
{
    QFETCH(QString, name);
    QFETCH(int, points);
    // Drives named as on a typical machine, whatever this one has mounted.
    TSelect_directory::setDriveRoots(QStringList{QStringLiteral("/"), QStringLiteral("/home"),
                                                 QStringLiteral("/media/backup")});
    auto realDrives = qScopeGuard([] { TSelect_directory::setDriveRoots(std::nullopt); });
    Program program;
    QWidget *w = windowNamed(name);
    QVERIFY(w);
    QFont font = vog::sharedFont();
    font.setPointSize(points);
    w->setFont(font);
    w->show();
    QVERIFY(QTest::qWaitForWindowExposed(w));

    Problems problems;
    if (auto *editor = qobject_cast<vog::EditorWindow *>(w))
        checkEditor(editor, problems);
    else if (auto *chooser = qobject_cast<TSelect_directory *>(w))
        checkChooser(chooser, problems);
    else if (auto *main = qobject_cast<TMain *>(w))
        checkMain(main, problems);
    QVERIFY2(problems.list().isEmpty(), qPrintable(problems.list().join(QLatin1Char('\n'))));
}

// Only a larger font moves things: at the shared font every window keeps its drawn sizes.
void TestLargeFonts::defaultFontKeepsTheNominalLayout_data()
{
    QTest::addColumn<QString>("window");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QRect>("expected"); // -1: not checked

    // clang-format off
    QTest::newRow("short text")     << "General_Keywords" << "AddToSeen"              << QRect(-1, -1, 121, -1);
    QTest::newRow("long text")      << "General_Keywords" << "AfterUnpack"            << QRect(-1, -1, 555, -1);
    QTest::newRow("drop-down")      << "General_Keywords" << "AreafixFromPkt"         << QRect(-1, -1, 145, -1);
    QTest::newRow("number")         << "General_Keywords" << "AreafixMsgSize"         << QRect(-1, -1, 121, -1);
    QTest::newRow("radio")          << "General_Keywords" << "BundleNameStyle"        << QRect(-1, -1, 553, -1);
    QTest::newRow("line list")      << "General_Keywords" << "Pack"                   << QRect(-1, -1, 555, -1);
    QTest::newRow("browse button")  << "General_Keywords" << "AreafixQueueFileButton" << QRect(-1, -1, 19, 20);
    QTest::newRow("directory list") << "Select_directory" << "DirectoryListBox"       << QRect(8, 8, 145, 249);
    QTest::newRow("drive list")     << "Select_directory" << "DriveComboBox"          << QRect(8, 262, 145, -1);
    QTest::newRow("OK")             << "Select_directory" << "OkButton"               << QRect(160, 8, 75, 25);
    // clang-format on
}

void TestLargeFonts::defaultFontKeepsTheNominalLayout()
{
    QFETCH(QString, window);
    QFETCH(QString, name);
    QFETCH(QRect, expected);
    Program program;
    QWidget *w = windowNamed(window);
    w->show();
    QVERIFY(QTest::qWaitForWindowExposed(w));
    const QWidget *widget = w->findChild<QWidget *>(name);
    QVERIFY(widget);
    const QRect actual = widget->geometry();
    const QRect shown(expected.x() < 0 ? -1 : actual.x(), expected.y() < 0 ? -1 : actual.y(),
                      expected.width() < 0 ? -1 : actual.width(),
                      expected.height() < 0 ? -1 : actual.height());
    QCOMPARE(shown, expected);
}

void TestLargeFonts::defaultFontKeepsTheRowPitch()
{
    Program program;
    General_Keywords->show();
    QVERIFY(QTest::qWaitForWindowExposed(General_Keywords));
    QCOMPARE(General_Keywords->field<vog::TextField>("Address")->y() - General_Keywords->field<vog::TextField>("AddToSeen")->y(), 24);
    QCOMPARE(Files_and_Paths->field<vog::TextField>("AreafixHelp")->y() - Files_and_Paths->field<vog::NumberField>("AdvisoryLock")->y(), 24);
}

QTEST_MAIN(TestLargeFonts)
#include "tst_large_fonts.moc"
