// The benchmark's figures are only as good as its stress file: the generator must write the
// same bytes for the same seed, the shape asked for, and the variety a hub's file has, read back
// through the reader itself.
#include "ConfigGenerator.h"

#include "reader/Codepage.h"
#include "reader/ConfigFile.h"
#include "reader/ConfigRead.h"
#include "reader/ConfigScanner.h"
#include "reader/KeywordTable.h"
#include "reader/NumberConversion.h"
#include "reader/Text.h"

#include <QCryptographicHash>
#include <QFile>
#include <QSet>
#include <QTemporaryDir>
#include <QtTest>

using vogbench::GeneratedFile;
using vogbench::GeneratorOptions;

namespace {

GeneratorOptions shape(std::int64_t lines, int links, std::int64_t listLines, std::uint64_t seed = 1)
{
    GeneratorOptions o;
    o.lines = lines;
    o.links = links;
    o.listLines = listLines;
    o.seed = seed;
    return o;
}

// What the scan passes over: set and condition lines, the other lines of branches not taken,
// and any line the reader finds fault with (an undefined variable among them).
class PassedOver final : public vog::ConfigSink
{
public:
    void otherLine(const vog::LineFacts &facts, qint64) override
    {
        directives += facts.kind == vog::LineKind::Condition || facts.kind == vog::LineKind::Set;
        hidden += !facts.inEffect && facts.kind != vog::LineKind::Condition;
        problems += facts.problem != vog::LineFacts::None || !facts.undefined().isEmpty();
    }
    void windowValue(const vog::KeywordLine &) override {}
    void linkStarted(const vog::KeywordLine &, int) override {}

    qint64 directives = 0, hidden = 0, problems = 0;
};

QByteArray digest(const QString &path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    return QCryptographicHash::hash(f.readAll(), QCryptographicHash::Sha256);
}

} // namespace

class TestConfigGenerator final : public QObject
{
    Q_OBJECT

private slots:
    void sameSeedSameBytes()
    {
        QTemporaryDir dir;
        const QString a = dir.filePath("a.cfg"), b = dir.filePath("b.cfg"), c = dir.filePath("c.cfg");
        vogbench::generateConfig(shape(20000, 300, 2000, 7), a);
        vogbench::generateConfig(shape(20000, 300, 2000, 7), b);
        vogbench::generateConfig(shape(20000, 300, 2000, 8), c);
        QVERIFY(!digest(a).isEmpty());
        QCOMPARE(digest(a), digest(b));
        QVERIFY(digest(a) != digest(c));
    }

    void shapeAsAsked_data()
    {
        QTest::addColumn<qint64>("lines");
        QTest::addColumn<int>("links");
        QTest::addColumn<qint64>("listLines");
        QTest::addColumn<bool>("fullGrammar");
        QTest::newRow("a small stress file") << qint64(20000) << 300 << qint64(2000) << false;
        QTest::newRow("mostly links") << qint64(13000) << 280 << qint64(100) << false;
        QTest::newRow("lists only") << qint64(6000) << 0 << qint64(3000) << false;
        QTest::newRow("the stress file at 1/100") << qint64(10000) << 200 << qint64(1000) << false;
        QTest::newRow("the stress file at 1/100, full grammar")
                << qint64(10000) << 200 << qint64(1000) << true;
    }

    void shapeAsAsked()
    {
        QFETCH(qint64, lines);
        QFETCH(int, links);
        QFETCH(qint64, listLines);
        QFETCH(bool, fullGrammar);
        QTemporaryDir dir;
        const QString path = dir.filePath("stress.cfg");
        GeneratorOptions options = shape(lines, links, listLines);
        options.fullGrammar = fullGrammar;
        const GeneratedFile facts = vogbench::generateConfig(options, path);
        QCOMPARE(facts.lines, lines);
        QCOMPARE(facts.links, links);
        QCOMPARE(facts.listLines, listLines);
        QCOMPARE(facts.bytes, QFileInfo(path).size());

        QFile raw(path);
        QVERIFY(raw.open(QIODevice::ReadOnly));
        const QByteArray bytes = raw.readAll();
        QCOMPARE(bytes.count('\n'), lines);
        QVERIFY2(bytes.contains("\r\n") && bytes.contains("\n\n"), "both CR LF and LF line ends");
        QVERIFY(bytes.contains("\n#") && bytes.contains("EchoArea"));

        vog::ConfigFile file(path);
        vog::LineReader reader(file.descriptor());
        PassedOver passedOver;
        vog::ConfigScanner scanner(reader, &passedOver);
        scanner.state().reportUndefined = true;
        vog::KeywordLine line;
        // The grammar's forms among the lines in effect.
        qint64 tabs = 0, comments = 0, alone = 0, variables = 0;
        QSet<QByteArrayView> seen;
        qint64 linkStarts = 0, lists = 0, perLink = 0, defaultsLines = 0;
        vog::DefaultsBlocks blocks;
        vog::DefaultsMark mark;
        int inSection = -1; // per-link lines of the current section; -1 before the first
        QList<int> sections;
        bool mixedCase = false;
        while (scanner.next(line)) {
            const vog::KeywordRow &e = *line.row;
            seen.insert(e.keyword);
            const QByteArrayView word = line.line.first(e.keyword.size());
            mixedCase = mixedCase || (word != e.keyword && word != vog::lowered(e.keyword).toUpper());
            tabs += line.separator.contains('\t');
            comments += !line.comment.isEmpty();
            alone += line.alone;
            variables += line.value.contains('[');
            if (e.place == vog::Place::Link && blocks.takes(line, mark)) {
                ++defaultsLines;
                continue;
            }
            if (e.kind == vog::ValueKind::LinkName) {
                ++linkStarts;
                if (inSection >= 0)
                    sections.append(inSection);
                inSection = 0;
                continue;
            }
            if (e.place == vog::Place::Link) {
                ++perLink;
                if (inSection >= 0)
                    ++inSection;
                continue;
            }
            switch (e.kind) {
            case vog::ValueKind::LineList:
                ++lists;
                break;
            case vog::ValueKind::Number:
                vog::convertNumber(vog::lowered(line.value)); // throws if the Open would stop here
                break;
            default:
                break;
            }
        }
        if (inSection >= 0)
            sections.append(inSection);
        QCOMPARE(linkStarts, qint64(links));
        QCOMPARE(lists, listLines);
        QCOMPARE(perLink, facts.linkLines);
        QCOMPARE(defaultsLines, facts.defaultsLines);
        QCOMPARE(passedOver.directives, facts.directiveLines);
        QCOMPARE(passedOver.hidden, facts.hiddenLines);
        QCOMPARE(passedOver.problems, qint64(0));
        QVERIFY(scanner.state().branches.empty());
        for (qint64 forms : {tabs, comments, alone, variables, qint64(facts.directiveLines),
                             qint64(facts.hiddenLines)})
            QCOMPARE(forms > 0, fullGrammar);
        for (int n : std::as_const(sections))
            QVERIFY2(n >= 30 && n <= 47, qPrintable(QString::number(n)));
        QVERIFY(mixedCase);
        // Every keyword of the table, where the shape leaves room for it.
        for (const vog::KeywordRow &e : vog::keywordTable()) {
            const bool needsLinks = e.kind == vog::ValueKind::LinkName;
            if (!needsLinks || links > 0)
                QVERIFY2(seen.contains(e.keyword) || (e.place == vog::Place::Link && links == 0),
                         e.keyword.data());
        }
    }

    // The Russian stress file: the same bytes for the same seed, and its codepage detected.
    void russianInCodepage_data()
    {
        QTest::addColumn<QByteArray>("codepage");
        QTest::addColumn<QString>("detected");
        QTest::newRow("KOI8-R") << QByteArray("KOI8-R") << "KOI8-R";
        QTest::newRow("CP866") << QByteArray("CP866") << "CP866";
        QTest::newRow("CP1251") << QByteArray("CP1251") << "Windows-1251";
    }

    void russianInCodepage()
    {
        QFETCH(QByteArray, codepage);
        QFETCH(QString, detected);
        QTemporaryDir dir;
        GeneratorOptions o = shape(20000, 300, 2000, 7);
        o.codepage = codepage.toStdString();
        vogbench::generateConfig(o, dir.filePath("a.cfg"));
        vogbench::generateConfig(o, dir.filePath("b.cfg"));
        QCOMPARE(digest(dir.filePath("a.cfg")), digest(dir.filePath("b.cfg")));

        QFile file(dir.filePath("a.cfg"));
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray bytes = file.readAll();
        vog::LineReader reader(bytes);
        vog::CodepageDetector detector;
        QByteArrayView line;
        while (reader.next(line))
            detector.feed(line);
        const vog::TextCodec codec = detector.decide();
        QCOMPARE(codec.name(), detected);
        QVERIFY(codec.decode(bytes).contains(QStringLiteral("Станция узла * ")));
    }
};

QTEST_GUILESS_MAIN(TestConfigGenerator)
#include "tst_config_generator.moc"
