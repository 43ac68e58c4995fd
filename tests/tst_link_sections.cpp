// Links as a whole through the Link Keywords window's buttons and the link dialog: what each
// writes is judged by the bytes of the whole file after File > Save.

#include "TestSupport.h"

#include "document/ConfigDocument.h"
#include "editors/LinkDialog.h"
#include "editors/TFiles_and_Paths.h"
#include "editors/TLink_Keywords.h"
#include "editors/Windows.h"
#include "fields/TextField.h"
#include "shell/Startup.h"
#include "shell/TMain.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QtTest>

namespace {

QByteArray contents(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<unreadable>");
}

void pickLink(int entry)
{
    Link_Keywords->LinkChange->setCurrentIndex(entry);
    Link_Keywords->LinkChangeChange();
}

// Clicks a link button and answers its dialog with a name and an address: OK where it is
// enabled. Gives the reason the dialog showed.
QString throughDialog(QPushButton *button, const QString &name, const QString &address)
{
    QString reason;
    whenModal<vog::LinkDialog>(
            [&](vog::LinkDialog *dialog) {
                dialog->LinkNameEdit->setText(name);
                if (dialog->LinkAkaEdit)
                    dialog->LinkAkaEdit->setText(address);
                reason = dialog->LinkDialogReason->text();
                QPushButton *ok = dialog->LinkDialogButtons->button(QDialogButtonBox::Ok);
                if (ok->isEnabled())
                    ok->click();
                else
                    dialog->LinkDialogButtons->button(QDialogButtonBox::Cancel)->click();
            },
            [&] { button->click(); });
    return reason;
}

// One step, "new NAME ADDRESS", "copy NAME ADDRESS", "rename NAME", "remove", "link N" (an
// entry picked) or "set Keyword=value" (a text field of the link shown).
void act(const QString &step)
{
    const QStringList words = step.split(u' ');
    const QString &kind = words[0];
    if (kind == QLatin1String("link")) {
        pickLink(words[1].toInt());
    } else if (kind == QLatin1String("new")) {
        throughDialog(Link_Keywords->NewLinkButton, words[1], words[2]);
    } else if (kind == QLatin1String("copy")) {
        throughDialog(Link_Keywords->CopyLinkButton, words[1], words[2]);
    } else if (kind == QLatin1String("rename")) {
        throughDialog(Link_Keywords->RenameLinkButton, words[1], QString());
    } else if (kind == QLatin1String("remove")) {
        whenModal<QMessageBox>(
                [](QMessageBox *box) {
                    QCOMPARE(box->objectName(), QStringLiteral("RemoveLinkQuestion"));
                    box->button(QMessageBox::Yes)->click();
                },
                [] { Link_Keywords->RemoveLinkButton->click(); });
    } else if (kind == QLatin1String("set")) {
        auto *field = Link_Keywords->findChild<vog::TextField *>(words[1].section(u'=', 0, 0));
        field->setText(words[1].section(u'=', 1));
    }
}

void save()
{
    ErrorBoxWatcher boxes;
    whenModal<QDialog>(
            [](QDialog *dialog) {
                dialog->findChild<QDialogButtonBox *>()->button(QDialogButtonBox::Save)->click();
            },
            [] { Main->N3->trigger(); });
    QVERIFY(boxes.shown().isEmpty());
}

// Each link's name and addresses as its file says them stand in the lines their origins name,
// in the bytes as they now are: the lines moved with every edit.
void originsStandInTheirLines()
{
    const vog::ConfigDocument &doc = vog::document();
    for (int column = 1; column < doc.links().columnCount(); ++column)
        for (const char *keyword : {"Link", "Aka"}) {
            const vog::InEffect said = doc.inEffect(*vog::rowNamed(keyword), column, false);
            if (!said.origin.isSet()) { // a link with no Aka
                QCOMPARE(keyword, "Aka");
                continue;
            }
            const int file = said.origin.file;
            const QByteArray *unsaved = doc.unsavedBytes(file);
            const QByteArray bytes = unsaved ? *unsaved : contents(vog::sourceFile(file).path);
            const QByteArray line = bytes.split('\n').value(said.origin.line - 1).trimmed();
            QVERIFY2(line.toLower().startsWith(QByteArray(keyword).toLower())
                             && line.endsWith(said.words),
                     line + " for " + said.words);
        }
}

QStringList entries()
{
    QStringList names;
    for (int k = 0; k < Link_Keywords->LinkChange->count(); ++k)
        names << Link_Keywords->LinkChange->itemText(k);
    return names;
}

} // namespace

class TestLinkSections final : public QObject
{
    Q_OBJECT
private slots:
    void linkEdits_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<QString>("steps");
        QTest::addColumn<QByteArray>("expected");
        QTest::addColumn<QString>("listed"); // LinkChange's entries after, joined by blanks
        // clang-format off
        QTest::newRow("new: after the last section, spelled and placed as it, CRLF, Ctrl-Z")
            << QByteArray("Sysop a\r\nLINK  One\r\nAKA   1:1/1\r\n\r\n# tail comment\r\n\x1a")
            << "link 0\nnew Two 2:2/2"
            << QByteArray("Sysop a\r\nLINK  One\r\nAKA   1:1/1\r\n\r\nLINK  Two\r\nAKA   2:2/2\r\n\r\n# tail comment\r\n\x1a")
            << "One Two";
        QTest::newRow("new: a file with no link and no final line end")
            << QByteArray("Sysop a") << "new Two 2:2/2.5@net"
            << QByteArray("Sysop a\n\nLink Two\nAka 2:2/2.5@net") << "Two";
        QTest::newRow("new: a value set in it goes into its section")
            << QByteArray("link One\nAka 1:1/1\n# next\nlink Three\nAka 3:3/3\n")
            << "link 0\nnew Two 2:2/2\nset Password=pw"
            << QByteArray("link One\nAka 1:1/1\n# next\nlink Three\nAka 3:3/3\n\nlink Two\nAka 2:2/2\nPassword pw\n")
            << "One Three Two";
        QTest::newRow("copy: a line the program doesn't know and a comment come along")
            << QByteArray("link One\nAka 1:1/1 1:1/2\nFrobnicate yes\n# mine\nPassword secret\n\nlink Three\nAka 3:3/3\n")
            << "link 0\ncopy Two 2:2/2"
            << QByteArray("link One\nAka 1:1/1 1:1/2\nFrobnicate yes\n# mine\nPassword secret\n\nlink Two\nAka 2:2/2\nFrobnicate yes\n# mine\nPassword secret\n\nlink Three\nAka 3:3/3\n")
            << "One Two Three";
        QTest::newRow("copy: a section with no Aka gets one after its link line")
            << QByteArray("link One\nPassword p") << "link 0\ncopy Two 2:2/2"
            << QByteArray("link One\nPassword p\n\nlink Two\nAka 2:2/2\nPassword p") << "One Two";
        QTest::newRow("rename: the link line's value alone")
            << QByteArray("  link  One \r\nAka 1:1/1\r\n") << "link 0\nrename Uno"
            << QByteArray("  link  Uno \r\nAka 1:1/1\r\n") << "Uno";
        QTest::newRow("remove: a General Keywords line inside the section stays")
            << QByteArray("link One\nAka 1:1/1\n\n\nlink Two\nAka 2:2/2\nSysop me\nPassword p\n# about Three\nlink Three\nAka 3:3/3\n")
            << "link 1\nremove"
            << QByteArray("link One\nAka 1:1/1\nSysop me\n# about Three\nlink Three\nAka 3:3/3\n")
            << "One Three";
        QTest::newRow("remove: the last link of a file without a final line end")
            << QByteArray("Sysop a\n\nlink One\nAka 1:1/1") << "link 0\nremove"
            << QByteArray("Sysop a") << "";
        QTest::newRow("a change of a later link follows it through a removal")
            << QByteArray("link One\nAka 1:1/1\nlink Two\nAka 2:2/2\n")
            << "link 1\nset Password=two\nlink 0\nremove"
            << QByteArray("link Two\nAka 2:2/2\nPassword two\n") << "Two";
        QTest::newRow("copy and remove: a LinkDefaults line of another value is the link's own")
            << QByteArray("link One\nAka 1:1/1\nLinkDefaults keep\nPassword p\n\nlink Three\nAka 3:3/3\n")
            << "link 0\ncopy Two 2:2/2\nlink 0\nremove"
            << QByteArray("\nlink Two\nAka 2:2/2\nLinkDefaults keep\nPassword p\n\nlink Three\nAka 3:3/3\n")
            << "Two Three";
        QTest::newRow("values set after a copy, a removal and a new link land in their lines")
            << QByteArray("Sysop a\nLinkDefaults begin\nPassword dflt\nLinkDefaults end\nlink One\nAka 1:1/1\nPassword one\n"
                          "link Two\nAka 2:2/2\nlink Three\nAka 3:3/3\nPassword three\n")
            << "link 0\ncopy Uno 1:1/9\nlink 0\nremove\nlink 2\nset Password=THREE\nlink 1\nset Password=two\n"
               "new Four 4:4/4\nset Password=four"
            << QByteArray("Sysop a\nLinkDefaults begin\nPassword dflt\nLinkDefaults end\n\nlink Uno\nAka 1:1/9\nPassword one\n"
                          "link Two\nAka 2:2/2\nPassword two\nlink Three\nAka 3:3/3\nPassword THREE\n\nlink Four\nAka 4:4/4\nPassword four\n")
            << "Uno Two Three Four";
        // clang-format on
    }
    void linkEdits()
    {
        QFETCH(QByteArray, file);
        QFETCH(QString, steps);
        QFETCH(QByteArray, expected);
        QFETCH(QString, listed);
        Program program;
        ConfigFixture files;
        const QString path = files.write(file);
        QVERIFY(openConfig(path).isEmpty());
        Link_Keywords->show();
        for (const QString &step : steps.split(u'\n'))
            act(step);
        QCOMPARE(entries().join(u' '), listed);
        originsStandInTheirLines();
        // Nothing is written before Save, which is enabled.
        QCOMPARE(contents(path), file);
        QVERIFY(Main->N3->isEnabled());
        save();
        QCOMPARE(contents(path), expected);
        QVERIFY(!Main->N3->isEnabled());
    }

    // The new, copied or renamed link is shown, and a removed one's place goes to the next.
    void shownAfterEachEdit()
    {
        Program program;
        ConfigFixture files;
        QVERIFY(openConfig(files.write("link One\nAka 1:1/1\nPacker zip\nlink Three\nAka 3:3/3\n"))
                        .isEmpty());
        QVERIFY(!Link_Keywords->CopyLinkButton->isEnabled());
        act("link 0");
        QVERIFY(Link_Keywords->CopyLinkButton->isEnabled());
        act("copy Two 2:2/2");
        QCOMPARE(Link_Keywords->LinkChange->currentIndex(), 1);
        QCOMPARE(fieldState(Link_Keywords, "Aka"), QStringLiteral("2:2/2"));
        QCOMPARE(fieldState(Link_Keywords, "Packer"), QStringLiteral("zip"));
        act("rename Deux");
        QCOMPARE(entries(), QStringList({"One", "Deux", "Three"}));
        act("remove");
        QCOMPARE(entries(), QStringList({"One", "Three"}));
        QCOMPARE(Link_Keywords->LinkChange->currentIndex(), 1);
        QCOMPARE(fieldState(Link_Keywords, "Aka"), QStringLiteral("3:3/3"));
        QCOMPARE(Link_Keywords->shownRecord(), 2);
    }

    // OK stays greyed, and the dialog says why, for what can't be taken.
    void dialogRefuses_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("address");
        QTest::addColumn<QString>("reason");
        QTest::newRow("no name") << "" << "2:2/2" << "A link needs a name.";
        QTest::newRow("another link's name, in another case") << "ONE" << "2:2/2"
                                                              << "The link One has this name.";
        QTest::newRow("no address") << "Two" << "" << "The address reads as zone:net/node, optionally .point and @domain.";
        QTest::newRow("not all numbers") << "Two" << "2:x/2" << "The address reads as zone:net/node, optionally .point and @domain.";
        QTest::newRow("another link's second Aka") << "Two" << "1:1/2"
                                                   << "The link One has this address.";
    }
    void dialogRefuses()
    {
        QFETCH(QString, name);
        QFETCH(QString, address);
        QFETCH(QString, reason);
        Program program;
        ConfigFixture files;
        const QByteArray file("link One\nAka 1:1/1 1:1/2\n");
        const QString path = files.write(file);
        QVERIFY(openConfig(path).isEmpty());
        Link_Keywords->show();
        QCOMPARE(throughDialog(Link_Keywords->NewLinkButton, name, address), reason);
        QCOMPARE(entries(), QStringList({"One"}));
        QVERIFY(!Main->N3->isEnabled());
    }

    // A file opened twice lists its links twice; the first read's records stand in no section
    // now. A value typed there once landed outside every section at the main file's end.
    void recordOfAnEarlierReadIsNotWritten()
    {
        Program program;
        ConfigFixture files;
        const QByteArray file("Sysop a\nlink One\nAka 1:1/1\n");
        const QString path = files.write(file);
        QVERIFY(openConfig(path).isEmpty());
        QVERIFY(openConfig(path).isEmpty());
        QCOMPARE(entries(), QStringList({"One", "One"}));
        act("link 0");
        QVERIFY(!Link_Keywords->RemoveLinkButton->isEnabled());
        act("set Password=pw");
        ErrorBoxWatcher boxes;
        Main->N3->trigger();
        QCOMPARE(boxes.shown().size(), 1);
        QVERIFY(boxes.shown().constFirst().text.contains(QStringLiteral("read again")));
        QCOMPARE(contents(path), file);
    }

    // Area lines after a section are no part of it; the link removed is taken off them too,
    // as the question's check box offers. Those unsaved area edits name where their lines
    // stand: a new link put in before them moves them, and both are written.
    void removalKeepsAreaLinesAndTakesTheLinkOffThem()
    {
        Program program;
        ConfigFixture files;
        const QString path = files.write("link One\nAka 1:1/1\nlink Two\nAka 2:2/2\n\n"
                                         "EchoArea A /a 1:1/1 2:2/2 -r\nEchoArea B /b 2:2/2\n");
        QVERIFY(openConfig(path).isEmpty());
        act("link 1");
        whenModal<QMessageBox>(
                [](QMessageBox *box) {
                    QVERIFY(box->checkBox() && box->checkBox()->isChecked());
                    box->button(QMessageBox::Yes)->click();
                },
                [] { Link_Keywords->RemoveLinkButton->click(); });
        act("link 0");
        act("new Three 3:3/3");
        QCOMPARE(entries(), QStringList({"One", "Three"}));
        save();
        QCOMPARE(contents(path), QByteArray("link One\nAka 1:1/1\n\nlink Three\nAka 3:3/3\n\n"
                                            "EchoArea A /a 1:1/1\nEchoArea B /b\n"));
    }

    // The document's sections of a file: a defaults block, a link's own LinkDefaults line kept
    // in its section, a section ended by area lines (the line after them is no section's), one
    // by a LinkDefaults destroy line, and the last by the file's end.
    void sectionsOfAFile()
    {
        Program program;
        ConfigFixture files;
        const QByteArray file("Sysop a\nLinkDefaults begin\nPassword d\nLinkDefaults end\n"
                              "link One\nAka 1:1/1\nLinkDefaults keep\n# note\n"
                              "link Two\nAka 2:2/2\n\nEchoArea A /a 2:2/2\nPassword orphan\n"
                              "LinkDefaults destroy\nlink Three\nAka 3:3/3\n");
        QVERIFY(openConfig(files.write(file)).isEmpty());
        const vog::ConfigDocument &doc = vog::document();
        QStringList found;
        for (const vog::ConfigDocument::Section &s : doc.sections(doc.mainFile()))
            found << QStringLiteral("%1:%2-%3@%4")
                             .arg(s.column == vog::LinkStore::DefaultsColumn ? -1 : s.column)
                             .arg(s.firstLine)
                             .arg(s.lastLine)
                             .arg(s.next < 0 ? QStringLiteral("end")
                                             : QString::fromLatin1(file.mid(s.next, 4)));
        QCOMPARE(found, QStringList({"-1:2-4@link", "1:5-7@link", "2:9-10@Echo", "3:15-16@end"}));
    }

    // The file is read while the dialog is open; changed on disk meanwhile, it is not written
    // over: the new link is refused, or made from the bytes as read and its Save refused.
    void fileChangedWhileTheDialogIsOpen()
    {
        Program program;
        ConfigFixture files;
        const QString path = files.write("link One\nAka 1:1/1\n");
        QVERIFY(openConfig(path).isEmpty());
        act("link 0");
        const QByteArray theirs("link One\nAka 1:1/1\nlink Other\nAka 9:9/9\n");
        ErrorBoxWatcher boxes;
        whenModal<vog::LinkDialog>(
                [&](vog::LinkDialog *dialog) {
                    QFile f(path);
                    QVERIFY(f.open(QIODevice::WriteOnly) && f.write(theirs) == theirs.size());
                    f.close();
                    dialog->LinkNameEdit->setText(QStringLiteral("Two"));
                    dialog->LinkAkaEdit->setText(QStringLiteral("2:2/2"));
                    dialog->LinkDialogButtons->button(QDialogButtonBox::Ok)->click();
                },
                [] { Link_Keywords->NewLinkButton->click(); });
        if (boxes.shown().isEmpty()) {
            QCOMPARE(entries(), QStringList({"One", "Two"}));
            Main->N3->trigger();
        }
        QCOMPARE(boxes.shown().size(), 1);
        QVERIFY(boxes.shown().constFirst().text.contains(QStringLiteral("changed")));
        QCOMPARE(contents(path), theirs);
    }

    // A new link that only a read of the whole file could follow, in a file whose areas have
    // unsaved changes, is refused with the records as they were; the area change is saved alone.
    void refusedWithUnsavedAreas()
    {
        Program program;
        ConfigFixture files;
        const QString path = files.write("EchoArea A /a 1:1/1\nlink One\nAka 1:1/1");
        QVERIFY(openConfig(path).isEmpty());
        QCOMPARE(vog::document().areas().removeLinkEverywhere(QStringLiteral("1:1/1")), 1);
        act("link 0");
        ErrorBoxWatcher boxes;
        act("new Two 2:2/2");
        QCOMPARE(boxes.shown().size(), 1);
        QVERIFY(boxes.shown().constFirst().text.contains(QStringLiteral("not saved yet")));
        QCOMPARE(entries(), QStringList({"One"}));
        QCOMPARE(vog::document().links().columnCount(), 2);
        QCOMPARE(vog::document().linkName(1), QStringLiteral("One"));
        save();
        QCOMPARE(contents(path), QByteArray("EchoArea A /a\nlink One\nAka 1:1/1"));
    }

    // A link shown from an included file: the new one goes into that file.
    void newLinkInIncludedFile()
    {
        Program program;
        ConfigFixture files;
        const QByteArray part("link Two\r\nAka 2:2/2\r\n");
        const QString partPath = files.write(part, "links.cfg");
        const QString path = files.write("Include links.cfg\nlink One\nAka 1:1/1\n");
        QVERIFY(openConfig(path).isEmpty());
        Files_and_Paths->OpenAllIncludedFiles->trigger();
        QCOMPARE(entries(), QStringList({"One", "Two"}));
        act("link 1");
        act("new Three 3:3/3");
        QCOMPARE(entries(), QStringList({"One", "Two", "Three"}));
        save();
        QCOMPARE(contents(partPath), QByteArray("link Two\r\nAka 2:2/2\r\n\r\nlink Three\r\nAka 3:3/3\r\n"));
        QCOMPARE(contents(path), QByteArray("Include links.cfg\nlink One\nAka 1:1/1\n"));
    }
};

QTEST_MAIN(TestLinkSections)
#include "tst_link_sections.moc"
