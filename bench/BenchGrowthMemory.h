// The growth and memory rows: each size of the stress file opened alone, in a process of its
// own, against the toolkit's own growth; and the peak resident memory of a start and of Opens.
#pragma once

#include "BenchHarness.h"

#include <QJsonObject>

#include <limits>

namespace vogbench {

struct StressSet;

// The best warm Open and floor of one file, measured by this program in a process of its own
// (--alone). In one process an Open of a smaller file would reuse the pages a larger one left
// and seem faster than it is, which no user's Open ever does.
struct AloneRun
{
    double open = std::numeric_limits<double>::max();
    double floor = std::numeric_limits<double>::max();
};

// The growth rows: each size alone, the sizes taking turns.
void measureGrowth(StressSet &set, bool quick);
QJsonObject growthRows(const StressSet &set, QList<Row> &rows);

// The peak of a start alone, of the stress Opens (kept in their sets) and of a hub's file.
struct MemoryRun
{
    qint64 idleBytes = -1;
    NamedFile hub;
    qint64 hubBytes = -1;
};
MemoryRun measureMemory(StressSet &standard, StressSet &grammar, const QString &outDir);
// The memory rows of both sets (their figures under "memory" in each set's JSON) and the hub's.
void memoryRows(const MemoryRun &run, const StressSet &standard, const StressSet &grammar,
                QList<Row> &rows, QJsonObject &json, QJsonObject &grammarJson);

// ---- children and profiling ----------------------------------------------------------------

int memoryChild(int argc, char *argv[]); // --memory [file]
int aloneMode(const QStringList &args);  // --alone file
int growthMode(const QStringList &args); // --growth a b c

} // namespace vogbench
