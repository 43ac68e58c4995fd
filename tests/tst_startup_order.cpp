// main() shows the main window before it builds the four hidden windows, which take longer, and
// builds them right after the main window's first frame. Nothing may notice: they exist before
// any command needs them, File > Open works even if it comes first, and a main window closed
// before its first frame leaves nothing behind.
#include "TestSupport.h"

#include "editors/TFiles_and_Paths.h"
#include "editors/TGeneral_Keywords.h"
#include "editors/TLink_Keywords.h"
#include "editors/TSelect_directory.h"
#include "shell/Startup.h"
#include "fields/TextField.h"
#include "shell/TMain.h"

#include <QComboBox>
#include <QMenu>
#include <QtTest>

namespace {

QList<QWidget *> editorWindows()
{
    return {General_Keywords, Files_and_Paths, Select_directory, Link_Keywords};
}

// Ends a run started as main() starts it, whatever it had built.
struct Started
{
    Started() { createWindows(EditorWindows::AfterMainIsShown); }
    ~Started() { destroyWindows(); }
};

} // namespace

class TestStartupOrder final : public QObject
{
    Q_OBJECT

private slots:
    void hiddenWindowsFollowTheFirstFrame()
    {
        Started run;
        QVERIFY(Main->isVisible());
        QVERIFY(!General_Keywords && !Files_and_Paths && !Select_directory && !Link_Keywords);
        QVERIFY(QTest::qWaitForWindowExposed(Main));
        QTRY_VERIFY(Link_Keywords != nullptr);
        const QStringList names{"General_Keywords", "Files_and_Paths", "Select_directory",
                                "Link_Keywords"};
        for (int i = 0; i < 4; ++i) {
            QWidget *w = editorWindows().at(i);
            QVERIFY(w);
            QCOMPARE(w->objectName(), names.at(i));
            QVERIFY(w->isWindow());
            QVERIFY2(!w->isVisible(), qPrintable(names.at(i)));
        }
        QVERIFY(!Main->N6->menuAction()->isEnabled());
        // Built once: more frames build nothing more.
        const QList<QWidget *> built = editorWindows();
        Main->hide();
        Main->show();
        QVERIFY(QTest::qWaitForWindowExposed(Main));
        QTest::qWait(20);
        QCOMPARE(editorWindows(), built);
    }

    void openBeforeTheFirstFrameBuildsThemFirst()
    {
        Started run;
        ConfigFixture files;
        QVERIFY(!General_Keywords);
        QVERIFY(openConfig(files.write("Name Early Station\nLink Alpha\nRoute crash *\n")).isEmpty());
        QVERIFY(General_Keywords && Files_and_Paths && Select_directory && Link_Keywords);
        QCOMPARE(General_Keywords->field<vog::TextField>("Name")->text(), QStringLiteral("Early Station"));
        QCOMPARE(fieldState(General_Keywords, "Route"), QStringLiteral("crash *"));
        QCOMPARE(Link_Keywords->LinkChange->count(), 1);
        QVERIFY(Main->N6->menuAction()->isEnabled());
        // The first frame, when it comes, builds nothing again and loses nothing.
        const QList<QWidget *> built = editorWindows();
        QVERIFY(QTest::qWaitForWindowExposed(Main));
        QTest::qWait(20);
        QCOMPARE(editorWindows(), built);
        QCOMPARE(General_Keywords->field<vog::TextField>("Name")->text(), QStringLiteral("Early Station"));
    }

    void closedBeforeTheFirstFrame()
    {
        createWindows(EditorWindows::AfterMainIsShown);
        destroyWindows();
        QTest::qWait(50);
        QVERIFY(!Main && !General_Keywords && !Files_and_Paths && !Select_directory
                && !Link_Keywords);
    }
};

QTEST_MAIN(TestStartupOrder)
#include "tst_startup_order.moc"
