// Links and echo areas changed from the command line, run as a process on files written here:
// every byte of the file it leaves, what it prints, and that a refusal writes nothing.
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

namespace {

const QByteArray Node = "Sysop Ivan\n"
                        "link Hub\nAka 2:5020/1\nLevel 10\n\n"
                        "link Point\nAka 2:5020/9999.1 2:5020/9999.2\n\n"
                        "EchoArea RU.LINUX /m/linux -b Squish 2:5020/1 2:5020/9999.1\n"
                        "EchoArea RU.PERL /m/perl -g A 2:5020/1 -d \"Perl talk\"\n"
                        "echoarea FIDO.SYSOP Passthrough 2:5020/9999.2\n";

struct Run
{
    int code = -1;
    QByteArray out;
    QByteArray err;
    QByteArray file;
};

} // namespace

class TestScriptLinks final : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;

    Run run(const QByteArray &input, const QStringList &arguments)
    {
        const QString path = m_dir.filePath(QStringLiteral("node.cfg"));
        QFile::remove(path + QStringLiteral(".bak"));
        QFile f(path);
        if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate) || f.write(input) != input.size())
            qFatal("cannot write the file");
        f.close();
        QProcess program;
        program.start(QStringLiteral(VOG_CONFIG_PROGRAM), QStringList(arguments) << path);
        if (!program.waitForFinished(60000))
            qFatal("vog-config did not end");
        Run r{program.exitCode(), program.readAllStandardOutput(), program.readAllStandardError(), {}};
        if (f.open(QIODevice::ReadOnly))
            r.file = f.readAll();
        r.out.replace(path.toUtf8(), "F");
        return r;
    }

private slots:
    // Each call is one save of all its commands, each on what the one before left.
    void saved_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QByteArray>("expected");
        QByteArray point = Node;
        point.replace("\n\nEchoArea", "\n\nlink Point 7\nAka 2:5020/9999.7\nPassword secret\n\nEchoArea")
                .replace("2:5020/1 2:5020/9999.1\n", "2:5020/1 2:5020/9999.1 2:5020/9999.7\n")
                .replace("talk\"\n", "talk\" 2:5020/9999.7\n")
                .replace("Passthrough 2:5020/9999.2\n", "Passthrough 2:5020/9999.2 2:5020/9999.7\n");
        QTest::newRow("a point with a value and areas, in one call")
                << QStringList{"--new-link", "Point 7", "--aka", "2:5020/9999.7", "--link", "Point 7",
                               "--set", "Password=secret", "--subscribe", "2:5020/9999.7", "ru.*", "FIDO.SYS?P"}
                << point;
        QTest::newRow("a link removed, its addresses taken off every area")
                << QStringList{"--remove-link", "Point"}
                << QByteArray(Node).replace("\nlink Point\nAka 2:5020/9999.1 2:5020/9999.2\n", "")
                           .replace(" 2:5020/9999.1\n", "\n").replace(" 2:5020/9999.2\n", "\n");
        QTest::newRow("a link removed, its areas kept")
                << QStringList{"--remove-link", "2:5020/9999.2", "--keep-areas"}
                << QByteArray(Node).replace("\nlink Point\nAka 2:5020/9999.1 2:5020/9999.2\n", "");
        QTest::newRow("a rename")
                << QStringList{"--rename-link", "2:5020/1", "Big Hub"}
                << QByteArray(Node).replace("link Hub", "link Big Hub");
        QTest::newRow("a copy placed after its link, its values with it")
                << QStringList{"--new-link", "Hub 2", "--aka", "2:5020/2", "--like", "Hub"}
                << QByteArray(Node).replace("Level 10\n", "Level 10\n\nlink Hub 2\nAka 2:5020/2\nLevel 10\n");
        QTest::newRow("areas added, changed, removed and unsubscribed")
                << QStringList{"--new-area", "RU.NEW", "/m/new", "--like", "ru.perl", "--new-area", "X.Y", "",
                               "--area", "ru.linux", "--set", "AreaPurge=30", "--unset", "AreaBase",
                               "--set", "AreaDescription=Linux", "--remove-area", "fido.*",
                               "--unsubscribe", "Point", "*"}
                << QByteArray(Node).replace("/m/linux -b Squish 2:5020/1 2:5020/9999.1",
                                            "/m/linux -p 30 -d \"Linux\" 2:5020/1")
                           .replace("echoarea FIDO.SYSOP Passthrough 2:5020/9999.2\n",
                                    "EchoArea RU.NEW /m/new -g A\nEchoArea X.Y Passthrough\n");
    }
    void saved()
    {
        QFETCH(QStringList, arguments);
        QFETCH(QByteArray, expected);
        const Run r = run(Node, arguments);
        QCOMPARE(r.err, QByteArray());
        QCOMPARE(r.code, 0);
        QCOMPARE(r.file, expected);
        QFile bak(m_dir.filePath(QStringLiteral("node.cfg.bak")));
        QVERIFY(bak.open(QIODevice::ReadOnly));
        QCOMPARE(bak.readAll(), Node);
    }

    // A removal leaves the windows' lines inside the section standing, and takes off the areas
    // every address of the link, however its Aka line separates them.
    void removedAroundWindowLines()
    {
        const QByteArray input = "link Hub\nAka 2:5020/1\n\nlink Point\nAka 2:5020/9999.1\t2:5020/9999.2\n"
                                 "Inbound /in\nLevel 3\n\nEchoArea A /a 2:5020/1 2:5020/9999.2\n";
        const Run r = run(input, {"--remove-link", "2:5020/9999.2"});
        QCOMPARE(r.err, QByteArray());
        QCOMPARE(r.file, QByteArray("link Hub\nAka 2:5020/1\nInbound /in\n\nEchoArea A /a 2:5020/1\n"));
    }

    // Patterns match tags without regard to letter case, a ? one character whatever its bytes:
    // an ASCII pattern an ASCII tag as bytes, anything else as text in the file's codepage.
    void patternsAndLetterCase()
    {
        const QByteArray input = "link Hub\nAka 2:5020/1\n\nEchoArea RU.\xd0\xa2\xd0\x95\xd0\xa1\xd0\xa2 /a\n"
                                 "EchoArea Ru.Linux /b\nEchoArea RU.OTHER /c\n";
        const QByteArray both = QByteArray(input).replace(" /a\n", " /a 2:5020/1\n").replace(" /b\n", " /b 2:5020/1\n");
        Run r = run(input, {"--subscribe", "Hub", "ru.????", "rU.L?NUX"});
        QCOMPARE(r.err, QByteArray());
        QCOMPARE(r.file, both);
        r = run(input, {"--subscribe", "Hub", QString::fromUtf8("ru.\xd1\x82\xd0\xb5\xd1\x81*")});
        QCOMPARE(r.err, QByteArray());
        QCOMPARE(r.file, QByteArray(input).replace(" /a\n", " /a 2:5020/1\n"));
    }

    // The preview of a copy in the middle and a new link at the end: the hunks of both, at their
    // lines, nothing between them compared.
    void previewOfEditsFarApart()
    {
        QByteArray input = "link A\nAka 1:1/1\n\nlink B\nAka 1:1/2\n";
        for (int i = 0; i < 40; ++i)
            input += "Route r " + QByteArray::number(i) + "\n";
        input += "\nlink C\nAka 1:1/3\n";
        const Run r = run(input, {"--dry-run", "--new-link", "A2", "--aka", "1:1/9", "--like", "A",
                                  "--new-link", "D", "--aka", "1:1/4"});
        QCOMPARE(r.err, QByteArray());
        QCOMPARE(r.file, input);
        QCOMPARE(r.out, QByteArray("--- F\n+++ F\n@@ -1,6 +1,9 @@\n link A\n Aka 1:1/1\n \n"
                                   "+link A2\n+Aka 1:1/9\n+\n link B\n Aka 1:1/2\n Route r 0\n"
                                   "@@ -46,3 +49,6 @@\n \n link C\n Aka 1:1/3\n+\n+link D\n+Aka 1:1/4\n"));
    }

    // One area a line: tag, kind, path, base, group, addresses, description.
    void listed_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QByteArray>("output");
        QTest::newRow("every area in file order")
                << QStringList{"--areas"}
                << QByteArray("RU.LINUX\tEchoArea\t/m/linux\tSquish\t\t2:5020/1 2:5020/9999.1\t\n"
                              "RU.PERL\tEchoArea\t/m/perl\t\tA\t2:5020/1\tPerl talk\n"
                              "FIDO.SYSOP\tEchoArea\tPassthrough\t\t\t2:5020/9999.2\t\n");
        QTest::newRow("a link's areas, by any of its addresses")
                << QStringList{"--areas", "--link", "Point"}
                << QByteArray("RU.LINUX\tEchoArea\t/m/linux\tSquish\t\t2:5020/1 2:5020/9999.1\t\n"
                              "FIDO.SYSOP\tEchoArea\tPassthrough\t\t\t2:5020/9999.2\t\n");
        QTest::newRow("the window's filter: a description, without regard to case")
                << QStringList{"--areas", "--filter", " PERL T"}
                << QByteArray("RU.PERL\tEchoArea\t/m/perl\t\tA\t2:5020/1\tPerl talk\n");
        QTest::newRow("the filter and a link")
                << QStringList{"--areas", "--filter", "sysop", "--link", "Hub"} << QByteArray();
    }
    void listed()
    {
        QFETCH(QStringList, arguments);
        QFETCH(QByteArray, output);
        const Run r = run(Node, arguments);
        QCOMPARE(r.err, QByteArray());
        QCOMPARE(r.out, output);
        QCOMPARE(r.code, 0);
    }

    // Every refusal of the windows: status 2, the reason, nothing written.
    void refused_data()
    {
        QTest::addColumn<QByteArray>("input");
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QByteArray>("message");
        QTest::newRow("a name another link has")
                << Node << QStringList{"--new-link", "hub", "--aka", "2:1/1"} << QByteArray("The link Hub has this name\n");
        QTest::newRow("an address another link has")
                << Node << QStringList{"--new-link", "X", "--aka", "2:5020/9999.2"} << QByteArray("The link Point has this address\n");
        QTest::newRow("an address that is none")
                << Node << QStringList{"--new-link", "X", "--aka", "2:5020"} << QByteArray("The address reads as zone:net/node");
        QTest::newRow("a rename to another link's name")
                << Node << QStringList{"--rename-link", "Hub", "POINT"} << QByteArray("The link Point has this name\n");
        QTest::newRow("an unknown link")
                << Node << QStringList{"--remove-link", "2:5020/3"} << QByteArray("no link has the name or address 2:5020/3\n");
        QTest::newRow("a pattern that matches nothing, after one that does")
                << Node << QStringList{"--subscribe", "Hub", "RU.*", "RU?"} << QByteArray("no area matches RU?\n");
        QTest::newRow("an unknown area")
                << Node << QStringList{"--area", "RU.NONE", "--set", "AreaPath=/x"} << QByteArray("no area has the tag RU.NONE\n");
        QTest::newRow("a tag another area has")
                << Node << QStringList{"--new-area", "ru.perl", "/x"} << QByteArray("An area has the tag ru.perl\n");
        QTest::newRow("a value no word can carry")
                << Node << QStringList{"--area", "RU.PERL", "--set", "AreaDescription=say \"hi\""}
                << QByteArray("can't hold a quote\n");
        QTest::newRow("a number the field doesn't take")
                << Node << QStringList{"--area", "RU.PERL", "--set", "AreaPurge=-1"} << QByteArray("from 0 to 9999999\n");
        QTest::newRow("a character the codepage can't hold, after a change that could be made")
                << QByteArray("Sysop \xf3\xc9\xd3\xd4\xc5\xcd\xce\xd9\xca \xcf\xd0\xc5\xd2\xc1\xd4\xcf\xd2 \xd5\xda\xcc\xc1\r\n"
                              "link A\r\nAka 2:1/1\r\n")
                << QStringList{"--rename-link", "A", "B", "--new-link", QString::fromUtf8("✓"), "--aka", "2:1/2"}
                << QByteArray("KOI8-R");
        QTest::newRow("an unknown option")
                << Node << QStringList{"--remove-link", "Hub", "--keep-area"} << QByteArray("unknown option --keep-area\n");
        QTest::newRow("an option that goes with another command")
                << Node << QStringList{"--rename-link", "Hub", "X", "--aka", "2:1/1"} << QByteArray("--aka goes right after");
    }
    void refused()
    {
        QFETCH(QByteArray, input);
        QFETCH(QStringList, arguments);
        QFETCH(QByteArray, message);
        const Run r = run(input, arguments);
        QCOMPARE(r.code, 2);
        QCOMPARE(r.out, QByteArray());
        QVERIFY2(r.err.startsWith("vog-config: ") && r.err.contains(message), r.err.constData());
        QCOMPARE(r.file, input);
        QVERIFY(!QFile::exists(m_dir.filePath(QStringLiteral("node.cfg.bak"))));
    }

    // A mistyped option of the windows' command line is told as the program's, not by its path.
    void unknownOptionNamedAsTheProgram()
    {
        QProcess program;
        program.start(QStringLiteral(VOG_CONFIG_PROGRAM), {"--no-such-option"});
        QVERIFY(program.waitForFinished(30000));
        QCOMPARE(program.exitCode(), 2);
        QVERIFY(program.readAllStandardError().startsWith("vog-config: Unknown option 'no-such-option'.\n"));
    }
};

QTEST_GUILESS_MAIN(TestScriptLinks)
#include "tst_script_links.moc"
