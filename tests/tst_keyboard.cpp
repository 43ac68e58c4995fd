// The program without a mouse: Tab walks every window in its order, the view follows the
// focus, every kind of field is edited from the keyboard, and the menus open with Alt and the
// underlined letter of their captions. Every key goes in as a real key press.
#include "TestSupport.h"

#include "editors/DirectoryList.h"
#include "editors/TArea_Definition.h"
#include "editors/TFiles_and_Paths.h"
#include "editors/TGeneral_Keywords.h"
#include "editors/TLink_Keywords.h"
#include "editors/TSelect_directory.h"
#include "editors/EditorWindow.h"
#include "fields/FileOpenDialog.h"
#include "fields/RowForm.h"
#include "shell/Startup.h"
#include "fields/TextField.h"
#include "shell/TMain.h"

#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QRadioButton>
#include <QScopeGuard>
#include <QScrollArea>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

namespace {

// Where a round of Tab starts on each window.
QWidget *firstStop(QWidget *window)
{
    const QString name = window == General_Keywords ? QStringLiteral("AddToSeen")
        : window == Files_and_Paths                 ? QStringLiteral("AdvisoryLock")
        : window == Link_Keywords                   ? QStringLiteral("LinkChange")
                                                    : QStringLiteral("DirectoryListBox");
    return window->findChild<QWidget *>(name);
}

// The name a user knows the focused control by: its own, or for a radio option its group's.
// The scroll area of an editor window takes the focus once per round, to scroll by keys; it
// gives the empty name. Anything else unnamed is reported by its class.
QString focusName(QWidget *window)
{
    QWidget *w = QApplication::focusWidget();
    if (!w)
        return QStringLiteral("<nothing>");
    if (!window->isAncestorOf(w))
        return QStringLiteral("<outside: %1>").arg(w->window()->objectName());
    if (qobject_cast<QScrollArea *>(w))
        return QString();
    if (qobject_cast<QRadioButton *>(w))
        return w->parentWidget()->objectName();
    if (w->objectName().isEmpty())
        return QStringLiteral("<%1>").arg(QString::fromLatin1(w->metaObject()->className()));
    return w->objectName();
}

// Whether the focused control can be seen in its window's scrolling view.
bool focusInView(QWidget *window)
{
    auto *editor = qobject_cast<vog::EditorWindow *>(window);
    QWidget *w = QApplication::focusWidget();
    if (!editor || !w || qobject_cast<QScrollArea *>(w))
        return true;
    QWidget *viewport = editor->scrollArea()->viewport();
    const QRect at(w->mapTo(viewport, QPoint(0, 0)), w->size());
    return viewport->rect().contains(at);
}

void showActive(QWidget *window)
{
    window->show();
    window->raise();
    window->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(window));
}

// Presses the keys on whatever has the focus: "<Name>" is a key (QKeySequence's names, such
// as "<Space>", "<Shift+Tab>"), anything else text typed character by character.
void press(const QStringList &keys)
{
    for (const QString &k : keys) {
        QWidget *target = QApplication::focusWidget();
        QVERIFY2(target, qPrintable(k));
        if (k.startsWith(QLatin1Char('<')) && k.endsWith(QLatin1Char('>'))) {
            const QKeyCombination key = QKeySequence::fromString(k.mid(1, k.size() - 2))[0];
            QTest::keyClick(target, key.key(), key.keyboardModifiers());
        } else {
            QTest::keyClicks(target, k);
        }
    }
}

// Tabs from the window's first control until the focus stands on the named one; fails if a
// whole round of the window passes without reaching it.
void tabTo(QWidget *window, const QString &name)
{
    const QString first = focusName(window);
    for (int i = 0; i < 200; ++i) {
        if (focusName(window) == name)
            return;
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        if (focusName(window) == first)
            break;
    }
    QFAIL(qPrintable(QStringLiteral("Tab never reaches ") + name));
}

// A menu-bar accelerator or a menu item's underlined letter as the user types it: the key of
// the (Cyrillic) letter, carrying its text.
void letter(QWidget *target, QChar c, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
{
    QTest::sendKeyEvent(QTest::Click, target, Qt::Key(c.toUpper().unicode()), QString(c),
                        modifiers);
}

QMenu *openPopup()
{
    return qobject_cast<QMenu *>(QApplication::activePopupWidget());
}

} // namespace

class TestKeyboard final : public QObject
{
    Q_OBJECT
private slots:
    void init() { m_program = std::make_unique<Program>(); }
    void cleanup() { m_program.reset(); }

    void tabWalksEveryWindowInItsOrder_data();
    void tabWalksEveryWindowInItsOrder();
    void everyKindIsEditedFromTheKeyboard_data();
    void everyKindIsEditedFromTheKeyboard();
    void directoryPickerByKeyboardAlone();
    void menuAcceleratorsOpenAndShowEverything();
    void configuratorAcceleratorDoesNothingBeforeAnOpen();
    void acceleratorsAreUniqueWithinEachMenu();

private:
    std::unique_ptr<Program> m_program;
};

void TestKeyboard::tabWalksEveryWindowInItsOrder_data()
{
    QTest::addColumn<QString>("window");
    QTest::addColumn<QStringList>("order");

    QStringList flagBoxes;
    for (const char *flag : {"pvt", "crash", "read", "sent", "att", "fwd", "orphan",
                             "k_s", "loc", "xx2", "frq", "rrq", "cpt", "arq",
                             "urq", "kfs", "tfs", "dir", "imm", "cfm", "npd"})
        flagBoxes.append(QStringLiteral("afkr_") + QString::fromLatin1(flag));

    // Rows top to bottom, except that AreafixFromName comes after Unpack; the four browse
    // buttons follow. Each flag box is a stop of its own; a radio choice is one stop.
    QTest::newRow("General Keywords")
        << "General_Keywords"
        << QStringList{"AddToSeen", "Address", "AfterUnpack", "AreafixFromPkt",
                       "AreafixKillRequests", "AreafixMsgSize", "AreafixNames", "AreafixOrigin"}
               + flagBoxes
               + QStringList{"AreafixSplitStr", "AreafixQueryReports", "AreafixQueueFile",
                             "AreasFileNameCase", "AutoAreaCreateFlag", "AutoPassive",
                             "BeforePack", "BundleNameStyle", "CreateAreasCase",
                             "CreateFwdNonPass", "DefArcmailSize", "DisableTID", "DisablePID",
                             "ForwardRequestTimeout", "IdlePassthruTimeout", "IgnoreCapWord",
                             "IgnoreSeen", "KeepTrsFiles", "KeepTrsMail", "KilledRequestTimeout",
                             "KludgeAreaNetmail", "LinkWithImportLog", "LogEchoToScreen",
                             "LogLevels", "Name", "NetmailFlag", "NewAreaRefuseFile",
                             "NoProcessBundles", "Origin", "Pack", "PackNetMailOnScan",
                             "ProcessPkt", "PublicGroup", "Remap", "ReportTo", "RobotsArea",
                             "Route", "RouteFile", "RouteMail", "ScreenLogLevels",
                             "SeparateBundles", "SetConsoleTitle", "Sysop", "TearLine",
                             "TossingExt", "Unpack", "AreafixFromName", "AreafixQueueFileButton",
                             "AutoAreaCreateFlagButton", "NetmailFlagButton",
                             "NewAreaRefuseFileButton"};

    // Rows top to bottom, each field followed by its button.
    QTest::newRow("Files and Paths")
        << "Files_and_Paths"
        << QStringList{"AdvisoryLock", "AreafixHelp", "AreafixHelpButton", "AreasMaxDupeAge",
                       "DupeBaseType", "DupeHistoryDir", "DupeHistoryDirButton", "EchoTossLog",
                       "EchoTossLogButton", "FileBoxesDir", "FileBoxesDirButton", "VogPerlFile",
                       "VogPerlFileButton", "ImportLog", "ImportLogButton", "Inbound",
                       "InboundButton", "Include", "IncludeButton", "Intab", "IntabButton",
                       "LocalInbound", "LocalInboundButton", "LockFile", "LockFileButton",
                       "LogFileDir", "LogFileDirButton", "MinDiskFreeSpace", "MsgBaseDir",
                       "MsgBaseDirButton", "NotValidFileNameChars", "Outbound",
                       "OutboundButton", "Outtab", "OuttabButton", "ProtInbound",
                       "ProtInboundButton", "RulesDir", "RulesDirButton", "StatLog",
                       "StatLogButton", "TempInbound", "TempInboundButton", "TempOutbound",
                       "TempOutboundButton"};

    // The link list, the rows top to bottom with each browse button right after its field,
    // then the four Use boxes.
    QTest::newRow("Link Keywords")
        << "Link_Keywords"
        << QStringList{"LinkChange", "LinkDefaultsButton", "NewLinkButton", "CopyLinkButton",
                       "RenameLinkButton", "RemoveLinkButton", "AccessGrp", "AdvancedAreafix", "Aka", "AllowEmptyPktPwd",
                       "AllowPktAddrDiffer", "ArcmailSize", "ArcNetmail", "Areafix",
                       "AreafixEchoLimit", "AreafixPwd", "AutoAreaCreate", "AutoAreaCreateFile",
                       "AutoAreaCreateFileButton", "AutoAreaCreateDefaults",
                       "AutoAreaCreateSubdirs", "AutoPause", "AvailList", "DenyFwdFile",
                       "DenyFwdFileButton", "DenyFwdMask", "DenyFwdReqAccess",
                       "DenyUncondFwdReqAccess", "EchoMailFlavour", "Export",
                       "ForwardAreaPriority", "ForwardPkts", "ForwardRequestFile",
                       "ForwardRequestFileButton", "ForwardRequestMask", "ForwardRequests",
                       "FileBox", "FileBoxButton", "FileBoxAlways", "Import", "Level",
                       "LinkBundleNameStyle", "LinkGrp", "LinkMsgBaseDir",
                       "LinkMsgBaseDirButton", "Mandatory", "Manual", "NoRules", "OptGrp",
                       "OurAka", "PackAka", "Packer", "Password", "Pause", "PktSize", "PktPwd",
                       "RemoteRobotName", "AreafixEchoLimitUse", "AutoPauseUse",
                       "ForwardAreaPriorityUse", "PktSizeUse"};

    QTest::newRow("directory chooser")
        << "Select_directory" << QStringList{"DirectoryListBox", "DriveComboBox", "OkButton"};
}

// A full round forwards with Tab and back with Shift+Tab, the focused control always in view.
void TestKeyboard::tabWalksEveryWindowInItsOrder()
{
    QFETCH(QString, window);
    QFETCH(QStringList, order);
    ConfigFixture files;
    if (window == QLatin1String("Link_Keywords"))
        showALink(files);
    QWidget *w = windowNamed(window);
    showActive(w);
    QCOMPARE(firstStop(w)->objectName(), order.first());
    firstStop(w)->setFocus(Qt::TabFocusReason);

    // The names the focus passes and those it passed out of sight.
    auto walk = [&](Qt::KeyboardModifiers modifiers, QStringList &hidden) {
        QStringList walked;
        for (int i = 0; i < 2 * order.size() + 4; ++i) {
            const QString name = focusName(w);
            if (!focusInView(w))
                hidden.append(name);
            if (!name.isEmpty())
                walked.append(name);
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab, modifiers);
            if (focusName(w) == order.first())
                break;
        }
        return walked;
    };
    QStringList hidden;
    QCOMPARE(walk(Qt::NoModifier, hidden), order);

    QStringList backwards{order.first()};
    for (qsizetype i = order.size() - 1; i > 0; --i)
        backwards.append(order[i]);
    QCOMPARE(walk(Qt::ShiftModifier, hidden), backwards);
    QCOMPARE(hidden, QStringList());
}

void TestKeyboard::everyKindIsEditedFromTheKeyboard_data()
{
    QTest::addColumn<QString>("window");
    QTest::addColumn<QString>("stop");     // the control Tab must reach
    QTest::addColumn<QStringList>("keys"); // then pressed there
    QTest::addColumn<QString>("field");    // the field whose state is read
    QTest::addColumn<QString>("expected"); // as fieldState() gives it

    // clang-format off
    QTest::newRow("text field")         << "General_Keywords" << "AddToSeen"       << QStringList{"2:5020/1"}               << "AddToSeen"          << "2:5020/1";
    QTest::newRow("On/Off typed")       << "General_Keywords" << "AreafixFromPkt"  << QStringList{"Off"}                    << "AreafixFromPkt"     << "Off";
    QTest::newRow("On/Off by arrows")   << "General_Keywords" << "AutoPassive"     << QStringList{"<Down>", "<Down>"}       << "AutoPassive"        << "Off";
    QTest::newRow("Lower/Upper")        << "General_Keywords" << "CreateAreasCase" << QStringList{"<Down>"}                 << "CreateAreasCase"    << "Lower";
    QTest::newRow("number typed")       << "General_Keywords" << "DefArcmailSize"  << QStringList{"2048", "<Tab>"}          << "DefArcmailSize"     << "2048";
    QTest::newRow("number stepped")     << "Files_and_Paths"  << "AdvisoryLock"    << QStringList{"<Up>", "<Up>", "<Down>"} << "AdvisoryLock"       << "1";
    QTest::newRow("radio picked")       << "General_Keywords" << "BundleNameStyle" << QStringList{"<Space>"}                << "BundleNameStyle"    << "0";
    QTest::newRow("radio moved on")     << "General_Keywords" << "BundleNameStyle" << QStringList{"<Space>", "<Right>"}     << "BundleNameStyle"    << "2";
    QTest::newRow("radio in one line")  << "Files_and_Paths"  << "DupeBaseType"    << QStringList{"<Space>", "<Right>", "<Right>"} << "DupeBaseType" << "2";
    QTest::newRow("flag box")           << "General_Keywords" << "afkr_crash"      << QStringList{"<Space>"}                << "AreafixKillReports" << "afkr_crash";
    QTest::newRow("flag box twice")     << "General_Keywords" << "afkr_npd"        << QStringList{"<Space>", "<Space>"}     << "AreafixKillReports" << "";
    QTest::newRow("line list")          << "General_Keywords" << "Pack"            << QStringList{"zip", "<Return>", "arj"} << "Pack"               << "zip|arj";
    QTest::newRow("file picker")        << "General_Keywords" << "NetmailFlagButton" << QStringList{"<Space>"}              << "NetmailFlag"        << "/picked/by/keyboard";
    QTest::newRow("+ button")           << "Files_and_Paths"  << "IncludeButton"   << QStringList{"<Space>"}                << "Include"            << "/picked/by/keyboard";
    QTest::newRow("link text field")    << "Link_Keywords"    << "Password"        << QStringList{"secret"}                 << "Password"           << "secret";
    QTest::newRow("Use box")            << "Link_Keywords"    << "PktSizeUse"      << QStringList{"<Space>"}                << "PktSizeUse"         << "checked";
    QTest::newRow("link radio")         << "Link_Keywords"    << "Pause"           << QStringList{"<Space>", "<Right>"}     << "Pause"              << "1";
    // clang-format on
}

void TestKeyboard::everyKindIsEditedFromTheKeyboard()
{
    QFETCH(QString, window);
    QFETCH(QString, stop);
    QFETCH(QStringList, keys);
    QFETCH(QString, field);
    QFETCH(QString, expected);
    // The file pickers' dialog answers this name.
    if (stop.endsWith(QStringLiteral("Button")))
        vog::FileOpenDialog::setNextAnswer(QStringLiteral("/picked/by/keyboard"));
    ConfigFixture files;
    if (window == QLatin1String("Link_Keywords"))
        showALink(files);
    QWidget *w = windowNamed(window);
    showActive(w);
    firstStop(w)->setFocus(Qt::TabFocusReason);
    tabTo(w, stop);
    press(keys);
    QCOMPARE(fieldState(w, field), expected);
}

// Tab to a directory browse button, Space shows the chooser; in it the arrow keys and Enter
// open a folder, Tab reaches OK and Space closes it: the field takes the folder opened.
void TestKeyboard::directoryPickerByKeyboardAlone()
{
    // The chooser opens at the directory current when the program started.
    QTemporaryDir top;
    QVERIFY(QDir(top.path()).mkdir(QStringLiteral("inbound")));
    const QString before = QDir::currentPath();
    auto back = qScopeGuard([&] { QDir::setCurrent(before); });
    m_program.reset();
    QDir::setCurrent(top.path());
    m_program = std::make_unique<Program>();
    showActive(Files_and_Paths);
    firstStop(Files_and_Paths)->setFocus(Qt::TabFocusReason);
    tabTo(Files_and_Paths, QStringLiteral("InboundButton"));

    // The keys go in blind; what had the focus is checked once the chooser is gone.
    QStringList focused;
    whenModal<TSelect_directory>(
        [&](TSelect_directory *chooser) {
            if (!QTest::qWaitForWindowActive(chooser))
                chooser->activateWindow();
            focused.append(QApplication::focusWidget()->objectName());
            press({QStringLiteral("<End>"), QStringLiteral("<Return>"), QStringLiteral("<Tab>"),
                   QStringLiteral("<Tab>")});
            focused.append(QApplication::focusWidget()->objectName());
            press({QStringLiteral("<Space>")});
        },
        [] { QTest::keyClick(QApplication::focusWidget(), Qt::Key_Space); });
    QCOMPARE(focused, (QStringList{QStringLiteral("DirectoryListBox"), QStringLiteral("OkButton")}));
    QVERIFY(!Select_directory->isVisible());
    QCOMPARE(QFileInfo(Files_and_Paths->field<vog::TextField>("Inbound")->text()).canonicalFilePath(),
             QFileInfo(top.filePath(QStringLiteral("inbound"))).canonicalFilePath());
}

// Alt and the underlined letter open a menu; in it the letter, or the arrows and Enter, pick
// an item. Opening a file through the keyboard lets the Configurator menu show every editor.
void TestKeyboard::menuAcceleratorsOpenAndShowEverything()
{
    ConfigFixture fixture;
    vog::FileOpenDialog::setNextAnswer(fixture.write("Name Keyboard Station\n"));
    showActive(Main);

    letter(Main, QChar(0x0444), Qt::AltModifier); // Alt+Ф: File
    QCOMPARE(openPopup(), Main->N1);
    letter(openPopup(), QChar(0x043E)); // о: Open
    QTRY_VERIFY(!openPopup());
    QVERIFY(Main->N6->menuAction()->isEnabled());
    QCOMPARE(General_Keywords->field<vog::TextField>("Name")->text(), QStringLiteral("Keyboard Station"));

    // The items of the Configurator menu carry no letter: Down and Enter reach them, and
    // Down skips the greyed ones.
    const QList<QPair<int, QWidget *>> items{
        {0, General_Keywords}, {1, Files_and_Paths}, {2, Link_Keywords}, {3, Area_Definition},
        {5, Files_and_Paths}};
    for (const auto &[downs, window] : items) {
        Main->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(Main));
        letter(QApplication::focusWidget() ? QApplication::focusWidget() : Main, QChar(0x043A),
               Qt::AltModifier); // Alt+К: Configurator
        QMenu *menu = openPopup();
        QCOMPARE(menu, Main->N6);
        for (int i = 0; i < downs; ++i)
            QTest::keyClick(menu, Qt::Key_Down);
        QTest::keyClick(menu, Qt::Key_Return);
        QTRY_VERIFY(!openPopup());
        QVERIFY2(window->isVisible(), qPrintable(window->objectName()));
        window->hide();
    }

    // About has its letter too; it does nothing but may be chosen.
    QSignalSpy about(Main->N4, &QAction::triggered);
    Main->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(Main));
    letter(Main, QChar(0x043F), Qt::AltModifier); // Alt+П
    QCOMPARE(about.count(), 1);
}

void TestKeyboard::configuratorAcceleratorDoesNothingBeforeAnOpen()
{
    showActive(Main);
    letter(Main, QChar(0x043A), Qt::AltModifier); // Alt+К
    QApplication::processEvents();
    QCOMPARE(openPopup(), nullptr);
    QVERIFY(!General_Keywords->isVisible());
}

// Two captions with the same underlined letter in one menu would make one unreachable.
void TestKeyboard::acceleratorsAreUniqueWithinEachMenu()
{
    auto letters = [](const QList<QAction *> &actions) {
        QStringList found;
        for (const QAction *a : actions) {
            const QKeySequence mnemonic = QKeySequence::mnemonic(a->text());
            if (!mnemonic.isEmpty())
                found.append(mnemonic.toString());
        }
        return found;
    };
    const QStringList bar = letters(Main->menuBar()->actions());
    QCOMPARE(bar.size(), 3);
    QCOMPARE(QSet<QString>(bar.begin(), bar.end()).size(), 3);
    const QStringList file = letters(Main->N1->actions());
    QCOMPARE(file.size(), 4);
    QCOMPARE(QSet<QString>(file.begin(), file.end()).size(), 4);
}

QTEST_MAIN(TestKeyboard)
#include "tst_keyboard.moc"
