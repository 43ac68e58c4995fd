// How a file's codepage is decided from its lines, and how its values then read in the windows.
#include "TestSupport.h"

#include "editors/TGeneral_Keywords.h"
#include "editors/TLink_Keywords.h"
#include "fields/TextField.h"
#include "shell/Startup.h"
#include "shell/TMain.h"

#include <QComboBox>
#include <QLabel>

#include <QProcess>
#include <QtTest>

using namespace vog;

namespace {

// A node's configuration as its Russian sysop writes it.
const QByteArray russian = R"(# Конфигурация тоссера узла 2:5020/9999 (Станция Вологодская)
# Правил вручную сисоп; перед изменением сделайте копию этого файла.
Name            Станция Вологодская
Sysop           Иван Петров
Address         2:5020/9999
Origin          Станция Вологодская * Вологда * круглосуточно
AreafixFromName Робот Арефикс
# Почта на имя сисопа и на "Всем" уходит на пойнт
Remap   Всем,Сисоп 2:5020/9999.1 *
Remap   Иван Петров,* 2:5020/9999.1 *
# Босс: принимает всю почту, звонить только ночью
Link                   Узел Северный
Aka                    2:5020/1
RemoteRobotName        Робот
)";

const QByteArray western = "# Knoten von François Lefèvre, Genève\r\n"
                           "Sysop  François Lefèvre\r\nOrigin Bürgerfunk München * Grüße aus Köln\r\n";

QByteArray encoded(const char *codepage, const QByteArray &utf8)
{
    QProcess iconv;
    iconv.start(QStringLiteral("/usr/bin/iconv"), {"-f", "UTF-8", "-t", codepage});
    iconv.write(utf8);
    iconv.closeWriteChannel();
    if (!iconv.waitForFinished() || iconv.exitCode() != 0)
        qFatal("iconv failed for %s", codepage);
    return iconv.readAllStandardOutput();
}

} // namespace

class TestCodepage final : public QObject
{
    Q_OBJECT

private slots:
    void decided_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<QString>("codec");
        QTest::addColumn<QByteArray>("keyword");
        QTest::addColumn<QString>("value");
        const QString origin = QStringLiteral("Станция Вологодская * Вологда * круглосуточно");
        QTest::newRow("KOI8-R") << encoded("KOI8-R", russian) << "KOI8-R" << QByteArray("Origin") << origin;
        QTest::newRow("CP866") << encoded("CP866", russian) << "CP866" << QByteArray("Link")
                               << QStringLiteral("Узел Северный");
        QTest::newRow("Windows-1251") << encoded("CP1251", russian) << "Windows-1251"
                                      << QByteArray("Sysop") << QStringLiteral("Иван Петров");
        const QByteArray undefined = encoded("CP1251", "Тоссер ") + "\x98";
        // The detector then names MAC-CYRILLIC, which the network doesn't use.
        QTest::newRow("Windows-1251 and a byte it leaves undefined")
                << encoded("CP1251", russian) + "TearLine " + undefined << "Latin-1"
                << QByteArray("TearLine") << QString::fromLatin1(undefined);
        QTest::newRow("UTF-8, Russian") << russian << "UTF-8" << QByteArray("Remap")
                                        << QStringLiteral("Всем,Сисоп 2:5020/9999.1 *");
        QTest::newRow("UTF-8, Western") << western << "UTF-8" << QByteArray("Sysop")
                                        << QStringLiteral("François Lefèvre");
        QTest::newRow("ASCII only") << QByteArray("Sysop Ivan Petrov\n") << "UTF-8"
                                    << QByteArray("Sysop") << QStringLiteral("Ivan Petrov");
        QTest::newRow("Windows-1252") << encoded("CP1252", western) << "Latin-1" << QByteArray("Origin")
                                      << QStringLiteral("Bürgerfunk München * Grüße aus Köln");
        QTest::newRow("one accented letter") << QByteArray("Name Vog\nSysop Jos\xe9\n") << "Latin-1"
                                             << QByteArray("Sysop") << QStringLiteral("José");
        const QByteArray fewLetters = encoded("CP1251", "Иван"); // named WINDOWS-1251 by the detector
        QTest::newRow("four Russian letters") << "Sysop " + fewLetters << "Latin-1" << QByteArray("Sysop")
                                              << QString::fromLatin1(fewLetters);
        QTest::newRow("UTF-16 byte order mark") << QByteArray("\xff\xfe\nName N\xf6" "de\n") << "Latin-1"
                                                << QByteArray("Name") << QStringLiteral("Nöde");
        const QByteArray junk("X\x9c\xff\x00\x80\xc3(\xfe\xfe\xe0\xe1", 11);
        QTest::newRow("binary junk") << "Name " + junk + "\n\xd0\xd1\xd2\n" << "Latin-1"
                                     << QByteArray("Name") << QString::fromLatin1(junk);
        QTest::newRow("UTF-8 with one stray byte, each value as before")
                << russian + "Sysop Jos\xe9\n" << "Latin-1" << QByteArray("Origin") << origin;
    }

    void decided()
    {
        QFETCH(QByteArray, file);
        QFETCH(QString, codec);
        QFETCH(QByteArray, keyword);
        QFETCH(QString, value);
        Program program;
        ConfigFixture dir;
        QVERIFY(openConfig(dir.write(file)).isEmpty());
        QVERIFY2(Main->CodepageLabel->text().endsWith(QStringLiteral(", ") + codec),
                 qPrintable(Main->CodepageLabel->text()));
        const QString shown = keyword == "Link"
                ? Link_Keywords->LinkChange->itemText(0)
                : fieldState(General_Keywords, QString::fromLatin1(keyword)).section('|', 0, 0);
        QCOMPARE(shown, value);
    }

    // A picked link shows in the codepage of the file it came from, whatever was opened since.
    void linksKeepTheirFilesCodepage()
    {
        Program program;
        ConfigFixture dir;
        QVERIFY(openConfig(dir.write(encoded("KOI8-R", russian), "koi8.cfg")).isEmpty());
        QVERIFY(openConfig(dir.write(encoded("CP866", russian), "cp866.cfg")).isEmpty());
        QCOMPARE(Main->CodepageLabel->text(), QStringLiteral("cp866.cfg: %1 lines, 1 link, CP866")
                                                      .arg(russian.count('\n')));
        QComboBox *links = Link_Keywords->LinkChange;
        for (int i : {0, 1}) {
            QCOMPARE(links->itemText(i), QStringLiteral("Узел Северный"));
            links->setCurrentIndex(i);
            Link_Keywords->LinkChangeChange();
            QCOMPARE(Link_Keywords->field<vog::TextField>("RemoteRobotName")->text(),
                     QStringLiteral("Робот"));
        }
    }
};

QTEST_MAIN(TestCodepage)
#include "tst_codepage.moc"
