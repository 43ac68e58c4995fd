#include "CommandLine.h"

#include "script/ScriptCommand.h"

#include <QCommandLineParser>
#include <QFileInfo>
#include <QSettings>

namespace vog {

CommandLine parseCommandLine(const QStringList &arguments)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(
            QStringLiteral("Reads a mail tosser's configuration file, shows its keywords and "
                           "saves what is changed in them. Nothing is written unless File > Save "
                           "was chosen and what will change was shown."));
    // Our own help option: the one Qt adds also offers --help-all, which lists the toolkit's
    // options, and those are not taken here.
    const QCommandLineOption help({QStringLiteral("h"), QStringLiteral("help")},
                                  QStringLiteral("Displays help on commandline options."));
    parser.addOption(help);
    const QCommandLineOption version = parser.addVersionOption();
    const QCommandLineOption module(QStringLiteral("module"),
                                    QStringLiteral("Reads the lines that compare [module] as the "
                                                   "tosser's module NAME does."),
                                    QStringLiteral("NAME"));
    parser.addOption(module);
    parser.addPositionalArgument(QStringLiteral("FILE"),
                                 QStringLiteral("Configuration file to open, as File > Open "
                                                "would; several are opened in order."),
                                 QStringLiteral("[FILE...]"));

    // The name it was started by, not the folder it stands in: as a script's messages name it.
    const QString program = arguments.isEmpty() ? QStringLiteral("vog-config")
                                                : QFileInfo(arguments.constFirst()).fileName();
    // Without an application object the parser doesn't know the program's name.
    const QString usage = parser.helpText().replace(QStringLiteral("<executable_name>"), program);

    CommandLine result;
    if (!parser.parse(arguments)) {
        // Named as a script's error is, not by the path it was started by.
        result.standardError = QStringLiteral("vog-config: ") + parser.errorText()
                + QLatin1Char('\n') + usage;
        result.exitStatus = 2;
    } else if (parser.isSet(help)) {
        result.standardOutput = usage + scriptUsage();
        result.exitStatus = 0;
    } else if (parser.isSet(version)) {
        result.standardOutput = QStringLiteral("vog-config " VOG_VERSION "\n");
        result.exitStatus = 0;
    } else {
        // Absolute, as the dialog gives them: the directory chooser changes the current
        // directory later.
        for (const QString &file : parser.positionalArguments())
            result.files << QFileInfo(file).absoluteFilePath();
        if (parser.isSet(module))
            result.module = parser.value(module);
    }
    return result;
}

namespace {
QSettings settings()
{
    return QSettings(QStringLiteral("vog-config"), QStringLiteral("vog-config"));
}
} // namespace

QString rememberedModule()
{
    return settings().value(QStringLiteral("module")).toString();
}

void rememberModule(const QString &name)
{
    settings().setValue(QStringLiteral("module"), name);
}

} // namespace vog
