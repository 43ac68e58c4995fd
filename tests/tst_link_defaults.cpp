// What a link inherits from the LinkDefaults blocks before it, shown as inherited in the Link
// Keywords window, and where a change of an inherited value or of the defaults is written.
#include "TestSupport.h"

#include "document/ConfigDocument.h"
#include "editors/TLink_Keywords.h"
#include "editors/Windows.h"
#include "fields/RowForm.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QtTest>

namespace {

// clang-format off
const QByteArray Blocks =
    "Link First\n"              //  1
    "Aka 1:1/1\n"
    "Packer zip\n"
    "LinkDefaults begin\n"
    "Packer arj\n"              //  5
    "EchoMailFlavour crash\n"
    "LinkGrp A,B\n"
    "LinkDefaults end\n"
    "Link Second\n"
    "Aka 1:1/2\n"               // 10
    "Link Third\n"
    "EchoMailFlavour direct\n"
    "linkdefaults BEGIN\n"
    "Packer lha\n"
    "LinkDefaults end\n"        // 15
    "Link Fourth\n"
    "LinkDefaults destroy\n"
    "Link Fifth\n";
// clang-format on

void pick(int i)
{
    QComboBox *c = Link_Keywords->LinkChange;
    c->showPopup();
    QAbstractItemView *view = c->view();
    QTRY_VERIFY(view->isVisible());
    QTest::mouseClick(view->viewport(), Qt::LeftButton, {},
                      view->visualRect(c->model()->index(i, 0)).center());
    QTRY_VERIFY(!view->isVisible());
}

QWidget *field(const QString &name)
{
    return Link_Keywords->findChild<QWidget *>(name);
}

void openAndShow(const QByteArray &config, ConfigFixture &files, QString &path)
{
    path = files.write(config);
    QVERIFY(openConfig(path).isEmpty());
    Link_Keywords->show();
    Link_Keywords->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(Link_Keywords));
}

// Types into a text field as the user does, replacing what it shows.
void retype(const QString &name, const QString &text)
{
    auto *edit = qobject_cast<QLineEdit *>(field(name));
    QVERIFY(edit);
    edit->setFocus();
    edit->selectAll();
    if (text.isEmpty())
        QTest::keyClick(edit, Qt::Key_Delete);
    QTest::keyClicks(edit, text);
}

} // namespace

class TestLinkDefaults final : public QObject
{
    Q_OBJECT
private slots:
    void shownAsInherited_data()
    {
        QTest::addColumn<int>("link");
        QTest::addColumn<QString>("field");
        QTest::addColumn<QString>("state");
        QTest::addColumn<int>("line");       // the line that set it, 0 for none
        QTest::addColumn<bool>("inherited");
        // clang-format off
        QTest::newRow("link before a block keeps its own value")   << 0 << "Packer"          << "zip"  << 3  << false;
        QTest::newRow("link after a block inherits a text")         << 1 << "Packer"          << "arj"  << 5  << true;
        QTest::newRow("link after a block inherits a radio choice") << 1 << "EchoMailFlavour" << "2"    << 6  << true;
        QTest::newRow("link's own value outranks the default")      << 2 << "EchoMailFlavour" << "3"    << 12 << false;
        QTest::newRow("a block after the link doesn't reach it")    << 2 << "Packer"          << "arj"  << 5  << true;
        QTest::newRow("second block changes what it names")         << 3 << "Packer"          << "lha"  << 14 << true;
        QTest::newRow("second block keeps what it doesn't name")    << 3 << "LinkGrp"         << "A,B"  << 7  << true;
        QTest::newRow("destroy ends the defaults")                  << 4 << "Packer"          << ""     << 0  << false;
        // clang-format on
    }
    void shownAsInherited()
    {
        QFETCH(int, link);
        QFETCH(QString, field);
        QFETCH(QString, state);
        QFETCH(int, line);
        QFETCH(bool, inherited);
        Program program;
        ConfigFixture files;
        QString path;
        openAndShow(Blocks, files, path);
        // The link shown before inherits much, so a label left in italics shows.
        pick(link == 1 ? 3 : 1);
        pick(link);
        QCOMPARE(fieldState(Link_Keywords, field), state);
        QWidget *w = ::field(field);
        const QString origin = line ? QStringLiteral("line %1 of %2").arg(line).arg(path) : QString();
        QCOMPARE(w->toolTip(), inherited ? QStringLiteral("inherited from LinkDefaults, ") + origin
                                         : origin);
        QCOMPARE(Link_Keywords->form()->labelFor(w)->font().italic(), inherited);
        QCOMPARE(Link_Keywords->shownRecord(), link + 1);
    }

    void savedWhereItBelongs_data()
    {
        QTest::addColumn<int>("link"); // -1: the defaults record
        QTest::addColumn<QString>("field");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QByteArray>("expected");
        const QByteArray head = "Link First\nPacker zip\nLinkDefaults begin\nPacker arj\n";
        const QByteArray tail = "LinkDefaults end\nLink Second\nAka 1:1/2\n";
        QTest::newRow("changed inherited value goes into the link's section")
            << 1 << "Packer" << "rar" << head + tail + "Packer rar\n";
        QTest::newRow("changed default goes into the block")
            << -1 << "Packer" << "rar"
            << QByteArray("Link First\nPacker zip\nLinkDefaults begin\nPacker rar\n") + tail;
        QTest::newRow("new default goes before the block's end")
            << -1 << "LinkGrp" << "X" << head + "LinkGrp X\n" + tail;
        // No line of the link can say "none": the default shows again once the field is left.
        QTest::newRow("inherited value emptied: nothing written")
            << 1 << "Packer" << "" << head + tail;
    }
    void savedWhereItBelongs()
    {
        QFETCH(int, link);
        QFETCH(QString, field);
        QFETCH(QString, text);
        QFETCH(QByteArray, expected);
        Program program;
        ConfigFixture files;
        QString path;
        const QByteArray bytes = "Link First\nPacker zip\nLinkDefaults begin\nPacker arj\n"
                                 "LinkDefaults end\nLink Second\nAka 1:1/2\n";
        openAndShow(bytes, files, path);
        pick(0);
        if (link >= 0) {
            pick(link);
        } else {
            QTest::mouseClick(Link_Keywords->LinkDefaultsButton, Qt::LeftButton);
            QVERIFY(Link_Keywords->LinkDefaultsButton->isChecked());
            QCOMPARE(fieldState(Link_Keywords, QStringLiteral("Packer")), QStringLiteral("arj"));
        }
        retype(field, text);
        vog::ConfigDocument &doc = vog::document();
        QCOMPARE(doc.render(doc.mainFile(), bytes), expected);
        ::field(field)->clearFocus();
        QCOMPARE(fieldState(Link_Keywords, field), text.isEmpty() ? QStringLiteral("arj") : text);
        QCOMPARE(doc.hasChanges(), !text.isEmpty());
        if (link < 0) {
            // The link after the block takes the changed default, as inherited.
            pick(1);
            QVERIFY(!Link_Keywords->LinkDefaultsButton->isChecked());
            QCOMPARE(fieldState(Link_Keywords, field), text);
            QCOMPARE(Link_Keywords->form()->labelFor(::field(field))->font().italic(), true);
        }
    }
};

QTEST_MAIN(TestLinkDefaults)
#include "tst_link_defaults.moc"
