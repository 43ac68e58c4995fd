// The Files and Paths window: its rows as the user sees them, and what File > Open writes into
// them. Every check goes through the real window and the real Open command.
#include "TestSupport.h"

#include "editors/TFiles_and_Paths.h"
#include "editors/TSelect_directory.h"
#include "fields/BrowseButton.h"
#include "shell/ErrorBox.h"
#include "fields/FileOpenDialog.h"
#include "fields/LineList.h"
#include "fields/NumberField.h"
#include "fields/RadioChoice.h"
#include "fields/RowForm.h"
#include "shell/Startup.h"
#include "shell/TMain.h"
#include "fields/TextField.h"

#include <QApplication>
#include <QDir>
#include <QLabel>
#include <QMenu>
#include <QRadioButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QTest>

#include <memory>

namespace {

enum class Kind { Number, Text, Radio, Lines };
enum class Browse { None, File, Directory, Append };

struct ExpectedRow
{
    const char *name;
    int dots; // -1: the label is the bare keyword
    Kind kind;
    Browse browse;
};

// The window's rows, top to bottom.
// clang-format off
const ExpectedRow Rows[] = {
    {"AdvisoryLock",          29, Kind::Number, Browse::None},
    {"AreafixHelp",           36, Kind::Text,   Browse::File},
    {"AreasMaxDupeAge",       29, Kind::Number, Browse::None},
    {"DupeBaseType",          -1, Kind::Radio,  Browse::None},
    {"DupeHistoryDir",        36, Kind::Text,   Browse::Directory},
    {"EchoTossLog",           36, Kind::Text,   Browse::File},
    {"FileBoxesDir",          36, Kind::Text,   Browse::Directory},
    {"VogPerlFile",           36, Kind::Text,   Browse::File},
    {"ImportLog",             36, Kind::Text,   Browse::File},
    {"Inbound",               36, Kind::Text,   Browse::Directory},
    {"Include",               -1, Kind::Lines,  Browse::Append},
    {"Intab",                 36, Kind::Text,   Browse::File},
    {"LocalInbound",          36, Kind::Text,   Browse::Directory},
    {"LockFile",              36, Kind::Text,   Browse::File},
    {"LogFileDir",            36, Kind::Text,   Browse::Directory},
    {"MinDiskFreeSpace",      29, Kind::Number, Browse::None},
    {"MsgBaseDir",            36, Kind::Text,   Browse::Directory},
    {"NotValidFileNameChars", 36, Kind::Text,   Browse::None},
    {"Outbound",              36, Kind::Text,   Browse::Directory},
    {"Outtab",                36, Kind::Text,   Browse::File},
    {"ProtInbound",           36, Kind::Text,   Browse::Directory},
    {"RulesDir",              36, Kind::Text,   Browse::Directory},
    {"StatLog",               36, Kind::Text,   Browse::File},
    {"TempInbound",           36, Kind::Text,   Browse::Directory},
    {"TempOutbound",          36, Kind::Text,   Browse::Directory},
};
// clang-format on

QWidget *field(const QString &name)
{
    return Files_and_Paths->findChild<QWidget *>(name);
}

vog::BrowseButton *buttonOf(const QString &fieldName)
{
    return Files_and_Paths->findChild<vog::BrowseButton *>(fieldName + QStringLiteral("Button"));
}

using States = QMap<QString, QString>;

States allStates()
{
    States s;
    for (const ExpectedRow &r : Rows)
        s.insert(QString::fromLatin1(r.name), fieldState(field(QString::fromLatin1(r.name))));
    return s;
}

States initialStates()
{
    States s;
    for (const ExpectedRow &r : Rows) {
        QString v;
        if (r.kind == Kind::Number)
            v = QStringLiteral("0");
        else if (r.kind == Kind::Radio)
            v = QStringLiteral("-1");
        s.insert(QString::fromLatin1(r.name), v);
    }
    return s;
}

// "Field=value" pairs laid over the initial states.
States initialWith(const QStringList &changes)
{
    States s = initialStates();
    for (const QString &c : changes) {
        const qsizetype eq = c.indexOf(QLatin1Char('='));
        s.insert(c.left(eq), c.mid(eq + 1));
    }
    return s;
}

} // namespace

class TestFilesAndPaths final : public QObject
{
    Q_OBJECT

private slots:
    void init() { m_program = std::make_unique<Program>(); }
    void cleanup() { m_program.reset(); }

    void window();
    void rows_data();
    void rows();
    void initialState();
    void onlyNotValidFileNameCharsLacksBrowse();

    void values_data();
    void values();
    void includeAppendsAfterEarlierOpen();
    void numberErrorEndsOpen_data();
    void numberErrorEndsOpen();
    void sampleFillsEveryRow();

    void buttons_data();
    void buttons();

private:
    std::unique_ptr<Program> m_program;
    ConfigFixture m_files;
};

void TestFilesAndPaths::window()
{
    QCOMPARE(Files_and_Paths->objectName(), QStringLiteral("Files_and_Paths"));
    QCOMPARE(Files_and_Paths->windowTitle(), QStringLiteral("Files and Paths"));
    QCOMPARE(Files_and_Paths->pos(), QPoint(64, 8));
    QCOMPARE(Files_and_Paths->size(), QSize(716, 565));
    QVERIFY(!Files_and_Paths->isVisible());
    QVERIFY(Files_and_Paths->findChild<vog::FileOpenDialog *>(QStringLiteral("OpenFileDialog")));

    // Shown from the menu, it opens at the top of rows too tall for it.
    Main->FilesandPaths1Click();
    QVERIFY(QTest::qWaitForWindowExposed(Files_and_Paths));
    QScrollBar *bar = Files_and_Paths->scrollArea()->verticalScrollBar();
    QVERIFY(bar->maximum() > 0);
    QCOMPARE(bar->value(), 0);
    Files_and_Paths->scrollToBottom();
    const QWidget *viewport = Files_and_Paths->scrollArea()->viewport();
    const QWidget *last = field(QStringLiteral("TempOutbound"));
    QVERIFY(viewport->rect().contains(last->mapTo(viewport, last->rect().bottomRight())));
}

void TestFilesAndPaths::rows_data()
{
    QTest::addColumn<int>("row");
    for (int i = 0; i < int(std::size(Rows)); ++i)
        QTest::newRow(Rows[i].name) << i;
}

// Each row: its place, label, kind, range, width and companion button.
void TestFilesAndPaths::rows()
{
    QFETCH(int, row);
    const ExpectedRow &want = Rows[row];
    Files_and_Paths->show();
    QVERIFY(QTest::qWaitForWindowExposed(Files_and_Paths));
    const QString name = QString::fromLatin1(want.name);
    vog::RowForm *form = Files_and_Paths->form();
    QWidget *w = field(name);
    QVERIFY(w);
    QCOMPARE(form->fields().indexOf(w), row);
    QCOMPARE(w->x(), form->fieldColumn());
    if (row > 0)
        QVERIFY(w->y() > form->fields().at(row - 1)->geometry().bottom());

    QLabel *label = form->labelFor(w);
    QVERIFY(label);
    const QString caption = want.dots < 0
        ? name
        : name + QStringLiteral("   ") + QString(want.dots, QLatin1Char('.'));
    QCOMPARE(label->text(), caption);
    QCOMPARE(label->x(), 4);

    switch (want.kind) {
    case Kind::Number: {
        auto *n = qobject_cast<vog::NumberField *>(w);
        QVERIFY(n);
        QCOMPARE(n->minimum(), 0);
        QCOMPARE(n->maximum(), 100000);
        QCOMPARE(w->width(), 121);
        break;
    }
    case Kind::Text:
        QVERIFY(qobject_cast<vog::TextField *>(w));
        QCOMPARE(w->width(), 555);
        break;
    case Kind::Radio: {
        auto *r = qobject_cast<vog::RadioChoice *>(w);
        QVERIFY(r);
        QCOMPARE(w->width(), 553);
        const QStringList captions{"TextDupes", "HashDupes", "HashDupesWMsgId", "CommonDupeBase"};
        QCOMPARE(r->optionCount(), captions.size());
        for (int i = 0; i < captions.size(); ++i) {
            QCOMPARE(r->caption(i), captions[i]);
            // Four columns of one row.
            QCOMPARE(r->option(i)->y(), r->option(0)->y());
            if (i > 0)
                QVERIFY(r->option(i)->x() > r->option(i - 1)->geometry().right());
        }
        break;
    }
    case Kind::Lines: {
        auto *l = qobject_cast<vog::LineList *>(w);
        QVERIFY(l);
        QCOMPARE(w->width(), 537);
        QCOMPARE(l->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
        // About four lines tall.
        const int lineHeight = l->fontMetrics().lineSpacing();
        QVERIFY(w->height() >= 4 * lineHeight && w->height() < 6 * lineHeight);
        break;
    }
    }

    vog::BrowseButton *button = buttonOf(name);
    QCOMPARE(button != nullptr, want.browse != Browse::None);
    if (!button)
        return;
    QCOMPARE(button->parentWidget(), w->parentWidget());
    QCOMPARE(button->width(), 19);
    if (want.browse == Browse::Append) {
        // "+" stands beside the list, as tall as it.
        QCOMPARE(button->text(), QStringLiteral("+"));
        QCOMPARE(button->height(), w->height());
        QCOMPARE(button->y(), w->y());
        QVERIFY(button->x() > w->geometry().right());
        QVERIFY(button->x() <= w->geometry().right() + 2);
    } else {
        // "..." stands over the field's right end.
        QCOMPARE(button->text(), QStringLiteral("..."));
        QVERIFY(button->height() >= 20);
        QCOMPARE(button->geometry().right(), w->geometry().right());
        QVERIFY(w->geometry().contains(button->geometry().center()));
    }
}

void TestFilesAndPaths::initialState()
{
    QCOMPARE(allStates(), initialStates());
    QCOMPARE(Files_and_Paths->field<vog::LineList>("Include")->lineCount(), 0);
    QCOMPARE(Files_and_Paths->findChildren<vog::BrowseButton *>().size(), 20);
}

void TestFilesAndPaths::onlyNotValidFileNameCharsLacksBrowse()
{
    QStringList without;
    const auto texts = Files_and_Paths->findChildren<vog::TextField *>();
    QCOMPARE(texts.size(), 20);
    for (const vog::TextField *t : texts)
        if (!buttonOf(t->objectName()))
            without.append(t->objectName());
    QCOMPARE(without, QStringList{QStringLiteral("NotValidFileNameChars")});
}

void TestFilesAndPaths::values_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<QStringList>("changes");

    // Every text row keeps the letter case of the line as read, whatever the keyword's case.
    for (const ExpectedRow &r : Rows) {
        if (r.kind != Kind::Text)
            continue;
        const QByteArray value = QByteArray("D:\\Mail\\") + r.name + "\\Sub Dir";
        QTest::addRow("text %s", r.name)
            << QByteArray(r.name).toUpper() + "   " + value + "  \r\n"
            << QStringList{QString::fromLatin1(r.name) + QLatin1Char('=') + QString::fromLatin1(value)};
    }

    // clang-format off
    QTest::newRow("later text wins")              << QByteArray("RulesDir a\nRulesDir B\n")        << QStringList{"RulesDir=B"};
    QTest::newRow("hash inside a value")          << QByteArray("LockFile /run/a#b.lock\n")        << QStringList{"LockFile=/run/a#b.lock"};
    QTest::newRow("comment line")                 << QByteArray("  # Inbound /in\n")               << QStringList{};
    QTest::newRow("keyword alone")                << QByteArray("AdvisoryLock\nInbound \n")        << QStringList{};
    QTest::newRow("keyword and tab")              << QByteArray("AdvisoryLock\t5\n")               << QStringList{"AdvisoryLock=5"};
    QTest::newRow("odd characters kept")          << QByteArray("NotValidFileNameChars \"*/:;<=>?\\|%\n")
                                                  << QStringList{"NotValidFileNameChars=\"*/:;<=>?\\|%"};

    QTest::newRow("advisory lock")                << QByteArray("AdvisoryLock 10\n")               << QStringList{"AdvisoryLock=10"};
    QTest::newRow("dupe age")                     << QByteArray("areasmaxdupeage 30\n")            << QStringList{"AreasMaxDupeAge=30"};
    QTest::newRow("free space")                   << QByteArray("MinDiskFreeSpace 50\n")           << QStringList{"MinDiskFreeSpace=50"};
    QTest::newRow("hexadecimal number")           << QByteArray("AdvisoryLock $1F\n")              << QStringList{"AdvisoryLock=31"};
    QTest::newRow("later number wins")            << QByteArray("AdvisoryLock 5\nAdvisoryLock 6\n") << QStringList{"AdvisoryLock=6"};
    QTest::newRow("advisory lock above range")    << QByteArray("AdvisoryLock 200000\n")           << QStringList{"AdvisoryLock=100000"};
    QTest::newRow("dupe age above range")         << QByteArray("AreasMaxDupeAge 100001\n")        << QStringList{"AreasMaxDupeAge=100000"};
    QTest::newRow("dupe age at the maximum")      << QByteArray("AreasMaxDupeAge 100000\n")        << QStringList{"AreasMaxDupeAge=100000"};
    QTest::newRow("free space largest number")    << QByteArray("MinDiskFreeSpace 2147483647\n")   << QStringList{"MinDiskFreeSpace=100000"};
    QTest::newRow("free space negative")          << QByteArray("MinDiskFreeSpace -5\n")           << QStringList{"MinDiskFreeSpace=0"};
    QTest::newRow("advisory lock negative")       << QByteArray("AdvisoryLock -2147483648\n")      << QStringList{"AdvisoryLock=0"};

    QTest::newRow("dupes: textdupes")             << QByteArray("DupeBaseType textdupes\n")        << QStringList{"DupeBaseType=0"};
    QTest::newRow("dupes: hashdupes")             << QByteArray("dupebasetype hashdupes\n")        << QStringList{"DupeBaseType=1"};
    QTest::newRow("dupes: hashdupeswmsgid")       << QByteArray("DupeBaseType HashDupesWMsgID\n")  << QStringList{"DupeBaseType=2"};
    QTest::newRow("dupes: commondupebase")        << QByteArray("DupeBaseType CommonDupeBase\n")   << QStringList{"DupeBaseType=3"};
    QTest::newRow("dupes: other text")            << QByteArray("DupeBaseType Other\n")            << QStringList{"DupeBaseType=2"};
    QTest::newRow("dupes: text and common")       << QByteArray("DupeBaseType TextDupes CommonDupeBase\n") << QStringList{"DupeBaseType=3"};
    QTest::newRow("dupes: common and text")       << QByteArray("DupeBaseType commondupebase,textdupes\n") << QStringList{"DupeBaseType=3"};
    QTest::newRow("dupes: hash after text")       << QByteArray("DupeBaseType textdupes hashdupes\n") << QStringList{"DupeBaseType=1"};
    QTest::newRow("dupes: both hash words")       << QByteArray("DupeBaseType hashdupes hashdupeswmsgid\n") << QStringList{"DupeBaseType=2"};
    QTest::newRow("dupes: word inside a word")    << QByteArray("DupeBaseType mytextdupes2\n")     << QStringList{"DupeBaseType=0"};
    QTest::newRow("dupes: later line decides")    << QByteArray("DupeBaseType hashdupes\nDupeBaseType other\n") << QStringList{"DupeBaseType=2"};

    QTest::newRow("include in file order")        << QByteArray("Include a.cfg\nInclude B.cfg\n")  << QStringList{"Include=a.cfg|B.cfg"};
    QTest::newRow("include trimmed, inner kept")  << QByteArray("include   My Areas.CFG \t\n")     << QStringList{"Include=My Areas.CFG"};
    QTest::newRow("include among other rows")     << QByteArray("Include a\nInbound /in\nInclude b\n")
                                                  << QStringList{"Include=a|b", "Inbound=/in"};
    // clang-format on
}

// A line sets its own row and no other.
void TestFilesAndPaths::values()
{
    QFETCH(QByteArray, content);
    QFETCH(QStringList, changes);
    const QList<ShownError> errors = openConfig(m_files.write(content));
    QVERIFY2(errors.isEmpty(), qPrintable(errors.value(0).text));
    QCOMPARE(allStates(), initialWith(changes));
}

void TestFilesAndPaths::includeAppendsAfterEarlierOpen()
{
    const QString first = m_files.write("Include a.cfg\nInclude b.cfg\n", QStringLiteral("1.cfg"));
    const QString second = m_files.write("Inbound /in\nInclude c.cfg\n", QStringLiteral("2.cfg"));
    QVERIFY(openConfig(first).isEmpty());
    QVERIFY(openConfig(second).isEmpty());
    QCOMPARE(Files_and_Paths->field<vog::LineList>("Include")->lines(), (QStringList{"a.cfg", "b.cfg", "c.cfg"}));
    QVERIFY(openConfig(first).isEmpty());
    QCOMPARE(Files_and_Paths->field<vog::LineList>("Include")->lines(),
             (QStringList{"a.cfg", "b.cfg", "c.cfg", "a.cfg", "b.cfg"}));
}

void TestFilesAndPaths::numberErrorEndsOpen_data()
{
    QTest::addColumn<QByteArray>("keyword");
    QTest::addColumn<QByteArray>("value");
    QTest::newRow("advisory lock") << QByteArray("AdvisoryLock") << QByteArray("abc");
    QTest::newRow("dupe age") << QByteArray("AreasMaxDupeAge") << QByteArray("12x");
    QTest::newRow("free space") << QByteArray("MinDiskFreeSpace") << QByteArray("4294967296");
}

// The bad line is the fifth: the lines before it keep their effects, pending Include lines
// among them; nothing after it takes effect.
void TestFilesAndPaths::numberErrorEndsOpen()
{
    QFETCH(QByteArray, keyword);
    QFETCH(QByteArray, value);
    const QByteArray content = "Inbound /in\n" + keyword + " 7\nInclude before.cfg\n"
        + "DupeBaseType textdupes\n" + keyword + ' ' + value + "\nOutbound /out\n"
        + "Include after.cfg\n" + keyword + " 9\nDupeBaseType commondupebase\n";
    const QList<ShownError> errors = openConfig(m_files.write(content));

    QCOMPARE(errors.size(), 1);
    QCOMPARE(errors[0].icon, QMessageBox::Critical);
    QCOMPARE(errors[0].title, vog::applicationTitle());
    QVERIFY2(errors[0].text.contains(QString::fromLatin1(value)), qPrintable(errors[0].text));
    QVERIFY2(errors[0].text.contains(QStringLiteral("line 5")), qPrintable(errors[0].text));
    QVERIFY(errors[0].text.endsWith(QLatin1Char('.')));

    const QString name = QString::fromLatin1(keyword);
    QCOMPARE(allStates(), initialWith({"Inbound=/in", name + QStringLiteral("=7"),
                                       "Include=before.cfg", "DupeBaseType=0"}));
    QVERIFY(Main->N6->isEnabled());
}

// The sample configuration names every row of the window.
void TestFilesAndPaths::sampleFillsEveryRow()
{
    const QList<ShownError> errors = openConfig(QStringLiteral(VOG_EXAMPLES "/sample.cfg"));
    QVERIFY2(errors.isEmpty(), qPrintable(errors.value(0).text));
    const States initial = initialStates();
    const States now = allStates();
    for (auto it = now.cbegin(); it != now.cend(); ++it)
        QVERIFY2(it.value() != initial.value(it.key()), qPrintable(it.key()));
    QVERIFY(Files_and_Paths->field<vog::LineList>("Include")->lineCount() >= 2);
}

void TestFilesAndPaths::buttons_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("browse");
    for (const ExpectedRow &r : Rows)
        if (r.browse != Browse::None)
            QTest::newRow(r.name) << QString::fromLatin1(r.name) << int(r.browse);
}

// Each button fills its own field by its family: the window's file dialog, the directory
// chooser, or for "+" a new line of Include.
void TestFilesAndPaths::buttons()
{
    QFETCH(QString, name);
    QFETCH(int, browse);
    const States before = allStates();
    QString expected;
    const QString chosen = QStringLiteral("/picked/for/") + name;
    switch (Browse(browse)) {
    case Browse::File:
        vog::FileOpenDialog::setNextAnswer(chosen);
        buttonOf(name)->click();
        expected = chosen;
        break;
    case Browse::Append:
        vog::FileOpenDialog::setNextAnswer(chosen);
        buttonOf(name)->click();
        vog::FileOpenDialog::setNextAnswer(std::nullopt);
        buttonOf(name)->click();
        // A cancel appends the dialog's last name again.
        expected = chosen + QLatin1Char('|') + chosen;
        break;
    case Browse::Directory:
        whenModal<TSelect_directory>([](TSelect_directory *d) { d->close(); },
                                     [&] { buttonOf(name)->click(); });
        expected = QDir::currentPath();
        break;
    case Browse::None:
        QFAIL("row without a button");
    }
    States after = before;
    after.insert(name, expected);
    QCOMPARE(allStates(), after);
}

QTEST_MAIN(TestFilesAndPaths)
#include "tst_files_and_paths.moc"
