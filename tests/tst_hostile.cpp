// Hostile configuration files through the real File > Open: whatever a file holds, the program
// keeps running, shows at most one error with the right message, keeps what earlier lines and
// earlier Opens set, and the next Open works.

#include "TestSupport.h"

#include "editors/TGeneral_Keywords.h"
#include "editors/TLink_Keywords.h"
#include "reader/LinkStore.h"
#include "shell/ErrorBox.h"
#include "fields/LineList.h"
#include "shell/Startup.h"
#include "shell/TMain.h"

#include <QComboBox>
#include <QFile>
#include <QMenu>
#include <QRandomGenerator>
#include <QtTest>

#include <optional>
#include <sys/stat.h>

namespace {

struct FieldValue
{
    QByteArray field; // the field's object name
    QString text;     // its state, as fieldState() gives it
};
using FieldValues = QList<FieldValue>;

QString shown(const QByteArray &field)
{
    return fieldState(General_Keywords, QString::fromLatin1(field));
}

QString linkShown(const QByteArray &field)
{
    return fieldState(Link_Keywords, QString::fromLatin1(field));
}

// Picks link i in the list; the box emits what it emits for a pick with the mouse.
void pickLink(int i)
{
    QComboBox *links = Link_Keywords->LinkChange;
    links->setCurrentIndex(i);
    emit links->activated(i);
}

QStringList texts(const QList<ShownError> &errors)
{
    QStringList out;
    for (const ShownError &e : errors) {
        // Every box is the stop-sign box under the application's title.
        if (e.icon != QMessageBox::Critical || e.title != vog::applicationTitle())
            out << QStringLiteral("(wrong box: %1 / %2)").arg(e.title).arg(int(e.icon));
        out << e.text;
    }
    return out;
}

bool configuratorEnabled()
{
    return Main->N6->menuAction()->isEnabled();
}

QByteArray randomBytes(qsizetype size, quint32 seed)
{
    QByteArray bytes(size, Qt::Uninitialized);
    QRandomGenerator random(seed);
    for (char &c : bytes)
        c = char(random.bounded(256));
    return bytes;
}

QByteArray repeated(QByteArrayView piece, int times)
{
    QByteArray out;
    out.reserve(piece.size() * times);
    for (int i = 0; i < times; ++i)
        out += piece;
    return out;
}

const QString NotANumber = QStringLiteral("'%1' is not a valid whole number (line %2).");

} // namespace

Q_DECLARE_METATYPE(FieldValues)

class TestHostile final : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { m_program.emplace(); }
    void cleanupTestCase() { m_program.reset(); }

    void hostileFile_data();
    void hostileFile();
    void numberAtTheLimits_data();
    void numberAtTheLimits();
    void linkRows_data();
    void linkRows();
    void hugeValuesKeepEveryCharacter();
    void hundredThousandLinks();
    void fileRemovedAfterItWasChosen();
    void sameFileTenTimes();
    void refusedNameChangesNothing_data();
    void refusedNameChangesNothing();

private:
    // Opens a file that sets fields this row can recognise afterwards.
    void openBefore(const QString &tag);
    // What openBefore set is still there, and a further Open works.
    void checkBeforeAndOpenAfter(const QString &tag);

    std::optional<Program> m_program;
    ConfigFixture m_files;
};

void TestHostile::openBefore(const QString &tag)
{
    const QByteArray t = tag.toUtf8();
    const QString path = m_files.write("Name before-" + t + "\nPack before-" + t
                                               + "\nAreafixMsgSize 1234\nLink before-" + t + "\n",
                                       QStringLiteral("before.cfg"));
    QCOMPARE(texts(openConfig(path)), QStringList());
}

void TestHostile::checkBeforeAndOpenAfter(const QString &tag)
{
    QCOMPARE(shown("Name"), "before-" + tag);
    QCOMPARE(General_Keywords->field<vog::LineList>("Pack")->lines().last(), "before-" + tag);
    QCOMPARE(shown("AreafixMsgSize"), QStringLiteral("1234"));
    QVERIFY(configuratorEnabled());

    // The link list still pairs entry i with column i + 1, through the last link made.
    QComboBox *links = Link_Keywords->LinkChange;
    const int last = links->count() - 1;
    QVERIFY(last >= 0);
    QCOMPARE(Link_Keywords->LinksStringGrid.cellText(last + 1, 32), links->itemText(last));

    const QString path = m_files.write("Sysop after-" + tag.toUtf8() + "\n",
                                       QStringLiteral("after.cfg"));
    QCOMPARE(texts(openConfig(path)), QStringList());
    QCOMPARE(shown("Sysop"), "after-" + tag);
}

void TestHostile::hostileFile_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<QStringList>("errors");
    QTest::addColumn<FieldValues>("expected");

    const QByteArray noise = randomBytes(1 << 20, 7).replace(char(26), 'z');

    QTest::newRow("random binary bytes")
            << randomBytes(1 << 20, 1) << QStringList() << FieldValues{};
    QTest::newRow("keyword lines around random bytes")
            << "Origin first\n" + noise + "\nTearLine last\n" << QStringList()
            << FieldValues{{"Origin", "first"}, {"TearLine", "last"}};
    QTest::newRow("NUL bytes inside values")
            << QByteArrayLiteral("Origin a\0b\0\0c\nTearLine \0\0 inner\0 \0\n") << QStringList()
            << FieldValues{{"Origin", QString::fromUtf8("a\0b\0\0c", 6)},
                           {"TearLine", QStringLiteral("inner")}};
    QTest::newRow("valid UTF-8 value")
            << QByteArray("Origin \xd0\x92\xd0\xbe\xd0\xb3 \xc3\xa9t\xc3\xa9\n") << QStringList()
            << FieldValues{{"Origin", QStringLiteral(u"\u0412\u043e\u0433 \u00e9t\u00e9")}};
    QTest::newRow("Latin-1 value")
            << QByteArray("Origin \xe9t\xe9 \xff\n") << QStringList()
            << FieldValues{{"Origin", QStringLiteral(u"\u00e9t\u00e9 \u00ff")}};
    QTest::newRow("UTF-8 and Latin-1 mixed in one value")
            << QByteArray("Origin \xc3\xa9 \xe9\n") << QStringList()
            << FieldValues{{"Origin", QStringLiteral(u"\u00c3\u00a9 \u00e9")}};
    QTest::newRow("overlong, surrogate and cut UTF-8 sequences")
            << QByteArray("Origin \xc0\x80\nTearLine \xed\xa0\x80\nSysop ab\xe2\x82\n")
            << QStringList()
            << FieldValues{{"Origin", QStringLiteral(u"\u00c0\u0080")},
                           {"TearLine", QStringLiteral(u"\u00ed\u00a0\u0080")},
                           {"Sysop", QStringLiteral(u"ab\u00e2\u0082")}};
    QTest::newRow("one line of 50 MB without a line end")
            << "Origin long\n" + QByteArray(50 << 20, 'x') << QStringList()
            << FieldValues{{"Origin", "long"}};
    QTest::newRow("only CRs") << QByteArray(1 << 20, '\r') << QStringList() << FieldValues{};
    QTest::newRow("lone CRs inside a line are dropped")
            << QByteArray("Origin on\re\r\r\nTearLine \r\rlast\r") << QStringList()
            << FieldValues{{"Origin", "one"}, {"TearLine", "last"}};
    QTest::newRow("Ctrl-Z as the first byte")
            << QByteArray("\x1aOrigin never\nAreafixMsgSize abc\n") << QStringList()
            << FieldValues{};
    QTest::newRow("10,000 blanks around one word")
            << "Origin" + QByteArray(10000, ' ') + "word" + QByteArray(10000, ' ') + "\n"
                    + QByteArray(10000, ' ') + "TearLine \t\x01" + repeated(" \t", 5000)
                    + "two  words" + repeated("\t ", 5000)
            << QStringList() << FieldValues{{"Origin", "word"}, {"TearLine", "two  words"}};
    QTest::newRow("a bad number after good lines")
            << QByteArray("Origin kept\nAreafixMsgSize 12x\nTearLine never\n")
            << QStringList{NotANumber.arg("12x").arg(2)}
            << FieldValues{{"Origin", "kept"}, {"AreafixMsgSize", "1234"}};
}

// Each row runs in the same program as the rows before it.
void TestHostile::hostileFile()
{
    QFETCH(QByteArray, content);
    QFETCH(QStringList, errors);
    QFETCH(FieldValues, expected);
    const QString tag = QString::fromLatin1(QTest::currentDataTag());

    openBefore(tag);
    const QString tearLine = shown("TearLine");
    const QString path = m_files.write(content);
    QCOMPARE(texts(openConfig(path)), errors);
    for (const FieldValue &v : expected)
        QCOMPARE(shown(v.field), v.text);
    if (!errors.isEmpty())
        QCOMPARE(shown("TearLine"), tearLine); // nothing after the failing line took effect
    checkBeforeAndOpenAfter(tag);
}

void TestHostile::numberAtTheLimits_data()
{
    QTest::addColumn<QByteArray>("value");
    QTest::addColumn<QString>("error");  // empty: converts
    QTest::addColumn<QString>("number"); // what the field (0 to 100000) shows then

    QTest::newRow("largest") << QByteArray("2147483647") << QString() << "100000";
    QTest::newRow("one past the largest")
            << QByteArray("2147483648") << NotANumber.arg("2147483648").arg(2) << "1234";
    QTest::newRow("smallest") << QByteArray("-2147483648") << QString() << "0";
    QTest::newRow("one past the smallest")
            << QByteArray("-2147483649") << NotANumber.arg("-2147483649").arg(2) << "1234";
    QTest::newRow("largest in hexadecimal") << QByteArray("$7FFFFFFF") << QString() << "100000";
    QTest::newRow("largest after 0x") << QByteArray("0X7fffffff") << QString() << "100000";
    QTest::newRow("one past the largest in hexadecimal")
            << QByteArray("$80000000") << NotANumber.arg("$80000000").arg(2) << "1234";
    QTest::newRow("far past, in 40 digits")
            << repeated("9", 40) << NotANumber.arg(QString(40, u'9')).arg(2) << "1234";
    QTest::newRow("in range after many zeros")
            << repeated("0", 1000) + "77" << QString() << "77";
}

void TestHostile::numberAtTheLimits()
{
    QFETCH(QByteArray, value);
    QFETCH(QString, error);
    QFETCH(QString, number);
    const QString tag = QString::fromLatin1(QTest::currentDataTag());

    openBefore(tag);
    const QString path =
            m_files.write("Origin before\nAreafixMsgSize " + value + "\nOrigin after\n");
    QCOMPARE(texts(openConfig(path)), error.isEmpty() ? QStringList() : QStringList{error});
    QCOMPARE(shown("AreafixMsgSize"), number);
    QCOMPARE(shown("Origin"), error.isEmpty() ? "after" : "before");
    if (error.isEmpty()) {
        // Back to the value the row's checks expect.
        QCOMPARE(texts(openConfig(m_files.write("AreafixMsgSize 1234\n"))), QStringList());
    }
    checkBeforeAndOpenAfter(tag);
}

void TestHostile::linkRows_data()
{
    QTest::addColumn<QByteArray>("lines");     // of one link section, before "PktPwd new"
    QTest::addColumn<QStringList>("errors");   // shown when the link is picked
    QTest::addColumn<FieldValues>("expected"); // fields of the Link Keywords window

    const auto number = [](const char *shown) {
        return FieldValues{{"PktSize", shown}, {"PktPwd", "new"}};
    };
    // A load that fails at PktSize leaves it and the rows after it as the link shown before.
    const FieldValues kept{{"PktSize", "42"}, {"PktPwd", "old"}};
    // The link's number names its line, as a number met by the Open does.
    const QString error = QStringLiteral("'%1' is not a valid whole number (line 5).");

    QTest::newRow("largest") << QByteArray("PktSize 2147483647") << QStringList()
                             << number("100000");
    QTest::newRow("one past the largest") << QByteArray("PktSize 2147483648")
                                          << QStringList{error.arg("2147483648")} << kept;
    QTest::newRow("smallest") << QByteArray("PktSize -2147483648") << QStringList()
                              << number("0");
    QTest::newRow("one past the smallest") << QByteArray("PktSize -2147483649")
                                           << QStringList{error.arg("-2147483649")} << kept;
    QTest::newRow("largest in hexadecimal") << QByteArray("PktSize $7FFFFFFF") << QStringList()
                                            << number("100000");
    QTest::newRow("one past the largest in hexadecimal")
            << QByteArray("PktSize $80000000") << QStringList{error.arg("$80000000")} << kept;
    QTest::newRow("10,000 blanks around one word")
            << "Aka" + QByteArray(10000, ' ') + "2:5020/1" + repeated("\t ", 5000)
            << QStringList() << FieldValues{{"Aka", "2:5020/1"}, {"PktPwd", "new"}};
    QTest::newRow("NUL bytes and Latin-1 in values")
            << QByteArrayLiteral("Aka 2:5020\0/1\nPassword \xe9t\xe9\0") << QStringList()
            << FieldValues{{"Aka", QString::fromUtf8("2:5020\0/1", 9)},
                           {"Password", QStringLiteral(u"\u00e9t\u00e9")},
                           {"PktPwd", "new"}};
}

// Link values are stored as text when the file is read and turned into field states when the
// user picks the link; that is where a number at or past the limits is met.
void TestHostile::linkRows()
{
    QFETCH(QByteArray, lines);
    QFETCH(QStringList, errors);
    QFETCH(FieldValues, expected);
    const QString tag = QString::fromLatin1(QTest::currentDataTag());

    openBefore(tag);
    const QString path = m_files.write("Link shown before\nPktSize 42\nPktPwd old\nLink " + tag.toUtf8()
                                       + "\n" + lines + "\nPktPwd new\n");
    QCOMPARE(texts(openConfig(path)), QStringList()); // stored as text: nothing to fail yet
    const int last = Link_Keywords->LinkChange->count() - 1;
    QCOMPARE(Link_Keywords->LinkChange->itemText(last), tag);

    {
        ErrorBoxWatcher watcher;
        pickLink(last - 1);
        QCOMPARE(texts(watcher.shown()), QStringList());
    }
    QCOMPARE(linkShown("PktSize"), QStringLiteral("42"));
    ErrorBoxWatcher watcher;
    pickLink(last);
    QCOMPARE(texts(watcher.shown()), errors);
    for (const FieldValue &v : expected)
        QCOMPARE(linkShown(v.field), v.text);
    checkBeforeAndOpenAfter(tag);
}

// A text field shows the whole value, however long, and a link record keeps it whole.
void TestHostile::hugeValuesKeepEveryCharacter()
{
    openBefore(QStringLiteral("huge"));
    QByteArray value = randomBytes(200000, 3);
    for (char &c : value)
        c = char('a' + quint8(c) % 26);
    const QString path = m_files.write("Origin " + value + "\nLink big\nAka " + value + "\n");
    QCOMPARE(texts(openConfig(path)), QStringList());
    QCOMPARE(shown("Origin"), QString::fromLatin1(value));
    const int column = Link_Keywords->LinkChange->count();
    QCOMPARE(Link_Keywords->LinkChange->itemText(column - 1), QStringLiteral("big"));
    QCOMPARE(Link_Keywords->LinksStringGrid.cell(column, 3), value);
    checkBeforeAndOpenAfter(QStringLiteral("huge"));
}

void TestHostile::hundredThousandLinks()
{
    openBefore(QStringLiteral("links"));
    QComboBox *links = Link_Keywords->LinkChange;
    const int before = links->count();
    const int picked = links->currentIndex();
    QByteArray content;
    for (int i = 0; i < 100000; ++i)
        content += "Link n" + QByteArray::number(i) + "\nAka 2:" + QByteArray::number(i) + "/1\n";
    QCOMPARE(texts(openConfig(m_files.write(content))), QStringList());

    QCOMPARE(links->count(), before + 100000);
    const vog::LinkStore &grid = Link_Keywords->LinksStringGrid;
    QCOMPARE(grid.columnCount(), before + 100000 + 1);
    for (int i : {0, 1, 4999, 65535, 65536, 99999}) {
        const int column = before + i + 1;
        QCOMPARE(links->itemText(column - 1), QStringLiteral("n%1").arg(i));
        QCOMPARE(grid.cellText(column, 32), QStringLiteral("n%1").arg(i));
        QCOMPARE(grid.cellText(column, 3), QStringLiteral("2:%1/1").arg(i));
    }
    // The Open selects nothing in the list.
    QCOMPARE(links->currentIndex(), picked);

    // The lines of earlier Opens are still there; a new Open is written on after them.
    QCOMPARE(General_Keywords->field<vog::LineList>("Pack")->lines().last(), QStringLiteral("before-links"));
    QCOMPARE(texts(openConfig(m_files.write("Link once more\n"))), QStringList());
    QCOMPARE(links->itemText(links->count() - 1), QStringLiteral("once more"));
    QCOMPARE(grid.cellText(links->count(), 32), QStringLiteral("once more"));
}

// The dialog is cancelled after the file it last chose has gone: the Open reads that name again.
void TestHostile::fileRemovedAfterItWasChosen()
{
    openBefore(QStringLiteral("removed"));
    const QString path = m_files.write("Origin chosen\n", QStringLiteral("chosen.cfg"));
    QCOMPARE(texts(openConfig(path)), QStringList());
    QVERIFY(QFile::remove(path));
    QCOMPARE(texts(openCancelled()), QStringList{QStringLiteral("File not found.")});
    QCOMPARE(shown("Origin"), QStringLiteral("chosen"));
    checkBeforeAndOpenAfter(QStringLiteral("removed"));
}

void TestHostile::sameFileTenTimes()
{
    openBefore(QStringLiteral("ten"));
    QComboBox *links = Link_Keywords->LinkChange;
    const int linksBefore = links->count();
    const int packBefore = General_Keywords->field<vog::LineList>("Pack")->lineCount();
    const QString path = m_files.write(
            "Name ten\nPack again\nLink again\nAka 1:2/3\nAreafixMsgSize 1234\nPack before-ten\n",
            QStringLiteral("ten.cfg"));
    for (int i = 0; i < 10; ++i)
        QCOMPARE(texts(openConfig(path)), QStringList());
    QCOMPARE(General_Keywords->field<vog::LineList>("Pack")->lineCount(), packBefore + 20);
    QCOMPARE(links->count(), linksBefore + 10);
    for (int i = 0; i < 10; ++i) {
        QCOMPARE(links->itemText(linksBefore + i), QStringLiteral("again"));
        QCOMPARE(Link_Keywords->LinksStringGrid.cellText(linksBefore + i + 1, 3),
                 QStringLiteral("1:2/3"));
    }
    QCOMPARE(shown("Name"), QStringLiteral("ten"));
    QCOMPARE(texts(openConfig(m_files.write("Name before-ten\n"))), QStringList());
    checkBeforeAndOpenAfter(QStringLiteral("ten"));
}

void TestHostile::refusedNameChangesNothing_data()
{
    QTest::addColumn<QString>("kind");
    QTest::newRow("directory") << "directory";
    QTest::newRow("FIFO without a writer") << "fifo";
    QTest::newRow("/dev/zero") << "/dev/zero";
}

// A name that is no regular file shows one error, never blocks or reads forever, and leaves
// everything as the Opens before it set it.
void TestHostile::refusedNameChangesNothing()
{
    QFETCH(QString, kind);
    QString path = kind;
    if (kind == "directory") {
        path = m_files.path(QStringLiteral("folder.cfg"));
        QVERIFY(QDir().mkdir(path));
    } else if (kind == "fifo") {
        path = m_files.path(QStringLiteral("fifo.cfg"));
        QCOMPARE(::mkfifo(QFile::encodeName(path).constData(), 0600), 0);
    }
    openBefore(kind);
    const int links = Link_Keywords->LinkChange->count();
    QCOMPARE(texts(openConfig(path)), QStringList{QStringLiteral("File access denied.")});
    QCOMPARE(Link_Keywords->LinkChange->count(), links);
    checkBeforeAndOpenAfter(kind);
}

QTEST_MAIN(TestHostile)
#include "tst_hostile.moc"
