#include "script/ScriptCommand.h"
#include "reader/LineGrammar.h"
#include "shell/CommandLine.h"
#include "shell/QuitOnSignal.h"
#include "shell/Startup.h"
#include "shell/TMain.h"

#include <QApplication>

#include <cstdio>

int main(int argc, char *argv[])
{
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    // A script's command runs without a window, and without a display.
    if (vog::isScriptCommand(arguments)) {
        QByteArray out, err;
        const int status = vog::runScriptCommand(arguments, out, err);
        std::fwrite(out.constData(), 1, std::size_t(out.size()), stdout);
        std::fwrite(err.constData(), 1, std::size_t(err.size()), stderr);
        return status;
    }
    const vog::CommandLine commandLine = vog::parseCommandLine(arguments);
    if (commandLine.exitStatus) {
        std::fputs(commandLine.standardOutput.toLocal8Bit().constData(), stdout);
        std::fputs(commandLine.standardError.toLocal8Bit().constData(), stderr);
        return *commandLine.exitStatus;
    }

    vog::chooseModule(commandLine.module.value_or(vog::rememberedModule()).toUtf8());
    QApplication app(argc, argv);
    vog::quitOnTerminationSignals();
    createWindows(EditorWindows::AfterMainIsShown);
    vog::openWhenMainIsShown(commandLine.files);
    const int status = app.exec();
    destroyWindows();
    return status;
}
