// What a screen reader says: every field is named by the keyword beside it (and its label,
// which is its buddy, says the keyword without the dot leader); options, boxes and buttons say
// their captions; browse buttons say which field they fill. Every control of every window is
// walked, through the accessibility interfaces a screen reader reads.
#include "TestSupport.h"

#include "editors/TFiles_and_Paths.h"
#include "editors/TGeneral_Keywords.h"
#include "editors/TLink_Keywords.h"
#include "editors/TSelect_directory.h"
#include "fields/BrowseButton.h"
#include "editors/EditorWindow.h"
#include "fields/RowForm.h"
#include "shell/Startup.h"
#include "shell/TMain.h"
#include "fields/UseBox.h"

#include <QAccessible>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QtTest>

namespace {

QString accessible(QWidget *w, QAccessible::Text what = QAccessible::Name)
{
    QAccessibleInterface *iface = QAccessible::queryAccessibleInterface(w);
    return iface ? iface->text(what) : QStringLiteral("<no interface>");
}

// The names of the labels that the widget reports as labelling it.
QStringList labelledBy(QWidget *w)
{
    QStringList names;
    QAccessibleInterface *iface = QAccessible::queryAccessibleInterface(w);
    for (const auto &[other, relation] : iface->relations(QAccessible::Label))
        names.append(other->text(QAccessible::Name));
    return names;
}

vog::EditorWindow *editorNamed(const QString &name)
{
    return qobject_cast<vog::EditorWindow *>(windowNamed(name));
}

void addEditorRows()
{
    QTest::addColumn<QString>("window");
    QTest::addColumn<int>("rows");
    QTest::newRow("General Keywords") << "General_Keywords" << 56;
    QTest::newRow("Files and Paths") << "Files_and_Paths" << 25;
    QTest::newRow("Link Keywords") << "Link_Keywords" << 46;
}

} // namespace

class TestAccessibility final : public QObject
{
    Q_OBJECT
private slots:
    void init() { m_program = std::make_unique<Program>(); }
    void cleanup() { m_program.reset(); }

    void everyFieldIsNamedByItsKeyword_data() { addEditorRows(); }
    void everyFieldIsNamedByItsKeyword();
    void buttonsAndBoxesSayTheirCaptions_data();
    void buttonsAndBoxesSayTheirCaptions();
    void linkListIsNamedLink();
    void everyTabStopHasAName_data();
    void everyTabStopHasAName();

private:
    std::unique_ptr<Program> m_program;
};

void TestAccessibility::everyFieldIsNamedByItsKeyword()
{
    QFETCH(QString, window);
    QFETCH(int, rows);
    vog::RowForm *form = editorNamed(window)->form();
    const QList<QWidget *> fields = form->fields();
    QCOMPARE(fields.size(), rows);
    // The label shows the keyword, alone or followed by three blanks and dots.
    const QRegularExpression dotted(QStringLiteral("^(\\w+)(   \\.+)?$"));
    QStringList wrong;
    for (QWidget *field : fields) {
        const QString keyword = field->objectName();
        QLabel *label = form->labelFor(field);
        if (!label || label->buddy() != field) {
            wrong.append(keyword + QStringLiteral(": not the buddy of its label"));
            continue;
        }
        const QRegularExpressionMatch shown = dotted.match(label->text());
        if (!shown.hasMatch() || shown.captured(1) != keyword)
            wrong.append(keyword + QStringLiteral(": label shows ") + label->text());
        if (accessible(field) != keyword)
            wrong.append(keyword + QStringLiteral(": named ") + accessible(field));
        // Where a screen reader takes the name from the label, it hears no dots.
        if (labelledBy(field) != QStringList{keyword})
            wrong.append(keyword + QStringLiteral(": labelled by ")
                         + labelledBy(field).join(QLatin1Char('|')));
    }
    QVERIFY2(wrong.isEmpty(), qPrintable(wrong.join(QLatin1Char('\n'))));
}

void TestAccessibility::buttonsAndBoxesSayTheirCaptions_data()
{
    QTest::addColumn<QString>("window");
    QTest::addColumn<int>("radio");
    QTest::addColumn<int>("flags");
    QTest::addColumn<int>("use");
    QTest::addColumn<int>("browse");
    QTest::addColumn<int>("push");
    QTest::newRow("General Keywords") << "General_Keywords" << 12 << 21 << 0 << 4 << 0;
    QTest::newRow("Files and Paths") << "Files_and_Paths" << 4 << 0 << 0 << 20 << 0;
    QTest::newRow("Link Keywords") << "Link_Keywords" << 24 << 0 << 4 << 5 << 5;
    QTest::newRow("directory chooser") << "Select_directory" << 0 << 0 << 0 << 0 << 1;
}

// Radio options, flag boxes and other buttons are named by their caption (without the "&"
// of an accelerator); browse buttons by the field they fill; Use boxes say their number.
void TestAccessibility::buttonsAndBoxesSayTheirCaptions()
{
    QFETCH(QString, window);
    QFETCH(int, radio);
    QFETCH(int, flags);
    QFETCH(int, use);
    QFETCH(int, browse);
    QFETCH(int, push);
    QMap<QString, int> counted;
    QStringList wrong;
    auto expect = [&](QAbstractButton *b, const QString &kind, const QString &name,
                      const QString &description = QString()) {
        ++counted[kind];
        if (accessible(b) != name)
            wrong.append(QStringLiteral("%1 \"%2\": named \"%3\", not \"%4\"")
                             .arg(b->objectName(), b->text(), accessible(b), name));
        if (accessible(b, QAccessible::Description) != description)
            wrong.append(QStringLiteral("%1: described as \"%2\"")
                             .arg(b->objectName(), accessible(b, QAccessible::Description)));
    };
    for (QAbstractButton *b : windowNamed(window)->findChildren<QAbstractButton *>()) {
        if (qobject_cast<QRadioButton *>(b)) {
            expect(b, QStringLiteral("radio"), b->text());
        } else if (qobject_cast<vog::UseBox *>(b)) {
            const QString field = b->objectName().chopped(3);
            expect(b, QStringLiteral("use"), QStringLiteral("Use"), QStringLiteral("Use ") + field);
        } else if (qobject_cast<QCheckBox *>(b)) {
            expect(b, QStringLiteral("flags"), b->text());
        } else if (qobject_cast<vog::BrowseButton *>(b)) {
            const QString field = b->objectName().chopped(6);
            expect(b, QStringLiteral("browse"),
                   b->text() == QLatin1String("+") ? QStringLiteral("Add a file to ") + field
                                                   : QStringLiteral("Browse for ") + field);
        } else if (qobject_cast<QPushButton *>(b)) {
            expect(b, QStringLiteral("push"), QString(b->text()).remove(QLatin1Char('&')));
        }
    }
    QVERIFY2(wrong.isEmpty(), qPrintable(wrong.join(QLatin1Char('\n'))));
    const QMap<QString, int> all{{QStringLiteral("radio"), radio},
                                 {QStringLiteral("flags"), flags},
                                 {QStringLiteral("use"), use},
                                 {QStringLiteral("browse"), browse},
                                 {QStringLiteral("push"), push}};
    for (auto it = all.begin(); it != all.end(); ++it)
        QCOMPARE(counted.value(it.key()), it.value());
}

void TestAccessibility::linkListIsNamedLink()
{
    QCOMPARE(accessible(Link_Keywords->LinkChange), QStringLiteral("Link"));
    QCOMPARE(labelledBy(Link_Keywords->LinkChange), QStringList{QStringLiteral("Link")});
}

void TestAccessibility::everyTabStopHasAName_data()
{
    QTest::addColumn<QString>("window");
    for (const char *name : {"Main", "General_Keywords", "Files_and_Paths", "Link_Keywords",
                             "Select_directory"})
        QTest::newRow(name) << QString::fromLatin1(name);
}

// A control the keyboard reaches but a screen reader cannot name is a silent stop.
void TestAccessibility::everyTabStopHasAName()
{
    QFETCH(QString, window);
    QWidget *w = windowNamed(window);
    w->show();
    QVERIFY(QTest::qWaitForWindowExposed(w));
    QStringList silent;
    int stops = 0;
    QWidget *next = w;
    do {
        if ((next->focusPolicy() & Qt::TabFocus) && next->isVisibleTo(w) && next->isEnabled()
            && !next->focusProxy()) {
            ++stops;
            if (accessible(next).trimmed().isEmpty())
                silent.append(next->objectName() + QLatin1Char('<')
                              + QString::fromLatin1(next->metaObject()->className())
                              + QLatin1Char('>'));
        }
        next = next->nextInFocusChain();
    } while (next != w && stops < 500);
    QVERIFY(stops > 0);
    QVERIFY2(silent.isEmpty(), qPrintable(silent.join(QLatin1Char(' '))));
}

QTEST_MAIN(TestAccessibility)
#include "tst_accessibility.moc"
