#include "shell/QuitOnSignal.h"
#include "shell/Startup.h"
#include "shell/TMain.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    vog::quitOnTerminationSignals();
    createWindows(EditorWindows::AfterMainIsShown);
    const int status = app.exec();
    destroyWindows();
    return status;
}
