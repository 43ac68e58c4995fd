// The quick find through the real windows: Ctrl+F on a window, the text typed one key at a
// time, the result chosen with Down and opened with Return. A keyword takes the focus in its
// window, scrolled into view; a link is picked with exactly one load, its error shown as any
// pick's; the list narrows with each key, best matches first, and Escape closes it.
#include "TestSupport.h"

#include "editors/TFiles_and_Paths.h"
#include "editors/TLink_Keywords.h"
#include "shell/QuickFind.h"
#include "shell/QuickFindModel.h"
#include "shell/Startup.h"
#include "shell/TMain.h"

#include <QAbstractItemModel>
#include <QAction>
#include <QComboBox>
#include <QLineEdit>
#include <QListView>
#include <QRadioButton>
#include <QSignalSpy>
#include <QtTest>

namespace {

const QByteArray Hub = "Sysop Anna Kowalski\n"
                       "Inbound /var/spool/in\n"
                       "BundleNameStyle addrDiff\n"
                       "Link Alpha Node\nAka 2:5020/1234\n"
                       "Link Beta Point\nAka 2:5020/12345 2:5020/1234.1\n"
                       "Link Gamma\nAka 1:234/5\n"
                       "Link Delta\nAka 3:3/3\nArcmailSize 12x\n";

QByteArray manyLinks(int count)
{
    QByteArray config;
    for (int i = 0; i < count; ++i)
        config += "Link Node" + QByteArray::number(i) + " Hub\nAka 2:5000/" + QByteArray::number(i)
            + "\n";
    return config;
}

vog::QuickFind *popup()
{
    return Main->findChild<vog::QuickFind *>(QStringLiteral("QuickFind"));
}

QStringList shownNames()
{
    QStringList names;
    const QAbstractItemModel *model = popup()->QuickFindResults->model();
    for (int row = 0; row < model->rowCount(); ++row)
        names.append(model->index(row, 0).data(vog::QuickFindModel::NameRole).toString());
    return names;
}

// Ctrl+F where the user is, in a window in front.
void pressCtrlF(QWidget *window)
{
    window->show();
    window->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(window));
    QTest::keyClick(window, Qt::Key_F, Qt::ControlModifier);
    QVERIFY(popup()->isVisible());
}

} // namespace

class TestQuickFind final : public QObject
{
    Q_OBJECT
private slots:
    void init()
    {
        m_program = std::make_unique<Program>();
        Main->show();
    }
    void cleanup() { m_program.reset(); }

    void mainWindowFindsOnceAFileIsOpen()
    {
        QTest::keyClick(Main, Qt::Key_F, Qt::ControlModifier);
        QVERIFY(!popup()->isVisible());
        QVERIFY(openConfig(m_files.write(Hub)).isEmpty());
        pressCtrlF(Main);
    }

    void keywordTakesTheFocusInItsWindow_data()
    {
        QTest::addColumn<QString>("from");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<int>("downs");
        QTest::addColumn<QString>("window");
        QTest::addColumn<QString>("field");
        QTest::newRow("from the main window") << "Main" << "sysop" << 0 << "General_Keywords" << "Sysop";
        QTest::newRow("any case, another window") << "Link_Keywords" << "InBoun" << 0 << "Files_and_Paths" << "Inbound";
        QTest::newRow("the second result") << "General_Keywords" << "inbound" << 1 << "Files_and_Paths" << "LocalInbound";
        QTest::newRow("far down its window") << "Files_and_Paths" << "remoterobot" << 0 << "Link_Keywords" << "RemoteRobotName";
        QTest::newRow("a radio choice") << "Main" << "bundlenamestyle" << 0 << "General_Keywords" << "BundleNameStyle";
        QTest::newRow("flag boxes") << "Main" << "KillRep" << 0 << "General_Keywords" << "AreafixKillReports";
    }

    void keywordTakesTheFocusInItsWindow()
    {
        QFETCH(QString, from);
        QFETCH(QString, typed);
        QFETCH(int, downs);
        QFETCH(QString, window);
        QFETCH(QString, field);
        QVERIFY(openConfig(m_files.write(Hub)).isEmpty());
        Link_Keywords->LinkChangeChange(); // a link's rows take the focus once one is shown
        pressCtrlF(windowNamed(from));
        QTest::keyClicks(popup()->QuickFindText, typed);
        for (int i = 0; i < downs; ++i)
            QTest::keyClick(popup()->QuickFindText, Qt::Key_Down);
        QTest::keyClick(popup()->QuickFindText, Qt::Key_Return);

        QVERIFY(!popup()->isVisible());
        QWidget *shown = windowNamed(window);
        QVERIFY(QTest::qWaitForWindowActive(shown));
        QWidget *target = shown->findChild<QWidget *>(field);
        QWidget *focus = QApplication::focusWidget();
        QVERIFY2(focus == target || target->isAncestorOf(focus),
                 qPrintable(focus ? focus->objectName() : QStringLiteral("no focus")));
        if (auto *option = qobject_cast<QRadioButton *>(focus))
            QVERIFY2(option->isChecked(), "the option selected takes the focus");
        // Scrolled so that the field shows.
        QVERIFY(!target->visibleRegion().isEmpty());
    }

    void linkIsPickedWithOneLoad_data()
    {
        QTest::addColumn<QByteArray>("later");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<int>("link");
        QTest::addColumn<int>("loads");
        QTest::addColumn<int>("errors");
        QTest::addColumn<QString>("aka");
        QTest::newRow("a whole address before longer ones") << QByteArray() << "2:5020/1234" << 0 << 1 << 0 << "2:5020/1234";
        QTest::newRow("a link's second address") << QByteArray() << "1234.1" << 1 << 1 << 0 << "2:5020/12345 2:5020/1234.1";
        QTest::newRow("part of an address") << QByteArray() << "234/5" << 2 << 1 << 0 << "1:234/5";
        QTest::newRow("the name, any case") << QByteArray() << "GAMMA" << 2 << 1 << 0 << "1:234/5";
        QTest::newRow("its error, as any pick's") << QByteArray() << "3:3/3" << 3 << 0 << 1 << "3:3/3";
        QTest::newRow("a link of a later Open") << QByteArray("Link Zeta\nAka 4:4/4\n") << "4:4/" << 4 << 1 << 0 << "4:4/4";
    }

    void linkIsPickedWithOneLoad()
    {
        QFETCH(QByteArray, later);
        QFETCH(QString, typed);
        QFETCH(int, link);
        QFETCH(int, loads);
        QFETCH(int, errors);
        QFETCH(QString, aka);
        QVERIFY(openConfig(m_files.write(Hub)).isEmpty());
        // Its links are known to the find before the next Open adds one.
        pressCtrlF(Main);
        QTest::keyClick(popup()->QuickFindText, Qt::Key_Escape);
        if (!later.isEmpty())
            QVERIFY(openConfig(m_files.write(later, QStringLiteral("later.cfg"))).isEmpty());

        QSignalSpy loaded(Link_Keywords, &TLink_Keywords::linkLoaded);
        pressCtrlF(Main);
        QTest::keyClicks(popup()->QuickFindText, typed);
        ErrorBoxWatcher boxes;
        QTest::keyClick(popup()->QuickFindText, Qt::Key_Return);

        QCOMPARE(Link_Keywords->LinkChange->currentIndex(), link);
        QCOMPARE(loaded.size(), loads);
        if (loads)
            QCOMPARE(loaded.at(0).at(0).toInt(), link + 1);
        QCOMPARE(boxes.shown().size(), errors);
        QVERIFY(QTest::qWaitForWindowActive(Link_Keywords));
        QCOMPARE(fieldState(Link_Keywords, QStringLiteral("Aka")), aka);
    }

    void typingNarrowsBestFirstAndEscapeCloses_data()
    {
        QTest::addColumn<QByteArray>("config");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<int>("rows");
        QTest::addColumn<QStringList>("first");
        QTest::newRow("a whole keyword, then those it begins")
            << Hub << "autoareacreate" << 5
            << QStringList{"AutoAreaCreate", "AutoAreaCreateFlag", "AutoAreaCreateFile",
                           "AutoAreaCreateDefaults", "AutoAreaCreateSubdirs"};
        QTest::newRow("begins before holds")
            << Hub << "filebox" << 3 << QStringList{"FileBox", "FileBoxesDir", "FileBoxAlways"};
        QTest::newRow("a whole word of a link's name first")
            << manyLinks(400) << "node39" << 11 << QStringList{"Node39 Hub", "Node390 Hub"};
        QTest::newRow("at most a few hundred")
            << manyLinks(400) << "hub" << 300 << QStringList{"Node0 Hub", "Node1 Hub"};
    }

    void typingNarrowsBestFirstAndEscapeCloses()
    {
        QFETCH(QByteArray, config);
        QFETCH(QString, typed);
        QFETCH(int, rows);
        QFETCH(QStringList, first);
        QVERIFY(openConfig(m_files.write(config)).isEmpty());
        pressCtrlF(Files_and_Paths);
        int shown = shownNames().size();
        for (QChar c : typed) {
            QTest::keyClicks(popup()->QuickFindText, QString(c));
            const int now = shownNames().size();
            QVERIFY2(now <= shown, qPrintable(QStringLiteral("%1 rows after %2 rows").arg(now).arg(shown)));
            shown = now;
        }
        QCOMPARE(shown, rows);
        QCOMPARE(shownNames().mid(0, int(first.size())), first);
        QTest::keyClick(popup()->QuickFindText, Qt::Key_Escape);
        QVERIFY(!popup()->isVisible());
        QVERIFY(QTest::qWaitForWindowActive(Files_and_Paths));
    }

private:
    std::unique_ptr<Program> m_program;
    ConfigFixture m_files;
};

QTEST_MAIN(TestQuickFind)
#include "tst_quick_find.moc"
