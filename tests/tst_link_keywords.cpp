// The Link Keywords window: its rows, and showing one link record in them when the user picks
// or types a link in LinkChange.
#include "TestSupport.h"

#include "editors/TGeneral_Keywords.h"
#include "editors/TLink_Keywords.h"
#include "editors/TSelect_directory.h"
#include "fields/BrowseButton.h"
#include "fields/ChoiceField.h"
#include "fields/FileOpenDialog.h"
#include "fields/NumberField.h"
#include "fields/RadioChoice.h"
#include "fields/RowForm.h"
#include "shell/Startup.h"
#include "fields/TextField.h"
#include "fields/UseBox.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QSignalSpy>
#include <QtTest>

#include <functional>

using Expected = QList<QPair<QString, QString>>; // field name, state (see fieldState)
using Action = std::function<void(QComboBox *)>;
Q_DECLARE_METATYPE(Action)

namespace {

// One line of a link that sets every row away from what an empty cell gives, the state it
// shows, and the state an empty cell gives after it.
struct FullRow
{
    const char *line;
    const char *field;
    const char *full;
    const char *empty;
};

// clang-format off
const FullRow FullLink[] = {
    {"AccessGrp full-access",              "AccessGrp",              "full-access",     ""},
    {"AdvancedAreafix on",                 "AdvancedAreafix",        "On",              "Off"},
    {"Aka 9:9/9",                          "Aka",                    "9:9/9",           ""},
    {"AllowEmptyPktPwd secure",            "AllowEmptyPktPwd",       "1",               "0"},
    {"AllowPktAddrDiffer on",              "AllowPktAddrDiffer",     "On",              "Off"},
    {"ArcmailSize 123",                    "ArcmailSize",            "123",             "500"},
    {"ArcNetmail on",                      "ArcNetmail",             "On",              "Off"},
    {"Areafix off",                        "Areafix",                "Off",             "On"},
    {"AreafixEchoLimit 7",                 "AreafixEchoLimit",       "7",               "0"},
    {"AreafixPwd fullfix",                 "AreafixPwd",             "fullfix",         ""},
    {"AutoAreaCreate off",                 "AutoAreaCreate",         "Off",             "On"},
    {"AutoAreaCreateFile /full/auto.cfg",  "AutoAreaCreateFile",     "/full/auto.cfg",  ""},
    {"AutoAreaCreateDefaults -full",       "AutoAreaCreateDefaults", "-full",           ""},
    {"AutoAreaCreateSubdirs on",           "AutoAreaCreateSubdirs",  "On",              "Off"},
    {"AutoPause 5",                        "AutoPause",              "5",               "0"},
    {"AvailList unique",                   "AvailList",              "1",               "0"},
    {"DenyFwdFile /full/deny",             "DenyFwdFile",            "/full/deny",      ""},
    {"DenyFwdMask FULL.*",                 "DenyFwdMask",            "FULL.*",          ""},
    {"DenyFwdReqAccess on",                "DenyFwdReqAccess",       "On",              "Off"},
    {"DenyUncondFwdReqAccess on",          "DenyUncondFwdReqAccess", "On",              "Off"},
    {"EchoMailFlavour crash",              "EchoMailFlavour",        "2",               "0"},
    {"Export off",                         "Export",                 "Off",             "On"},
    {"ForwardAreaPriority 3",              "ForwardAreaPriority",    "3",               "0"},
    {"ForwardPkts secure",                 "ForwardPkts",            "1",               "2"},
    {"ForwardRequestFile /full/fwd",       "ForwardRequestFile",     "/full/fwd",       ""},
    {"ForwardRequestMask FULLFWD.*",       "ForwardRequestMask",     "FULLFWD.*",       ""},
    {"ForwardRequests on",                 "ForwardRequests",        "On",              "Off"},
    {"FileBox /full/box",                  "FileBox",                "/full/box",       ""},
    {"FileBoxAlways on",                   "FileBoxAlways",          "On",              "Off"},
    {"Import off",                         "Import",                 "Off",             "On"},
    {"Level 9",                            "Level",                  "9",               "0"},
    // With nothing selected in the General Keywords window, an empty cell selects nothing.
    {"LinkBundleNameStyle amiga",          "LinkBundleNameStyle",    "5",               "-1"},
    {"LinkGrp F",                          "LinkGrp",                "F",               ""},
    {"LinkMsgBaseDir /full/msgbase",       "LinkMsgBaseDir",         "/full/msgbase",   ""},
    {"Mandatory on",                       "Mandatory",              "On",              "Off"},
    {"Manual on",                          "Manual",                 "On",              "Off"},
    {"NoRules on",                         "NoRules",                "On",              "Off"},
    {"OptGrp G",                           "OptGrp",                 "G",               ""},
    {"OurAka 9:9/1",                       "OurAka",                 "9:9/1",           ""},
    {"PackAka 9:9/2",                      "PackAka",                "9:9/2",           ""},
    {"Packer rar",                         "Packer",                 "rar",             ""},
    {"Password fullpw",                    "Password",               "fullpw",          ""},
    {"Pause farea",                        "Pause",                  "3",               "1"},
    {"PktSize 64",                         "PktSize",                "64",              "0"},
    {"PktPwd fullpkt",                     "PktPwd",                 "fullpkt",         ""},
    {"RemoteRobotName FullFix",            "RemoteRobotName",        "FullFix",         ""},
};
// clang-format on

QByteArray fullSection(const QByteArray &name = "Full")
{
    QByteArray out = "Link " + name + "\n";
    for (const FullRow &r : FullLink)
        out += QByteArray(r.line) + "\n";
    return out;
}

QComboBox *links()
{
    return Link_Keywords->LinkChange;
}

QString state(const QString &field)
{
    return fieldState(Link_Keywords, field);
}

// Picks entry i from the open list with the mouse, as the user does.
void pick(int i)
{
    QComboBox *c = links();
    c->showPopup();
    QAbstractItemView *view = c->view();
    QTRY_VERIFY(view->isVisible());
    const QRect item = view->visualRect(c->model()->index(i, 0));
    QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, item.center());
    QTRY_VERIFY(!view->isVisible());
}

void typeIntoLinks(const QString &text)
{
    links()->setFocus();
    QTest::keyClicks(links(), text);
}

// Opens a file and shows the window, as the user would before picking a link.
void openAndShow(const QByteArray &config, ConfigFixture &files)
{
    QVERIFY(openConfig(files.write(config)).isEmpty());
    Link_Keywords->show();
    Link_Keywords->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(Link_Keywords));
}

} // namespace

class TestLinkKeywords final : public QObject
{
    Q_OBJECT

private slots:
    void initialState()
    {
        Program program;
        QCOMPARE(links()->count(), 0);
        QCOMPARE(links()->currentIndex(), -1);
        QCOMPARE(links()->currentText(), QString());
        int fields = 0;
        for (QWidget *w : Link_Keywords->findChildren<QWidget *>()) {
            if (auto *t = qobject_cast<vog::TextField *>(w)) {
                QCOMPARE(t->text(), QString());
                ++fields;
            } else if (auto *c = qobject_cast<vog::ChoiceField *>(w)) {
                QCOMPARE(c->currentText(), QString());
                QCOMPARE(c->currentIndex(), -1);
                ++fields;
            } else if (auto *n = qobject_cast<vog::NumberField *>(w)) {
                QCOMPARE(n->value(), 0);
                ++fields;
            } else if (auto *r = qobject_cast<vog::RadioChoice *>(w)) {
                QCOMPARE(r->selectedOption(), -1);
                ++fields;
            } else if (auto *u = qobject_cast<vog::UseBox *>(w)) {
                QVERIFY(u->isChecked());
            }
        }
        QCOMPARE(fields, 46);
        QCOMPARE(Link_Keywords->findChildren<vog::UseBox *>().size(), 4);
        QCOMPARE(Link_Keywords->findChildren<vog::BrowseButton *>().size(), 5);
        QVERIFY(Link_Keywords->OpenFileDialog);
    }

    void titleRow()
    {
        Program program;
        QCOMPARE(Link_Keywords->windowTitle(), QStringLiteral("Link Keywords"));
        QCOMPARE(Link_Keywords->size(), QSize(719, 571));
        QLabel *title = Link_Keywords->Label1;
        QCOMPARE(title->text(), QStringLiteral("Link"));
        QCOMPARE(title->pos(), QPoint(138, 11));
        QVERIFY(title->font().bold() && title->font().italic());
        QCOMPARE(title->font().pixelSize(), 15);
        QCOMPARE(title->font().family(), QStringLiteral("Courier New"));
        QComboBox *c = links();
        QCOMPARE(c->geometry().topLeft(), QPoint(188, 9));
        QCOMPARE(c->width(), 383);
        QVERIFY(c->isEditable());
        QCOMPARE(c->insertPolicy(), QComboBox::NoInsert);
        QCOMPARE(c->sizeAdjustPolicy(), QComboBox::AdjustToMinimumContentsLengthWithIcon);
    }

    void rows_data()
    {
        QTest::addColumn<QString>("field");
        QTest::addColumn<QString>("label");
        QTest::addColumn<int>("width");
        QTest::addColumn<QStringList>("items");
        const QString dots3 = QStringLiteral("   ");
        QTest::newRow("wide text") << "AccessGrp" << "AccessGrp" + dots3 + QString(39, '.') << 530
                                   << QStringList{};
        QTest::newRow("narrow text") << "Aka" << "Aka" + dots3 + QString(57, '.') << 121
                                     << QStringList{};
        QTest::newRow("text under a button") << "AutoAreaCreateFile"
                                             << "AutoAreaCreateFile" + dots3 + QString(33, '.')
                                             << 529 << QStringList{};
        QTest::newRow("On/Off") << "Areafix" << "Areafix" + dots3 + QString(50, '.') << 145
                                << QStringList{"On", "Off"};
        QTest::newRow("number") << "ArcmailSize" << "ArcmailSize" + dots3 + QString(40, '.')
                                << 121 << QStringList{};
        QTest::newRow("number with Use") << "PktSize" << "PktSize" + dots3 + QString(47, '.')
                                         << 121 << QStringList{};
        QTest::newRow("empty packet password") << "AllowEmptyPktPwd" << "AllowEmptyPktPwd" << 530
                                               << QStringList{"Off", "Secure", "On"};
        QTest::newRow("avail list") << "AvailList" << "AvailList" << 530
                                    << QStringList{"Full", "Unique", "UniqueOne"};
        QTest::newRow("flavour") << "EchoMailFlavour" << "EchoMailFlavour" << 530
                                 << QStringList{"hold", "normal", "crash", "direct", "immediate"};
        QTest::newRow("forward packets") << "ForwardPkts" << "ForwardPkts" << 530
                                         << QStringList{"off", "secure", "on"};
        QTest::newRow("bundle names") << "LinkBundleNameStyle" << "LinkBundleNameStyle" << 530
                                      << QStringList{"timeStamp", "addrDiff", "addrDiffAlways",
                                                     "addrsCRC32", "addrsCRC32Always", "Amiga"};
        QTest::newRow("pause") << "Pause" << "Pause" << 530
                               << QStringList{"on", "off", "earea", "farea"};
    }

    void rows()
    {
        QFETCH(QString, field);
        QFETCH(QString, label);
        QFETCH(int, width);
        QFETCH(QStringList, items);
        Program program;
        auto *w = Link_Keywords->findChild<QWidget *>(field);
        QVERIFY(w);
        QCOMPARE(Link_Keywords->form()->labelFor(w)->text(), label);
        QCOMPARE(w->width(), width);
        QStringList shown;
        if (auto *c = qobject_cast<QComboBox *>(w))
            for (int i = 0; i < c->count(); ++i)
                shown.append(c->itemText(i));
        if (auto *r = qobject_cast<vog::RadioChoice *>(w))
            for (int i = 0; i < r->optionCount(); ++i)
                shown.append(r->caption(i));
        QCOMPARE(shown, items);
        if (auto *n = qobject_cast<vog::NumberField *>(w)) {
            QCOMPARE(n->minimum(), 0);
            QCOMPARE(n->maximum(), 100000);
            QCOMPARE(n->findChild<QLineEdit *>()->maxLength(), 10);
        }
    }

    void radioGroupsStandInColumns()
    {
        Program program;
        Link_Keywords->show();
        QApplication::processEvents();
        // Bundle name styles fill three columns of two, top to bottom.
        vog::RadioChoice *styles = Link_Keywords->field<vog::RadioChoice>("LinkBundleNameStyle");
        auto pos = [](vog::RadioChoice *r, int i) { return r->option(i)->geometry().topLeft(); };
        for (int column = 0; column < 3; ++column) {
            QCOMPARE(pos(styles, 2 * column).x(), pos(styles, 2 * column + 1).x());
            QVERIFY(pos(styles, 2 * column).y() < pos(styles, 2 * column + 1).y());
            if (column > 0)
                QVERIFY(pos(styles, 2 * column).x() > pos(styles, 2 * column - 2).x());
        }
        // The others stand in one line, in list order.
        for (vog::RadioChoice *r : {Link_Keywords->field<vog::RadioChoice>("AllowEmptyPktPwd"), Link_Keywords->field<vog::RadioChoice>("AvailList"),
                                    Link_Keywords->field<vog::RadioChoice>("EchoMailFlavour"), Link_Keywords->field<vog::RadioChoice>("ForwardPkts"),
                                    Link_Keywords->field<vog::RadioChoice>("Pause")}) {
            for (int i = 1; i < r->optionCount(); ++i) {
                QCOMPARE(pos(r, i).y(), pos(r, 0).y());
                QVERIFY(pos(r, i).x() > pos(r, i - 1).x());
            }
        }
    }

    void companionsSitBesideTheirFields_data()
    {
        QTest::addColumn<QString>("field");
        QTest::addColumn<QString>("companion");
        for (const char *f : {"AutoAreaCreateFile", "DenyFwdFile", "ForwardRequestFile",
                              "FileBox", "LinkMsgBaseDir"})
            QTest::newRow(f) << QString::fromLatin1(f) << QString::fromLatin1(f) + "Button";
        for (const char *f : {"AreafixEchoLimit", "AutoPause", "ForwardAreaPriority", "PktSize"})
            QTest::newRow(f) << QString::fromLatin1(f) << QString::fromLatin1(f) + "Use";
    }

    void companionsSitBesideTheirFields()
    {
        QFETCH(QString, field);
        QFETCH(QString, companion);
        Program program;
        auto *f = Link_Keywords->findChild<QWidget *>(field);
        auto *c = Link_Keywords->findChild<QWidget *>(companion);
        QVERIFY(f && c);
        const QRect fr = f->geometry();
        const QRect cr = c->geometry();
        QVERIFY(cr.top() < fr.bottom() && cr.bottom() > fr.top());
        if (auto *button = qobject_cast<vog::BrowseButton *>(c)) {
            // Over the right end of its field.
            QCOMPARE(button->text(), QStringLiteral("..."));
            QCOMPARE(button->width(), 19);
            QVERIFY(cr.right() <= fr.right() + 1 && cr.left() > fr.right() - 25);
        } else {
            QCOMPARE(qobject_cast<QAbstractButton *>(c)->text(), QStringLiteral("Use"));
            QVERIFY(cr.left() > fr.right() && cr.left() < fr.right() + 6);
        }
    }

    void opensAtTheTop()
    {
        Program program;
        Link_Keywords->show();
        QApplication::processEvents();
        const QScrollBar *bar = Link_Keywords->scrollArea()->verticalScrollBar();
        QVERIFY(bar->maximum() > 0); // the rows reach far below the window
        QCOMPARE(bar->value(), 0);
        QVERIFY(links()->visibleRegion().boundingRect().height() > 0);
    }

    void loadsEveryRow()
    {
        Program program;
        ConfigFixture files;
        openAndShow(fullSection(), files);
        pick(0);
        for (const FullRow &r : FullLink)
            QCOMPARE(state(r.field), QString::fromLatin1(r.full));
        for (const char *use : {"AreafixEchoLimitUse", "AutoPauseUse", "ForwardAreaPriorityUse",
                                "PktSizeUse"})
            QCOMPARE(state(use), QStringLiteral("checked"));
    }

    void emptyRecordGivesEachRowsDefault()
    {
        Program program;
        ConfigFixture files;
        openAndShow(fullSection() + "Link Empty\n", files);
        pick(0);
        pick(1);
        for (const FullRow &r : FullLink)
            QCOMPARE(state(r.field), QString::fromUtf8(r.empty));
        for (const char *use : {"AreafixEchoLimitUse", "AutoPauseUse", "ForwardAreaPriorityUse",
                                "PktSizeUse"})
            QCOMPARE(state(use), QStringLiteral("unchecked"));
    }

    void loadRules_data()
    {
        QTest::addColumn<QByteArray>("lines");
        QTest::addColumn<Expected>("expected");

        // The same word on an On/Off row and on an inverted one.
        const struct
        {
            const char *word, *onOff, *inverted;
        } onOff[] = {{"YES", "On", "On"},   {"On", "On", "On"},      {"yes", "On", "On"},
                     {"1", "Off", "On"},    {"true", "Off", "On"},   {"no", "Off", "Off"},
                     {"OFF", "Off", "Off"}, {"online", "Off", "On"},
                     {"", "On", "On"}}; // a switch alone means On
        for (const auto &w : onOff) {
            QTest::addRow("On/Off '%s'", w.word)
                << "AdvancedAreafix " + QByteArray(w.word) + "\nExport " + w.word + "\n"
                << Expected{{"AdvancedAreafix", w.onOff}, {"Export", w.inverted}};
        }
        QTest::newRow("text as stored")
            << QByteArray("Aka 1:2/3.4@fidonet\nPassword MiXeD\n"
                          "AutoAreaCreateDefaults -b  squish   -p\nRemoteRobotName Робот\n")
            << Expected{{"Aka", "1:2/3.4@fidonet"}, {"Password", "MiXeD"},
                        {"AutoAreaCreateDefaults", "-b  squish   -p"},
                        {"RemoteRobotName", "Робот"}};
        QTest::newRow("numbers held to the range")
            << QByteArray("ArcmailSize 250000\nLevel -5\nAutoPause 2147483647\n")
            << Expected{{"ArcmailSize", "100000"}, {"Level", "0"}, {"AutoPause", "100000"}};
        QTest::newRow("numbers as the reader reads them")
            << QByteArray("ArcmailSize $1F\nLevel +42\nPktSize 0x100\n")
            << Expected{{"ArcmailSize", "31"}, {"Level", "42"}, {"PktSize", "256"}};
        QTest::newRow("an empty ArcmailSize is 500") << QByteArray("Level 3\n")
                                                     << Expected{{"ArcmailSize", "500"}};
        QTest::newRow("a value leaves the Use box checked")
            << QByteArray("AutoPause 30\n")
            << Expected{{"AutoPause", "30"}, {"AutoPauseUse", "checked"},
                        {"PktSize", "0"}, {"PktSizeUse", "unchecked"}};

        const struct
        {
            const char *field, *word, *option;
        } radio[] = {
            {"AvailList", "uniqueone", "2"},       {"AvailList", "UniqueOne", "2"},
            {"AvailList", "unique", "1"},          {"AvailList", "full", "0"},
            {"AllowEmptyPktPwd", "secure", "1"},   {"AllowEmptyPktPwd", "on", "2"},
            {"AllowEmptyPktPwd", "on secure", "1"}, {"AllowEmptyPktPwd", "none", "2"},
            {"AllowEmptyPktPwd", "off", "0"},
            {"ForwardPkts", "off", "0"},           {"ForwardPkts", "secure", "1"},
            {"ForwardPkts", "on", "2"},            {"ForwardPkts", "maybe", "2"},
            {"Pause", "farea", "3"},               {"Pause", "earea", "2"},
            {"Pause", "on", "0"},                  {"Pause", "none", "0"},
            {"Pause", "off", "1"},                 {"Pause", "Farea Earea", "3"},
            {"EchoMailFlavour", "normal", "1"},    {"EchoMailFlavour", "Crash", "2"},
            {"EchoMailFlavour", "direct", "3"},    {"EchoMailFlavour", "immediate", "4"},
            {"EchoMailFlavour", "hold", "0"},      {"EchoMailFlavour", "other", "0"},
            {"LinkBundleNameStyle", "timestamp", "0"},
            {"LinkBundleNameStyle", "addrdiff", "1"},
            {"LinkBundleNameStyle", "AddrDiffAlways", "2"},
            {"LinkBundleNameStyle", "addrscrc32", "3"},
            {"LinkBundleNameStyle", "addrsCRC32Always", "4"},
        };
        for (const auto &r : radio) {
            QTest::addRow("%s '%s'", r.field, r.word)
                << QByteArray(r.field) + " " + r.word + "\n" << Expected{{r.field, r.option}};
        }
    }

    void loadRules()
    {
        // Every row is first set by another link, so that what the rule leaves is visible.
        QFETCH(QByteArray, lines);
        QFETCH(Expected, expected);
        Program program;
        ConfigFixture files;
        openAndShow(fullSection() + "Link Test\n" + lines, files);
        pick(0);
        pick(1);
        for (const auto &[field, expectedState] : expected)
            QCOMPARE(state(field), expectedState);
    }

    // While no link is shown the rows take nothing, Defaults and New stay; a link's rows,
    // Use boxes and bundle style too, show what its first pick showed, in any order of picks.
    void rowsOfNoLinkGreyedAndOfALinkTheSameInAnyOrder()
    {
        const QByteArray config = "Link Bare\nAka 1:1/1\n" + fullSection()
                + "Link Part\nAutoPause 30\nLinkBundleNameStyle addrdiff\n";
        const auto rows = [] {
            QStringList out;
            for (QWidget *w : Link_Keywords->form()->fieldsWithButtons() + Link_Keywords->form()->useBoxes())
                out.append(w->objectName() + u'=' + fieldState(w) + (w->isEnabled() ? "" : " greyed"));
            return out;
        };
        QList<QStringList> first; // each link's rows as its first pick shows them
        for (int link = 0; link < 3; ++link) {
            Program program;
            ConfigFixture files;
            openAndShow(config, files);
            const QStringList none = rows();
            QCOMPARE(none.filter(" greyed").size(), none.size());
            QVERIFY(Link_Keywords->NewLinkButton->isEnabled()
                    && Link_Keywords->LinkDefaultsButton->isEnabled());
            pick(link);
            first.append(rows());
            QCOMPARE(first.last().filter(" greyed").size(), 0);
        }
        Program program;
        ConfigFixture files;
        openAndShow(config, files);
        for (int link : {2, 1, 0, 2, 0, 1}) {
            pick(link);
            QCOMPARE(rows(), first.at(link));
        }
    }

    void bundleStyleDefaultFollowsGeneralByCaption_data()
    {
        QTest::addColumn<QByteArray>("general");  // the General Keywords line, if any
        QTest::addColumn<QByteArray>("before");   // the link shown before
        QTest::addColumn<QByteArray>("cell");     // the link shown now
        QTest::addColumn<QString>("expected");    // caption selected, "" for none

        QTest::newRow("timeStamp") << QByteArray("BundleNameStyle timeStamp") << QByteArray("amiga")
                                   << QByteArray() << "timeStamp";
        QTest::newRow("addrDiff") << QByteArray("BundleNameStyle addrDiff") << QByteArray()
                                  << QByteArray() << "addrDiff";
        QTest::newRow("addrsCRC32 stands third there, fourth here")
            << QByteArray("BundleNameStyle addrsCRC32") << QByteArray() << QByteArray()
            << "addrsCRC32";
        QTest::newRow("addrDiffAlways stands fourth there, third here")
            << QByteArray("BundleNameStyle addrDiffAlways") << QByteArray() << QByteArray()
            << "addrDiffAlways";
        QTest::newRow("addrsCRC32Always") << QByteArray("BundleNameStyle addrsCRC32Always")
                                          << QByteArray() << QByteArray() << "addrsCRC32Always";
        QTest::newRow("Amiga") << QByteArray("BundleNameStyle Amiga") << QByteArray("timestamp")
                               << QByteArray() << "Amiga";
        QTest::newRow("a word in the cell wins")
            << QByteArray("BundleNameStyle addrsCRC32") << QByteArray() << QByteArray("addrdiff")
            << "addrDiff";
        QTest::newRow("nothing there selects nothing, whatever was shown before")
            << QByteArray() << QByteArray("addrdiffalways") << QByteArray() << "";
        QTest::newRow("nothing anywhere selects nothing")
            << QByteArray() << QByteArray() << QByteArray("none of them") << "";
    }

    void bundleStyleDefaultFollowsGeneralByCaption()
    {
        QFETCH(QByteArray, general);
        QFETCH(QByteArray, before);
        QFETCH(QByteArray, cell);
        QFETCH(QString, expected);
        Program program;
        ConfigFixture files;
        auto line = [](const QByteArray &value) {
            return value.isEmpty() ? QByteArray() : "LinkBundleNameStyle " + value + "\n";
        };
        openAndShow(general + "\nLink Before\n" + line(before) + "Link Now\n" + line(cell), files);
        pick(0);
        pick(1);
        const vog::RadioChoice *styles = Link_Keywords->field<vog::RadioChoice>("LinkBundleNameStyle");
        QCOMPARE(styles->caption(styles->selectedOption()), expected);
    }

    void numberErrorStopsTheLoadAtItsRow()
    {
        Program program;
        ConfigFixture files;
        openAndShow(fullSection()
                        + "Link Bad\nAccessGrp bad-access\nAdvancedAreafix off\nAka 1:1/1\n"
                          "AllowEmptyPktPwd on\nAllowPktAddrDiffer off\nArcmailSize 77\n"
                          "ArcNetmail off\nAreafix on\nAreafixEchoLimit 12x\nAreafixPwd badfix\n"
                          "Password badpw\nPause on\n",
                    files);
        pick(0);
        ErrorBoxWatcher watcher;
        pick(1);
        QCOMPARE(watcher.shown().size(), 1);
        QCOMPARE(watcher.shown()[0].text,
                 QStringLiteral("'12x' is not a valid whole number (line 57)."));
        QCOMPARE(watcher.shown()[0].icon, QMessageBox::Critical);
        const Expected before{{"AccessGrp", "bad-access"}, {"AdvancedAreafix", "Off"},
                              {"Aka", "1:1/1"},           {"AllowEmptyPktPwd", "2"},
                              {"AllowPktAddrDiffer", "Off"}, {"ArcmailSize", "77"},
                              {"ArcNetmail", "Off"},       {"Areafix", "On"}};
        for (const auto &[field, expectedState] : before)
            QCOMPARE(state(field), expectedState);
        // That row and all below it still show the link shown before.
        for (int i = 8; i < int(std::size(FullLink)); ++i)
            QCOMPARE(state(FullLink[i].field), QString::fromLatin1(FullLink[i].full));
        // The next load starts again from the first row.
        pick(0);
        QCOMPARE(watcher.shown().size(), 1);
        QCOMPARE(state("AccessGrp"), QStringLiteral("full-access"));
    }

    void noEntrySelectedReadsColumnZero_data()
    {
        QTest::addColumn<QByteArray>("config");
        QTest::addColumn<Expected>("expected");
        QTest::newRow("lines before the first link")
            << QByteArray("Aka 1:1/1\nPassword early\nAutoPause 30\nLink A\nAka 2:2/2\n")
            << Expected{{"Aka", "1:1/1"}, {"Password", "early"}, {"AutoPause", "30"},
                        {"AutoPauseUse", "checked"}, {"ArcmailSize", "500"}};
        QTest::newRow("none before it")
            << QByteArray("Link A\nAka 2:2/2\nArcmailSize 10\n")
            << Expected{{"Aka", ""}, {"ArcmailSize", "500"}, {"Areafix", "On"},
                        {"AutoPauseUse", "unchecked"}};
    }

    void noEntrySelectedReadsColumnZero()
    {
        // After an Open nothing is selected; typing into the list loads the record that no
        // entry names.
        QFETCH(QByteArray, config);
        QFETCH(Expected, expected);
        Program program;
        ConfigFixture files;
        openAndShow(config, files);
        typeIntoLinks(QStringLiteral("z"));
        QCOMPARE(links()->currentIndex(), -1);
        for (const auto &[field, expectedState] : expected)
            QCOMPARE(state(field), expectedState);
    }

    void loadsOncePerUserChange_data()
    {
        QTest::addColumn<Action>("action");
        QTest::addColumn<QList<int>>("loaded"); // the columns shown, one per load

        QTest::newRow("pick with the mouse") << Action([](QComboBox *) { pick(1); })
                                             << QList<int>{2};
        QTest::newRow("pick the shown link again")
            << Action([](QComboBox *) { pick(2); pick(2); }) << QList<int>{3, 3};
        QTest::newRow("arrow key") << Action([](QComboBox *c) {
            c->setFocus();
            QTest::keyClick(c, Qt::Key_Down);
            QTest::keyClick(c, Qt::Key_Down);
        }) << QList<int>{1, 2};
        QTest::newRow("each typed letter") << Action([](QComboBox *) { typeIntoLinks("zq"); })
                                           << QList<int>{0, 0};
        QTest::newRow("typed name and Return") << Action([](QComboBox *c) {
            typeIntoLinks("Gamma");
            QTest::keyClick(c, Qt::Key_Return);
        }) << QList<int>{0, 0, 0, 0, 0, 3};
        QTest::newRow("changed by the program") << Action([](QComboBox *c) {
            c->setCurrentIndex(1);
            c->setEditText(QStringLiteral("x"));
            c->setCurrentIndex(-1);
        }) << QList<int>{};
        QTest::newRow("another Open") << Action([](QComboBox *) {
            ConfigFixture more;
            openConfig(more.write("Link Delta\n"));
        }) << QList<int>{};
    }

    void loadsOncePerUserChange()
    {
        QFETCH(Action, action);
        QFETCH(QList<int>, loaded);
        Program program;
        ConfigFixture files;
        QSignalSpy loads(Link_Keywords, &TLink_Keywords::linkLoaded);
        // Filling the empty list selects its first entry for a moment: no load.
        openAndShow("Link Alpha\nLink Beta\nLink Gamma\n", files);
        QCOMPARE(loads.size(), 0);
        action(links());
        QList<int> columns;
        for (const QList<QVariant> &load : loads)
            columns.append(load.at(0).toInt());
        QCOMPARE(columns, loaded);
    }

    void browseButtonsFillTheirFields_data()
    {
        QTest::addColumn<QString>("button");
        QTest::addColumn<QString>("field");
        QTest::addColumn<bool>("directory");
        QTest::newRow("auto-create file") << "AutoAreaCreateFileButton" << "AutoAreaCreateFile" << false;
        QTest::newRow("deny file") << "DenyFwdFileButton" << "DenyFwdFile" << false;
        QTest::newRow("request file") << "ForwardRequestFileButton" << "ForwardRequestFile" << false;
        QTest::newRow("file box") << "FileBoxButton" << "FileBox" << true;
        QTest::newRow("message base") << "LinkMsgBaseDirButton" << "LinkMsgBaseDir" << true;
    }

    void browseButtonsFillTheirFields()
    {
        QFETCH(QString, button);
        QFETCH(QString, field);
        QFETCH(bool, directory);
        Program program;
        ConfigFixture files;
        showALink(files);
        auto *b = Link_Keywords->findChild<vog::BrowseButton *>(button);
        QVERIFY(b);
        if (directory) {
            whenModal<TSelect_directory>([](TSelect_directory *d) { d->accept(); },
                                         [b] { b->click(); });
            QCOMPARE(state(field), QDir::currentPath());
        } else {
            vog::FileOpenDialog::setNextAnswer(QStringLiteral("/etc/vog/picked.lst"));
            b->click();
            QCOMPARE(state(field), QStringLiteral("/etc/vog/picked.lst"));
        }
    }
};

QTEST_MAIN(TestLinkKeywords)
#include "tst_link_keywords.moc"
