// The names listed in a combo box: rows put in, renamed and taken out as the combo box asks.
#include "editors/NameListModel.h"

#include <QComboBox>
#include <QtTest>

class NameListModelTest : public QObject
{
    Q_OBJECT
private slots:
    void editsThroughTheComboBox_data()
    {
        QTest::addColumn<QString>("edit"); // i: insert, r: rename, x: remove; row; name
        QTest::addColumn<QStringList>("expected");
        const QStringList start{"Alpha", "Beta", "Gamma"};
        QTest::newRow("insert first") << "i 0 Zed" << QStringList{"Zed", "Alpha", "Beta", "Gamma"};
        QTest::newRow("insert between") << "i 2 Bb" << QStringList{"Alpha", "Beta", "Bb", "Gamma"};
        QTest::newRow("insert last") << "i 3 Omega" << start + QStringList{"Omega"};
        QTest::newRow("rename longer")
                << "r 0 Alphabet" << QStringList{"Alphabet", "Beta", "Gamma"};
        QTest::newRow("rename shorter") << "r 1 B" << QStringList{"Alpha", "B", "Gamma"};
        QTest::newRow("remove first") << "x 0" << QStringList{"Beta", "Gamma"};
        QTest::newRow("remove middle") << "x 1" << QStringList{"Alpha", "Gamma"};
        QTest::newRow("remove last") << "x 2" << QStringList{"Alpha", "Beta"};
    }

    void editsThroughTheComboBox()
    {
        QFETCH(QString, edit);
        QFETCH(QStringList, expected);
        QComboBox combo;
        auto *names = new vog::NameListModel(&combo);
        combo.setModel(names);
        names->append({"Alpha", "Beta"});
        names->append({"Gamma"});
        const QStringList words = edit.split(u' ');
        const int row = words.at(1).toInt();
        if (words[0] == u"i")
            combo.insertItem(row, words.at(2));
        else if (words[0] == u"r")
            combo.setItemText(row, words.at(2));
        else
            combo.removeItem(row);
        QStringList listed;
        for (int i = 0; i < combo.count(); ++i)
            listed.append(combo.itemText(i));
        QCOMPARE(listed, expected);
        // A new set of names stands alone, nothing of the rows before left in it.
        names->setNames({"One", "Two"});
        QCOMPARE(combo.count(), 2);
        QCOMPARE(combo.itemText(1), QStringLiteral("Two"));
    }
};

QTEST_MAIN(NameListModelTest)
#include "tst_name_list_model.moc"
