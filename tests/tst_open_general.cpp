// File > Open into the General Keywords window: the reader's frame on real rows, every value
// kind, and the errors that end the command.
#include "TestSupport.h"

#include "editors/TGeneral_Keywords.h"
#include "fields/ChoiceField.h"
#include "fields/FileOpenDialog.h"
#include "fields/LineList.h"
#include "fields/NumberField.h"
#include "fields/RadioChoice.h"
#include "shell/Startup.h"
#include "fields/TextField.h"
#include "shell/TMain.h"

#include <QCheckBox>
#include <QLabel>
#include <QMenu>
#include <QRadioButton>
#include <QScrollArea>
#include <QFileDialog>
#include <QtTest>

#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

using Expected = QList<QPair<QString, QString>>; // field name, state (see fieldState)

namespace {
bool n6Enabled()
{
    return Main->N6->menuAction()->isEnabled();
}
} // namespace

class TestOpenGeneral final : public QObject
{
    Q_OBJECT

private slots:
    void initialState()
    {
        Program program;
        const QList<QWidget *> fields = General_Keywords->findChildren<QWidget *>();
        int choices = 0;
        for (QWidget *w : fields) {
            if (auto *c = qobject_cast<vog::ChoiceField *>(w)) {
                ++choices;
                QCOMPARE(c->currentText(), QString());
                QCOMPARE(c->currentIndex(), -1);
                QCOMPARE(c->count(), 2);
            }
            if (auto *n = qobject_cast<vog::NumberField *>(w))
                QCOMPARE(n->value(), 0);
            if (auto *t = qobject_cast<vog::TextField *>(w))
                QCOMPARE(t->text(), QString());
            if (auto *l = qobject_cast<vog::LineList *>(w))
                QCOMPARE(l->lineCount(), 0);
            if (auto *b = qobject_cast<QCheckBox *>(w))
                QVERIFY(!b->isChecked());
        }
        QCOMPARE(choices, 17);
        for (vog::RadioChoice *r : {General_Keywords->field<vog::RadioChoice>("BundleNameStyle"),
                                    General_Keywords->field<vog::RadioChoice>("KludgeAreaNetmail"),
                                    General_Keywords->field<vog::RadioChoice>("LinkWithImportLog")})
            QCOMPARE(r->selectedOption(), -1);
        QCOMPARE(General_Keywords->findChildren<vog::TextField *>().size(), 24);
        QCOMPARE(General_Keywords->findChildren<vog::LineList *>().size(), 6);
        QCOMPARE(General_Keywords->findChildren<vog::NumberField *>().size(), 5);
        QCOMPARE(General_Keywords->findChildren<QCheckBox *>().size(), 21);
    }

    void rowsLabelsAndItems_data()
    {
        QTest::addColumn<QString>("field");
        QTest::addColumn<QString>("label");
        QTest::addColumn<QStringList>("items");
        QTest::addColumn<int>("maximum");
        QTest::newRow("text") << "AddToSeen" << "AddToSeen   " + QString(43, '.') << QStringList{} << 0;
        QTest::newRow("On/Off") << "AreafixQueryReports" << "AreafixQueryReports   " + QString(10, '.')
                                << QStringList{"On", "Off"} << 0;
        QTest::newRow("Lower/Upper") << "CreateAreasCase" << "CreateAreasCase   " + QString(25, '.')
                                     << QStringList{"Lower", "Upper"} << 0;
        QTest::newRow("number 100000") << "AreafixMsgSize" << "AreafixMsgSize   " + QString(29, '.')
                                       << QStringList{} << 100000;
        QTest::newRow("number 1000000") << "ForwardRequestTimeout"
                                        << "ForwardRequestTimeout   " + QString(13, '.')
                                        << QStringList{} << 1000000;
        QTest::newRow("radio") << "BundleNameStyle" << "BundleNameStyle"
                               << QStringList{"timeStamp", "addrDiff", "addrsCRC32",
                                              "addrDiffAlways", "addrsCRC32Always", "Amiga"}
                               << 0;
        QTest::newRow("line list") << "Pack" << "Pack" << QStringList{} << 0;
        QTest::newRow("flags") << "AreafixKillReports" << "AreafixKillReports" << QStringList{} << 0;
    }

    void rowsLabelsAndItems()
    {
        QFETCH(QString, field);
        QFETCH(QString, label);
        QFETCH(QStringList, items);
        QFETCH(int, maximum);
        Program program;
        auto *w = General_Keywords->findChild<QWidget *>(field);
        QVERIFY(w);
        QLabel *caption = nullptr;
        for (QLabel *l : General_Keywords->findChildren<QLabel *>())
            if (l->buddy() == w)
                caption = l;
        QVERIFY(caption);
        QCOMPARE(caption->text(), label);
        if (auto *c = qobject_cast<QComboBox *>(w)) {
            QStringList shown;
            for (int i = 0; i < c->count(); ++i)
                shown.append(c->itemText(i));
            QCOMPARE(shown, items);
        }
        if (auto *r = qobject_cast<vog::RadioChoice *>(w)) {
            QStringList shown;
            for (int i = 0; i < r->optionCount(); ++i)
                shown.append(r->caption(i));
            QCOMPARE(shown, items);
        }
        if (auto *n = qobject_cast<vog::NumberField *>(w)) {
            QCOMPARE(n->maximum(), maximum);
            QCOMPARE(n->minimum(), 0);
        }
    }

    void radioOptionsFillColumnsTopToBottom()
    {
        Program program;
        vog::RadioChoice *r = General_Keywords->field<vog::RadioChoice>("BundleNameStyle");
        General_Keywords->show();
        QApplication::processEvents();
        auto pos = [&](int i) { return r->option(i)->geometry().topLeft(); };
        QCOMPARE(pos(0).x(), pos(1).x());
        QVERIFY(pos(0).y() < pos(1).y());
        QVERIFY(pos(2).x() > pos(0).x());
        QCOMPARE(pos(2).y(), pos(0).y());
        QCOMPARE(pos(3).x(), pos(2).x());
        QVERIFY(pos(4).x() > pos(2).x());
        QCOMPARE(pos(5).x(), pos(4).x());
    }

    void appliesLines_data()
    {
        QTest::addColumn<QByteArray>("config");
        QTest::addColumn<Expected>("expected");
        QTest::newRow("comments, a trailing one too")
            << QByteArray("# Address 1\n   #Address 2\naddress 1 # main\n")
            << Expected{{"Address", "1"}};
        QTest::newRow("upper case and two blanks") << QByteArray("ADDRESS  1\n")
                                                   << Expected{{"Address", "1"}};
        QTest::newRow("a text keyword alone changes nothing; a tab separates")
            << QByteArray("Name Vog\nname\nsysop\tOther\n") << Expected{{"Name", "Vog"}, {"Sysop", "Other"}};
        QTest::newRow("inner blanks kept") << QByteArray("AddToSeen   a b  c   \n")
                                           << Expected{{"AddToSeen", "a b  c"}};
        QTest::newRow("keyword inside a value")
            << QByteArray("origin sysop station\n")
            << Expected{{"Origin", "sysop station"}, {"Sysop", ""}};
        QTest::newRow("last occurrence decides") << QByteArray("Name A\nName B\n")
                                                 << Expected{{"Name", "B"}};
        QTest::newRow("CR LF and LF alike")
            << QByteArray("Name A\r\nSysop B\r\nOrigin C\n")
            << Expected{{"Name", "A"}, {"Sysop", "B"}, {"Origin", "C"}};
        QTest::newRow("lone CR dropped") << QByteArray("Name My\rStation\n")
                                         << Expected{{"Name", "MyStation"}};
        QTest::newRow("Ctrl-Z ends the file") << QByteArray("Name A\n\x1aSysop B\n")
                                              << Expected{{"Name", "A"}, {"Sysop", ""}};
        QTest::newRow("last line without end") << QByteArray("Sysop Ivan")
                                               << Expected{{"Sysop", "Ivan"}};
        QTest::newRow("On/Off") << QByteArray("NoProcessBundles Yes\nAutoPassive on\n"
                                              "DisableTID 1\nDisablePID true\nKeepTrsMail enabled\n"
                                              "KeepTrsFiles YES\n")
                                << Expected{{"NoProcessBundles", "On"}, {"AutoPassive", "On"},
                                            {"DisableTID", "Off"}, {"DisablePID", "Off"},
                                            {"KeepTrsMail", "Off"}, {"KeepTrsFiles", "On"}};
        QTest::newRow("Inverted On/Off No") << QByteArray("PackNetMailOnScan No\n")
                                            << Expected{{"PackNetMailOnScan", "Off"}};
        QTest::newRow("Inverted On/Off 0") << QByteArray("PackNetMailOnScan 0\n")
                                           << Expected{{"PackNetMailOnScan", "On"}};
        QTest::newRow("Inverted On/Off yes") << QByteArray("PackNetMailOnScan yes\n")
                                             << Expected{{"PackNetMailOnScan", "On"}};
        QTest::newRow("Lower/Upper") << QByteArray("AreasFileNameCase UPPER\nCreateAreasCase mixed\n")
                                     << Expected{{"AreasFileNameCase", "Upper"},
                                                 {"CreateAreasCase", "Lower"}};
        QTest::newRow("numbers clamp")
            << QByteArray("AreafixMsgSize 250000\nDefArcmailSize -5\nKilledRequestTimeout 60\n"
                          "ForwardRequestTimeout 2000000\nIdlePassthruTimeout $10\n")
            << Expected{{"AreafixMsgSize", "100000"}, {"DefArcmailSize", "0"},
                        {"KilledRequestTimeout", "60"}, {"ForwardRequestTimeout", "1000000"},
                        {"IdlePassthruTimeout", "16"}};
        QTest::newRow("bundle name styles")
            << QByteArray("BundleNameStyle addrDiffAlways\n") << Expected{{"BundleNameStyle", "3"}};
        QTest::newRow("bundle name style CRC32 always")
            << QByteArray("BundleNameStyle AddrsCRC32Always\n") << Expected{{"BundleNameStyle", "4"}};
        QTest::newRow("bundle name style Amiga") << QByteArray("BundleNameStyle Amiga\n")
                                                 << Expected{{"BundleNameStyle", "5"}};
        QTest::newRow("bundle name style other resets to 0")
            << QByteArray("BundleNameStyle Amiga\nBundleNameStyle other\n")
            << Expected{{"BundleNameStyle", "0"}};
        QTest::newRow("bundle name style list order") << QByteArray("BundleNameStyle amiga addrdiff\n")
                                                      << Expected{{"BundleNameStyle", "5"}};
        QTest::newRow("import log none") << QByteArray("LinkWithImportLog none\n")
                                         << Expected{{"LinkWithImportLog", "1"}};
        QTest::newRow("import log no kill") << QByteArray("LinkWithImportLog no kill\n")
                                            << Expected{{"LinkWithImportLog", "2"}};
        QTest::newRow("netmail kludge") << QByteArray("KludgeAreaNetmail Echomail\n")
                                        << Expected{{"KludgeAreaNetmail", "2"}};
        QTest::newRow("netmail kludge drop") << QByteArray("KludgeAreaNetmail drop\n")
                                             << Expected{{"KludgeAreaNetmail", "0"}};
        QTest::newRow("flags set anew each time")
            << QByteArray("AreafixKillReports crash read\nAreafixKillReports pvt k/s dir\n")
            << Expected{{"AreafixKillReports", "afkr_pvt afkr_k_s afkr_dir"}};
        QTest::newRow("flags inside words") << QByteArray("AreafixKillReports Direct\n")
                                            << Expected{{"AreafixKillReports", "afkr_dir"}};
        QTest::newRow("line lists keep case and order")
            << QByteArray("Pack zip Zip -9 $a $f\nRoute crash 2:5020/1\nPack Rar rar a $a $f\n")
            << Expected{{"Pack", "zip Zip -9 $a $f|Rar rar a $a $f"}, {"Route", "crash 2:5020/1"}};
        QTest::newRow("every line list")
            << QByteArray("Remap a\nRouteFile b\nRouteMail c\nUnpack d\n")
            << Expected{{"Remap", "a"}, {"RouteFile", "b"}, {"RouteMail", "c"}, {"Unpack", "d"}};
        QTest::newRow("text keeps case") << QByteArray("Name My Station\nname\n")
                                         << Expected{{"Name", "My Station"}};
        QTest::newRow("UTF-8 value") << QByteArray("Sysop Иван Петров\n")
                                     << Expected{{"Sysop", "Иван Петров"}};
        QTest::newRow("8-bit value kept byte for byte") << QByteArray("Sysop \x88\xa2\xa0\xad\n")
                                                        << Expected{{"Sysop", QString::fromLatin1("\x88\xa2\xa0\xad")}};
    }

    void appliesLines()
    {
        QFETCH(QByteArray, config);
        QFETCH(Expected, expected);
        Program program;
        ConfigFixture files;
        QCOMPARE(openConfig(files.write(config)).size(), 0);
        for (const auto &[field, state] : expected)
            QCOMPARE(fieldState(General_Keywords, field), state);
    }

    void emptyAndCommentOnlyFilesEnableConfigurator_data()
    {
        QTest::addColumn<QByteArray>("config");
        QTest::newRow("empty") << QByteArray();
        QTest::newRow("comments") << QByteArray("# one\n  # two\n");
    }

    void emptyAndCommentOnlyFilesEnableConfigurator()
    {
        QFETCH(QByteArray, config);
        Program program;
        ConfigFixture files;
        QVERIFY(!n6Enabled());
        QVERIFY(openConfig(files.write(config)).isEmpty());
        QVERIFY(n6Enabled());
        QCOMPARE(fieldState(General_Keywords, "Name"), QString());
        QCOMPARE(fieldState(General_Keywords, "AreafixMsgSize"), QStringLiteral("0"));
    }

    void openingTwiceAddsToWhatIsThere()
    {
        Program program;
        ConfigFixture files;
        const QString first = files.write("Pack zip a\nName One\nSysop Ivan\n", "one.cfg");
        const QString second = files.write("Pack rar b\nName Two\n", "two.cfg");
        openConfig(first);
        openConfig(second);
        QCOMPARE(fieldState(General_Keywords, "Pack"), QStringLiteral("zip a|rar b"));
        QCOMPARE(fieldState(General_Keywords, "Name"), QStringLiteral("Two"));
        QCOMPARE(fieldState(General_Keywords, "Sysop"), QStringLiteral("Ivan"));
        // Cancelling the dialog reads the file chosen last again.
        QVERIFY(openCancelled().isEmpty());
        QCOMPARE(fieldState(General_Keywords, "Pack"), QStringLiteral("zip a|rar b|rar b"));
    }

    void userEditsStayUntilAKeywordSetsThem()
    {
        Program program;
        ConfigFixture files;
        General_Keywords->field<vog::LineList>("Pack")->appendLine(QStringLiteral("typed"));
        General_Keywords->field<vog::TextField>("Origin")->setText(QStringLiteral("typed origin"));
        openConfig(files.write("Pack zip\nName x\n"));
        QCOMPARE(fieldState(General_Keywords, "Pack"), QStringLiteral("typed|zip"));
        QCOMPARE(fieldState(General_Keywords, "Origin"), QStringLiteral("typed origin"));
    }

    void numberErrorEndsTheCommandAtItsLine()
    {
        Program program;
        ConfigFixture files;
        // The number's own line before the one that stops the read is what it shows.
        QByteArray config = "AreafixMsgSize 7\n";
        for (int i = 1; i <= 9; ++i)
            config += "Route r" + QByteArray::number(i) + "\n";
        config += "AreafixMsgSize abc\nName after\nRoute r11\n";
        const QList<ShownError> errors = openConfig(files.write(config));
        QCOMPARE(errors.size(), 1);
        QCOMPARE(errors[0].text, QStringLiteral("'abc' is not a valid whole number (line 11)."));
        QCOMPARE(fieldState(General_Keywords, "AreafixMsgSize"), QStringLiteral("7"));
        const QWidget *size = General_Keywords->form()->fieldWidget(*vog::rowNamed("AreafixMsgSize"));
        QVERIFY(size->toolTip().startsWith(QStringLiteral("line 1 of ")));
        QCOMPARE(errors[0].icon, QMessageBox::Critical);
        QCOMPARE(errors[0].title, QStringLiteral("tst_open_general"));
        QCOMPARE(General_Keywords->field<vog::LineList>("Route")->lineCount(), 9);
        QCOMPARE(General_Keywords->field<vog::LineList>("Route")->lines().last(), QStringLiteral("r9"));
        QCOMPARE(fieldState(General_Keywords, "Name"), QString());
        QVERIFY(n6Enabled());
    }

    void openErrors_data()
    {
        QTest::addColumn<QString>("name"); // relative to a temporary folder; "" for none
        QTest::addColumn<QString>("message");
        QTest::newRow("missing file") << "missing.cfg" << "File not found.";
        QTest::newRow("missing folder") << "nofolder/missing.cfg" << "Invalid filename.";
        QTest::newRow("a file as a folder") << "plain.cfg/x.cfg" << "Invalid filename.";
        QTest::newRow("a folder") << "folder" << "File access denied.";
        QTest::newRow("symlink loop") << "loop" << QStringLiteral("I/O error %1.").arg(ELOOP);
        // Never a hang on something that is no regular file.
        QTest::newRow("a FIFO") << "fifo" << "File access denied.";
        QTest::newRow("a device") << "/dev/zero" << "File access denied.";
    }

    void openErrors()
    {
        QFETCH(QString, name);
        QFETCH(QString, message);
        Program program;
        ConfigFixture files;
        files.write("Name x\n", "plain.cfg");
        QDir(files.path(QString())).mkdir("folder");
        QFile::link(files.path("loop"), files.path("loop"));
        QCOMPARE(::mkfifo(QFile::encodeName(files.path("fifo")).constData(), 0600), 0);
        const QList<ShownError> errors =
            openConfig(name.startsWith('/') ? name : files.path(name));
        QCOMPARE(errors.size(), 1);
        QCOMPARE(errors[0].text, message);
        QCOMPARE(errors[0].icon, QMessageBox::Critical);
        QCOMPARE(errors[0].title, QStringLiteral("tst_open_general"));
        QVERIFY(!n6Enabled());
    }

    void failedOpenAfterAGoodOneKeepsEverything()
    {
        Program program;
        ConfigFixture files;
        openConfig(files.write("Name kept\nPack zip\n"));
        QCOMPARE(openConfig(files.path("missing.cfg")).size(), 1);
        QVERIFY(n6Enabled());
        QCOMPARE(fieldState(General_Keywords, "Name"), QStringLiteral("kept"));
        QCOMPARE(fieldState(General_Keywords, "Pack"), QStringLiteral("zip"));
    }

    // Cancelled before any file was ever chosen: a missing file, and no wait for input.
    void cancelBeforeAnyChoiceIsAMissingFile()
    {
        Program program;
        const QList<ShownError> errors = openCancelled();
        QCOMPARE(errors.size(), 1);
        QCOMPARE(errors[0].text, QStringLiteral("File not found."));
        QVERIFY(!n6Enabled());
    }

    void tooManyOpenFiles()
    {
        Program program;
        ConfigFixture files;
        const QString name = files.write("Name x\n");
        rlimit old;
        QCOMPARE(getrlimit(RLIMIT_NOFILE, &old), 0);
        QList<int> held;
        rlimit tight = old;
        tight.rlim_cur = 64;
        QCOMPARE(setrlimit(RLIMIT_NOFILE, &tight), 0);
        for (int fd; (fd = ::open("/dev/null", O_RDONLY)) >= 0;)
            held.append(fd);
        vog::FileOpenDialog::setNextAnswer(name);
        ErrorBoxWatcher watcher;
        Main->N2Click();
        for (int fd : held)
            ::close(fd);
        setrlimit(RLIMIT_NOFILE, &old);
        QVERIFY(!watcher.shown().isEmpty());
        QCOMPARE(watcher.shown()[0].text, QStringLiteral("Too many open files."));
        QVERIFY(!n6Enabled());
    }

    void fileIsClosedWhenTheCommandEnds()
    {
        Program program;
        ConfigFixture files;
        const QString good = files.write("Name x\n", "good.cfg");
        const QString bad = files.write("Name y\nAreafixMsgSize q\n", "bad.cfg");
        auto openDescriptors = [] { return QDir("/proc/self/fd").entryList(QDir::NoDotAndDotDot | QDir::System | QDir::Files).size(); };
        const int before = openDescriptors();
        openConfig(good);
        QCOMPARE(openDescriptors(), before);
        QCOMPARE(openConfig(bad).size(), 1);
        QCOMPARE(openDescriptors(), before);
    }

    // The real dialog, driven as a user would: pick the file, confirm.
    void openThroughTheRealDialog()
    {
        Program program;
        ConfigFixture files;
        const QString name = files.write("Name Through the dialog\n");
        whenModal<QFileDialog>(
            [&](QFileDialog *dialog) {
                dialog->selectFile(name);
                QMetaObject::invokeMethod(dialog, "accept", Qt::QueuedConnection);
            },
            [] { Main->N2Click(); });
        QCOMPARE(Main->OpenDialog->fileName(), name);
        QCOMPARE(fieldState(General_Keywords, "Name"), QStringLiteral("Through the dialog"));
        QVERIFY(n6Enabled());

        // Cancelling the real dialog reads the same file again, as it now stands.
        files.write("Name Read again\n");
        whenModal<QFileDialog>([](QFileDialog *dialog) { dialog->reject(); },
                               [] { Main->N2Click(); });
        QCOMPARE(fieldState(General_Keywords, "Name"), QStringLiteral("Read again"));
    }

    void scrollsFromTopToBottom()
    {
        Program program;
        General_Keywords->show();
        QApplication::processEvents();
        General_Keywords->scrollToBottom();
        QApplication::processEvents();
        const QRect view = General_Keywords->scrollArea()->viewport()->rect();
        auto visible = [&](QWidget *field) {
            const QPoint p = field->mapTo(General_Keywords->scrollArea()->viewport(), QPoint(0, 0));
            return view.intersects(QRect(p, field->size()));
        };
        QVERIFY(visible(General_Keywords->field<vog::LineList>("Unpack")));
        QVERIFY(!visible(General_Keywords->field<vog::TextField>("AddToSeen")));
        General_Keywords->scrollToTop();
        QApplication::processEvents();
        QVERIFY(visible(General_Keywords->field<vog::TextField>("AddToSeen")));
        QVERIFY(!visible(General_Keywords->field<vog::LineList>("Unpack")));
    }
};

QTEST_MAIN(TestOpenGeneral)
#include "tst_open_general.moc"
