#pragma once

#include <QString>
#include <QStringList>

#include <optional>

namespace vog {

// What the command line `vog-config [FILE...]` asks for. Read before the application object
// exists, so that --help, --version and a mistyped option answer on a terminal without a
// display.
struct CommandLine
{
    QStringList files;             // to open, in order, as absolute names
    std::optional<int> exitStatus; // set when the program ends at once, without a window
    QString standardOutput;        // the help or the version, to print before ending
    QString standardError;         // the error and the usage, to print before ending
    std::optional<QString> module; // --module NAME: what [module] stands for
};

// The module chosen last in File > Module, for the next start; and remembering one.
QString rememberedModule();
void rememberModule(const QString &name);

// arguments: the whole command line, the program's name first.
CommandLine parseCommandLine(const QStringList &arguments);

} // namespace vog
