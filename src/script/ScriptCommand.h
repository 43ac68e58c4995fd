#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

namespace vog {

// The command line for scripts: vog-config --get, --list, --links, --check, --areas and the
// changes --set, --unset and --add, of links as a whole and of echo areas, read and written
// through the document with no window, as git config does for its files. See scriptUsage().

// Whether the command line asks for it: any of its options before the file names.
bool isScriptCommand(const QStringList &arguments);

// Runs it. What it prints for a script goes to out (UTF-8), an error to err, beginning
// "vog-config: ". Gives the exit status: 0 done; 1 nothing sets the keyword (--get) or a
// problem was found (--check); 2 an error, with nothing written.
int runScriptCommand(const QStringList &arguments, QByteArray &out, QByteArray &err);

// The part of --help that tells how scripts use the program.
QString scriptUsage();

} // namespace vog
