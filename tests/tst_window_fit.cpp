// Every window and dialog on an 800x600 screen, at scale 1 and 1.5 (tests/CMakeLists.txt): it
// opens inside the available area, keeps a size asked for where that fits, and each button
// lies on the window or on a scrolling content that does. One Alt+letter reaches one control:
// no two labels or buttons of a window underline the same letter.
#include "TestSupport.h"

#include "editors/LinkDialog.h"
#include "editors/TArea_Definition.h"
#include "shell/SavePreview.h"
#include "shell/Startup.h"
#include "shell/TMain.h"

#include <QAbstractButton>
#include <QLabel>
#include <QScreen>
#include <QScrollArea>
#include <QtTest>

class TestWindowFit final : public QObject
{
    Q_OBJECT
private slots:
    void everyWindowFitsTheScreen_data()
    {
        QTest::addColumn<QString>("window");
        for (const char *name : {"Main", "General_Keywords", "Files_and_Paths", "Link_Keywords",
                                 "Area_Definition", "Select_directory", "SavePreview",
                                 "LinkDialog", "AreaDialog"})
            QTest::newRow(name) << QString::fromLatin1(name);
    }
    void everyWindowFitsTheScreen()
    {
        QFETCH(QString, window);
        const double scale = qEnvironmentVariable("QT_SCALE_FACTOR", "1").toDouble();
        const QRect area = QGuiApplication::primaryScreen()->availableGeometry();
        QVERIFY(qAbs(area.width() - 800 / scale) <= 1 && qAbs(area.height() - 600 / scale) <= 1);
        Program program;
        ConfigFixture files;
        QVERIFY(openConfig(files.write("Link A\nAka 1:1/1\nEchoArea A /a 1:1/1\n")).isEmpty());
        const auto noCheck = [](const QString &, const QString &) { return QString(); };
        std::unique_ptr<QWidget> own(
                window == "SavePreview" ? new SavePreview({{"/a.cfg", "@@ -1 +1 @@\n-a\n+b", {}}}, Main)
                : window == "LinkDialog" ? new vog::LinkDialog("New link", {}, true, noCheck, Main)
                : window == "AreaDialog" ? static_cast<QWidget *>(new AreaDialog(Main)) : nullptr);
        QWidget *w = own ? own.get() : windowNamed(window);
        const QSize asked = w->testAttribute(Qt::WA_Resized) ? w->size() : QSize(0, 0);
        w->show();
        QVERIFY(QTest::qWaitForWindowExposed(w));
        QVERIFY(area.contains(w->frameGeometry()));
        if (area.width() >= asked.width() && area.height() >= asked.height())
            QCOMPARE(w->size(), asked.isEmpty() ? w->size() : asked);
        QStringList letters;
        for (const QLabel *label : w->findChildren<QLabel *>())
            letters.append(QKeySequence::mnemonic(label->buddy() ? label->text() : "").toString());
        for (QAbstractButton *b : w->findChildren<QAbstractButton *>()) {
            letters.append(QKeySequence::mnemonic(b->text()).toString());
            QWidget *on = w; // the window, or the content of the scroll area holding the button
            for (QWidget *p = b->parentWidget(); p != w; p = p->parentWidget())
                if (auto *scroll = qobject_cast<QScrollArea *>(p); scroll && on == w) {
                    QVERIFY(w->rect().contains(QRect(scroll->mapTo(w, QPoint()), scroll->size())));
                    on = scroll->widget();
                }
            QVERIFY2(!b->isVisibleTo(w) || on->rect().contains(QRect(b->mapTo(on, QPoint()), b->size())),
                     qPrintable(b->objectName() + b->text()));
        }
        for (const QString &letter : letters)
            QVERIFY2(letter.isEmpty() || letters.count(letter) == 1, qPrintable(letter));
    }
};

QTEST_MAIN(TestWindowFit)
#include "tst_window_fit.moc"
