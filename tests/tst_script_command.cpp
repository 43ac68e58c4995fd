// The command line for scripts, run as a process on files written here: what it prints, how it
// ends, and every byte of the files it leaves.
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

namespace {

// "Sysop Системный оператор узла" and "Привет мир" in KOI8-R.
const QByteArray Koi8Sysop = "Sysop \xf3\xc9\xd3\xd4\xc5\xcd\xce\xd9\xca \xcf\xd0\xc5\xd2\xc1\xd4\xcf\xd2 \xd5\xda\xcc\xc1";
const QByteArray Koi8Hello = "\xf0\xd2\xc9\xd7\xc5\xd4 \xcd\xc9\xd2";
// Two links, the second inheriting from a LinkDefaults block.
const QByteArray Links = "Sysop Ivan\nlink Hub\nAka 2:5020/1\nLevel 10\n"
                         "LinkDefaults begin\nPacker zip\nLinkDefaults end\n"
                         "link Point\nAka 2:5020/9999.1 2:5020/9999.2\nPause earea\n";

struct Run
{
    int code = -1;
    QByteArray out;
    QByteArray err;
};

QByteArray readAll(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("(missing)");
}

} // namespace

class TestScriptCommand final : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;

    // Writes the files, runs the program with the arguments and the main file's name after them.
    Run run(const QByteArray &main, const QByteArray &included, const QStringList &arguments)
    {
        write(main, included);
        return exec(arguments);
    }
    void write(const QByteArray &main, const QByteArray &included)
    {
        QDir(m_dir.path()).removeRecursively();
        QDir().mkpath(m_dir.path());
        for (const auto &[name, bytes] : {std::pair{"test.cfg", main}, {"sub.cfg", included}}) {
            QFile f(m_dir.filePath(QString::fromLatin1(name)));
            if (!bytes.isNull() && (!f.open(QIODevice::WriteOnly) || f.write(bytes) != bytes.size()))
                qFatal("cannot write %s", name);
        }
    }
    Run exec(const QStringList &arguments)
    {
        QProcess program;
        program.start(QStringLiteral(VOG_CONFIG_PROGRAM), QStringList(arguments) << file());
        if (!program.waitForFinished(60000))
            qFatal("vog-config did not end");
        return {program.exitCode(), program.readAllStandardOutput(), program.readAllStandardError()};
    }
    QString file() const { return m_dir.filePath(QStringLiteral("test.cfg")); }
    QString sub() const { return m_dir.filePath(QStringLiteral("sub.cfg")); }

private slots:
    // --get, --list and --links print what the fields show: exit 1 and nothing when nothing
    // sets the keyword.
    void shown_data()
    {
        QTest::addColumn<QByteArray>("input");
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QByteArray>("output");
        QTest::addColumn<int>("code");
        QTest::newRow("yes shows as On, keyword in any case")
                << QByteArray("AutoPassive yes\n") << QStringList{"--get", "autopassive"} << QByteArray("On\n") << 0;
        QTest::newRow("a radio choice's caption")
                << QByteArray("DupeBaseType textdupes\n") << QStringList{"--get", "DupeBaseType"} << QByteArray("TextDupes\n") << 0;
        QTest::newRow("a number held to its range")
                << QByteArray("AdvisoryLock 250000\n") << QStringList{"--get", "AdvisoryLock"} << QByteArray("100000\n") << 0;
        QTest::newRow("a line list, one value a line")
                << QByteArray("Route a 1\nSysop x\nRoute b 2\n") << QStringList{"--get", "Route"} << QByteArray("a 1\nb 2\n") << 0;
        QTest::newRow("nothing sets it")
                << QByteArray("Sysop x\n") << QStringList{"--get", "Origin"} << QByteArray() << 1;
        QTest::newRow("a link's own value, by its address")
                << Links << QStringList{"--link", "2:5020/1", "--get", "Level"} << QByteArray("10\n") << 0;
        QTest::newRow("an inherited value, by the link's name")
                << Links << QStringList{"--get", "Packer", "--link", "Point"} << QByteArray("zip\n") << 0;
        QTest::newRow("a link that neither sets nor inherits it")
                << Links << QStringList{"--get", "Packer", "--link", "Hub"} << QByteArray() << 1;
        QTest::newRow("every value of a link in the window's order")
                << Links << QStringList{"--list", "--link", "2:5020/9999.2"}
                << QByteArray("Aka=2:5020/9999.1 2:5020/9999.2\nPacker=zip\nPause=earea\n") << 0;
        QTest::newRow("the links with their addresses")
                << Links << QStringList{"--links"} << QByteArray("Hub\t2:5020/1\nPoint\t2:5020/9999.1 2:5020/9999.2\n") << 0;
        QTest::newRow("the last line of a window keyword, read past links and areas")
                << QByteArray("Sysop a\nlink Hub\nAka 2:5020/1\nEchoArea e /x\n\t SYSOP b\nLevel 3\n")
                << QStringList{"--get", "Sysop"} << QByteArray("b\n") << 0;
        QTest::newRow("KOI8-R printed as UTF-8")
                << Koi8Sysop + "\r\n" << QStringList{"--get", "Sysop"} << QString::fromUtf8("Системный оператор узла\n").toUtf8() << 0;
        QTest::newRow("included files read with --include")
                << QByteArray("Sysop a\nInclude sub.cfg\n") << QStringList{"--include", "--list"}
                << QByteArray("Sysop=b\nInclude=sub.cfg\n") << 0;
    }
    void shown()
    {
        QFETCH(QByteArray, input);
        QFETCH(QStringList, arguments);
        QFETCH(QByteArray, output);
        QFETCH(int, code);
        const Run r = run(input, "Sysop b\n", arguments);
        QCOMPARE(r.err, QByteArray());
        QCOMPARE(r.out, output);
        QCOMPARE(r.code, code);
    }

    // Changes are saved as File > Save saves them, one save for all: the whole file compared,
    // the .bak holding the bytes as read, the diff printed.
    void changes_data()
    {
        QTest::addColumn<QByteArray>("input");
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QByteArray>("expected");
        QTest::addColumn<QByteArray>("expectedSub");
        QTest::newRow("a value")
                << QByteArray("Sysop A\nAdvisoryLock  10\n") << QStringList{"--set", "AdvisoryLock=25"}
                << QByteArray("Sysop A\nAdvisoryLock  25\n") << QByteArray();
        QTest::newRow("a link's value")
                << Links << QStringList{"--link", "Hub", "--set", "level=7"}
                << QByteArray(Links).replace("Level 10", "Level 7") << QByteArray();
        QTest::newRow("an inherited value becomes the link's own")
                << Links << QStringList{"--link", "2:5020/9999.1", "--set", "Packer=rar"}
                << Links + "Packer rar\n" << QByteArray();
        QTest::newRow("a link's own value removed, its line alone")
                << Links + "Packer arj\n" << QStringList{"--link", "Point", "--unset", "PACKER"}
                << Links << QByteArray();
        QTest::newRow("several changes in one save")
                << QByteArray("Sysop A\nOrigin o\nRoute r 1\nAreafixKillReports pvt\nDupeBaseType textdupes\n")
                << QStringList{"--set", "Sysop=B", "--unset", "Origin", "--add", "Route=r 2",
                               "--set", "AreafixKillReports=PVT k/s", "--set", "DupeBaseType=hashdupes"}
                << QByteArray("Sysop B\nRoute r 1\nRoute r 2\nAreafixKillReports pvt k/s\nDupeBaseType hashdupes\n")
                << QByteArray();
        QTest::newRow("a KOI8-R file with CR LF")
                << Koi8Sysop + "\r\nOrigin x\r\n" << QStringList{"--set", QString::fromUtf8("Origin=Привет мир")}
                << Koi8Sysop + "\r\nOrigin " + Koi8Hello + "\r\n" << QByteArray();
        QTest::newRow("a value no line sets, after its window's last line past links and areas")
                << QByteArray("Sysop A\nlink Hub\nAka 2:5020/1\nRoute r 1\nInbound /in\nEchoArea a /x\n")
                << QStringList{"--set", "Origin=o"}
                << QByteArray("Sysop A\nlink Hub\nAka 2:5020/1\nRoute r 1\nOrigin o\nInbound /in\nEchoArea a /x\n")
                << QByteArray();
        QTest::newRow("--dry-run writes nothing")
                << QByteArray("Sysop A\n") << QStringList{"--dry-run", "--set", "Sysop=B"}
                << QByteArray("Sysop A\n") << QByteArray();
        QTest::newRow("an included file written with --include")
                << QByteArray("Include sub.cfg\n") << QStringList{"--include", "--set", "Sysop=c"}
                << QByteArray("Include sub.cfg\n") << QByteArray("Sysop c\n");
    }
    void changes()
    {
        QFETCH(QByteArray, input);
        QFETCH(QByteArray, expected);
        QFETCH(QByteArray, expectedSub);
        QFETCH(QStringList, arguments);
        const QByteArray included = "Sysop b\n";
        const Run r = run(input, included, arguments);
        QCOMPARE(r.err, QByteArray());
        QCOMPARE(r.code, 0);
        QCOMPARE(readAll(file()), expected);
        QCOMPARE(readAll(sub()), expectedSub.isNull() ? included : expectedSub);
        const bool main = expected != input;
        const QString changed = main || expectedSub.isNull() ? file() : sub();
        QCOMPARE(readAll(changed + ".bak"), main || !expectedSub.isNull() ? (main ? input : included)
                                                                          : QByteArray("(missing)"));
        // The diff names the file changed, written or not.
        QVERIFY2(r.out.startsWith("--- " + changed.toUtf8() + "\n+++ " + changed.toUtf8() + "\n@@ "),
                 r.out.constData());
    }

    // Every error ends with status 2, a message and nothing written.
    void refused_data()
    {
        QTest::addColumn<QByteArray>("input");
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QByteArray>("message");
        QTest::newRow("a character KOI8-R lacks")
                << Koi8Sysop + "\r\n" << QStringList{"--set", QString::fromUtf8("Sysop=✓")} << QByteArray("KOI8-R");
        QTest::newRow("a number outside the range")
                << QByteArray("Sysop A\n") << QStringList{"--set", "Sysop=B", "--set", "AdvisoryLock=100001"}
                << QByteArray("AdvisoryLock: \"100001\" can't be set: the field takes a whole number from 0 to 100000");
        QTest::newRow("a number that is not whole")
                << QByteArray("Sysop A\n") << QStringList{"--set", "AdvisoryLock=1.5"} << QByteArray("AdvisoryLock");
        QTest::newRow("a word On/Off doesn't take")
                << QByteArray("Sysop A\n") << QStringList{"--set", "AutoPassive=yes"} << QByteArray("takes On or Off");
        QTest::newRow("no such caption")
                << QByteArray("Sysop A\n") << QStringList{"--set", "DupeBaseType=hash"} << QByteArray("takes TextDupes, ");
        QTest::newRow("no such box")
                << QByteArray("Sysop A\n") << QStringList{"--set", "AreafixKillReports=pvt x"} << QByteArray("has no box x");
        QTest::newRow("an unknown keyword")
                << QByteArray("Sysop A\n") << QStringList{"--set", "Sysops=B"} << QByteArray("unknown keyword Sysops");
        QTest::newRow("an unknown link")
                << Links << QStringList{"--link", "2:5020/2", "--set", "Level=1"} << QByteArray("no link has");
        QTest::newRow("a link's keyword without a link")
                << Links << QStringList{"--get", "Level"} << QByteArray("name the link with --link");
        QTest::newRow("a line added to a single value")
                << QByteArray("Sysop A\n") << QStringList{"--add", "Sysop=B"} << QByteArray("use --set");
        QTest::newRow("a file that can't be read")
                << QByteArray() << QStringList{"--get", "Sysop"} << QByteArray("vog-config: ");
        QTest::newRow("a number that doesn't convert, asked for")
                << QByteArray("AdvisoryLock ten\n") << QStringList{"--get", "AdvisoryLock"} << QByteArray("'ten'");
    }
    void refused()
    {
        QFETCH(QByteArray, input);
        QFETCH(QStringList, arguments);
        QFETCH(QByteArray, message);
        const Run r = run(input, {}, arguments);
        QCOMPARE(r.code, 2);
        QCOMPARE(r.out, QByteArray());
        QVERIFY2(r.err.startsWith("vog-config: ") && r.err.contains(message),
                 r.err.constData());
        QCOMPARE(readAll(file()), input.isNull() ? QByteArray("(missing)") : input);
        QVERIFY(!QFile::exists(file() + ".bak"));
    }

    // --check reads on past every problem and names each at its line, in the order of the lines.
    void check()
    {
        const QByteArray input = "Sysop A\nAdvisoryLock 12x\nAreafixMsgSize 200000\n"
                                 "AreafixKillReports pvt bogus\nAutoPassive true\n"
                                 "BundleNameStyle addrdiff weird\nSysop B\nlink One\nAka 2:1/1\n"
                                 "Level abc\nlink Two\nAka 2:1/2 2:1/1\nlink Three\nLevel -3\n";
        const QString f = m_dir.filePath(QStringLiteral("test.cfg"));
        const QString expected = QStringLiteral(
                "F:1: Sysop is set again at line 7, which counts\n"
                "F:2: AdvisoryLock: \"12x\" is not a whole number\n"
                "F:3: AreafixMsgSize: 200000 is above the field's highest 100000, which it shows\n"
                "F:4: AreafixKillReports: no box takes \"bogus\"\n"
                "F:5: AutoPassive: \"true\" is none of on, yes, off, no; the field shows Off\n"
                "F:6: BundleNameStyle: no option takes \"weird\"\n"
                "F:10: Level: \"abc\" is not a whole number\n"
                "F:12: Aka 2:1/1 is also the address of link One (line 9 of F)\n"
                "F:13: link Three has no Aka\n"
                "F:14: Level: -3 is below the field's lowest 0, which it shows\n").replace("F", f);
        Run r = run(input, {}, {"--check"});
        QCOMPARE(r.err, QByteArray());
        QCOMPARE(QString::fromUtf8(r.out), expected);
        QCOMPARE(r.code, 1);
        r = run(Links, {}, {"--check"});
        QCOMPARE(r.out + r.err, QByteArray());
        QCOMPARE(r.code, 0);
    }

    // --check reads the lines as the tosser does: a keyword alone that needs a value, unpaired
    // conditions, names nothing defines, an address that is none; Address may stand again,
    // and a branch not taken sets nothing twice.
    void checkKnowsTheFormat()
    {
        const QByteArray input = "Address 2:5020/1\nAddress 2:5020/1.1@fidonet\nif [module]==hub\n"
                                 "Sysop a\nelse\nSysop b\nendif\nAddress\nlink\nset HOME_X=/fido\n"
                                 "Inbound [HOME_X]/in [NOPE_UNSET_NAME]\nCommentChar ##\nendif\n"
                                 "LogEchoToScreen\nlink A\nAka MY-ADDRESS\nifdef X_SET_NOWHERE\n";
        const QString expected = QStringLiteral(
                "F:8: Address has no value\n"
                "F:9: Link has no value\n"
                "F:11: [NOPE_UNSET_NAME] is defined by no set line and not in the environment\n"
                "F:12: CommentChar takes one character\n"
                "F:13: endif without if\n"
                "F:16: Aka: \"MY-ADDRESS\" is not an address (zone:net/node[.point][@domain])\n"
                "F:17: if without endif\n").replace("F", file());
        const Run r = run(input, {}, {"--check"});
        QCOMPARE(r.err, QByteArray());
        QCOMPARE(QString::fromUtf8(r.out), expected);
        QCOMPARE(r.code, 1);
    }

    // An included file is named after its variables are expanded; one that can't be read is
    // told on standard error, and the rest is read.
    void includesNamedByVariables()
    {
        write("set PARTS=parts\nInclude [PARTS]/a.cfg\nInclude missing/none.cfg\nInclude sub.cfg\n",
              "Sysop b\n");
        QDir(m_dir.path()).mkdir(QStringLiteral("parts"));
        QFile part(m_dir.filePath(QStringLiteral("parts/a.cfg")));
        QVERIFY(part.open(QIODevice::WriteOnly) && part.write("Origin o\n") == 9);
        part.close();
        const Run r = exec({"--include", "--list"});
        QCOMPARE(QString::fromUtf8(r.err),
                 QStringLiteral("vog-config: %1:3: missing/none.cfg can't be read: No such file "
                                "or directory\n").arg(file()));
        QCOMPARE(r.out, QByteArray("Origin=o\nSysop=b\nInclude=[PARTS]/a.cfg\nInclude=missing/none.cfg\n"
                                   "Include=sub.cfg\n"));
        QCOMPARE(r.code, 0);
    }
};

QTEST_GUILESS_MAIN(TestScriptCommand)
#include "tst_script_command.moc"
