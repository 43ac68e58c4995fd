// The browse families behind the "..." and "+" buttons: the file picker, driven through the
// real file dialog and through the dialog's answer seam, and the "+" family on a line list.
#include "TestSupport.h"

#include "editors/Pickers.h"
#include "editors/TGeneral_Keywords.h"
#include "fields/FileOpenDialog.h"
#include "fields/LineList.h"
#include "shell/Startup.h"
#include "fields/TextField.h"

#include <QFile>
#include <QFileDialog>
#include <QLineEdit>
#include <QPushButton>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QtTest>

#include <optional>

using Answers = QList<std::optional<QString>>;
Q_DECLARE_METATYPE(Answers)

namespace {

// The four file pickers of the General Keywords window, by button and field.
QPushButton *button(const QString &name)
{
    auto *b = General_Keywords->findChild<QPushButton *>(name + QStringLiteral("Button"));
    if (!b)
        qFatal("no button %s", qPrintable(name));
    return b;
}

QLineEdit *field(const QString &name)
{
    auto *f = General_Keywords->findChild<QLineEdit *>(name);
    if (!f)
        qFatal("no field %s", qPrintable(name));
    return f;
}

void answer(const std::optional<QString> &name)
{
    vog::FileOpenDialog::setNextAnswer(name);
}

// Clicks the button while the real file dialog is up, and lets onDialog work it. The dialog is
// cancelled afterwards if onDialog left it open, so a failed check never hangs the run.
void clickWithDialog(QPushButton *b, const std::function<void(QFileDialog *)> &onDialog)
{
    ErrorBoxWatcher refusals; // a dialog refusing a name would otherwise wait for a click
    whenModal<QFileDialog>(
        [&](QFileDialog *dialog) {
            auto closeLeftOpen = qScopeGuard([dialog] {
                if (dialog->isVisible())
                    dialog->reject();
            });
            onDialog(dialog);
        },
        [b] { b->click(); });
}

} // namespace

class TestPickers : public QObject
{
    Q_OBJECT

private slots:
    void realDialogChoosesThenCancelReusesName();
    void realDialogTakesANameThatDoesNotExistYet();
    void cancelBeforeAnyChoiceEmptiesTheField_data();
    void cancelBeforeAnyChoiceEmptiesTheField();
    void cancelReusesTheWindowsLastName_data();
    void cancelReusesTheWindowsLastName();
    void windowsKeepTheirOwnLastName();
    void appendAddsOneLinePerClick_data();
    void appendAddsOneLinePerClick();
};

void TestPickers::realDialogChoosesThenCancelReusesName()
{
    Program program;
    QTemporaryDir dir;
    const QString queue = dir.filePath(QStringLiteral("queue.txt"));
    QFile(queue).open(QIODevice::WriteOnly);

    clickWithDialog(button(QStringLiteral("AreafixQueueFile")), [&](QFileDialog *dialog) {
        dialog->selectFile(queue);
        QMetaObject::invokeMethod(dialog, "accept");
    });
    QCOMPARE(field(QStringLiteral("AreafixQueueFile"))->text(), queue);

    // Another field of the same window, cancelled: the dialog opens with the name it returned
    // last, and that name is what the field gets.
    field(QStringLiteral("NetmailFlag"))->setText(QStringLiteral("was here"));
    QStringList prefilled;
    clickWithDialog(button(QStringLiteral("NetmailFlag")), [&](QFileDialog *dialog) {
        prefilled = dialog->selectedFiles();
        dialog->reject();
    });
    QCOMPARE(prefilled, QStringList{queue});
    QCOMPARE(field(QStringLiteral("NetmailFlag"))->text(), queue);
    QCOMPARE(field(QStringLiteral("AreafixQueueFile"))->text(), queue);
}

void TestPickers::realDialogTakesANameThatDoesNotExistYet()
{
    // Log and flag files are named before the tosser first writes them.
    Program program;
    QTemporaryDir dir;
    const QString flag = dir.filePath(QStringLiteral("netmail.flg"));
    QVERIFY(!QFile::exists(flag));

    clickWithDialog(button(QStringLiteral("NetmailFlag")), [&](QFileDialog *dialog) {
        dialog->selectFile(flag);
        QMetaObject::invokeMethod(dialog, "accept");
    });
    QCOMPARE(field(QStringLiteral("NetmailFlag"))->text(), flag);
}

void TestPickers::cancelBeforeAnyChoiceEmptiesTheField_data()
{
    QTest::addColumn<QString>("name");
    for (const char *name :
         {"AreafixQueueFile", "AutoAreaCreateFlag", "NetmailFlag", "NewAreaRefuseFile"})
        QTest::newRow(name) << QString::fromLatin1(name);
}

void TestPickers::cancelBeforeAnyChoiceEmptiesTheField()
{
    QFETCH(QString, name);
    Program program;
    field(name)->setText(QStringLiteral("/etc/from-the-config"));
    answer(std::nullopt);
    button(name)->click();
    QCOMPARE(field(name)->text(), QString());
}

void TestPickers::cancelReusesTheWindowsLastName_data()
{
    QTest::addColumn<QString>("chosenOn");
    QTest::addColumn<QString>("cancelledOn");
    const QStringList names{QStringLiteral("AreafixQueueFile"), QStringLiteral("AutoAreaCreateFlag"),
                            QStringLiteral("NetmailFlag"), QStringLiteral("NewAreaRefuseFile")};
    // Each picker's name reaches the next one round the window, and the same field again.
    for (int i = 0; i < names.size(); ++i) {
        const QString next = names[(i + 1) % names.size()];
        QTest::addRow("%s to %s", qPrintable(names[i]), qPrintable(next)) << names[i] << next;
        QTest::addRow("%s again", qPrintable(names[i])) << names[i] << names[i];
    }
}

void TestPickers::cancelReusesTheWindowsLastName()
{
    QFETCH(QString, chosenOn);
    QFETCH(QString, cancelledOn);
    Program program;

    answer(QStringLiteral("/var/spool/first"));
    button(chosenOn)->click();
    answer(QStringLiteral("/var/spool/second"));
    button(chosenOn)->click();
    QCOMPARE(field(chosenOn)->text(), QStringLiteral("/var/spool/second"));

    answer(std::nullopt);
    button(cancelledOn)->click();
    QCOMPARE(field(cancelledOn)->text(), QStringLiteral("/var/spool/second"));
}

void TestPickers::windowsKeepTheirOwnLastName()
{
    // Each window owns its dialog: a name chosen in one doesn't answer a cancel in another.
    Program program;
    QWidget otherWindow;
    vog::FileOpenDialog otherDialog(QStringLiteral("OpenFileDialog"), &otherWindow);
    QLineEdit other;

    answer(QStringLiteral("/etc/vog/areafix.hlp"));
    button(QStringLiteral("NetmailFlag"))->click();
    answer(std::nullopt);
    vog::pickFile(&otherDialog, &other);
    QCOMPARE(other.text(), QString());

    answer(QStringLiteral("/etc/vog/intab"));
    vog::pickFile(&otherDialog, &other);
    answer(std::nullopt);
    button(QStringLiteral("NewAreaRefuseFile"))->click();
    QCOMPARE(field(QStringLiteral("NewAreaRefuseFile"))->text(),
             QStringLiteral("/etc/vog/areafix.hlp"));
}

void TestPickers::appendAddsOneLinePerClick_data()
{
    QTest::addColumn<QStringList>("existing");
    QTest::addColumn<Answers>("answers");
    QTest::addColumn<QStringList>("lines");

    const QString a = QStringLiteral("/etc/vog/links.inc");
    const QString b = QStringLiteral("/etc/vog/areas.inc");
    const QString c = QStringLiteral("/etc/vog/routes.inc");
    QTest::newRow("three chosen, in order") << QStringList() << Answers{a, b, c}
                                            << QStringList{a, b, c};
    QTest::newRow("first cancelled adds an empty line")
        << QStringList() << Answers{std::nullopt, a, b} << QStringList{QString(), a, b};
    QTest::newRow("cancel repeats the last name")
        << QStringList() << Answers{a, std::nullopt, b, std::nullopt}
        << QStringList{a, a, b, b};
    QTest::newRow("lines from the file stay first")
        << QStringList{c} << Answers{std::nullopt, a} << QStringList{c, QString(), a};
}

void TestPickers::appendAddsOneLinePerClick()
{
    QFETCH(QStringList, existing);
    QFETCH(Answers, answers);
    QFETCH(QStringList, lines);

    QWidget window;
    vog::FileOpenDialog dialog(QStringLiteral("OpenFileDialog"), &window);
    vog::LineList list(&window);
    for (const QString &line : existing)
        list.appendLine(line);
    for (const std::optional<QString> &name : answers) {
        answer(name);
        vog::appendPickedFile(&dialog, &list);
    }
    QCOMPARE(list.lines(), lines);
    QCOMPARE(list.lineCount(), lines.size());
}

QTEST_MAIN(TestPickers)
#include "tst_pickers.moc"
