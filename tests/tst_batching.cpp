// File > Open holds the line-list and link-list appends back and makes them in one go, because
// appending to a list line by line is many times slower. These tests check that what the user
// sees is exactly what line-by-line appends give, whatever the lists held before, and wherever
// a number error stops the command part way.
#include "TestSupport.h"

#include "editors/TFiles_and_Paths.h"
#include "editors/TGeneral_Keywords.h"
#include "editors/TLink_Keywords.h"
#include "fields/FileOpenDialog.h"
#include "fields/LineList.h"
#include "shell/Startup.h"
#include "shell/TMain.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QSignalSpy>
#include <QtTest>

using ListLines = QMap<QString, QStringList>; // list field -> the lines the file appends to it

namespace {

const QStringList ListFields{"Pack", "Remap", "Route", "RouteFile", "RouteMail", "Unpack", "Include"};

vog::LineList *listField(const QString &name)
{
    if (auto *list = General_Keywords->findChild<vog::LineList *>(name))
        return list;
    return Files_and_Paths->findChild<vog::LineList *>(name);
}

// What a list held before the Open.
enum class Before { Nothing, TypedLines, EarlierLine, EmptiedByUser };

void prepare(vog::LineList *list, Before before)
{
    switch (before) {
    case Before::Nothing:
        break;
    case Before::TypedLines:
        list->setPlainText(QStringLiteral("typed one\ntyped two"));
        break;
    case Before::EarlierLine:
        list->appendLine(QStringLiteral("from an earlier Open"));
        break;
    case Before::EmptiedByUser:
        list->setPlainText(QStringLiteral("typed"));
        list->clear();
        break;
    }
}

struct ListState
{
    QString text;
    int blocks;
    bool operator==(const ListState &o) const { return text == o.text && blocks == o.blocks; }
};

char *toString(const ListState &s)
{
    return QTest::toString(QStringLiteral("%1 block(s): \"%2\"").arg(s.blocks).arg(s.text));
}

ListState stateOf(const QPlainTextEdit *edit)
{
    return {edit->toPlainText(), edit->document()->blockCount()};
}

// The list as appending one line at a time leaves it.
ListState lineByLine(Before before, const QStringList &lines)
{
    vog::LineList list;
    prepare(&list, before);
    for (const QString &line : lines)
        list.appendLine(line);
    return stateOf(&list);
}

// The same with the toolkit's own append, where a list that was never emptied by hand starts
// out like a bare memo.
ListState toolkitLineByLine(Before before, const QStringList &lines)
{
    QPlainTextEdit memo;
    if (before == Before::TypedLines)
        memo.setPlainText(QStringLiteral("typed one\ntyped two"));
    else if (before == Before::EarlierLine)
        memo.appendPlainText(QStringLiteral("from an earlier Open"));
    for (const QString &line : lines)
        memo.appendPlainText(line);
    return stateOf(&memo);
}

QStringList itemsOf(const QComboBox *combo)
{
    QStringList items;
    for (int i = 0; i < combo->count(); ++i)
        items.append(combo->itemText(i));
    return items;
}

// Every list as it stands, and the link list's entries, for comparing at any moment.
ListLines snapshot()
{
    ListLines s;
    for (const QString &name : ListFields)
        s[name] = listField(name)->lines();
    s[QStringLiteral("LinkChange")] = itemsOf(Link_Keywords->LinkChange);
    return s;
}

const QByteArray Interleaved = "Route crash 2:5020/1 2:5020/*\n"
                               "# Route hold 2:5020/99 (a comment)\n"
                               "Pack zip zip -9 -j $a $f\n"
                               "Link Alpha Node\n"
                               "Aka 2:5020/1\n"
                               "ROUTE hold 2:*\n"
                               "Name Vog Station\n"
                               "Include /etc/vog/areas.cfg\n"
                               "Remap Ivan Petrov,* 2:5020/1.1 *\n"
                               "link Beta\n"
                               "routefile normal 2:5020/2 *\n"
                               "  Unpack \"unzip -j $a\" 0 504b0304\n"
                               "RouteMail direct 2:5020/3\n"
                               "include  /etc/vog/links.cfg\n";

const ListLines InterleavedLines{
        {"Route", {"crash 2:5020/1 2:5020/*", "hold 2:*"}},
        {"Pack", {"zip zip -9 -j $a $f"}},
        {"Include", {"/etc/vog/areas.cfg", "/etc/vog/links.cfg"}},
        {"Remap", {"Ivan Petrov,* 2:5020/1.1 *"}},
        {"RouteFile", {"normal 2:5020/2 *"}},
        {"Unpack", {"\"unzip -j $a\" 0 504b0304"}},
        {"RouteMail", {"direct 2:5020/3"}},
        {"LinkChange", {"Alpha Node", "Beta"}}};

} // namespace

Q_DECLARE_METATYPE(Before)

class TestBatching final : public QObject
{
    Q_OBJECT

private slots:
    void listsEqualLineByLineAppends_data()
    {
        QTest::addColumn<QByteArray>("config");
        QTest::addColumn<Before>("before");
        QTest::addColumn<ListLines>("appended");

        QTest::newRow("empty lists") << Interleaved << Before::Nothing << InterleavedLines;
        QTest::newRow("lists with typed lines") << Interleaved << Before::TypedLines
                                                << InterleavedLines;
        QTest::newRow("lists filled by an earlier Open") << Interleaved << Before::EarlierLine
                                                         << InterleavedLines;
        QTest::newRow("lists emptied by the user") << Interleaved << Before::EmptiedByUser
                                                   << InterleavedLines;
        QTest::newRow("values as they stand")
                << QByteArray("Route   a  b   \r\n"
                              "Route x #1 not a comment # but this is\r\n"
                              "Pack \xd0\x98\xd0\xb2\xd0\xb0\xd0\xbd rar\n"
                              "Pack caf\xe9 latin-1\n"
                              "Route \tafter a tab\n"
                              "Link  Gamma  Node \n")
                << Before::TypedLines
                << ListLines{{"Route", {"a  b", "x #1 not a comment", "after a tab"}},
                             {"Pack", {QString::fromUtf8("\xd0\x98\xd0\xb2\xd0\xb0\xd0\xbd rar"),
                                       QString::fromLatin1("caf\xe9 latin-1")}},
                             {"LinkChange", {"Gamma  Node"}}};

        QByteArray many;
        ListLines manyLines;
        for (int i = 0; i < 3000; ++i) {
            many += "Route crash 2:5020/" + QByteArray::number(i) + " *\n";
            manyLines["Route"].append(QStringLiteral("crash 2:5020/%1 *").arg(i));
            if (i % 10 == 0) {
                many += "Link Node " + QByteArray::number(i) + "\nAka 2:5020/" + QByteArray::number(i) + "\n";
                manyLines["LinkChange"].append(QStringLiteral("Node %1").arg(i));
            }
        }
        QTest::newRow("thousands of lines") << many << Before::EarlierLine << manyLines;
    }

    void listsEqualLineByLineAppends()
    {
        QFETCH(QByteArray, config);
        QFETCH(Before, before);
        QFETCH(ListLines, appended);
        Program program;
        ConfigFixture files;
        for (const QString &name : ListFields)
            prepare(listField(name), before);

        QVERIFY(openConfig(files.write(config)).isEmpty());

        for (const QString &name : ListFields) {
            const ListState shown = stateOf(listField(name));
            QCOMPARE(shown, lineByLine(before, appended.value(name)));
            if (before != Before::EmptiedByUser)
                QCOMPARE(shown, toolkitLineByLine(before, appended.value(name)));
        }
        QCOMPARE(itemsOf(Link_Keywords->LinkChange), appended.value("LinkChange"));
    }

    // Appending to an empty drop-down one item at a time selects the first item; the Open selects
    // nothing, keeps what the user picked or typed, and reports no change, so no link is loaded.
    void linkListKeepsItsSelection_data()
    {
        QTest::addColumn<QStringList>("earlier");
        QTest::addColumn<int>("picked");
        QTest::addColumn<QString>("typed");

        QTest::newRow("empty list") << QStringList() << -1 << QString();
        QTest::newRow("text typed into an empty list") << QStringList() << -1 << "2:5020/7";
        QTest::newRow("entry picked") << QStringList{"Old", "Older"} << 1 << QString();
        QTest::newRow("entries, none picked, text typed") << QStringList{"Old"} << -1 << "Ol";
    }

    void linkListKeepsItsSelection()
    {
        QFETCH(QStringList, earlier);
        QFETCH(int, picked);
        QFETCH(QString, typed);
        Program program;
        ConfigFixture files;
        QComboBox *links = Link_Keywords->LinkChange;
        {
            const QSignalBlocker quiet(links);
            links->addItems(earlier);
            links->setCurrentIndex(picked);
            if (!typed.isNull())
                links->setEditText(typed);
        }
        const QString text = links->currentText();
        QSignalSpy index(links, &QComboBox::currentIndexChanged);
        QSignalSpy current(links, &QComboBox::currentTextChanged);
        QSignalSpy edited(links, &QComboBox::editTextChanged);

        QVERIFY(openConfig(files.write(Interleaved)).isEmpty());

        QCOMPARE(itemsOf(links), earlier + InterleavedLines.value("LinkChange"));
        QCOMPARE(links->currentIndex(), picked);
        QCOMPARE(links->currentText(), text);
        QCOMPARE(index.count(), 0);
        QCOMPARE(current.count(), 0);
        QCOMPARE(edited.count(), 0);
    }

    // A number that doesn't convert ends the command at its line: the lists show exactly the
    // lines before it, and show them already when the error box appears.
    void numberErrorStopsPartWay_data()
    {
        QTest::addColumn<int>("badLine"); // where "AreafixMsgSize 12x" goes, counted from 0
        QTest::addColumn<ListLines>("shown");

        QTest::newRow("first line") << 0 << ListLines{};
        QTest::newRow("after the first route") << 1 << ListLines{{"Route", {"crash 2:5020/1 2:5020/*"}}};
        QTest::newRow("in the first link section")
                << 5 << ListLines{{"Route", {"crash 2:5020/1 2:5020/*"}},
                                  {"Pack", {"zip zip -9 -j $a $f"}},
                                  {"LinkChange", {"Alpha Node"}}};
        QTest::newRow("after the second link")
                << 10 << ListLines{{"Route", {"crash 2:5020/1 2:5020/*", "hold 2:*"}},
                                   {"Pack", {"zip zip -9 -j $a $f"}},
                                   {"Include", {"/etc/vog/areas.cfg"}},
                                   {"Remap", {"Ivan Petrov,* 2:5020/1.1 *"}},
                                   {"LinkChange", {"Alpha Node", "Beta"}}};
        QTest::newRow("last line") << 14 << InterleavedLines;
    }

    void numberErrorStopsPartWay()
    {
        QFETCH(int, badLine);
        QFETCH(ListLines, shown);
        Program program;
        ConfigFixture files;
        QList<QByteArray> lines = Interleaved.split('\n');
        lines.insert(badLine, "AreafixMsgSize 12x");
        const QString path = files.write(lines.join('\n'));

        ListLines whileBoxShown;
        QString message;
        whenModal<QMessageBox>(
                [&](QMessageBox *box) {
                    whileBoxShown = snapshot();
                    message = box->text();
                    box->button(QMessageBox::Ok)->click();
                },
                [&] {
                    vog::FileOpenDialog::setNextAnswer(path);
                    Main->N2Click();
                });

        QCOMPARE(message, QStringLiteral("'12x' is not a valid whole number (line %1).").arg(badLine + 1));
        ListLines expected;
        for (const QString &name : ListFields)
            expected[name] = shown.value(name);
        expected[QStringLiteral("LinkChange")] = shown.value("LinkChange");
        QCOMPARE(whileBoxShown, expected);
        QCOMPARE(snapshot(), expected);
        for (const QString &name : ListFields)
            QCOMPARE(stateOf(listField(name)), lineByLine(Before::Nothing, shown.value(name)));
    }
};

QTEST_MAIN(TestBatching)
#include "tst_batching.moc"
