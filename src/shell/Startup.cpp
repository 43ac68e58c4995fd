#include "Startup.h"

#include "ErrorBox.h"
#include "QuickFind.h"
#include "TMain.h"
#include "editors/TFiles_and_Paths.h"
#include "editors/TGeneral_Keywords.h"
#include "document/ConfigDocument.h"
#include "editors/TLink_Keywords.h"
#include "editors/TArea_Definition.h"
#include "editors/TSelect_directory.h"
#include "fields/ScreenFit.h"

#include <QAction>
#include <QEvent>
#include <QWindow>

#include <array>
#include <functional>
#include <optional>

TMain *Main = nullptr;
TGeneral_Keywords *General_Keywords = nullptr;
TFiles_and_Paths *Files_and_Paths = nullptr;
TSelect_directory *Select_directory = nullptr;
TLink_Keywords *Link_Keywords = nullptr;
TArea_Definition *Area_Definition = nullptr;

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
    if (General_Keywords)
        return;
    General_Keywords = new TGeneral_Keywords;
    Files_and_Paths = new TFiles_and_Paths;
    Select_directory = new TSelect_directory;
    Link_Keywords = new TLink_Keywords;
    Area_Definition = new TArea_Definition;
    // A new set of windows shows a new document.
    vog::document().clear();
    QObject::connect(Link_Keywords, &TLink_Keywords::loadFailed, &vog::showError);
    QObject::connect(Area_Definition, &TArea_Definition::failed, &vog::showError);
    QObject::connect(Files_and_Paths->OpenIncludedFile, &QAction::triggered, Main,
                     &TMain::openIncludedFile);
    QObject::connect(Files_and_Paths->OpenAllIncludedFiles, &QAction::triggered, Main,
                     &TMain::openAllIncludedFiles);
    new vog::QuickFind(Main);
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
    delete Area_Definition;
    Area_Definition = nullptr;
    // It answers the windows' Ctrl+F: the next set makes its own.
    if (Main)
        delete Main->findChild<vog::QuickFind *>();
    delete Link_Keywords;
    Link_Keywords = nullptr;
    delete Select_directory;
    Select_directory = nullptr;
    delete Files_and_Paths;
    Files_and_Paths = nullptr;
    delete General_Keywords;
    General_Keywords = nullptr;
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
    const auto editors = [] {
        return std::array<QWidget *, 4>{General_Keywords, Files_and_Paths, Link_Keywords,
                                        Area_Definition};
    };
    std::array<std::optional<QRect>, 4> shown; // where the user left each window shown
    for (std::size_t i = 0; i < shown.size(); ++i)
        if (editors()[i] && editors()[i]->isVisible())
            shown[i] = editors()[i]->geometry();
    destroyEditorWindows();
    createEditorWindows();
    for (std::size_t i = 0; i < shown.size(); ++i)
        if (shown[i]) {
            editors()[i]->setGeometry(*shown[i]);
            editors()[i]->show();
        }
}
