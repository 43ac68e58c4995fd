// Included files opened on request, and the line each value came from.
#include "TestSupport.h"

#include "editors/TFiles_and_Paths.h"
#include "editors/TGeneral_Keywords.h"
#include "editors/TLink_Keywords.h"
#include "fields/FileOpenDialog.h"
#include "fields/LineList.h"
#include "fields/TextField.h"
#include "reader/LineGrammar.h"
#include "shell/Startup.h"
#include "shell/TMain.h"

#include <QAction>
#include <QLabel>
#include <QComboBox>
#include <QMenu>
#include <QDir>
#include <QStandardPaths>
#include <QTextBlock>
#include <QtTest>

namespace {

vog::TextField *text(const char *name)
{
    return General_Keywords->field<vog::TextField>(name);
}

vog::LineList *includes()
{
    return Files_and_Paths->field<vog::LineList>("Include");
}

// A main file naming others relatively and absolutely, one that includes it back (a cycle), a
// nested one, a missing one and one with a number error; the later a file is read, the more of
// Name, Sysop and Origin it decides.
struct Tree
{
    ConfigFixture dir;
    QString main, links, nested, routes, bad;
    Tree()
    {
        QDir(dir.path(QString())).mkdir(QStringLiteral("sub"));
        routes = dir.write("Origin from routes\nRoute crash 2:5020/1 *\n", "routes.cfg");
        main = dir.write("Name from main\nInclude sub/links.cfg\nInclude " + routes.toUtf8()
                                 + "\nInclude missing.cfg\nInclude bad.cfg\n",
                         "main.cfg");
        links = dir.write("Sysop from links\nInclude ../main.cfg\nInclude nested.cfg\n"
                          "Link Alpha\nAka 2:5020/7\n",
                          "sub/links.cfg");
        nested = dir.write("Sysop from nested\nOrigin from nested\n", "sub/nested.cfg");
        bad = dir.write("TearLine before\nAreafixMsgSize many\nTearLine after\n", "bad.cfg");
    }
};

QString origin(int line, const QString &path)
{
    return QStringLiteral("line %1 of %2").arg(line).arg(path);
}

} // namespace

class TestIncludes final : public QObject
{
    Q_OBJECT

private slots:
    void openAllWalksDepthFirstOnce()
    {
        Program program;
        Tree tree;
        QVERIFY(openConfig(tree.main).isEmpty());
        QCOMPARE(includes()->lineCount(), 4);
        auto *boxes = new ErrorBoxWatcher;
        Files_and_Paths->OpenAllIncludedFiles->trigger();
        const QList<ShownError> shown = boxes->shown();
        delete boxes;

        // links, then nested (named by links), then routes: each later one decides.
        QCOMPARE(text("Name")->text(), QStringLiteral("from main")); // not read again
        QCOMPARE(text("Sysop")->text(), QStringLiteral("from nested"));
        QCOMPARE(text("Origin")->text(), QStringLiteral("from routes"));
        QCOMPARE(text("TearLine")->text(), QStringLiteral("before")); // stopped at its line
        QCOMPARE(Link_Keywords->LinkChange->count(), 1);
        // main's four lines, then the two of links; main isn't read a second time.
        QCOMPARE(includes()->lineCount(), 6);

        QCOMPARE(shown.size(), 1);
        const QString message = shown.first().text;
        QVERIFY2(message.contains(tree.dir.path("missing.cfg") + ": File not found"),
                 qPrintable(message));
        QVERIFY2(message.contains(tree.bad + ": 'many'") && message.contains("(line 2)"),
                 qPrintable(message));

        // Everything is read now: a second walk reads nothing and reports only what's missing.
        ErrorBoxWatcher again;
        Files_and_Paths->OpenAllIncludedFiles->trigger();
        QCOMPARE(includes()->lineCount(), 6);
        QCOMPARE(again.shown().size(), 1);
        QVERIFY(!again.shown().first().text.contains(tree.bad));
    }

    void openIncludedFileReadsTheCursorsLine()
    {
        Program program;
        Tree tree;
        QVERIFY(openConfig(tree.main).isEmpty());
        QTextCursor cursor(includes()->document()->findBlockByNumber(0));
        includes()->setTextCursor(cursor);
        Files_and_Paths->OpenIncludedFile->trigger();
        QCOMPARE(text("Sysop")->text(), QStringLiteral("from links"));
        QCOMPARE(text("Origin")->toolTip(), QString()); // nested was not opened
        // As File > Open would: read again when asked again, the dialog keeps the name.
        Files_and_Paths->OpenIncludedFile->trigger();
        QCOMPARE(Link_Keywords->LinkChange->count(), 2);
        QCOMPARE(Main->OpenDialog->fileName(), tree.links);
    }

    void valuesNameTheirLine()
    {
        Program program;
        Tree tree;
        QVERIFY(openConfig(tree.main).isEmpty());
        {
            ErrorBoxWatcher boxes; // the missing file and the bad one
            Files_and_Paths->OpenAllIncludedFiles->trigger();
        }
        // The missing file was never read; the bad one up to its bad number.
        QCOMPARE(Main->CodepageLabel->text(),
                 QStringLiteral("4 files read, the last bad.cfg: 3 lines, 0 links, UTF-8"));
        QCOMPARE(text("Sysop")->toolTip(), origin(1, tree.nested));
        QCOMPARE(text("Name")->toolTip(), origin(1, tree.main));
        QCOMPARE(vog::describeOrigin(includes()->originOfLine(1)), origin(3, tree.main));
        QCOMPARE(vog::describeOrigin(includes()->originOfLine(4)), origin(2, tree.links));
        QCOMPARE(vog::describeOrigin(General_Keywords->field<vog::LineList>("Route")->originOfLine(0)),
                 origin(2, tree.routes));

        // A picked link names its lines; a field its record lacks names none.
        Link_Keywords->LinkChange->setCurrentIndex(0);
        Link_Keywords->LinkChangeChange();
        QCOMPARE(Link_Keywords->field<vog::TextField>("Aka")->toolTip(), origin(5, tree.links));
        QCOMPARE(Link_Keywords->field<vog::TextField>("Packer")->toolTip(), QString());

        // What the user types, or a line added by "+", comes from no file.
        QTest::keyClicks(text("Sysop"), "x");
        QCOMPARE(text("Sysop")->toolTip(), QString());
        includes()->appendLine(QStringLiteral("typed.cfg"));
        QVERIFY(!includes()->originOfLine(6).isSet());
    }

    // A tool tip tells what the line says beside its value: the trailing comment, the value
    // after expansion, the lines of the keyword in branches not taken.
    void toolTipsTellTheLine()
    {
        Program program;
        ConfigFixture dir;
        const QString path = dir.write("set HOMEX=/home/fido\nSysop a   # the sysop\n"
                                       "if [OS]==DOS\nSysop b\nendif\nInbound [HOMEX]/in\n"
                                       "link A\nAka 1:1/1\nif [OS]==DOS\nPacker arj\nendif\n"
                                       "link B\nAka 1:1/2\n");
        QVERIFY(openConfig(path).isEmpty());
        QCOMPARE(text("Sysop")->text(), QStringLiteral("a"));
        QCOMPARE(text("Sysop")->toolTip(),
                 origin(2, path) + QStringLiteral("\n# the sysop\nalso ") + origin(4, path)
                         + QStringLiteral(", in a branch not taken"));
        auto *inbound = Files_and_Paths->field<vog::TextField>("Inbound");
        QCOMPARE(inbound->text(), QStringLiteral("[HOMEX]/in"));
        QCOMPARE(inbound->toolTip(), origin(6, path) + QStringLiteral("\n= /home/fido/in"));
        // A link's rows name the lines of its own section alone.
        auto *packer = Link_Keywords->field<vog::TextField>("Packer");
        for (const int link : {0, 1}) {
            Link_Keywords->LinkChange->setCurrentIndex(link);
            Link_Keywords->LinkChangeChange();
            QCOMPARE(packer->toolTip(), link ? QString()
                                             : QStringLiteral("also ") + origin(10, path)
                                                       + QStringLiteral(", in a branch not taken"));
        }
    }

    // File > Module: the names the files compare [module] with; another chosen reads the
    // files again, and the status line tells when the files depend on a module none chose.
    void moduleChosenReadsAgain()
    {
        QStandardPaths::setTestModeEnabled(true);
        vog::chooseModule({});
        Program program;
        ConfigFixture dir;
        const QString path = dir.write("Name n\nif \"[module]\"==\"hub\"\nSysop h\nelse\n"
                                       "Sysop p\nendif\n");
        QVERIFY(openConfig(path).isEmpty());
        QCOMPARE(text("Sysop")->text(), QStringLiteral("p"));
        QCOMPARE(Main->ModuleStatus->text(),
                 QStringLiteral("No module chosen: lines 2-6 of test.cfg depend on [module]"));
        emit Main->ModuleMenu->aboutToShow();
        QStringList items;
        for (const QAction *a : Main->ModuleMenu->actions())
            items << a->text() + (a->isChecked() ? QStringLiteral("*") : QString());
        QCOMPARE(items, (QStringList{"(none)*", "hub"}));
        if (const QByteArray folder = qgetenv("VOG_SCREENSHOTS"); !folder.isEmpty()) {
            Main->grab().save(QString::fromLocal8Bit(folder) + QStringLiteral("/module-status.png"));
            Main->ModuleMenu->popup(Main->mapToGlobal(QPoint(40, 40)));
            QCoreApplication::processEvents();
            Main->ModuleMenu->grab().save(QString::fromLocal8Bit(folder) + QStringLiteral("/module-menu.png"));
            Main->ModuleMenu->hide();
        }
        Main->ModuleMenu->actions().at(1)->trigger();
        QCOMPARE(text("Sysop")->text(), QStringLiteral("h"));
        QCOMPARE(Main->ModuleStatus->text(), QString());
        QCOMPARE(vog::chosenModule(), QByteArray("hub"));
        vog::chooseModule({});
    }
};

QTEST_MAIN(TestIncludes)
#include "tst_includes.moc"
