// The stress file and its half and quarter, standard and written with the whole line grammar,
// with what each group measured on them.
#pragma once

#include "BenchCommandLine.h"
#include "BenchGrowthMemory.h"
#include "BenchSave.h"
#include "BenchScanOpen.h"

namespace vogbench {

// The stress file and its half and quarter, and what was measured on them. The same rows are
// shown for the standard files and for those written with the whole line grammar, whose rows'
// names carry the label.
struct StressSet
{
    QString label; // empty for the standard files
    QString paths[3];
    GeneratedFile files[3];
    double scans[3] = {};
    ScanFigures scan;
    ToolRun awk;
    double openSeconds[3] = {};
    OpenRun lastOpen[3];
    double floors[3] = {};
    AloneRun alone[3];
    RenderRun renders[2];
    qint64 renderPeaks[2] = {-1, -1};
    ToolRun copy;
    ScriptRun script;
    qint64 openBytes = -1;

    const QString &stress() const { return paths[2]; }
    const GeneratedFile &facts() const { return files[2]; }
    double megabytes() const { return double(facts().bytes) / 1e6; }
    QString named(const QString &measure) const { return measure + label; }
    bool openChecked() const
    {
        return lastOpen[2].links == facts().links && lastOpen[2].listLines == facts().listLines;
    }
};

// Written afresh, so that they match this generator: stress-025.cfg, stress-050.cfg and
// stress-100.cfg, or stress-grammar-025.cfg and so on.
void writeStressSet(StressSet &set, const QString &outDir, bool fullGrammar);

// The facts of the set's whole stress file, for the JSON.
QJsonObject stressFileFigures(const StressSet &set);

} // namespace vogbench
