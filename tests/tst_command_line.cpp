// Files given as arguments open in order once the main window is up, a file dropped on the
// notes memo opens instead of dropping its name in, and a mistyped option ends with status 2.
#include "TestSupport.h"

#include "editors/TGeneral_Keywords.h"
#include "shell/CommandLine.h"
#include "fields/FileOpenDialog.h"
#include "shell/Startup.h"
#include "shell/TMain.h"

#include <QMenu>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QProcess>
#include <QtTest>

class TestCommandLine final : public QObject
{
    Q_OBJECT

private slots:
    void argumentsAndDroppedFileOpen()
    {
        ConfigFixture files;
        const QString first = files.write("Name First\nSysop Ivan\n", "first.cfg");
        const QString second = files.write("Name Second\n", "second.cfg");
        const QString dropped = files.write("Origin Dropped\n", "dropped.cfg");
        const vog::CommandLine line = vog::parseCommandLine({"vog-config", first, second});
        QVERIFY(!line.exitStatus);

        createWindows(EditorWindows::AfterMainIsShown);
        struct End { ~End() { destroyWindows(); } } end;
        vog::openWhenMainIsShown(line.files);
        QTRY_VERIFY(Main->N6->menuAction()->isEnabled());
        QCOMPARE(fieldState(General_Keywords, "Sysop"), "Ivan");
        QCOMPARE(fieldState(General_Keywords, "Name"), "Second");
        QCOMPARE(Main->OpenDialog->fileName(), second);

        const QString notes = Main->Memo1->toPlainText();
        QMimeData data;
        data.setUrls({QUrl::fromLocalFile(dropped)});
        const Qt::DropActions offered = Qt::CopyAction | Qt::MoveAction;
        QDragEnterEvent enter(QPoint(20, 20), offered, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(Main->Memo1->viewport(), &enter);
        QVERIFY(enter.isAccepted());
        QDropEvent drop(QPointF(20, 20), offered, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(Main->Memo1->viewport(), &drop);
        QVERIFY(drop.isAccepted());
        QCOMPARE(drop.dropAction(), Qt::CopyAction); // never moved away
        QTRY_COMPARE(fieldState(General_Keywords, "Origin"), "Dropped");
        QCOMPARE(Main->Memo1->toPlainText(), notes);
        QCOMPARE(Main->OpenDialog->fileName(), dropped);
    }

    void unknownOptionEndsWithStatus2()
    {
        QProcess program;
        program.start(QStringLiteral(VOG_CONFIG_PROGRAM), {"--no-such-option"});
        QVERIFY(program.waitForFinished(30000));
        QCOMPARE(program.exitStatus(), QProcess::NormalExit);
        QCOMPARE(program.exitCode(), 2);
        QVERIFY(program.readAllStandardOutput().isEmpty());
        QVERIFY(program.readAllStandardError().contains("Usage: "));
    }
};

QTEST_MAIN(TestCommandLine)
#include "tst_command_line.moc"
