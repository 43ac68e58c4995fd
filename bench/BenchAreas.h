// The area rows: the stress file with 50,000 area lines at its end, its Open per byte against
// the file without them, and the Area Definition window at work: shown, its filter typed into,
// a link added to 1,000 areas and the change saved.
#pragma once

#include "BenchHarness.h"

#include <QJsonObject>

namespace vogbench {

struct StressSet;

struct AreaRun
{
    double openPlain = -1, openAreas = -1; // the best warm Opens, without and with the areas
    double showSeconds = -1;      // Configurator > Area Definition to the window drawn
    double readySeconds = -1;     // to the filter's block made, while the window is idle
    double medianKeyMs = -1, worstKeyMs = -1;
    int keys = 0, kept = 0;       // the filter's keys, and the rows the whole address kept
    double addMs = -1;            // one link added to 1,000 selected areas, the list redrawn
    double previewSeconds = -1;   // File > Save to the preview shown
    double saveSeconds = -1;      // the preview's confirm to the file renamed
    double floorSeconds = -1;     // the same new bytes written safely, and renamed
    bool checked = false;         // the file grew by the link on 1,000 lines, nothing left
};

struct AreaFigures
{
    NamedFile file; // the stress file with its areas
    AreaRun run;
};

// The file written, then measured in a process of its own beside the stress file without them.
AreaFigures measureAreas(const QString &stress, const QString &outDir, int runs);
QJsonObject areaRows(const AreaFigures &figures, const StressSet &standard, QList<Row> &rows);

int areasMode(const QStringList &args); // --areas plain with-areas runs (the child side)

} // namespace vogbench
