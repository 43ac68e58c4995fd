#include "Startup.h"

#include "TMain.h"
#include "document/ConfigDocument.h"
#include "fields/ScreenFit.h"

#include <QEvent>
#include <QPointer>
#include <QWindow>

#include <functional>

TMain *Main = nullptr;

namespace {

// Runs a function once, after a window's first frame has been drawn and sent to the screen.
class AfterFirstFrame : public QObject
{
public:
    AfterFirstFrame(QWindow *window, std::function<void()> fn)
        : QObject(window), m_fn(std::move(fn))
    {
        if (window->isExposed())
            later();
        else
            window->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::Expose && static_cast<QWindow *>(watched)->isExposed()) {
            watched->removeEventFilter(this);
            later();
        }
        return false;
    }

private:
    // Queued, so that the expose that called for the frame has been painted first.
    void later()
    {
        QMetaObject::invokeMethod(
                this,
                [this] {
                    m_fn();
                    deleteLater();
                },
                Qt::QueuedConnection);
    }

    std::function<void()> m_fn;
};

} // namespace

void createWindows(EditorWindows when)
{
    vog::keepWindowsOnScreen();
    Main = new TMain;
    if (when == EditorWindows::Now) {
        Main->makeEditorWindows();
        return;
    }
    Main->show();
    runAfterFirstFrame(Main, [] { Main->makeEditorWindows(); });
}

void runAfterFirstFrame(QWidget *window, std::function<void()> fn)
{
    new AfterFirstFrame(window->windowHandle(), std::move(fn));
}

void destroyWindows()
{
    if (Main)
        Main->destroyEditorWindows();
    vog::document().clear();
    delete Main;
    Main = nullptr;
}

namespace vog {

void openWhenMainIsShown(const QStringList &files)
{
    if (files.isEmpty() || !Main)
        return;
    Main->show();
    runAfterFirstFrame(Main, [files] {
        // An error box runs its own event loop, in which the user may close the main window.
        const QPointer<TMain> main = Main;
        for (const QString &file : files) {
            if (!main || !main->isVisible())
                return;
            main->openFile(file);
        }
    });
}

} // namespace vog
