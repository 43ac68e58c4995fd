// Link sections: the link record store itself, and how File > Open fills it and the link list.
#include "TestSupport.h"

#include "editors/TLink_Keywords.h"
#include "reader/LinkStore.h"
#include "shell/Startup.h"
#include "fields/TextField.h"

#include <QComboBox>
#include <QtTest>

namespace {

// A cell of the store and the text it must hold.
struct Cell
{
    int column;
    int row;
    QString text;
};
using Cells = QList<Cell>;

QStringList linkEntries()
{
    QStringList out;
    for (int i = 0; i < Link_Keywords->LinkChange->count(); ++i)
        out.append(Link_Keywords->LinkChange->itemText(i));
    return out;
}

const vog::LinkStore &store()
{
    return Link_Keywords->LinksStringGrid;
}

} // namespace

Q_DECLARE_METATYPE(Cells)

class TestLinkStore final : public QObject
{
    Q_OBJECT

private slots:
    void newStoreHasOneEmptyColumn()
    {
        vog::LinkStore s;
        QCOMPARE(s.columnCount(), 1);
        QCOMPARE(s.rowCount(), 100);
        for (int row : {0, 1, 32, 48, 49, 99})
            QVERIFY(s.cell(0, row).isEmpty());
        // Outside the table: read as empty, writes ignored.
        s.setCell(1, 3, "x");
        s.setCell(0, 100, "x");
        s.setCell(-1, 3, "x");
        QCOMPARE(s.columnCount(), 1);
        QVERIFY(s.cell(1, 3).isEmpty());
        QVERIFY(s.cell(0, -1).isEmpty());
    }

    void cellsKeepTheirTextAsColumnsAreAdded()
    {
        // Cells live in shared blocks; a large value gets one of its own. Neither may move or
        // overwrite a cell stored before, whatever the order of sizes.
        vog::LinkStore s;
        const QByteArray big(100 * 1024, 'b');
        const QByteArray huge(300 * 1024, 'h');
        QList<QByteArray> written;
        for (int column = 1; column <= 3000; ++column) {
            s.setColumnCount(column + 1);
            QByteArray value = "value " + QByteArray::number(column);
            if (column % 500 == 0)
                value = huge + QByteArray::number(column);
            else if (column % 700 == 0)
                value = big + QByteArray::number(column);
            s.setCell(column, column % 48 + 1, value);
            written.append(value);
        }
        QCOMPARE(s.columnCount(), 3001);
        for (int column = 1; column <= 3000; ++column)
            QCOMPARE(s.cell(column, column % 48 + 1).toByteArray(), written[column - 1]);
        // A later value replaces the earlier one.
        s.setCell(7, 3, "first");
        s.setCell(7, 3, "second");
        QCOMPARE(s.cellText(7, 3), QStringLiteral("second"));
    }

    void cellsWrittenInAnyOrderReadBack()
    {
        // A column keeps only the cells written to it: columns written in turn, their rows
        // from the last to the first and back, a column inserted and one removed between, must
        // each read back every cell written, and nothing where none was.
        vog::LinkStore s;
        s.setColumnCount(6);
        const auto text = [](int column, int row, int pass) {
            return QByteArray::number(column) + ':' + QByteArray::number(row) + '/'
                + QByteArray::number(pass);
        };
        QMap<QPair<int, int>, QByteArray> written;
        for (int pass = 0; pass < 3; ++pass)
            for (int row = 48; row >= 1; row -= 3 + pass)
                for (int column = 5; column >= 0; --column) {
                    const int r = pass == 1 ? 49 - row : row;
                    s.setCell(column, r, text(column, r, pass), {0, r});
                    written[{column, r}] = text(column, r, pass);
                }
        s.insertColumn(2);
        s.removeColumn(4);
        for (int column = 0; column < 6; ++column)
            for (int row = 1; row <= 48; ++row) {
                // The column inserted at 2 is empty and moved the rest on; then the old
                // column 3, standing at 4, went.
                const int was = column < 2 ? column : column == 2 ? -1 : column == 3 ? 2 : column;
                const QByteArray expected = written.value({was, row});
                QCOMPARE(s.cell(column, row).toByteArray(), expected);
                QCOMPARE(s.cellOrigin(column, row).line, expected.isEmpty() ? 0 : qint64(row));
            }
    }

    void opensLinkSections_data()
    {
        QTest::addColumn<QByteArray>("config");
        QTest::addColumn<QStringList>("entries");
        QTest::addColumn<int>("columns");
        QTest::addColumn<Cells>("cells");

        QTest::newRow("two links, any case")
            << QByteArray("Link Alpha\nAka 1:2/3\nLink Beta\nAKA 1:2/4\n")
            << QStringList{"Alpha", "Beta"} << 3
            << Cells{{1, 32, "Alpha"}, {1, 3, "1:2/3"}, {2, 32, "Beta"}, {2, 3, "1:2/4"},
                     {0, 3, ""}, {1, 44, ""}};
        QTest::newRow("names and values keep their case and inner blanks")
            << QByteArray("LINK  Boss  Node \t\nPassWord  SeCrEt  \nAutoAreaCreateDefaults -b  squish   -p\n")
            << QStringList{"Boss  Node"} << 2
            << Cells{{1, 32, "Boss  Node"}, {1, 44, "SeCrEt"}, {1, 13, "-b  squish   -p"}};
        QTest::newRow("values stored as they stand")
            << QByteArray("Link A\nLink B\nLink C\nPacker zip\nArcNetmail On\nLevel 100\n"
                          "DenyUncondFwdReqAccess yes\nLinkBundleNameStyle addrDiff\n"
                          "AreafixEchoLimit 12x\n")
            << QStringList{"A", "B", "C"} << 4
            << Cells{{3, 43, "zip"}, {3, 7, "On"}, {3, 31, "100"}, {3, 20, "yes"},
                     {3, 33, "addrDiff"}, {3, 9, "12x"}};
        QTest::newRow("lines before the first link go to column 0")
            << QByteArray("Aka 1:1/1\nPassword early\nLink A\nAka 1:1/2\n")
            << QStringList{"A"} << 2
            << Cells{{0, 3, "1:1/1"}, {0, 44, "early"}, {1, 3, "1:1/2"}, {1, 44, ""}};
        QTest::newRow("same name twice")
            << QByteArray("Link Twin\nAka 1\nLink Twin\nAka 2\n")
            << QStringList{"Twin", "Twin"} << 3
            << Cells{{1, 3, "1"}, {2, 3, "2"}, {1, 32, "Twin"}, {2, 32, "Twin"}};
        QTest::newRow("keyword twice in a section")
            << QByteArray("Link A\nAka 1:1/1\nAka 1:1/2\n") << QStringList{"A"} << 2
            << Cells{{1, 3, "1:1/2"}};
        QTest::newRow("linkdefaults of another word stored in its own row only")
            << QByteArray("Link A\nLink B\nLinkDefaults keep\n") << QStringList{"A", "B"} << 3
            << Cells{{2, 34, "keep"}, {1, 34, ""}, {2, 32, "B"}};
        QTest::newRow("a defaults block's lines are no link's, an end outside one is")
            << QByteArray("Link A\nLinkDefaults Begin\nPacker arj\nLink B\nLinkDefaults end\n")
            << QStringList{"A", "B"} << 3
            << Cells{{1, 34, ""}, {1, 43, ""}, {2, 43, ""}, {2, 34, "end"}};
        QTest::newRow("link alone starts nothing; a tab separates")
            << QByteArray("Link A\nlink\nAka 1:1/1\nLINK   \nlink\tB\nPassword p\n")
            << QStringList{"A", "B"} << 3
            << Cells{{1, 3, "1:1/1"}, {2, 44, "p"}, {1, 32, "A"}, {2, 32, "B"}};
        QTest::newRow("other keywords do not end a section")
            << QByteArray("Link A\nSysop Ivan\nInbound /in\nAka 1:1/1\n") << QStringList{"A"} << 2
            << Cells{{1, 3, "1:1/1"}};
        QTest::newRow("commented links are no links")
            << QByteArray("# Link A\n  #Link B\nLink C\n") << QStringList{"C"} << 2
            << Cells{{1, 32, "C"}};
        QTest::newRow("no links")
            << QByteArray("Sysop Ivan\nAka 1:1/1\n") << QStringList{} << 1 << Cells{{0, 3, "1:1/1"}};
    }

    void opensLinkSections()
    {
        QFETCH(QByteArray, config);
        QFETCH(QStringList, entries);
        QFETCH(int, columns);
        QFETCH(Cells, cells);
        Program program;
        ConfigFixture files;
        QVERIFY(openConfig(files.write(config)).isEmpty());
        QCOMPARE(linkEntries(), entries);
        QCOMPARE(store().columnCount(), columns);
        for (const Cell &c : cells)
            QCOMPARE(store().cellText(c.column, c.row), c.text);
        // The Open selects nothing.
        QCOMPARE(Link_Keywords->LinkChange->currentIndex(), -1);
        QCOMPARE(Link_Keywords->LinkChange->currentText(), QString());
    }

    void secondOpenKeepsEveryPairing()
    {
        // Each entry must still name its own column after a later Open, and the later file's
        // records must not overwrite the earlier ones.
        Program program;
        ConfigFixture files;
        openConfig(files.write("Link A\nAka 1:1/1\nLink B\nAka 1:1/2\n", "one.cfg"));
        openConfig(files.write("Aka 9:9/9\nLink C\nAka 1:1/3\nLink D\n", "two.cfg"));
        openConfig(files.write("Sysop nobody\n", "three.cfg"));
        QCOMPARE(linkEntries(), (QStringList{"A", "B", "C", "D"}));
        QCOMPARE(store().columnCount(), 5);
        for (int i = 0; i < 4; ++i)
            QCOMPARE(store().cellText(i + 1, 32), linkEntries()[i]);
        QCOMPARE(store().cellText(1, 3), QStringLiteral("1:1/1"));
        QCOMPARE(store().cellText(2, 3), QStringLiteral("1:1/2"));
        QCOMPARE(store().cellText(3, 3), QStringLiteral("1:1/3"));
        QCOMPARE(store().cellText(4, 3), QString());
        QCOMPARE(store().cellText(0, 3), QStringLiteral("9:9/9"));
    }

    void openKeepsTheSelectionAndTypedText()
    {
        Program program;
        ConfigFixture files;
        QComboBox *links = Link_Keywords->LinkChange;
        // Typed into the empty list, then a file with links: the text and "no entry" stay.
        links->lineEdit()->setText(QStringLiteral("typed"));
        openConfig(files.write("Link A\nLink B\n", "one.cfg"));
        QCOMPARE(links->currentIndex(), -1);
        QCOMPARE(links->currentText(), QStringLiteral("typed"));
        links->setCurrentIndex(1);
        openConfig(files.write("Link C\n", "two.cfg"));
        QCOMPARE(links->currentIndex(), 1);
        QCOMPARE(links->currentText(), QStringLiteral("B"));
        QCOMPARE(links->count(), 3);
    }

    void recordsBeforeAnErrorStay()
    {
        // A number error ends the Open; the links read so far are listed and stored.
        Program program;
        ConfigFixture files;
        const QList<ShownError> errors =
            openConfig(files.write("Link A\nAka 1:1/1\nAreafixMsgSize lots\nLink B\n"));
        QCOMPARE(errors.size(), 1);
        QCOMPARE(linkEntries(), QStringList{"A"});
        QCOMPARE(store().columnCount(), 2);
        QCOMPARE(store().cellText(1, 3), QStringLiteral("1:1/1"));
    }

    void sampleHasEveryPerLinkKeyword()
    {
        // examples/sample.cfg is meant to show every per-link keyword in some link.
        Program program;
        QVERIFY(openConfig(QStringLiteral(VOG_EXAMPLES "/sample.cfg")).isEmpty());
        QVERIFY(Link_Keywords->LinkChange->count() >= 3);
        // Its LinkDefaults lines open and close a block, which sets defaults, not a link's row.
        QVERIFY(!store().cell(vog::LinkStore::DefaultsColumn, 43).isEmpty());
        for (int row = 1; row <= 48; ++row) {
            if (row == 34)
                continue;
            bool found = false;
            for (int column = 1; column < store().columnCount() && !found; ++column)
                found = !store().cell(column, row).isEmpty();
            QVERIFY2(found, qPrintable(QStringLiteral("row %1 is in no link").arg(row)));
        }
    }

    void manyLinks_benchmark()
    {
        // 20,000 links of 20 keywords each: one Open, then the last link is shown.
        Program program;
        ConfigFixture files;
        QByteArray config;
        for (int i = 0; i < 20000; ++i)
            config += "Link node " + QByteArray::number(i)
                + "\nAka 2:5020/" + QByteArray::number(i)
                + "\nPassword pw\nPktPwd pw\nAreafixPwd pw\nPacker zip\nEchoMailFlavour crash\n"
                  "ForwardPkts secure\nAllowEmptyPktPwd secure\nArcmailSize 300\nArcNetmail on\n"
                  "Areafix on\nAreafixEchoLimit 200\nAutoAreaCreate on\nLevel 100\nExport on\n"
                  "Import on\nMandatory off\nManual off\nLinkGrp A\nAccessGrp A,B\n";
        const QString path = files.write(config);
        QBENCHMARK_ONCE {
            QVERIFY(openConfig(path).isEmpty());
            Link_Keywords->LinkChange->setCurrentIndex(19999);
            Link_Keywords->LinkChangeChange();
        }
        QCOMPARE(Link_Keywords->LinkChange->count(), 20000);
        QCOMPARE(Link_Keywords->field<vog::TextField>("Aka")->text(), QStringLiteral("2:5020/19999"));
    }
};

QTEST_MAIN(TestLinkStore)
#include "tst_link_store.moc"
