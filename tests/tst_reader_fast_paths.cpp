// The shortcuts that make the reader fast must not change what it reads: the keyword index
// (a hash on a word's length and its first and last letters), and ASCII checked eight bytes at
// a time when a value is decoded, or appended to the text of a list's gathered lines. The first
// word's limits and CR LF lines across reads are tested in tst_reader_core.
#include "reader/KeywordTable.h"
#include "reader/Text.h"

#include <QtTest>

using namespace vog;

class TestReaderFastPaths final : public QObject
{
    Q_OBJECT

private slots:
    // Every word one edit away from a keyword lands near it in the index; none may be taken for
    // it, and the keyword itself must still be found.
    void indexFindsKeywordsAndNothingElse()
    {
        QSet<QByteArray> keywords;
        for (const KeywordRow &e : keywordTable())
            keywords.insert(e.keyword.toByteArray());
        int tried = 0;
        for (const KeywordRow &e : keywordTable()) {
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
                const KeywordRow *found = findKeyword(w);
                if (keywords.contains(w))
                    QVERIFY2(found && found->keyword == w, w.constData());
                else
                    QVERIFY2(!found, w.constData());
            }
        }
        QVERIFY(tried > 4000);
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
