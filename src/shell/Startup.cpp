#include "Startup.h"

#include "ErrorBox.h"
#include "QuickFind.h"
#include "TMain.h"
#include "document/ConfigDocument.h"
#include "editors/TFiles_and_Paths.h"
#include "fields/ScreenFit.h"

#include <QAction>
#include <QEvent>
#include <QMenu>
#include <QWindow>

#include <functional>
#include <optional>

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

void createEditorWindows()
{
    if (vog::windowRows().front().instance())
        return;
    for (const vog::WindowRow &row : vog::windowRows())
        if (row.create)
            row.create(&vog::showError);
    // A new set of windows shows a new document.
    vog::document().clear();
    QObject::connect(Files_and_Paths->OpenIncludedFile, &QAction::triggered, Main,
                     &TMain::openIncludedFile);
    QObject::connect(Files_and_Paths->OpenAllIncludedFiles, &QAction::triggered, Main,
                     &TMain::openAllIncludedFiles);
    new vog::QuickFind(Main, Main->QuickFindAction, Main->N6->menuAction());
}

void createWindows(EditorWindows when)
{
    vog::keepWindowsOnScreen();
    Main = new TMain;
    if (when == EditorWindows::Now) {
        createEditorWindows();
        return;
    }
    Main->show();
    runAfterFirstFrame(Main, createEditorWindows);
}

void runAfterFirstFrame(QWidget *window, std::function<void()> fn)
{
    new AfterFirstFrame(window->windowHandle(), std::move(fn));
}

namespace {

void destroyEditorWindows()
{
    vog::document().clear();
    // It answers the windows' Ctrl+F: the next set makes its own.
    if (Main)
        delete Main->findChild<vog::QuickFind *>();
    const std::vector<vog::WindowRow> &rows = vog::windowRows();
    for (auto row = rows.rbegin(); row != rows.rend(); ++row)
        if (row->destroy)
            row->destroy();
}

} // namespace

void destroyWindows()
{
    destroyEditorWindows();
    delete Main;
    Main = nullptr;
}

void renewEditorWindows()
{
    // Where the user left each window shown.
    std::vector<std::optional<QRect>> shown;
    for (const vog::WindowRow &row : vog::windowRows()) {
        QWidget *window = row.instance ? row.instance() : nullptr;
        shown.push_back(window && window->isVisible() && row.menuItem
                                ? std::optional<QRect>(window->geometry())
                                : std::nullopt);
    }
    destroyEditorWindows();
    createEditorWindows();
    for (std::size_t i = 0; i < shown.size(); ++i)
        if (shown[i]) {
            QWidget *window = vog::windowRows()[i].instance();
            window->setGeometry(*shown[i]);
            window->show();
        }
}
