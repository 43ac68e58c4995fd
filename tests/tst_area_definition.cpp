// The Area Definition window as the user works it: the list and its filter, the picked area's
// fields, links added to and taken off many areas at once, new and removed areas; each change
// saved through File > Save and judged by the whole file's bytes.

#include "TestSupport.h"

#include "document/ConfigDocument.h"
#include "editors/AreaListModel.h"
#include "editors/LinkDialog.h"
#include "editors/TArea_Definition.h"
#include "editors/TFiles_and_Paths.h"
#include "shell/Startup.h"
#include "shell/TMain.h"

#include <QAction>
#include <QComboBox>
#include <QLabel>
#include <QDialogButtonBox>
#include <QFile>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTableView>
#include <QtTest>

namespace {

const QByteArray Areas =
        "Sysop Someone\r\n"
        "link One\r\n"
        "Aka 2:5020/77\r\n"
        "EchoArea RU.GENERAL /var/ru.general -b Squish -p 14 -d \"Russian talk\" 2:5020/77 -r 2:5020/8\r\n"
        "localarea  LOCAL.TEST\tPassthrough -g A -h\r\n"
        "NetmailArea NETMAIL /var/netmail -b Msg\r\n"
        "BADAREA BAD /var/bad\r\n"
        "DupeArea DUPES /var/dupes\r\n"
        "# EchoArea COMMENTED /var/no\r\n"
        "EchoArea FIDO.NEWS /var/fido.news -$m 500 2:5020/8 -def\t# fed by hand #\r\n";

QByteArray contents(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<unreadable>");
}

TArea_Definition *window()
{
    Main->AreaDefinition1->trigger();
    QCoreApplication::processEvents();
    return Area_Definition;
}

// The rows shown, one text each: the seven columns joined by "|".
QStringList rows()
{
    QStringList out;
    const QAbstractItemModel *m = Area_Definition->AreaList->model();
    for (int r = 0; r < m->rowCount(); ++r) {
        QStringList cells;
        for (int c = 0; c < m->columnCount(); ++c)
            cells.append(m->index(r, c).data().toString());
        out.append(cells.join(u'|'));
    }
    return out;
}

QStringList tags()
{
    QStringList out;
    for (const QString &row : rows())
        out.append(row.section(u'|', 0, 0));
    return out;
}

// Selects the rows of these tags, the first one current, as clicks with Ctrl would.
void select(const QStringList &wanted)
{
    QTableView *list = Area_Definition->AreaList;
    const QStringList shown = tags();
    list->clearSelection();
    for (const QString &tag : wanted) {
        const int row = int(shown.indexOf(tag));
        QVERIFY2(row >= 0, qPrintable(tag));
        const QRect cell = list->visualRect(list->model()->index(row, 0));
        QTest::mouseClick(list->viewport(), Qt::LeftButton,
                          tag == wanted.first() ? Qt::NoModifier : Qt::ControlModifier,
                          cell.center());
    }
}

void retype(QLineEdit *edit, const QString &text)
{
    edit->setFocus();
    edit->selectAll();
    QTest::keyClick(edit, Qt::Key_Delete);
    // A key at a time, as a keyboard sends them, Russian letters too.
    for (const QChar c : text) {
        QKeyEvent typed(QEvent::KeyPress, 0, Qt::NoModifier, QString(c));
        QApplication::sendEvent(edit, &typed);
    }
}

// One step of the user's: "pick TAG,TAG" (rows selected, the first current), "text FIELD=..."
// (a line edit or drop-down retyped), "number FIELD=n", "add ADDRESS", "unlink ADDRESS" (the
// link picked in AreaLinks, taken off the selected areas), "new TAG PATH", "remove" (answered
// Yes).
void act(const QString &step)
{
    TArea_Definition *w = Area_Definition;
    const QString kind = step.section(u' ', 0, 0);
    const QString rest = step.section(u' ', 1);
    if (kind == QLatin1String("pick")) {
        select(rest.split(u','));
    } else if (kind == QLatin1String("text")) {
        auto *field = w->findChild<QWidget *>(rest.section(u'=', 0, 0));
        auto *edit = qobject_cast<QLineEdit *>(field);
        if (auto *box = qobject_cast<QComboBox *>(field))
            edit = box->lineEdit();
        QVERIFY2(edit, qPrintable(step));
        retype(edit, rest.section(u'=', 1));
    } else if (kind == QLatin1String("number")) {
        auto *box = w->findChild<QSpinBox *>(rest.section(u'=', 0, 0));
        box->setFocus();
        box->selectAll();
        QTest::keyClicks(box, rest.section(u'=', 1));
        QTest::keyClick(box, Qt::Key_Tab);
    } else if (kind == QLatin1String("add") || kind == QLatin1String("add?")) {
        // "add?": an address that no link has, which is asked about first and answered Yes.
        retype(w->AreaLinkAddress->lineEdit(), rest);
        QVERIFY(w->AreaLinkAdd->isEnabled());
        QString asked;
        whenModal<QMessageBox>(
                [&](QMessageBox *box) {
                    asked = box->text();
                    box->button(QMessageBox::Yes)->click();
                },
                [&] { QTest::mouseClick(w->AreaLinkAdd, Qt::LeftButton); });
        QCOMPARE(asked.isEmpty(), kind == QLatin1String("add"));
    } else if (kind == QLatin1String("unlink")) {
        const auto found = w->AreaLinks->findItems(rest, Qt::MatchStartsWith);
        QVERIFY2(!found.isEmpty(), qPrintable(step));
        w->AreaLinks->setCurrentItem(found.first());
        QTest::mouseClick(w->AreaLinkRemove, Qt::LeftButton);
    } else if (kind == QLatin1String("new")) {
        // The picked area's tag, in another case, and a tag with a blank are refused.
        const QString taken = w->AreaTag->text().toLower();
        bool refused = false, takenRefused = false;
        whenModal<AreaDialog>(
                [&](AreaDialog *dialog) {
                    QTest::keyClicks(dialog->AreaTagEdit, taken);
                    takenRefused = !dialog->OkButton->isEnabled();
                    dialog->AreaTagEdit->clear();
                    QTest::keyClicks(dialog->AreaTagEdit, QStringLiteral("A B"));
                    refused = !dialog->OkButton->isEnabled();
                    dialog->AreaTagEdit->clear();
                    QTest::keyClicks(dialog->AreaTagEdit, rest.section(u' ', 0, 0));
                    QTest::keyClicks(dialog->AreaPathEdit, rest.section(u' ', 1));
                    if (dialog->OkButton->isEnabled())
                        QTest::mouseClick(dialog->OkButton, Qt::LeftButton);
                    else
                        dialog->reject();
                },
                [&] { QTest::mouseClick(w->NewAreaButton, Qt::LeftButton); });
        QVERIFY(takenRefused && refused);
        QCOMPARE(w->AreaTag->text(), rest.section(u' ', 0, 0));
    } else if (kind == QLatin1String("remove")) {
        QString asked;
        whenModal<QMessageBox>(
                [&](QMessageBox *box) {
                    asked = box->text();
                    box->button(QMessageBox::Yes)->click();
                },
                [&] { QTest::mouseClick(w->RemoveAreaButton, Qt::LeftButton); });
        QCOMPARE(asked, rest);
    } else {
        QFAIL(qPrintable(step));
    }
}

// File > Save with the preview confirmed.
void save()
{
    ErrorBoxWatcher boxes;
    whenModal<QDialog>(
            [&](QDialog *dialog) {
                QCOMPARE(dialog->objectName(), QStringLiteral("SavePreview"));
                dialog->findChild<QDialogButtonBox *>()->button(QDialogButtonBox::Save)->click();
            },
            [] { Main->N3->trigger(); });
    QCOMPARE(boxes.shown().size(), 0);
}

} // namespace

class TestAreaDefinition final : public QObject
{
    Q_OBJECT
private slots:
    void init() { QVERIFY(!Main); }

    // Every kind of area line, in the order read, each column as the line says it.
    void list()
    {
        Program program;
        ConfigFixture files;
        QVERIFY(openConfig(files.write(Areas)).isEmpty());
        QVERIFY(Main->AreaDefinition1->isEnabled());
        QVERIFY(window()->isVisible());
        QCOMPARE(rows(), (QStringList{
                "RU.GENERAL|EchoArea|/var/ru.general|Squish||2|Russian talk",
                "LOCAL.TEST|LocalArea|Passthrough||A|0|",
                "NETMAIL|NetmailArea|/var/netmail|Msg||0|",
                "BAD|BadArea|/var/bad|||0|",
                "DUPES|DupeArea|/var/dupes|||0|",
                "FIDO.NEWS|EchoArea|/var/fido.news|||1|",
        }));
        // The picked area in the fields.
        select({QStringLiteral("RU.GENERAL")});
        TArea_Definition *w = Area_Definition;
        QCOMPARE(w->AreaPurge->value(), 14);
        QCOMPARE(w->AreaBase->currentText(), QStringLiteral("Squish"));
        QCOMPARE(w->AreaLinks->count(), 2);
        QCOMPARE(w->AreaLinks->item(0)->text(), QStringLiteral("2:5020/77 -r"));
        select({QStringLiteral("LOCAL.TEST")});
        QCOMPARE(w->AreaOptions->text(), QStringLiteral("-h"));
        QCOMPARE(w->AreaGroup->text(), QStringLiteral("A"));
        // Showing an area is no change of it.
        QVERIFY(!Main->N3->isEnabled());
        if (const QByteArray folder = qgetenv("VOG_SCREENSHOTS"); !folder.isEmpty())
            w->grab().save(QString::fromLocal8Bit(folder) + QStringLiteral("/area-definition.png"));
    }

    // An EchoAreaDefaults line gives the area lines after it the fields they lack, shown in
    // italics with its line; the line's own value wins, and OFF ends the defaults.
    void inheritsEchoAreaDefaults()
    {
        Program program;
        ConfigFixture files;
        const QString path = files.write("EchoAreaDefaults -b Jam -g X   # for all\n"
                                         "EchoArea A /a\nEchoArea B /b -g Y\n"
                                         "EchoAreaDefaults OFF\nEchoArea C /c\n");
        QVERIFY(openConfig(path).isEmpty());
        TArea_Definition *w = window();
        const auto italic = [w](QWidget *field) {
            for (QLabel *label : w->findChildren<QLabel *>())
                if (label->buddy() == field)
                    return label->font().italic();
            return false;
        };
        select({QStringLiteral("A")});
        QCOMPARE(w->AreaBase->currentText(), QStringLiteral("Jam"));
        QCOMPARE(w->AreaGroup->text(), QStringLiteral("X"));
        QVERIFY(italic(w->AreaBase) && italic(w->AreaGroup));
        QCOMPARE(w->AreaGroup->toolTip(),
                 QStringLiteral("inherited from EchoAreaDefaults, line 1 of ") + path);
        if (const QByteArray folder = qgetenv("VOG_SCREENSHOTS"); !folder.isEmpty())
            w->grab().save(QString::fromLocal8Bit(folder) + QStringLiteral("/area-defaults.png"));
        select({QStringLiteral("B")});
        QCOMPARE(w->AreaGroup->text(), QStringLiteral("Y"));
        QVERIFY(!italic(w->AreaGroup) && italic(w->AreaBase));
        select({QStringLiteral("C")});
        QCOMPARE(w->AreaBase->currentText(), QString());
        QVERIFY(!italic(w->AreaBase));
        // Shown, not changed: nothing to save.
        QVERIFY(!Main->N3->isEnabled());
    }

    void filter_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QStringList>("expected");
        QTest::newRow("by tag, any case") << "ru.gen" << QStringList{"RU.GENERAL"};
        QTest::newRow("by a link's address") << "2:5020/8" << QStringList{"RU.GENERAL", "FIDO.NEWS"};
        QTest::newRow("by part of an address") << "5020/77" << QStringList{"RU.GENERAL"};
        QTest::newRow("a whole address, not those it begins") << "2:5020/7" << QStringList{};
        QTest::newRow("a whole address, exactly") << "2:5020/77" << QStringList{"RU.GENERAL"};
        QTest::newRow("by description") << "TALK" << QStringList{"RU.GENERAL"};
        QTest::newRow("not by path") << "/var" << QStringList{};
        QTest::newRow("not by group") << "-g" << QStringList{};
        QTest::newRow("empty: all") << "" << QStringList{"RU.GENERAL", "LOCAL.TEST", "NETMAIL", "BAD", "DUPES", "FIDO.NEWS"};
    }
    void filter()
    {
        QFETCH(QString, text);
        QFETCH(QStringList, expected);
        Program program;
        ConfigFixture files;
        QVERIFY(openConfig(files.write(Areas)).isEmpty());
        // Typed a letter at a time: a longer text narrows what the shorter one kept.
        window()->AreaFilter->setFocus();
        QTest::keyClicks(Area_Definition->AreaFilter, QStringLiteral("e"));
        retype(Area_Definition->AreaFilter, text);
        QCOMPARE(tags(), expected);
    }

    void saved_data()
    {
        QTest::addColumn<QString>("steps");
        QTest::addColumn<QByteArray>("expected");
        // clang-format off
        QTest::newRow("a description changed")
            << "pick RU.GENERAL\ntext AreaDescription=Talk in Russian"
            << QByteArray(Areas).replace("\"Russian talk\"", "\"Talk in Russian\"");
        QTest::newRow("an option added, one emptied, a base typed")
            << "pick RU.GENERAL\ntext AreaGroup=Z\nnumber AreaPurge=0\ntext AreaBase=Jam"
            << QByteArray(Areas).replace("-b Squish -p 14 -d \"Russian talk\" 2:5020/77", "-b Jam -d \"Russian talk\" -g Z 2:5020/77");
        QTest::newRow("a link added to several areas and taken off them")
            << "pick NETMAIL,LOCAL.TEST,FIDO.NEWS\nadd? 2:5020/99\npick RU.GENERAL,FIDO.NEWS\nunlink 2:5020/8"
            << QByteArray(Areas).replace("2:5020/77 -r 2:5020/8", "2:5020/77 -r")
                                .replace("-g A -h", "-g A -h 2:5020/99")
                                .replace("-b Msg", "-b Msg 2:5020/99")
                                .replace("-$m 500 2:5020/8 -def", "-$m 500 2:5020/99");
        QTest::newRow("a new area after the last area line, two removed")
            << "pick BAD\nnew ru.new /var/ru.new\npick NETMAIL,DUPES\nremove Remove 2 areas?"
            << QByteArray(Areas).replace("NetmailArea NETMAIL /var/netmail -b Msg\r\n", "")
                                .replace("DupeArea DUPES /var/dupes\r\n", "")
                                .append("ECHOAREA ru.new /var/ru.new\r\n");
        QTest::newRow("the other options retyped")
            << "pick LOCAL.TEST\ntext AreaOptions=-manual -h -nopause"
            << QByteArray(Areas).replace("-g A -h", "-g A -manual -h -nopause");
        // clang-format on
    }
    void saved()
    {
        QFETCH(QString, steps);
        QFETCH(QByteArray, expected);
        Program program;
        ConfigFixture files;
        const QString path = files.write(Areas);
        QVERIFY(openConfig(path).isEmpty());
        window();
        for (const QString &step : steps.split(u'\n'))
            act(step);
        QVERIFY(Main->N3->isEnabled());
        save();
        QCOMPARE(contents(path), expected);
        QVERIFY(!Main->N3->isEnabled());
        // The window follows the file as it now is: no change, each area where it stands.
        QCoreApplication::processEvents();
        QCOMPARE(Area_Definition->model()->rowCount(),
                 int(expected.count("Area ") + expected.count("area ") + expected.count("AREA "))
                         - 1);
        QVERIFY(!vog::document().areas().hasChanges());
    }

    // Area lines in an included file are read with it, and a change is written into it alone.
    void included()
    {
        Program program;
        ConfigFixture files;
        const QByteArray main("Include areas.cfg\nEchoArea MAIN.ONE /m\n");
        const QByteArray part("# areas\nEchoArea PART.ONE /p 1:1/1\nEchoArea PART.TWO /q\n");
        const QString mainPath = files.write(main);
        const QString partPath = files.write(part, QStringLiteral("areas.cfg"));
        QVERIFY(openConfig(mainPath).isEmpty());
        window();
        QCOMPARE(tags(), QStringList{"MAIN.ONE"});
        {
            ErrorBoxWatcher boxes;
            Files_and_Paths->OpenAllIncludedFiles->trigger();
            QVERIFY(boxes.shown().isEmpty());
        }
        QCoreApplication::processEvents();
        QCOMPARE(tags(), (QStringList{"MAIN.ONE", "PART.ONE", "PART.TWO"}));
        act(QStringLiteral("pick PART.TWO,PART.ONE"));
        act(QStringLiteral("add? 1:1/2"));
        act(QStringLiteral("new PART.NEW /n"));
        save();
        QCOMPARE(contents(mainPath), main);
        QCOMPARE(contents(partPath), QByteArray("# areas\nEchoArea PART.ONE /p 1:1/1 1:1/2\n"
                                                "EchoArea PART.TWO /q 1:1/2\n"
                                                "EchoArea PART.NEW /n\n"));
        QCoreApplication::processEvents();
        QCOMPARE(tags(), (QStringList{"MAIN.ONE", "PART.ONE", "PART.TWO", "PART.NEW"}));
    }

    // The quick find finds an area by its tag and picks it in the window.
    void quickFind()
    {
        Program program;
        ConfigFixture files;
        QVERIFY(openConfig(files.write(Areas)).isEmpty());
        window()->QuickFindAction->trigger();
        auto *text = Main->findChild<QLineEdit *>(QStringLiteral("QuickFindText"));
        QVERIFY(text && text->isVisible());
        QTest::keyClicks(text, QStringLiteral("dupes"));
        QTest::keyClick(text, Qt::Key_Return);
        QCOMPARE(Area_Definition->AreaTag->text(), QStringLiteral("DUPES"));
    }

    // A file in KOI8-R: its area's Russian description shown, and a new one written in KOI8-R.
    void codepage()
    {
        Program program;
        ConfigFixture files;
        const QByteArray sysop("Sysop \xf3\xc9\xd3\xd4\xc5\xcd\xce\xd9\xca \xcf\xd0\xc5\xd2\xc1\xd4\xcf\xd2 \xd5\xda\xcc\xc1\n");
        const QString path = files.write(sysop + "EchoArea RU.TALK /r -d \"\xf4\xc5\xd3\xd4\" 2:5020/1\n");
        QVERIFY(openConfig(path).isEmpty());
        window();
        act(QStringLiteral("pick RU.TALK"));
        QCOMPARE(Area_Definition->AreaDescription->text(), QString::fromUtf8("Тест"));
        act(QString::fromUtf8("text AreaDescription=Привет мир"));
        save();
        QCOMPARE(contents(path), sysop + "EchoArea RU.TALK /r -d \"\xf0\xd2\xc9\xd7\xc5\xd4 \xcd\xc9\xd2\" 2:5020/1\n");
    }

    // Every address goes from every area that has it.
    void removeLinkEverywhere()
    {
        Program program;
        ConfigFixture files;
        const QString path = files.write(Areas);
        QVERIFY(openConfig(path).isEmpty());
        QCOMPARE(vog::document().areas().removeLinkEverywhere(QStringLiteral("2:5020/8")), 2);
        QVERIFY(Main->N3->isEnabled());
        save();
        QCOMPARE(contents(path), QByteArray(Areas)
                                         .replace("2:5020/77 -r 2:5020/8", "2:5020/77 -r")
                                         .replace("-$m 500 2:5020/8 -def", "-$m 500"));
    }

    // A new link moves the areas of a window not shown: it lists nothing until shown again,
    // then the areas where they now stand, the same one picked, the new link's address offered.
    void hiddenWhileLinkAdded()
    {
        Program program;
        ConfigFixture files;
        QVERIFY(openConfig(files.write(Areas)).isEmpty());
        window();
        select({QStringLiteral("FIDO.NEWS")});
        Area_Definition->hide();
        vog::document().addLink(1, QStringLiteral("Two"), QStringLiteral("2:5020/99"));
        QCoreApplication::processEvents();
        QCOMPARE(Area_Definition->model()->rowCount(), 0);
        QCOMPARE(Area_Definition->pickedArea(), -1);
        QCOMPARE(window()->model()->rowCount(), 6);
        QCOMPARE(tags().at(Area_Definition->AreaList->currentIndex().row()),
                 QStringLiteral("FIDO.NEWS"));
        QCOMPARE(Area_Definition->AreaTag->text(), QStringLiteral("FIDO.NEWS"));
        QCOMPARE(Area_Definition->AreaLinks->count(), 1);
        QVERIFY(Area_Definition->AreaLinkAddress->findText(QStringLiteral("2:5020/99")) >= 0);
    }

    // Tab and Shift+Tab go into the area list and on out of it, the rows picked kept.
    void tabPassesThroughTheList()
    {
        Program program;
        ConfigFixture files;
        QVERIFY(openConfig(files.write(Areas)).isEmpty());
        TArea_Definition *w = window();
        select({QStringLiteral("NETMAIL"), QStringLiteral("FIDO.NEWS")});
        const QString picked = w->AreaTag->text();
        QStringList forwards, backwards;
        for (auto [keys, walked] : {std::pair(Qt::NoModifier, &forwards), {Qt::ShiftModifier, &backwards}}) {
            w->AreaFilter->setFocus(Qt::TabFocusReason);
            do {
                QWidget *f = QApplication::focusWidget();
                walked->append(f->objectName().isEmpty() ? f->parentWidget()->objectName()
                                                         : f->objectName());
                QTest::keyClick(f, Qt::Key_Tab, keys);
            } while (QApplication::focusWidget() != w->AreaFilter && walked->size() < 40);
        }
        QCOMPARE(forwards.join(u' '), "AreaFilter NewAreaButton RemoveAreaButton AreaList AreaTag "
                 "AreaPath AreaBase AreaGroup AreaDescription AreaAka AreaPurge AreaMaxMsgs "
                 "AreaOptions AreaLinks AreaLinkAddress AreaLinkRemove");
        std::reverse(backwards.begin() + 1, backwards.end());
        QCOMPARE(backwards, forwards);
        QCOMPARE(w->selectedAreas().size(), std::size_t(2));
        QCOMPARE(w->AreaTag->text(), picked);
        w->AreaList->setFocus(Qt::TabFocusReason);
        if (const QByteArray folder = qgetenv("VOG_SCREENSHOTS"); !folder.isEmpty())
            w->grab().save(QString::fromLocal8Bit(folder) + QStringLiteral("/area-list-focus.png"));
    }

    // A text is refused as typed for the comment character in effect at the area's line: a
    // CommentChar line between two areas gives each its own.
    void refusedForTheLinesCommentChar()
    {
        Program program;
        ConfigFixture files;
        QVERIFY(openConfig(files.write("EchoArea A /a\nCommentChar ;\nEchoArea B /b\n")).isEmpty());
        TArea_Definition *w = window();
        const auto reason = [w](const QString &tag, const QString &description) {
            select({tag});
            retype(w->AreaDescription, description);
            return w->AreaFieldReason->text();
        };
        QCOMPARE(reason("B", "News ; 1"), "Description: a ; after a blank starts a comment");
        QCOMPARE(reason("B", "News # 1"), QString());
        QCOMPARE(reason("A", "News # 1"), "Description: a # after a blank starts a comment");
        QCOMPARE(reason("A", "News ; 1"), QString());
    }

    // Said before it goes wrong: an address no link has is asked about, a text that is no
    // address says why, a description no word can carry is refused as pasted.
    void refusedOrAskedAsTyped()
    {
        Program program;
        ConfigFixture files;
        QVERIFY(openConfig(files.write(Areas)).isEmpty());
        TArea_Definition *w = window();
        select({QStringLiteral("NETMAIL"), QStringLiteral("BAD")});
        retype(w->AreaLinkAddress->lineEdit(), QStringLiteral("5020/55"));
        QVERIFY(!w->AreaLinkAdd->isEnabled());
        QCOMPARE(w->AreaLinkReason->text(), vog::addressRefusal(QStringLiteral("5020/55")));
        retype(w->AreaLinkAddress->lineEdit(), QStringLiteral("2:5020/55"));
        QString asked;
        whenModal<QMessageBox>([&](QMessageBox *box) { asked = box->text(); box->reject(); },
                               [&] { w->AreaLinkAdd->click(); });
        QCOMPARE(asked, "No link has the address 2:5020/55. Add it to the 2 selected areas anyway?");
        w->AreaDescription->selectAll();
        w->AreaDescription->insert(QStringLiteral("Say \"hi\""));
        QCOMPARE(w->AreaFieldReason->text(), "Description: a value in quotes can't hold a quote");
        QVERIFY(!Main->N3->isEnabled());
    }
};

QTEST_MAIN(TestAreaDefinition)
#include "tst_area_definition.moc"
