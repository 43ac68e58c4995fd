// The shortcuts that make the reader fast must not change what it reads: the keyword index
// (a hash on a word's length and its first and last letters), the first word lower-cased while
// its blank is looked for, CR LF lines handed out without a copy, and ASCII checked eight bytes
// at a time when a value is decoded, or appended to the text of a list's gathered lines.
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

QList<QByteArray> linesFromFile(const QByteArray &content, qsizetype chunk)
{
    QTemporaryFile file;
    if (!file.open())
        qFatal("no temporary file");
    file.write(content);
    file.flush();
    const int fd = ::open(QFile::encodeName(file.fileName()).constData(), O_RDONLY);
    LineReader reader(fd, chunk);
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
        QList<QByteArray> read;
        QByteArrayView line;
        while (fromMemory.next(line))
            read.append(line.toByteArray());
        QCOMPARE(read, lines);
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
        // A leading byte order mark is dropped, as it always was, gathered or alone.
        QTest::newRow("byte order mark") << QByteArray("\xef\xbb\xbf" "abc") << QStringLiteral("abc");
        QTest::newRow("NUL kept") << QByteArray("a\0b", 3) << QStringLiteral("a") + QChar(0) + QStringLiteral("b");
        QTest::newRow("empty") << QByteArray() << QString();
    }

    // Values gathered into one text, as the Open gathers a list's lines, read as each alone.
    void decodesAtEveryOffset()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, text);
        QCOMPARE(decodeValue(bytes), text);
        QString gathered = QStringLiteral("Route x\n");
        appendDecoded(gathered, bytes);
        appendDecoded(gathered, "\xd0\x96");
        QCOMPARE(gathered, QStringLiteral("Route x\n") + text + QChar(0x416));
    }
};

QTEST_GUILESS_MAIN(TestReaderFastPaths)
#include "tst_reader_fast_paths.moc"
