// What the user does in the real windows, saved through File > Save and its preview, judged by
// the bytes of the whole file afterwards.

#include "TestSupport.h"

#include "document/ConfigDocument.h"
#include "document/UnifiedDiff.h"

#include "editors/TFiles_and_Paths.h"
#include "editors/TGeneral_Keywords.h"
#include "editors/TLink_Keywords.h"
#include "fields/ChoiceField.h"
#include "fields/FlagBoxes.h"
#include "fields/LineList.h"
#include "fields/NumberField.h"
#include "fields/RadioChoice.h"
#include "fields/TextField.h"
#include "shell/Startup.h"
#include "shell/TMain.h"

#include <QAccessible>
#include <QAccessibleValueInterface>
#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QDialogButtonBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTextBlock>
#include <QtTest>

namespace {

QByteArray contents(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<unreadable>");
}

QWidget *windowOf(const char *name)
{
    const vog::KeywordRow *row = vog::rowNamed(name);
    return row->place == vog::Place::General       ? static_cast<QWidget *>(General_Keywords)
            : row->place == vog::Place::FilesAndPaths ? static_cast<QWidget *>(Files_and_Paths)
                                                      : static_cast<QWidget *>(Link_Keywords);
}

// Retypes a line edit's whole text as a user would.
void retype(QLineEdit *edit, const QString &text)
{
    edit->setFocus();
    edit->selectAll();
    QTest::keyClick(edit, Qt::Key_Delete);
    // Typed as a keyboard sends it, Russian letters too.
    QKeyEvent typed(QEvent::KeyPress, 0, Qt::NoModifier, text);
    QApplication::sendEvent(edit, &typed);
}

void pickLink(int entry)
{
    Link_Keywords->LinkChange->setCurrentIndex(entry);
    Link_Keywords->LinkChangeChange();
}

// One step of the user's, written "kind Field=value": text, choice, step (the number's up
// arrow, value times), radio (option), box (flag box name), addline / dropline (a list's
// line), link (an entry of LinkChange picked).
void act(const QString &step)
{
    const QString kind = step.section(u' ', 0, 0);
    const QString target = step.section(u' ', 1).section(u'=', 0, 0);
    const QString value = step.section(u'=', 1);
    if (kind == QLatin1String("link")) {
        pickLink(target.toInt());
        return;
    }
    QWidget *window = windowOf(target.startsWith(QLatin1String("afkr_")) ? "AreafixKillReports"
                                                                          : qPrintable(target));
    window->show();
    window->activateWindow();
    QWidget *field = window->findChild<QWidget *>(target);
    QVERIFY2(field, qPrintable(target));
    if (kind == QLatin1String("text")) {
        retype(static_cast<QLineEdit *>(field), value);
    } else if (kind == QLatin1String("choice")) {
        retype(static_cast<QComboBox *>(field)->lineEdit(), value);
    } else if (kind == QLatin1String("step")) {
        for (int i = 0; i < value.toInt(); ++i)
            QTest::keyClick(field, Qt::Key_Up);
    } else if (kind == QLatin1String("radio")) {
        QTest::mouseClick(static_cast<vog::RadioChoice *>(field)->option(value.toInt()),
                          Qt::LeftButton);
    } else if (kind == QLatin1String("box")) {
        QTest::mouseClick(static_cast<QCheckBox *>(field), Qt::LeftButton);
    } else if (kind == QLatin1String("addline") || kind == QLatin1String("dropline")) {
        auto *list = static_cast<vog::LineList *>(field);
        list->setFocus();
        QTextCursor cursor(list->document()->findBlockByNumber(value.section(u':', 0, 0).toInt()));
        list->setTextCursor(cursor);
        if (kind == QLatin1String("addline")) {
            QTest::keyClicks(list, value.section(u':', 1));
            QTest::keyClick(list, Qt::Key_Return);
        } else {
            cursor.movePosition(QTextCursor::NextBlock, QTextCursor::KeepAnchor);
            list->setTextCursor(cursor);
            QTest::keyClick(list, Qt::Key_Delete);
        }
    }
}

// File > Save with the preview answered; the error boxes it showed.
QList<ShownError> save(bool confirm, QString *diff = nullptr)
{
    ErrorBoxWatcher boxes;
    whenModal<QDialog>(
            [&](QDialog *dialog) {
                QCOMPARE(dialog->objectName(), QStringLiteral("SavePreview"));
                if (diff)
                    *diff = dialog->findChild<QPlainTextEdit *>(QStringLiteral("SaveDiff"))
                                    ->toPlainText();
                auto *buttons = dialog->findChild<QDialogButtonBox *>();
                buttons->button(confirm ? QDialogButtonBox::Save : QDialogButtonBox::Cancel)
                        ->click();
            },
            [] { Main->N3->trigger(); });
    return boxes.shown();
}

} // namespace

class TestSaveEdits final : public QObject
{
    Q_OBJECT
private slots:
    void savedBytes_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<QString>("steps");
        QTest::addColumn<QByteArray>("expected");
        // More changes after the save, saved without opening the file again.
        QTest::addColumn<QString>("more");
        QTest::addColumn<QByteArray>("expectedThen");
        // clang-format off
        // DupeBaseType is a Files and Paths keyword: with none in the file, it goes at the end.
        QTest::newRow("text, choice, number, radio, box")
            << QByteArray("Origin old\r\nAreafixFromPkt off\r\nAreafixMsgSize 10\r\n# end\r\n")
            << "text Origin=new one\nchoice AreafixFromPkt=on\nstep AreafixMsgSize=2\nradio DupeBaseType=0\nbox afkr_pvt"
            << QByteArray("Origin new one\r\nAreafixFromPkt On\r\nAreafixMsgSize 12\r\nAreafixKillReports pvt\r\n# end\r\nDupeBaseType textdupes\r\n")
            << "text Origin=3rd\nstep AreafixMsgSize=1"
            << QByteArray("Origin 3rd\r\nAreafixFromPkt On\r\nAreafixMsgSize 13\r\nAreafixKillReports pvt\r\n# end\r\nDupeBaseType textdupes\r\n");
        QTest::newRow("Files and Paths: a path typed, the value emptied elsewhere")
            << QByteArray("Inbound /in\nOutbound /out") << "text Inbound=/var/in\ntext Outbound="
            << QByteArray("Inbound /var/in\n") << QString() << QByteArray();
        QTest::newRow("a list line removed and one added")
            << QByteArray("Pack zip a\nPack rar b\nPack arj c\n") << "dropline Pack=1\naddline Pack=1:lha d"
            << QByteArray("Pack zip a\nPack lha d\nPack arj c\n")
            << "dropline Pack=0\naddline Pack=1:ha e" << QByteArray("Pack lha d\nPack ha e\nPack arj c\n");
        QTest::newRow("a link change kept across picks, saved into its section")
            << QByteArray("link One\nAka 1:1/1\nlink Two\nAka 2:2/2\n\x1a")
            << "link 1\ntext Packer=zip\nlink 0\ntext Aka=1:1/9\nlink 1"
            << QByteArray("link One\nAka 1:1/9\nlink Two\nAka 2:2/2\nPacker zip\n\x1a")
            << "text Packer=rar\nlink 0\ntext Aka=1:1/8"
            << QByteArray("link One\nAka 1:1/8\nlink Two\nAka 2:2/2\nPacker rar\n\x1a");
        QTest::newRow("KOI8-R file: a Russian value written in KOI8-R")
            << QByteArray("Sysop \xf3\xc9\xd3\xd4\xc5\xcd\xce\xd9\xca \xcf\xd0\xc5\xd2\xc1\xd4\xcf\xd2 \xd5\xda\xcc\xc1\n")
            << QString::fromUtf8("text Origin=Привет мир")
            << QByteArray("Sysop \xf3\xc9\xd3\xd4\xc5\xcd\xce\xd9\xca \xcf\xd0\xc5\xd2\xc1\xd4\xcf\xd2 \xd5\xda\xcc\xc1\nOrigin \xf0\xd2\xc9\xd7\xc5\xd4 \xcd\xc9\xd2\n")
            << QString() << QByteArray();
        // clang-format on
    }
    void savedBytes()
    {
        QFETCH(QByteArray, file);
        QFETCH(QString, steps);
        QFETCH(QByteArray, expected);
        Program program;
        ConfigFixture files;
        const QString path = files.write(file);
        QVERIFY(openConfig(path).isEmpty());
        for (const QString &step : steps.split(u'\n'))
            act(step);
        if (steps.endsWith(QLatin1String("link 1")))
            QCOMPARE(fieldState(Link_Keywords, "Packer"), QStringLiteral("zip"));
        QVERIFY(Main->N3->isEnabled());
        QVERIFY(Main->isWindowModified());
        // Cancel writes nothing and keeps the changes.
        QVERIFY(save(false).isEmpty());
        QCOMPARE(contents(path), file);
        QVERIFY(Main->N3->isEnabled());
        QString diff;
        const vog::TextCodec codec = vog::sourceFile(vog::document().mainFile()).codec;
        QVERIFY(save(true, &diff).isEmpty());
        QCOMPARE(contents(path), expected);
        // The preview's diff, which skips the bytes outside the edits, is the whole files' diff
        // (shown without its last line end).
        QCOMPARE(diff + QLatin1Char('\n'), vog::unifiedDiff(path, file, expected, codec));
        QVERIFY(!Main->N3->isEnabled());
        QVERIFY(!Main->isWindowModified());
        // The bytes as read are kept beside the file.
        QCOMPARE(contents(path + QStringLiteral(".bak")), file);

        QFETCH(QString, more);
        QFETCH(QByteArray, expectedThen);
        if (more.isEmpty())
            return;
        for (const QString &step : more.split(u'\n'))
            act(step);
        QVERIFY(save(true).isEmpty());
        QCOMPARE(contents(path), expectedThen);
        // Written once a run, the .bak still holds the bytes as first read.
        QCOMPARE(contents(path + QStringLiteral(".bak")), file);
    }

    // Changes in a file and in the file it includes: both written by one save, and again by a
    // second one, each file's lines followed after the other's were written.
    void savesTwoFiles()
    {
        Program program;
        ConfigFixture files;
        const QString part = files.write("Pack zip a\r\nPack rar b\r\n", "part.cfg");
        const QString path = files.write("Include part.cfg\nName a\n");
        QVERIFY(openConfig(path).isEmpty());
        ErrorBoxWatcher opened;
        Files_and_Paths->OpenAllIncludedFiles->trigger();
        QVERIFY(opened.shown().isEmpty());
        act("text Origin=o");
        act("dropline Pack=0");
        QVERIFY(save(true).isEmpty());
        QCOMPARE(Main->SaveStatus->text(), QStringLiteral("Saved 2 files"));
        QCOMPARE(contents(path), QByteArray("Include part.cfg\nName a\nOrigin o\n"));
        QCOMPARE(contents(part), QByteArray("Pack rar b\r\n"));
        act("addline Pack=0:lha c");
        act("text Name=c");
        QVERIFY(save(true).isEmpty());
        QCOMPARE(contents(path), QByteArray("Include part.cfg\nName c\nOrigin o\n"));
        QCOMPARE(contents(part), QByteArray("Pack lha c\r\nPack rar b\r\n"));
    }

    // A number counts as the user's however it was set: typed while another window is the
    // active one and the field has no focus, or set by an assistive client. Once only the
    // focused text box counted, and such a value was shown but never saved.
    void numberSetWithoutTheFocus_data()
    {
        QTest::addColumn<QString>("how");
        QTest::newRow("typed, another window active") << "typed";
        QTest::newRow("set by an assistive client") << "assistive";
        QTest::newRow("wheeled") << "wheeled";
    }
    void numberSetWithoutTheFocus()
    {
        QFETCH(QString, how);
        Program program;
        ConfigFixture files;
        const QString path = files.write("AdvisoryLock 10\nRoute crash 1:1/1 *\n");
        QVERIFY(openConfig(path).isEmpty());
        Files_and_Paths->show();
        General_Keywords->show();
        General_Keywords->activateWindow();
        auto *lock = Files_and_Paths->field<vog::NumberField>("AdvisoryLock");
        QVERIFY(!lock->hasFocus());
        if (how == QLatin1String("typed")) {
            lock->selectAll();
            QTest::keyClicks(lock->findChild<QLineEdit *>(), QStringLiteral("25"));
        } else if (how == QLatin1String("assistive")) {
            QAccessibleInterface *a = QAccessible::queryAccessibleInterface(lock);
            QVERIFY(a && a->valueInterface());
            a->valueInterface()->setCurrentValue(25);
        } else {
            QWheelEvent wheel(QPointF(5, 5), lock->mapToGlobal(QPointF(5, 5)), {}, {0, 15 * 8 * 15},
                              Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
            QApplication::sendEvent(lock, &wheel);
        }
        QCOMPARE(lock->value(), 25);
        act("addline Route=0:direct 2:2/2");
        QVERIFY(save(true).isEmpty());
        QCOMPARE(contents(path), QByteArray("AdvisoryLock 25\nRoute direct 2:2/2\nRoute crash 1:1/1 *\n"));
    }

    // A save that can't be done writes nothing, keeps the changes, and says why in one box.
    void refusedSaveWritesNothing_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("changeOnDisk");
        QTest::addColumn<QString>("message");
        QTest::newRow("a character KOI8-R can't hold")
                << QString::fromUtf8("Иван ✓") << false
                << QString::fromUtf8("the character \"✓\" (U+2713) can't be written in KOI8-R");
        QTest::newRow("the file changed on disk")
                << QStringLiteral("Ivan") << true
                << QStringLiteral("was changed on disk after it was read; open it again to edit it");
    }
    void refusedSaveWritesNothing()
    {
        QFETCH(QString, text);
        QFETCH(bool, changeOnDisk);
        QFETCH(QString, message);
        Program program;
        ConfigFixture files;
        const QByteArray file("Sysop \xf3\xc9\xd3\xd4\xc5\xcd\xce\xd9\xca \xcf\xd0\xc5\xd2\xc1\xd4\xcf\xd2 \xd5\xda\xcc\xc1\n");
        const QString path = files.write(file);
        QVERIFY(openConfig(path).isEmpty());
        act(QStringLiteral("text Sysop=") + text);
        const QByteArray onDisk = changeOnDisk ? file + "# edited elsewhere\n" : file;
        files.write(onDisk);
        ErrorBoxWatcher boxes;
        Main->N3->trigger();
        QCOMPARE(boxes.shown().size(), 1);
        QVERIFY2(boxes.shown()[0].text.contains(message), qPrintable(boxes.shown()[0].text));
        QCOMPARE(contents(path), onDisk);
        QVERIFY(!QFile::exists(path + QStringLiteral(".bak")));
        QVERIFY(Main->N3->isEnabled());
    }
};

QTEST_MAIN(TestSaveEdits)
#include "tst_save_edits.moc"
