// Every window and dialog on a small screen (an offscreen screen of 800 by 600, and the same at
// a scale factor of 1.5, which leaves 533 by 400): it opens inside the screen's available
// area, keeps the size asked where that fits, and each of its buttons can be reached, on the
// window or by scrolling its content.
#include "TestSupport.h"

#include "editors/AreaListModel.h"
#include "editors/LinkDialog.h"
#include "editors/TArea_Definition.h"
#include "shell/SavePreview.h"
#include "shell/Startup.h"
#include "shell/TMain.h"

#include <QAbstractButton>
#include <QScreen>
#include <QScrollArea>
#include <QtTest>

#include <memory>

namespace {

// Whether the user can get at the button: it lies whole on its window, or on the content of
// a scroll area that lies whole on the window.
bool reachable(QWidget *window, QAbstractButton *button)
{
    QWidget *on = window;
    for (QWidget *w = button->parentWidget(); w && w != window; w = w->parentWidget())
        if (auto *scroll = qobject_cast<QScrollArea *>(w); scroll && scroll->widget()
            && scroll->widget()->isAncestorOf(button)) {
            if (!window->rect().contains(QRect(scroll->mapTo(window, QPoint()), scroll->size())))
                return false;
            on = scroll->widget();
            break;
        }
    return on->rect().contains(QRect(button->mapTo(on, QPoint()), button->size()));
}

} // namespace

class TestWindowFit final : public QObject
{
    Q_OBJECT
private slots:
    // The screen is the small one asked for (tests/CMakeLists.txt), in the scale's pixels.
    void initTestCase()
    {
        const double scale = qEnvironmentVariableIsSet("QT_SCALE_FACTOR")
                ? qEnvironmentVariable("QT_SCALE_FACTOR").toDouble()
                : 1.0;
        const QSize size = QGuiApplication::primaryScreen()->availableGeometry().size();
        QVERIFY2(qAbs(size.width() - 800 / scale) <= 1 && qAbs(size.height() - 600 / scale) <= 1,
                 qPrintable(QStringLiteral("%1x%2").arg(size.width()).arg(size.height())));
    }

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
        Program program;
        ConfigFixture files;
        QVERIFY(openConfig(files.write("Link A\nAka 1:1/1\nEchoArea A /a 1:1/1\n")).isEmpty());
        std::unique_ptr<QWidget> own;
        if (window == QLatin1String("SavePreview"))
            own = std::make_unique<SavePreview>(std::vector<SavePreview::File>{
                    {files.path("test.cfg"), QStringLiteral("@@ -1 +1 @@\n-a\n+b\n"), {}}}, Main);
        else if (window == QLatin1String("LinkDialog"))
            own = std::make_unique<vog::LinkDialog>(
                    QStringLiteral("New link"), QString(), true,
                    [](const QString &, const QString &) { return QString(); }, Main);
        else if (window == QLatin1String("AreaDialog"))
            own = std::make_unique<AreaDialog>(Main);
        QWidget *w = own ? own.get() : windowNamed(window);
        QVERIFY(w);
        // Where the window asks for a size of its own, rather than its layout's.
        const QSize asked = w->testAttribute(Qt::WA_Resized) ? w->size() : QSize(0, 0);
        w->show();
        QVERIFY(QTest::qWaitForWindowExposed(w));

        const QRect area = w->screen()->availableGeometry();
        QVERIFY2(area.contains(w->frameGeometry()),
                 qPrintable(QStringLiteral("%1,%2 %3x%4 on %5x%6")
                                    .arg(w->x()).arg(w->y()).arg(w->width()).arg(w->height())
                                    .arg(area.width()).arg(area.height())));
        if (!asked.isEmpty() && area.width() >= asked.width() && area.height() >= asked.height())
            QCOMPARE(w->size(), asked);
        QStringList unreachable;
        const QList<QAbstractButton *> buttons = w->findChildren<QAbstractButton *>();
        QVERIFY(!buttons.isEmpty());
        for (QAbstractButton *b : buttons)
            if (b->isVisibleTo(w) && !reachable(w, b))
                unreachable.append(b->objectName().isEmpty() ? b->text() : b->objectName());
        QCOMPARE(unreachable, QStringList());
    }
};

QTEST_MAIN(TestWindowFit)
#include "tst_window_fit.moc"
