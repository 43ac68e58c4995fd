// The command-line rows: vog-config --get and --set as whole processes against an awk script
// and the safe write of the same bytes, and links and areas changed from the command line.
#pragma once

#include "BenchHarness.h"

#include <QJsonObject>

namespace vogbench {

struct StressSet;

struct ScriptRun
{
    double get = -1;   // vog-config --get Sysop, the whole process
    double awk = -1;   // the awk recognition script, the whole process
    double set = -1;   // vog-config --set Sysop=..., the whole process, the file renamed
    double floor = -1; // the safe write of the same new bytes
    QByteArray sysop;
    bool checked = false; // the set changed the value alone and kept the .bak
};

// Best of some runs each. Each --set runs on a fresh copy, without a .bak, as a script's first.
ScriptRun timeScript(const QString &stress, int runs);
QJsonObject commandLineRows(const StressSet &set, QList<Row> &rows);

// Links and areas changed from the command line on the stress file with many areas, each the
// whole process on a fresh copy without a .bak: a new link subscribed to 1,000 areas, that link
// removed again with its areas, an existing link subscribed to the same 1,000 areas. Each
// beside --get of the same file and the safe write of the same new bytes.
struct ScriptLinksRun
{
    double get = -1;
    double seconds[3] = {-1, -1, -1}; // --new-link with --subscribe, --remove-link, --subscribe
    double floors[3] = {-1, -1, -1};
    int areas = 0;        // the areas the pattern matches
    bool checked = false; // each left the bytes it should
};

ScriptLinksRun timeScriptLinks(const QString &stress, int runs);
QJsonObject scriptLinksRows(const ScriptLinksRun &r, QList<Row> &rows);

// ---- alone, for profiling ------------------------------------------------------------------

int scriptMode(const QStringList &args);      // --script file
int scriptLinksMode(const QStringList &args); // --script-links file

} // namespace vogbench
