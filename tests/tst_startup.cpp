// Start-up as main() does it: the five windows, the main window's menu and memo, and showing
// the editor windows.
#include "TestSupport.h"

#include "editors/TFiles_and_Paths.h"
#include "editors/TGeneral_Keywords.h"
#include "editors/TLink_Keywords.h"
#include "editors/TSelect_directory.h"
#include "editors/Windows.h"
#include "shell/ErrorBox.h"
#include "shell/QuickFind.h"
#include "fields/FileOpenDialog.h"
#include "shell/Startup.h"
#include "fields/TextField.h"
#include "shell/TMain.h"

#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QtTest>

class TestStartup final : public QObject
{
    Q_OBJECT

private slots:
    void createsFiveWindowsOnlyMainShown()
    {
        Program program;
        QVERIFY(Main && General_Keywords && Files_and_Paths && Select_directory && Link_Keywords);
        Main->show();
        QVERIFY(Main->isVisible());
        const QList<QWidget *> hidden{General_Keywords, Files_and_Paths, Select_directory,
                                      Link_Keywords};
        for (QWidget *w : hidden)
            QVERIFY2(!w->isVisible(), qPrintable(w->objectName()));
        QCOMPARE(Main->objectName(), QStringLiteral("Main"));
        QCOMPARE(General_Keywords->objectName(), QStringLiteral("General_Keywords"));
        QCOMPARE(Files_and_Paths->objectName(), QStringLiteral("Files_and_Paths"));
        QCOMPARE(Select_directory->objectName(), QStringLiteral("Select_directory"));
        QCOMPARE(Link_Keywords->objectName(), QStringLiteral("Link_Keywords"));
    }

    void windowTitlesAndPlaces_data()
    {
        QTest::addColumn<QString>("window");
        QTest::addColumn<QString>("title");
        QTest::addColumn<QPoint>("place");
        QTest::newRow("Main") << "Main" << "Vog config" << QPoint(195, 98);
        QTest::newRow("General") << "General_Keywords" << "General Keywords" << QPoint(47, 47);
        QTest::newRow("Files") << "Files_and_Paths" << "Files and Paths" << QPoint(64, 8);
        QTest::newRow("Chooser") << "Select_directory" << "Select directory" << QPoint(192, 117);
        QTest::newRow("Links") << "Link_Keywords" << "Link Keywords" << QPoint(83, 16);
    }

    void windowTitlesAndPlaces()
    {
        QFETCH(QString, window);
        QFETCH(QString, title);
        QFETCH(QPoint, place);
        Program program;
        QWidget *w = nullptr;
        for (QWidget *top : QApplication::topLevelWidgets())
            if (top->objectName() == window)
                w = top;
        QVERIFY(w);
        QCOMPARE(w->windowTitle(), title);
        QCOMPARE(w->pos(), place);
    }

    void menuCaptionsAndStates()
    {
        Program program;
        const QList<QAction *> bar = Main->MainMenu->actions();
        QCOMPARE(bar.size(), 3);
        QCOMPARE(bar[0], Main->N1->menuAction());
        QCOMPARE(bar[1], Main->N6->menuAction());
        QCOMPARE(bar[2], Main->N4);
        QCOMPARE(Main->N1->title(), QStringLiteral("&Файл"));
        QCOMPARE(Main->N6->title(), QStringLiteral("&Конфигурятор"));
        QCOMPARE(Main->N4->text(), QStringLiteral("О &программе"));

        struct Item
        {
            QAction *action;
            const char *name;
            QString caption;
            bool enabled;
        };
        const QList<Item> file{{Main->N5, "N5", "Со&здать", true},
                               {Main->N2, "N2", "&Открыть", true},
                               {Main->N3, "N3", "&Сохранить", false},
                               {Main->ModuleMenu->menuAction(), "", "&Module", true}};
        const QList<Item> configurator{
            {Main->GeneralKeywords1, "GeneralKeywords1", "General Keywords ", true},
            {Main->FilesandPaths1, "FilesandPaths1", "Files and Paths ", true},
            {Main->LinkKeywords1, "LinkKeywords1", "Link Keywords ", true},
            {Main->AreafixKeywords1, "AreafixKeywords1", "Areafix Keywords ", false},
            {Main->AreaDefinition1, "AreaDefinition1", "Area Definition ", true},
            {Main->CarbonCopy1, "CarbonCopy1", "Carbon Copy ", false}};
        auto check = [](QMenu *menu, const QList<Item> &items) {
            QCOMPARE(menu->actions().size(), items.size());
            for (int i = 0; i < items.size(); ++i) {
                QCOMPARE(menu->actions()[i], items[i].action);
                QCOMPARE(items[i].action->objectName(), QString::fromLatin1(items[i].name));
                QCOMPARE(items[i].action->text(), items[i].caption);
                QCOMPARE(items[i].action->isEnabled(), items[i].enabled);
            }
        };
        check(Main->N1, file);
        check(Main->N6, configurator);
        // Configurator is greyed until a file has been opened.
        QVERIFY(!Main->N6->menuAction()->isEnabled());
        QVERIFY(Main->N4->isEnabled());
    }

    // A window is one row of the window table: start-up makes it under its name, its menu item
    // stands in the table's order and shows it, and its Ctrl+F opens the quick find over it. A
    // menu item whose window is still to come stands greyed.
    void everyWindowRowHasItsWindowAndItem()
    {
        Program program;
        ConfigFixture files;
        QVERIFY(openConfig(files.write("Name x\n")).isEmpty());
        auto *find = Main->findChild<vog::QuickFind *>(QStringLiteral("QuickFind"));
        QStringList items;
        for (const vog::WindowRow &row : vog::windowRows()) {
            QWidget *window = row.instance ? row.instance() : nullptr;
            QCOMPARE(window != nullptr, row.objectName != nullptr);
            if (window)
                QCOMPARE(window->objectName(), QString::fromLatin1(row.objectName));
            if (!row.menuItem)
                continue;
            items << QString::fromLatin1(row.menuItem);
            QAction *item = Main->N6->findChild<QAction *>(QString::fromLatin1(row.menuItem));
            QVERIFY2(item && item->isEnabled() == (window != nullptr), row.menuItem);
            if (!window)
                continue;
            item->trigger();
            QVERIFY2(window->isVisible(), row.menuItem);
            QAction *quickFind = vog::quickFindActionOf(window);
            QVERIFY2(quickFind, row.menuItem);
            quickFind->trigger();
            QVERIFY2(find->isVisible(), row.menuItem);
            find->hide();
        }
        QStringList shown;
        for (QAction *item : Main->N6->actions())
            shown << item->objectName();
        QCOMPARE(shown, items);
    }

    void memoHoldsItsThreeLines()
    {
        Program program;
        QCOMPARE(Main->Memo1->toPlainText().split(QLatin1Char('\n')),
                 (QStringList{QStringLiteral("Шо еще сделать:"),
                              QStringLiteral("- Прикрутить инклуды"),
                              QStringLiteral("- Прикрутить   \"3.3.34 LinkDefaults\" ")}));
        QCOMPARE(Main->Memo1->geometry(), QRect(16, 22, 457, 255));
    }

    void greyedItemsStayGreyedAfterOpen()
    {
        Program program;
        ConfigFixture files;
        QVERIFY(openConfig(files.write("Name x\n")).isEmpty());
        QVERIFY(Main->N6->menuAction()->isEnabled());
        for (QAction *a : {Main->N3, Main->AreafixKeywords1, Main->CarbonCopy1})
            QVERIFY2(!a->isEnabled(), qPrintable(a->objectName()));
        // About does nothing: triggering it shows no window.
        Main->N4->trigger();
        QVERIFY(!General_Keywords->isVisible());
    }

    // A name that exists is refused, in one error box.
    void newRunsItsDialogAndChangesNothing()
    {
        Program program;
        ConfigFixture files;
        const QString name = files.write("Name x\n");
        vog::FileOpenDialog::setNextAnswer(name);
        ErrorBoxWatcher boxes;
        Main->N5Click();
        QCOMPARE(boxes.shown().size(), 1);
        QCOMPARE(Main->NewDialog->fileName(), name);
        QCOMPARE(Main->OpenDialog->fileName(), QString());
        QVERIFY(!Main->N6->menuAction()->isEnabled());
        QCOMPARE(General_Keywords->field<vog::TextField>("Name")->text(), QString());
    }

    void showingAWindowTwiceShowsItOnce()
    {
        Program program;
        Main->show();
        Main->GeneralKeywords1->trigger();
        Main->GeneralKeywords1->trigger();
        QVERIFY(General_Keywords->isVisible());
        int shown = 0;
        for (QWidget *top : QApplication::topLevelWidgets())
            if (top->isVisible() && top->windowTitle() == QLatin1String("General Keywords"))
                ++shown;
        QCOMPARE(shown, 1);
        Main->FilesandPaths1->trigger();
        Main->LinkKeywords1->trigger();
        QVERIFY(Files_and_Paths->isVisible());
        QVERIFY(Link_Keywords->isVisible());
        QVERIFY(Main->isVisible()); // modeless: all side by side
    }

    void closingAnEditorOnlyHidesIt()
    {
        Program program;
        ConfigFixture files;
        openConfig(files.write("Name My Station\n"));
        Main->GeneralKeywords1Click();
        General_Keywords->field<vog::TextField>("Sysop")->setText(QStringLiteral("typed by the user"));
        QVERIFY(General_Keywords->close());
        QVERIFY(!General_Keywords->isVisible());
        QVERIFY(General_Keywords); // still the same window
        Main->GeneralKeywords1Click();
        QVERIFY(General_Keywords->isVisible());
        QCOMPARE(General_Keywords->field<vog::TextField>("Name")->text(), QStringLiteral("My Station"));
        QCOMPARE(General_Keywords->field<vog::TextField>("Sysop")->text(), QStringLiteral("typed by the user"));
    }

    void titleFromProgramFile_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QString>("title");
        QTest::newRow("cut at first dot, rest lower-cased")
            << "C:/Tools/Vog_Config.EXE" << "Vog_config";
        QTest::newRow("first letter kept") << "/usr/bin/vog-config" << "vog-config";
        QTest::newRow("several dots") << "/opt/VOG.CONFIG.BIN" << "Vog";
        QTest::newRow("no dot") << "/opt/VogConfig" << "Vogconfig";
    }

    void titleFromProgramFile()
    {
        QFETCH(QString, file);
        QFETCH(QString, title);
        QCOMPARE(vog::titleFromProgramFile(file), title);
    }
};

QTEST_MAIN(TestStartup)
#include "tst_startup.moc"
