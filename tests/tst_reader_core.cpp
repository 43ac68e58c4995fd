// The reader core without widgets: how bytes become lines, lines become keyword lines, and
// values become numbers, options and flags.
#include "reader/ConfigScanner.h"
#include "reader/Errors.h"
#include "reader/KeywordTable.h"
#include "reader/LineReader.h"
#include "reader/NumberConversion.h"
#include "reader/Text.h"
#include "reader/ValueRules.h"

#include <QTemporaryFile>
#include <QtTest>

#include <fcntl.h>
#include <unistd.h>

using namespace vog;

namespace {

QList<QByteArray> linesOf(LineReader &reader)
{
    QList<QByteArray> out;
    QByteArrayView line;
    while (reader.next(line))
        out.append(line.toByteArray());
    return out;
}

// The lines of a read of the file; and its fingerprint, every byte past a Ctrl-Z too.
QList<QByteArray> linesFromFile(const QByteArray &content,
                                qsizetype chunk = LineReader::DefaultChunkSize,
                                quint64 *fingerprint = nullptr)
{
    QTemporaryFile file;
    if (!file.open())
        qFatal("no temporary file");
    file.write(content);
    file.flush();
    const int fd = ::open(QFile::encodeName(file.fileName()).constData(), O_RDONLY);
    LineReader reader(fd, chunk);
    QList<QByteArray> lines = linesOf(reader);
    reader.finish();
    if (fingerprint)
        *fingerprint = reader.fingerprint();
    ::close(fd);
    return lines;
}

const KeywordRow *entry(const char *keyword)
{
    return findKeyword(QByteArrayView(keyword));
}

} // namespace

class TestReaderCore final : public QObject
{
    Q_OBJECT

private slots:
    void keywordTableHasEveryKeywordOnce()
    {
        const auto &table = keywordTable();
        QCOMPARE(int(table.size()), 129);
        QSet<QByteArray> seen;
        for (const KeywordRow &e : table) {
            QVERIFY2(!seen.contains(e.keyword.toByteArray()), e.keyword.data());
            seen.insert(e.keyword.toByteArray());
            QCOMPARE(findKeyword(e.keyword), &e);
            QVERIFY(e.keyword.size() <= MaxKeywordLength);
            QCOMPARE(e.keyword.toByteArray(), lowered(e.keyword));
        }
        // The order of the table: general, then files and paths, then link sections.
        QCOMPARE(table[0].keyword, "addtoseen");
        QCOMPARE(table[55].keyword, "unpack");
        QCOMPARE(table[56].keyword, "advisorylock");
        QCOMPARE(table[80].keyword, "tempoutbound");
        QCOMPARE(table[81].keyword, "accessgrp");
        QCOMPARE(table[128].keyword, "remoterobotname");
        // A link record's rows follow the link section's rows of the table.
        for (const auto &[keyword, storeRow] : {std::pair{"accessgrp", 1}, {"level", 31},
                                                {"link", 32}, {"linkdefaults", 34},
                                                {"remoterobotname", 48}})
            QCOMPARE(entry(keyword)->storeRow, storeRow);
        QCOMPARE(linkNameRow(), 32);
        // No literal (keyword and blank) is the beginning of another.
        for (const KeywordRow &a : table)
            for (const KeywordRow &b : table)
                if (&a != &b)
                    QVERIFY(!QByteArray(b.keyword.toByteArray() + ' ')
                                 .startsWith(a.keyword.toByteArray() + ' '));
    }

    void splitsLines_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<QList<QByteArray>>("lines");
        using L = QList<QByteArray>;
        QTest::newRow("LF") << QByteArray("a\nb\n") << L{"a", "b"};
        QTest::newRow("CR LF") << QByteArray("a\r\nb\r\n") << L{"a", "b"};
        QTest::newRow("last line without end") << QByteArray("a\nb") << L{"a", "b"};
        QTest::newRow("lone CR dropped") << QByteArray("ab\rcd\n") << L{"abcd"};
        QTest::newRow("CR at the very end") << QByteArray("ab\r") << L{"ab"};
        QTest::newRow("CR CR LF") << QByteArray("ab\r\r\ncd") << L{"ab", "cd"};
        QTest::newRow("only CRs") << QByteArray("\r\r\r\r") << L{""};
        QTest::newRow("empty lines kept") << QByteArray("\n\nx\n") << L{"", "", "x"};
        QTest::newRow("empty file") << QByteArray() << L{};
        QTest::newRow("Ctrl-Z ends the file") << QByteArray("a\nb\x1a\nc\n") << L{"a", "b"};
        QTest::newRow("Ctrl-Z first") << QByteArray("\x1a" "a\n") << L{};
        QTest::newRow("NUL bytes kept") << QByteArray("a\0b\n", 4) << L{QByteArray("a\0b", 3)};
        QTest::newRow("8-bit bytes kept") << QByteArray("\xe9\xff\n") << L{"\xe9\xff"};
    }

    void splitsLines()
    {
        QFETCH(QByteArray, content);
        QFETCH(QList<QByteArray>, lines);
        LineReader fromMemory(content);
        QCOMPARE(linesOf(fromMemory), lines);
        quint64 fingerprint = 0;
        QCOMPARE(linesFromFile(content, LineReader::DefaultChunkSize, &fingerprint), lines);
        // Not asked for before: worked out now, of every byte.
        QCOMPARE(fromMemory.fingerprint(), fingerprint);
    }

    // Lines across the reader's read chunks, and one far longer than a chunk.
    void splitsLinesAcrossReads()
    {
        QByteArray content;
        QList<QByteArray> expected;
        for (int i = 0; i < 120000; ++i) {
            QByteArray line = "Route crash 2:5020/" + QByteArray::number(i);
            if (i % 3 == 0)
                content += line + "\r\n";
            else
                content += line + "\n";
            expected.append(line);
        }
        const QByteArray longLine(3 * 1024 * 1024 + 7, 'x');
        content += longLine + "\r\nlast\x1a tail";
        expected << longLine << "last";
        quint64 fingerprint = 0;
        QCOMPARE(linesFromFile(content, LineReader::DefaultChunkSize, &fingerprint), expected);
        LineReader fromMemory(content);
        fromMemory.wantFingerprint(); // large enough for a thread of its own
        QCOMPARE(linesOf(fromMemory), expected);
        QCOMPARE(fromMemory.fingerprint(), fingerprint);
    }

    // CR LF lines are handed out without a copy, others with their CRs taken out; either way a
    // CR on any side of a read's end must read as anywhere else. Tiny reads put every byte of
    // the line ends at a read's end in turn.
    void lineEndsAcrossReads_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<QList<QByteArray>>("lines");
        using L = QList<QByteArray>;
        QTest::newRow("CR LF") << QByteArray("Aka 1\r\nAka 22\r\n\r\nx\r\n") << L{"Aka 1", "Aka 22", "", "x"};
        QTest::newRow("lone CRs") << QByteArray("a\rb\nc\r\rd\n\re\n") << L{"ab", "cd", "e"};
        QTest::newRow("CR CR LF") << QByteArray("ab\r\r\ncd\r\r\r\n") << L{"ab", "cd"};
        QTest::newRow("CR LF and LF mixed") << QByteArray("a\nbb\r\nccc\ndddd\r\n") << L{"a", "bb", "ccc", "dddd"};
        QTest::newRow("CR at the end of the file") << QByteArray("ab\r\ncd\r") << L{"ab", "cd"};
        QTest::newRow("CR LF before Ctrl-Z") << QByteArray("ab\r\n\x1a" "cd\r\n") << L{"ab"};
    }

    void lineEndsAcrossReads()
    {
        QFETCH(QByteArray, content);
        QFETCH(QList<QByteArray>, lines);
        for (qsizetype chunk : {1, 2, 3, 4, 5, 7, 8, 64})
            QCOMPARE(linesFromFile(content, chunk), lines);
        LineReader fromMemory(content);
        QCOMPARE(linesOf(fromMemory), lines);
    }

    void countsLines()
    {
        LineReader reader(QByteArrayView("a\r\n\nb\nc"));
        QByteArrayView line;
        QList<qint64> numbers;
        while (reader.next(line))
            numbers.append(reader.lineNumber());
        QCOMPARE(numbers, (QList<qint64>{1, 2, 3, 4}));
    }

    void trimsAndLowers_data()
    {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<QByteArray>("trimmed");
        QTest::addColumn<QByteArray>("lowered");
        QTest::newRow("blanks and tabs") << QByteArray(" \t a b  c \t ") << QByteArray("a b  c")
                                         << QByteArray(" \t a b  c \t ");
        QTest::newRow("control characters") << QByteArray("\x01\x1f" "AbC\x7f\x02")
                                             << QByteArray("AbC\x7f") << QByteArray("\x01\x1f" "abc\x7f\x02");
        QTest::newRow("only blanks") << QByteArray("   ") << QByteArray() << QByteArray("   ");
        QTest::newRow("only A to Z change") << QByteArray("ÄÖ XyZ@[`{") << QByteArray("ÄÖ XyZ@[`{")
                                            << QByteArray("ÄÖ xyz@[`{");
        QTest::newRow("8-bit letters stay") << QByteArray("\xc0\xc9Z") << QByteArray("\xc0\xc9Z")
                                            << QByteArray("\xc0\xc9z");
    }

    void trimsAndLowers()
    {
        QFETCH(QByteArray, text);
        QFETCH(QByteArray, trimmed);
        QFETCH(QByteArray, lowered);
        QCOMPARE(vog::trimmed(text).toByteArray(), trimmed);
        QCOMPARE(vog::lowered(text), lowered);
        QCOMPARE(vog::lowered(text).size(), text.size());
    }

    void decodesValues_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("shown");
        QTest::newRow("ASCII") << QByteArray("abc") << QStringLiteral("abc");
        QTest::newRow("UTF-8") << QByteArray("Иван Петров") << QStringLiteral("Иван Петров");
        QTest::newRow("Latin-1 when not UTF-8") << QByteArray("caf\xe9") << QStringLiteral("café");
        QTest::newRow("CP866 bytes kept one for one")
            << QByteArray("\x88\xa2\xa0\xad") << QString::fromLatin1("\x88\xa2\xa0\xad");
        QTest::newRow("truncated sequence") << QByteArray("a\xd0") << QString::fromLatin1("a\xd0");
        QTest::newRow("overlong form") << QByteArray("\xc0\xaf") << QString::fromLatin1("\xc0\xaf");
        QTest::newRow("surrogate") << QByteArray("\xed\xa0\x80") << QString::fromLatin1("\xed\xa0\x80");
        QTest::newRow("NUL kept") << QByteArray("a\0b", 3) << QString(QStringLiteral("a") + QChar(0) + QStringLiteral("b"));
    }

    void decodesValues()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, shown);
        QCOMPARE(decodeValue(bytes), shown);
    }

    void convertsNumbers_data()
    {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<bool>("ok");
        QTest::addColumn<int>("value");
        QTest::newRow("decimal") << QByteArray("60") << true << 60;
        QTest::newRow("plus sign") << QByteArray("+7") << true << 7;
        QTest::newRow("minus sign") << QByteArray("-5") << true << -5;
        QTest::newRow("leading zeros") << QByteArray("007") << true << 7;
        QTest::newRow("leading blanks") << QByteArray("  12") << true << 12;
        QTest::newRow("largest") << QByteArray("2147483647") << true << 2147483647;
        QTest::newRow("smallest") << QByteArray("-2147483648") << true << int(-2147483648LL);
        QTest::newRow("past largest") << QByteArray("2147483648") << false << 0;
        QTest::newRow("past smallest") << QByteArray("-2147483649") << false << 0;
        QTest::newRow("many digits") << QByteArray("99999999999999999999999") << false << 0;
        QTest::newRow("dollar hex") << QByteArray("$7FFFFFFF") << true << 2147483647;
        QTest::newRow("dollar hex lower") << QByteArray("$ff") << true << 255;
        QTest::newRow("x hex") << QByteArray("x1f") << true << 31;
        QTest::newRow("0x hex") << QByteArray("0x10") << true << 16;
        QTest::newRow("0X hex") << QByteArray("0X10") << true << 16;
        QTest::newRow("negative hex") << QByteArray("-$10") << true << -16;
        QTest::newRow("hex past largest") << QByteArray("$80000000") << false << 0;
        QTest::newRow("letters") << QByteArray("abc") << false << 0;
        QTest::newRow("trailing letter") << QByteArray("12x") << false << 0;
        QTest::newRow("sign alone") << QByteArray("-") << false << 0;
        QTest::newRow("dollar alone") << QByteArray("$") << false << 0;
        QTest::newRow("0x alone") << QByteArray("0x") << false << 0;
        QTest::newRow("inner blank") << QByteArray("1 2") << false << 0;
        QTest::newRow("fraction") << QByteArray("1.5") << false << 0;
        QTest::newRow("empty") << QByteArray("") << false << 0;
    }

    void convertsNumbers()
    {
        QFETCH(QByteArray, text);
        QFETCH(bool, ok);
        QFETCH(int, value);
        const std::optional<std::int32_t> number = toWholeNumber(text);
        QCOMPARE(number.has_value(), ok);
        if (ok)
            QCOMPARE(*number, value);
    }

    void numberErrorNamesTextAndLine()
    {
        try {
            convertNumber("abc", 10);
            QFAIL("no error");
        } catch (const NumberError &e) {
            QCOMPARE(e.message(), QStringLiteral("'abc' is not a valid whole number (line 10)"));
        }
        try {
            convertNumber("12x");
            QFAIL("no error");
        } catch (const NumberError &e) {
            QCOMPARE(e.message(), QStringLiteral("'12x' is not a valid whole number"));
        }
    }

    void matchesLines_data()
    {
        QTest::addColumn<QByteArray>("line");
        QTest::addColumn<QByteArray>("keyword");
        QTest::addColumn<QByteArray>("value");
        QTest::newRow("plain") << QByteArray("Address 2:5020/1") << QByteArray("address")
                               << QByteArray("2:5020/1");
        QTest::newRow("upper case, two blanks") << QByteArray("ADDRESS  1") << QByteArray("address")
                                                << QByteArray("1");
        QTest::newRow("inner blanks kept") << QByteArray("AddToSeen   a b  c")
                                           << QByteArray("addtoseen") << QByteArray("a b  c");
        // A comment character after a blank or tab, and before one or the end, starts a comment.
        QTest::newRow("trailing comment") << QByteArray("address 1 # main")
                                          << QByteArray("address") << QByteArray("1");
        QTest::newRow("comment of several hashes") << QByteArray("reportto loc pvt   ####")
                                                   << QByteArray("reportto") << QByteArray("loc pvt");
        QTest::newRow("hash glued to a word") << QByteArray("Origin Node #1")
                                              << QByteArray("origin") << QByteArray("Node #1");
        QTest::newRow("hash inside a word") << QByteArray("PktPwd a#b") << QByteArray("pktpwd")
                                            << QByteArray("a#b");
        QTest::newRow("only a comment after the keyword")
                << QByteArray("Name	# later") << QByteArray() << QByteArray();
        QTest::newRow("only a comment after control characters")
                << QByteArray("Name\t\x01\x02## later") << QByteArray() << QByteArray();
        QTest::newRow("a hash after a control character further on")
                << QByteArray("Name a\x01# b") << QByteArray("name") << QByteArray("a\x01# b");
        QTest::newRow("keyword inside the value") << QByteArray("origin sysop station")
                                                  << QByteArray("origin") << QByteArray("sysop station");
        QTest::newRow("tab after the blank") << QByteArray("Name \tMy Station")
                                             << QByteArray("name") << QByteArray("My Station");
        QTest::newRow("comment") << QByteArray("# Address 1") << QByteArray() << QByteArray();
        QTest::newRow("comment without blank") << QByteArray("#Address 1") << QByteArray()
                                               << QByteArray();
        QTest::newRow("keyword alone") << QByteArray("name") << QByteArray() << QByteArray();
        QTest::newRow("tab after keyword") << QByteArray("name\tMy Station") << QByteArray("name")
                                           << QByteArray("My Station");
        QTest::newRow("tabs and a tab inside") << QByteArray("Inbound\t\t/in/a\tb \t")
                                               << QByteArray("inbound") << QByteArray("/in/a\tb");
        // A switch written alone means On; its value reads "on".
        QTest::newRow("switch alone") << QByteArray("LogEchoToScreen") << QByteArray("logechotoscreen")
                                      << QByteArray("on");
        QTest::newRow("inverted switch alone, a comment after")
                << QByteArray("Import   # yes") << QByteArray("import") << QByteArray("on");
        QTest::newRow("radio with an on option alone") << QByteArray("ForwardPkts")
                                                       << QByteArray("forwardpkts") << QByteArray("on");
        QTest::newRow("radio without one alone") << QByteArray("AvailList") << QByteArray()
                                                 << QByteArray();
        QTest::newRow("newer spelling") << QByteArray("AreafixAutoCreate off")
                                        << QByteArray("autoareacreate") << QByteArray("off");
        QTest::newRow("unknown keyword") << QByteArray("Nodelist x") << QByteArray() << QByteArray();
        QTest::newRow("keyword as prefix of a word") << QByteArray("names x") << QByteArray()
                                                     << QByteArray();
        QTest::newRow("longer keyword") << QByteArray("RouteFile normal *")
                                        << QByteArray("routefile") << QByteArray("normal *");
        QTest::newRow("link") << QByteArray("Link Boss Node") << QByteArray("link")
                              << QByteArray("Boss Node");
        QTest::newRow("linkdefaults") << QByteArray("LinkDefaults begin")
                                      << QByteArray("linkdefaults") << QByteArray("begin");
        QTest::newRow("link and tab") << QByteArray("link\tBoss") << QByteArray("link")
                                      << QByteArray("Boss");
        QTest::newRow("empty") << QByteArray() << QByteArray() << QByteArray();
        // The first word is lower-cased while its blank is looked for, and no further than a
        // keyword can be long.
        QTest::newRow("longest keywords") << QByteArray("AutoAreaCreateDefaults -b Squish")
                                          << QByteArray("autoareacreatedefaults")
                                          << QByteArray("-b Squish");
        QTest::newRow("shortest keyword") << QByteArray("AKA 2:5020/1") << QByteArray("aka")
                                          << QByteArray("2:5020/1");
        QTest::newRow("short words that are no keyword") << QByteArray("ak a") << QByteArray()
                                                         << QByteArray();
        QTest::newRow("one letter") << QByteArray("a ka") << QByteArray() << QByteArray();
        QTest::newRow("word of 32 letters") << QByteArray(32, 'r') + " x" << QByteArray()
                                            << QByteArray();
        QTest::newRow("word of 33 letters") << QByteArray(33, 'r') + " x" << QByteArray()
                                            << QByteArray();
        QTest::newRow("long line without blank") << QByteArray(5000, 'z') << QByteArray()
                                                 << QByteArray();
        QTest::newRow("keyword glued to a long word")
                << QByteArray("route") + QByteArray(40, 'x') + " crash" << QByteArray() << QByteArray();
        QTest::newRow("8-bit letter in the word") << QByteArray("\xc0ka x") << QByteArray()
                                                  << QByteArray();
        QTest::newRow("NUL in the word") << QByteArray("aka\0 x", 6) << QByteArray() << QByteArray();
        QTest::newRow("upper-case 8-bit value kept")
                << QByteArray("Sysop \xc8\xc2\xc0\xcd") << QByteArray("sysop")
                << QByteArray("\xc8\xc2\xc0\xcd");
    }

    void matchesLines()
    {
        QFETCH(QByteArray, line);
        QFETCH(QByteArray, keyword);
        QFETCH(QByteArray, value);
        KeywordLine out;
        const bool matched = matchLine(trimmed(line), out);
        QCOMPARE(matched, !keyword.isEmpty());
        if (matched) {
            QCOMPARE(out.row->keyword.toByteArray(), keyword);
            QCOMPARE(out.value.toByteArray(), value);
        }
    }

    // Conditions, variables and the comment character, as the lines before a line leave them:
    // the keyword lines in effect, in order.
    void readsInContext_data()
    {
        QTest::addColumn<QByteArray>("module");
        QTest::addColumn<QByteArray>("lines");
        QTest::addColumn<QByteArrayList>("inEffect");
        // clang-format off
        QTest::newRow("if and else") << QByteArray() << QByteArray("if [OS]==UNIX\nSysop a\nelse\nSysop b\nendif\nName n")
            << QByteArrayList{"sysop=a", "name=n"};
        QTest::newRow("elseif: the first that holds") << QByteArray() << QByteArray("IF 1==2\nSysop a\nELSEIF 1==1\nSysop b\nelseif 2==2\nSysop c\nelse\nSysop d\nENDIF")
            << QByteArrayList{"sysop=b"};
        QTest::newRow("nested in a branch not taken") << QByteArray() << QByteArray("if a!=a\nif x==x\nSysop a\nendif\nelse\nSysop b\nendif")
            << QByteArrayList{"sysop=b"};
        QTest::newRow("quotes and letter case") << QByteArray() << QByteArray("if \"ABC\" == abc\nSysop a\nendif")
            << QByteArrayList{"sysop=a"};
        QTest::newRow("a value expanded when set") << QByteArray() << QByteArray("set A=1\nset B=[A]2\nset a=3\nif [B]==12\nSysop ok\nendif\nifdef b\nName n\nendif")
            << QByteArrayList{"sysop=ok", "name=n"};
        QTest::newRow("a set in a branch not taken defines nothing") << QByteArray() << QByteArray("if 1==2\nset Q=1\nendif\nifdef Q\nSysop a\nendif\nifndef Q\nSysop b\nendif")
            << QByteArrayList{"sysop=b"};
        QTest::newRow("the module, without regard to case") << QByteArray("hub") << QByteArray("if \"[module]\"==\"HUB\"\nSysop hub\nelse\nSysop other\nendif")
            << QByteArrayList{"sysop=hub"};
        QTest::newRow("no module: [module] is empty") << QByteArray() << QByteArray("if [module]==\nSysop none\nendif\nifdef module\nName m\nendif")
            << QByteArrayList{"sysop=none"};
        QTest::newRow("the environment") << QByteArray() << QByteArray("if [VOG_TEST_GRAMMAR]==yes\nSysop env\nendif")
            << QByteArrayList{"sysop=env"};
        QTest::newRow("CommentChar") << QByteArray() << QByteArray("CommentChar ;\n;Sysop a\nSysop b ; c\n#Name x\nOrigin o # p")
            << QByteArrayList{"sysop=b", "origin=o # p"};
        QTest::newRow("unpaired endif and else change nothing") << QByteArray() << QByteArray("endif\nelse\nSysop a")
            << QByteArrayList{"sysop=a"};
        // clang-format on
    }
    void readsInContext()
    {
        QFETCH(QByteArray, module);
        QFETCH(QByteArray, lines);
        QFETCH(QByteArrayList, inEffect);
        qputenv("VOG_TEST_GRAMMAR", "yes");
        chooseModule(module);
        LineReader reader(lines);
        ConfigScanner scanner(reader);
        chooseModule({});
        KeywordLine line;
        QByteArrayList seen;
        while (scanner.next(line))
            seen.append(line.row->keyword.toByteArray() + '=' + line.value.toByteArray());
        QCOMPARE(seen, inEffect);
    }

    void scansLinesWithNumbers()
    {
        const QByteArray content = "# comment\n\nName  Vog\nunknown x\r\nsysop Ivan\nlink\n";
        LineReader reader(content);
        ConfigScanner scanner(reader);
        KeywordLine line;
        QList<QPair<QByteArray, qint64>> seen;
        while (scanner.next(line))
            seen.append({line.row->keyword.toByteArray(), line.lineNumber});
        QCOMPARE(seen, (QList<QPair<QByteArray, qint64>>{{"name", 3}, {"sysop", 5}}));
    }

    void choosesRadioOptions_data()
    {
        QTest::addColumn<QByteArray>("keyword");
        QTest::addColumn<QByteArray>("value");
        QTest::addColumn<int>("option");
        QTest::newRow("addrdiffalways beats addrdiff") << QByteArray("bundlenamestyle")
                                                       << QByteArray("addrdiffalways") << 3;
        QTest::newRow("addrscrc32always") << QByteArray("bundlenamestyle")
                                          << QByteArray("addrscrc32always") << 4;
        QTest::newRow("list order decides") << QByteArray("bundlenamestyle")
                                            << QByteArray("amiga addrdiff") << 5;
        QTest::newRow("unknown gives default") << QByteArray("bundlenamestyle")
                                               << QByteArray("other") << 0;
        QTest::newRow("none contains no") << QByteArray("linkwithimportlog") << QByteArray("none") << 1;
        QTest::newRow("no kill") << QByteArray("linkwithimportlog") << QByteArray("no kill") << 2;
        QTest::newRow("hashdupes") << QByteArray("dupebasetype") << QByteArray("hashdupes") << 1;
        QTest::newRow("hashdupeswmsgid keeps default") << QByteArray("dupebasetype")
                                                       << QByteArray("hashdupeswmsgid") << 2;
        QTest::newRow("textdupes and commondupebase") << QByteArray("dupebasetype")
                                                      << QByteArray("textdupes commondupebase") << 3;
        QTest::newRow("secure outranks on") << QByteArray("allowemptypktpwd")
                                            << QByteArray("On Secure") << 1;
        QTest::newRow("none contains on") << QByteArray("allowemptypktpwd") << QByteArray("none") << 2;
        QTest::newRow("empty link cell: default") << QByteArray("pause") << QByteArray() << 1;
        QTest::newRow("uniqueone beats unique") << QByteArray("availlist") << QByteArray("UniqueOne") << 2;
    }

    void choosesRadioOptions()
    {
        QFETCH(QByteArray, keyword);
        QFETCH(QByteArray, value);
        QFETCH(int, option);
        const KeywordRow *e = entry(keyword.constData());
        QVERIFY(e && e->radio);
        QCOMPARE(fieldState(*e, value).option, option);
    }

    void setsFlagBoxes()
    {
        const KeywordRow *row = entry("areafixkillreports");
        const FlagSet &flags = *row->flags;
        QCOMPARE(int(flags.words.size()), 21);
        auto on = [&](const QByteArray &value) {
            QStringList words;
            const std::uint32_t bits = fieldState(*row, value).boxes;
            for (std::size_t i = 0; i < flags.words.size(); ++i)
                if (bits & (1u << i))
                    words.append(QString::fromLatin1(flags.words[i]));
            return words;
        };
        QCOMPARE(on("PVT k/s dir"), (QStringList{"pvt", "k/s", "dir"}));
        QCOMPARE(on("direct"), (QStringList{"dir"}));
        QCOMPARE(on("pvt,crash;npd"), (QStringList{"pvt", "crash", "npd"}));
        QCOMPARE(on("nothing"), QStringList{});
    }

    void onOffWords_data()
    {
        QTest::addColumn<QByteArray>("value");
        QTest::addColumn<QString>("onOff");
        QTest::addColumn<QString>("inverted");
        QTest::addColumn<QString>("lowerUpper");
        QTest::newRow("yes") << QByteArray("yes") << "On" << "On" << "Lower";
        QTest::newRow("on") << QByteArray("on") << "On" << "On" << "Lower";
        QTest::newRow("no") << QByteArray("no") << "Off" << "Off" << "Lower";
        QTest::newRow("off") << QByteArray("off") << "Off" << "Off" << "Lower";
        QTest::newRow("1") << QByteArray("1") << "Off" << "On" << "Lower";
        QTest::newRow("true") << QByteArray("true") << "Off" << "On" << "Lower";
        QTest::newRow("enabled") << QByteArray("enabled") << "Off" << "On" << "Lower";
        QTest::newRow("upper") << QByteArray("upper") << "Off" << "On" << "Upper";
        QTest::newRow("yes please") << QByteArray("yes please") << "Off" << "On" << "Lower";
        QTest::newRow("YES") << QByteArray("YES") << "On" << "On" << "Lower";
        QTest::newRow("Upper") << QByteArray("Upper") << "Off" << "On" << "Upper";
        QTest::newRow("empty link cell") << QByteArray() << "Off" << "On" << "Lower";
    }

    void onOffWords()
    {
        QFETCH(QByteArray, value);
        QFETCH(QString, onOff);
        QFETCH(QString, inverted);
        QFETCH(QString, lowerUpper);
        QCOMPARE(QString::fromLatin1(fieldState(*entry("areafixfrompkt"), value).choice), onOff);
        QCOMPARE(QString::fromLatin1(fieldState(*entry("packnetmailonscan"), value).choice), inverted);
        QCOMPARE(QString::fromLatin1(fieldState(*entry("areasfilenamecase"), value).choice),
                 lowerUpper);
    }

    void ioErrorMessages_data()
    {
        QTest::addColumn<int>("error");
        QTest::addColumn<QString>("message");
        QTest::newRow("missing file") << ENOENT << "File not found";
        QTest::newRow("no folder") << ENOTDIR << "Invalid filename";
        QTest::newRow("too many") << EMFILE << "Too many open files";
        QTest::newRow("denied") << EACCES << "File access denied";
        QTest::newRow("other") << EIO << QStringLiteral("I/O error %1").arg(EIO);
    }

    void ioErrorMessages()
    {
        QFETCH(int, error);
        QFETCH(QString, message);
        QCOMPARE(ioErrorMessage(error), message);
    }
};

QTEST_GUILESS_MAIN(TestReaderCore)
#include "tst_reader_core.moc"
