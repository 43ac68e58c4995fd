// The render and Save rows: one change made to the document and the file's new bytes worked
// out, against a copy of the file; File > Save from its command through the preview to the file
// renamed, against the safe write of the same bytes alone.
#pragma once

#include "BenchHarness.h"

#include <QJsonObject>

#include <limits>

namespace vogbench {

struct StressSet;

struct RenderRun
{
    double changeSeconds = std::numeric_limits<double>::max(); // setValue or setLines
    double renderSeconds = std::numeric_limits<double>::max();
    double bothSeconds = std::numeric_limits<double>::max();
    QString rowName;
    qsizetype listLines = 0;
    bool checked = false; // the new bytes have the size the change gives
};

// Render: one change made to the document of the whole file, then its new bytes, against
// copying the file once; and the render's peak, each change in a process of its own.
void measureRenders(StressSet &set, int runs, int openRuns, const QString &outDir);
// The two render rows; their figures under render_value and render_list_line.
void renderRows(const StressSet &set, QList<Row> &rows, QJsonObject &json);

// A File > Save through its preview: to the preview shown, to the file renamed, to the end.
struct SaveTimes
{
    double preview = -1, renamed = -1, seconds = -1;
};
// File > Save timed from N3Click, its preview accepted as soon as it shows: when the preview
// showed, when the file was renamed, and when the command returned; -1 where it did not.
// The file's name in the folder is watched for the rename.
SaveTimes timeSaveCommand(const QString &folder, const char *name);

struct SaveRun
{
    double renamedSeconds = -1; // N3Click to the file renamed, as the file system tells it
    double seconds = -1;        // N3Click to its return: the files renamed, the windows told
    double previewSeconds = -1; // N3Click to the preview's first event loop turn
    qint64 peakBytes = -1;      // resident memory at most above what the open windows held
    bool checked = false;       // the file and its .bak have the sizes the change gives
    double floorSeconds = -1;   // the safe write alone of the same new bytes, in the same folder
    // The preview's confirm to the file renamed: the save itself.
    double confirmedSeconds() const { return renamedSeconds - previewSeconds; }
};

// The best of some saves, each in a child of its own, so that each is its run's first.
SaveRun timeSave(const QString &path, int runs);
QJsonObject saveRow(const SaveRun &save, const GeneratedFile &facts, QList<Row> &rows);

// ---- children and profiling ----------------------------------------------------------------

int renderMemoryMode(int argc, char *argv[]); // --render-memory file value|list
int saveMode(const QStringList &args);        // --save file
int renderMode(const QStringList &args);      // --render file

} // namespace vogbench
