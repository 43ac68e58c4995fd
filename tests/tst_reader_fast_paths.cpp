// The shortcuts that make the reader fast must not change what it reads: the keyword index
// (a hash on a word's length and its first and last letters), the first word lower-cased while
// its blank is looked for, CR LF lines handed out without a copy, and ASCII checked eight bytes
// at a time when a value is decoded.
#include "reader/ConfigScanner.h"
#include "reader/KeywordTable.h"
#include "reader/LineReader.h"
#include "reader/Text.h"

#include <QTemporaryFile>
#include <QtTest>

#include <fcntl.h>
#include <unistd.h>

using namespace vog;

namespace {

QList<QByteArray> linesFromFile(const QByteArray &content)
{
    QTemporaryFile file;
    if (!file.open())
        qFatal("no temporary file");
    file.write(content);
    file.flush();
    const int fd = ::open(QFile::encodeName(file.fileName()).constData(), O_RDONLY);
    LineReader reader(fd);
    QList<QByteArray> lines;
    QByteArrayView line;
    while (reader.next(line))
        lines.append(line.toByteArray());
    ::close(fd);
    return lines;
}

} // namespace

class TestReaderFastPaths final : public QObject
{
    Q_OBJECT

private slots:
    // Every word one edit away from a keyword lands near it in the index; none may be taken for
    // it, and the keyword itself must still be found.
    void indexFindsKeywordsAndNothingElse()
    {
        QSet<QByteArray> keywords;
        for (const KeywordEntry &e : keywordTable())
            keywords.insert(e.keyword.toByteArray());
        int tried = 0;
        for (const KeywordEntry &e : keywordTable()) {
            const QByteArray word = e.keyword.toByteArray();
            QCOMPARE(findKeyword(word), &e);
            QList<QByteArray> near;
            for (qsizetype i = 0; i < word.size(); ++i) {
                near << QByteArray(word).remove(i, 1);
                near << QByteArray(word).replace(i, 1, "x") << QByteArray(word).replace(i, 1, "A");
                near << QByteArray(word).insert(i, 'e');
            }
            near << word + 's' << word + ' ' << word.toUpper() << word.left(word.size() - 1) + '\0'
                 << QByteArray();
            for (const QByteArray &w : std::as_const(near)) {
                ++tried;
                const KeywordEntry *found = findKeyword(w);
                if (keywords.contains(w))
                    QVERIFY2(found && found->keyword == w, w.constData());
                else
                    QVERIFY2(!found, w.constData());
            }
        }
        QVERIFY(tried > 4000);
    }

    void firstWordLimits_data()
    {
        QTest::addColumn<QByteArray>("line");
        QTest::addColumn<QByteArray>("keyword");
        QTest::addColumn<QByteArray>("value");

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
        QTest::newRow("keyword at the very end") << QByteArray("Route") << QByteArray() << QByteArray();
        QTest::newRow("8-bit letter in the word") << QByteArray("\xc0ka x") << QByteArray()
                                                  << QByteArray();
        QTest::newRow("NUL in the word") << QByteArray("aka\0 x", 6) << QByteArray() << QByteArray();
        QTest::newRow("upper-case 8-bit value kept")
                << QByteArray("Sysop \xc8\xc2\xc0\xcd") << QByteArray("sysop")
                << QByteArray("\xc8\xc2\xc0\xcd");
    }

    void firstWordLimits()
    {
        QFETCH(QByteArray, line);
        QFETCH(QByteArray, keyword);
        QFETCH(QByteArray, value);
        KeywordLine out;
        const bool matched = matchLine(trimmed(line), out);
        QCOMPARE(matched, !keyword.isEmpty());
        if (matched) {
            QCOMPARE(out.entry->keyword.toByteArray(), keyword);
            QCOMPARE(out.value.toByteArray(), value);
        }
    }

    // The reader reads a file in chunks of a mebibyte; a CR LF or a lone CR on either side of
    // the first chunk's end must read as anywhere else.
    void lineEndsAtTheChunkBorder_data()
    {
        QTest::addColumn<int>("offset"); // of the CR from the chunk's last byte
        QTest::addColumn<QByteArray>("end");
        for (int offset = -3; offset <= 2; ++offset) {
            QTest::addRow("CR LF at %d", offset) << offset << QByteArray("\r\n");
            QTest::addRow("lone CR at %d", offset) << offset << QByteArray("\rgoes on\n");
            QTest::addRow("CR CR LF at %d", offset) << offset << QByteArray("\r\r\n");
        }
    }

    void lineEndsAtTheChunkBorder()
    {
        QFETCH(int, offset);
        QFETCH(QByteArray, end);
        const int chunk = 1 << 20;
        QByteArray content;
        QList<QByteArray> expected;
        while (content.size() < chunk - 200) {
            const QByteArray line = "Route crash 2:5020/" + QByteArray::number(content.size());
            content += line + "\r\n";
            expected << line;
        }
        const QByteArray last(chunk - 1 + offset - content.size(), 'y');
        content += last + end + "after\n";
        expected << last + QByteArray(end).replace("\r", "").replace("\n", "") << "after";
        QCOMPARE(content.indexOf('\r', chunk - 10), chunk - 1 + offset);
        QCOMPARE(linesFromFile(content), expected);
        LineReader fromMemory(content);
        QList<QByteArray> lines;
        QByteArrayView line;
        while (fromMemory.next(line))
            lines.append(line.toByteArray());
        QCOMPARE(lines, expected);
    }

    // A multi-byte character or a broken one at every place within and after runs of ASCII.
    void decodesAtEveryOffset_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("text");
        for (int at = 0; at <= 17; ++at) {
            const QByteArray before(at, 'a');
            const QByteArray after(17 - at, 'b');
            QTest::addRow("UTF-8 at %d", at) << before + "\xd0\x96" + after
                                             << QString::fromLatin1(before) + QChar(0x416)
                                                        + QString::fromLatin1(after);
            QTest::addRow("lone 8-bit byte at %d", at)
                    << before + "\xe9" + after
                    << QString::fromLatin1(before) + QChar(0xe9) + QString::fromLatin1(after);
            QTest::addRow("cut sequence at %d", at)
                    << before + "\xe2\x82" << QString::fromLatin1(before + "\xe2\x82");
        }
    }

    void decodesAtEveryOffset()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, text);
        QCOMPARE(decodeValue(bytes), text);
    }
};

QTEST_GUILESS_MAIN(TestReaderFastPaths)
#include "tst_reader_fast_paths.moc"
