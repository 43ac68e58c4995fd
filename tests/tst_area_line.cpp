// An area line split into its words and written back with a change: the words each role
// takes, and the bytes a change writes, every other byte kept.

#include "reader/AreaLine.h"
#include "reader/Errors.h"

#include <QtTest>

using namespace vog;

namespace {

// The state as one text: kind|tag|path|fields by "," |options by " "|links by ";".
QString summary(const AreaState &s)
{
    QStringList fields(std::begin(s.fields), std::end(s.fields));
    QStringList links;
    for (const AreaLink &l : s.links)
        links.append(l.shown());
    return QStringList{QLatin1String(areaKindName(s.kind())), s.tag, s.path, fields.join(u','),
                       s.options.join(u' '), links.join(u';')}
            .join(u'|');
}

// Changes written "key=value" a line: tag, path, b p $m a g d (the fields), o (the options
// as typed), +ADDRESS (a link added, flags after a blank), -ADDRESS (a link removed),
// ~ADDRESS=FLAGS (a link's flags set).
void change(AreaState &s, const QString &steps)
{
    static const QStringList keys{"b", "p", "$m", "a", "g", "d"};
    for (const QString &step : steps.split(u'\n')) {
        const QString key = step.section(u'=', 0, 0);
        const QString value = step.section(u'=', 1);
        if (step.startsWith(u'~'))
            s.links[std::size_t(s.linkIndex(key.mid(1)))].flags =
                    value.split(u' ', Qt::SkipEmptyParts);
        else if (key == QLatin1String("tag"))
            s.tag = value;
        else if (key == QLatin1String("path"))
            s.path = value;
        else if (key == QLatin1String("o"))
            s.options = splitAreaWords(value);
        else if (keys.contains(key))
            s.fields[keys.indexOf(key)] = value;
        else if (step.startsWith(u'+'))
            s.links.push_back({step.mid(1).section(u' ', 0, 0),
                               step.mid(1).section(u' ', 1).split(u' ', Qt::SkipEmptyParts)});
        else if (step.startsWith(u'-'))
            s.links.erase(s.links.begin() + s.linkIndex(step.mid(1)));
    }
}

} // namespace

class TestAreaLine final : public QObject
{
    Q_OBJECT
private slots:
    void recognised_data()
    {
        QTest::addColumn<QByteArray>("line");
        QTest::addColumn<QString>("expected"); // the summary, or empty for no area line
        // clang-format off
        QTest::newRow("echo area, every kind of word")
            << QByteArray("EchoArea RU.GENERAL /var/ru.general -b Squish -p 14 -$m 500 -a 2:5020/1 -g A -d \"Russian talk\" -h -lr 5 keep 2:5020/7 -r -W 2:5020/8.1@fidonet -def -manual")
            << "EchoArea|RU.GENERAL|/var/ru.general|Squish,14,500,2:5020/1,A,Russian talk|-h -lr 5 keep -manual|2:5020/7 -r -W;2:5020/8.1@fidonet -def";
        QTest::newRow("any case, tabs between words, blanks around")
            << QByteArray("  \tlocalAREA  Local\t\tPassthrough  -D \"a  b\"\t ")
            << "LocalArea|Local|Passthrough|,,,,,a  b||";
        QTest::newRow("netmail, bad and dupe")
            << QByteArray("NetmailArea NETMAIL /n -b Msg") << "NetmailArea|NETMAIL|/n|Msg,,,,,||";
        QTest::newRow("bad") << QByteArray("BADAREA BAD /b") << "BadArea|BAD|/b|,,,,,||";
        QTest::newRow("dupe, a quote open to the end")
            << QByteArray("dupearea DUPE /d -d \"no end here") << "DupeArea|DUPE|/d|,,,,,no end here||";
        QTest::newRow("a field set twice: the last counts")
            << QByteArray("EchoArea T P -g A -g B") << "EchoArea|T|P|,,,,B,||";
        QTest::newRow("a flag without a link is an option")
            << QByteArray("EchoArea T P -r 1:2/3 -mn -x -w") << "EchoArea|T|P|,,,,,|-r -x -w|1:2/3 -mn";
        QTest::newRow("tag alone") << QByteArray("EchoArea TAG") << "EchoArea|TAG||,,,,,||";
        QTest::newRow("keyword alone") << QByteArray("EchoArea") << QString();
        QTest::newRow("keyword and a tab") << QByteArray("EchoArea\tT P") << "EchoArea|T|P|,,,,,||";
        QTest::newRow("comment") << QByteArray("#EchoArea T P") << QString();
        QTest::newRow("longer word") << QByteArray("EchoAreas T P") << QString();
        // clang-format on
    }
    void recognised()
    {
        QFETCH(QByteArray, line);
        QFETCH(QString, expected);
        QCOMPARE(isAreaLine(line), !expected.isEmpty());
        if (!expected.isEmpty())
            QCOMPARE(summary(areaState(line, TextCodec::latin1())), expected);
    }

    void rewritten_data()
    {
        QTest::addColumn<QByteArray>("line");
        QTest::addColumn<QString>("steps");
        QTest::addColumn<QByteArray>("expected");
        // clang-format off
        QTest::newRow("a description changed in place, quoted")
            << QByteArray("EchoArea  T\t/p  -d  \"Old one\"  1:2/3  ") << "d=New text"
            << QByteArray("EchoArea  T\t/p  -d  \"New text\"  1:2/3  ");
        QTest::newRow("a field added before the first link, one emptied with its blanks")
            << QByteArray("EchoArea T /p -g  A  -h 1:2/3 -r 1:2/4") << "g=\nb=Jam"
            << QByteArray("EchoArea T /p  -h -b Jam 1:2/3 -r 1:2/4");
        QTest::newRow("a field added with no link: at the end, before trailing blanks")
            << QByteArray("EchoArea T /p \t") << "d=Hello world\np=30"
            << QByteArray("EchoArea T /p -p 30 -d \"Hello world\" \t");
        QTest::newRow("a link added at the end, one removed with its flags")
            << QByteArray("EchoArea T /p 1:2/3 -r  -w\t1:2/4 -h") << "-1:2/3\n+2:5020/7 -mn"
            << QByteArray("EchoArea T /p\t1:2/4 -h 2:5020/7 -mn");
        QTest::newRow("tag and path replaced, a shadowed field emptied")
            << QByteArray("echoarea Old \"/a b\" -g X -g Y") << "tag=New\npath=/c\ng="
            << QByteArray("echoarea New /c");
        QTest::newRow("a value with a blank quoted; a quoted one stays quoted")
            << QByteArray("EchoArea T /p -g \"A\" -a 1:1/1") << "g=B\na=2:2/2 x"
            << QByteArray("EchoArea T /p -g \"B\" -a \"2:2/2 x\"");
        QTest::newRow("options: one kept, one removed, new ones around the kept")
            << QByteArray("EchoArea T /p -h -nopause 1:2/3") << "o=-first -h -last"
            << QByteArray("EchoArea T /p -first -h -last 1:2/3");
        QTest::newRow("options all new go before the first link")
            << QByteArray("EchoArea T /p -a 1:1/1 1:2/3") << "o=-ccoff"
            << QByteArray("EchoArea T /p -a 1:1/1 -ccoff 1:2/3");
        QTest::newRow("a path added to a line without one, an option after it")
            << QByteArray("EchoArea T") << "path=Passthrough\ng=G" << QByteArray("EchoArea T Passthrough -g G");
        QTest::newRow("link flags changed")
            << QByteArray("EchoArea T /p 1:2/3 -r 1:2/4") << "~1:2/3=-w -def\n~1:2/4=-mn"
            << QByteArray("EchoArea T /p 1:2/3 -w -def 1:2/4 -mn");
        QTest::newRow("added before a last option without its value, and an open quote")
            << QByteArray("EchoArea T /p -h -d \"open -lr") << "+1:2/3\ng=G"
            << QByteArray("EchoArea T /p -h -g G 1:2/3 -d \"open -lr");
        QTest::newRow("a link twice: each keeps its flags")
            << QByteArray("EchoArea T /p 1:2/3 1:2/3 -def") << "+1:2/4"
            << QByteArray("EchoArea T /p 1:2/3 1:2/3 -def 1:2/4");
        QTest::newRow("a link taken from the middle, one added: the rest keep their flags")
            << QByteArray("EchoArea T /p 1:2/3 -r 1:2/4 -w 1:2/5 -mn") << "-1:2/4\n+1:2/6"
            << QByteArray("EchoArea T /p 1:2/3 -r 1:2/5 -mn 1:2/6");
        QTest::newRow("stray CR inside a word replaced with it")
            << QByteArray("EchoArea T /p -g A\rB 1:2/3") << "g=C"
            << QByteArray("EchoArea T /p -g C 1:2/3");
        // clang-format on
    }
    void rewritten()
    {
        QFETCH(QByteArray, line);
        QFETCH(QString, steps);
        QFETCH(QByteArray, expected);
        AreaState wanted = areaState(line, TextCodec::latin1());
        QCOMPARE(rewriteAreaLine(line, wanted, TextCodec::latin1()), line);
        change(wanted, steps);
        const QByteArray out = rewriteAreaLine(line, wanted, TextCodec::latin1());
        QCOMPARE(out, expected);
        // What was written reads back as the state wanted.
        QCOMPARE(summary(areaState(out, TextCodec::latin1())), summary(wanted));
    }

    // A word no line can carry, where the file's comment character is the one given; and the
    // words that only another comment character would cut short, written.
    void refused_data()
    {
        QTest::addColumn<QByteArray>("line");
        QTest::addColumn<QString>("steps");
        QTest::addColumn<char>("comment");
        QTest::addColumn<bool>("refused");
        const QByteArray plain("EchoArea T /p");
        // clang-format off
        QTest::newRow("a quote in a description") << plain << "d=say \"hi\"" << '#' << true;
        QTest::newRow("an empty path") << plain << "path=" << '#' << true;
        QTest::newRow("no address") << plain << "+2:5020" << '#' << true;
        QTest::newRow("a word opening a quote") << plain << "o=\"x" << '#' << true;
        QTest::newRow("a # that starts a comment, in quotes") << plain << "d=News # 1" << '#' << true;
        QTest::newRow("a word that is a comment") << plain << "o=-x ##" << '#' << true;
        QTest::newRow("after a tag in an open quote") << QByteArray("EchoArea \"T") << "d=x" << '#' << true;
        QTest::newRow("a Ctrl-Z") << plain << "g=a\x1a" << '#' << true;
        QTest::newRow("an option, but no path") << QByteArray("EchoArea T") << "d=x" << '#' << true;
        QTest::newRow("CommentChar ;: a ; that starts a comment") << plain << "d=News ; 1" << ';' << true;
        QTest::newRow("CommentChar ;: a word that is a comment") << plain << "o=-x ;;" << ';' << true;
        QTest::newRow("CommentChar ;: a # is a word") << plain << "d=News # 1" << ';' << false;
        QTest::newRow("a ; is a word") << plain << "d=News ; 1" << '#' << false;
        // clang-format on
    }
    void refused()
    {
        QFETCH(QByteArray, line);
        QFETCH(QString, steps);
        QFETCH(char, comment);
        QFETCH(bool, refused);
        AreaState wanted = areaState(line, TextCodec::latin1());
        change(wanted, steps);
        if (refused)
            QVERIFY_THROWS_EXCEPTION(RenderError,
                                     rewriteAreaLine(line, wanted, TextCodec::latin1(), comment));
        else
            QCOMPARE(summary(areaState(rewriteAreaLine(line, wanted, TextCodec::latin1(), comment),
                                       TextCodec::latin1())),
                     summary(wanted));
    }
};

QTEST_GUILESS_MAIN(TestAreaLine)
#include "tst_area_line.moc"
