// The scan and Open rows: the reader core alone against awk and wc -l, File > Open into the
// real windows against the toolkit's floor, Open all included files, and the KOI8-R file.
#pragma once

#include "BenchHarness.h"

#include "reader/ConfigRead.h"
#include "reader/KeywordTable.h"

#include <QJsonObject>

#include <functional>
#include <limits>
#include <vector>

namespace vogbench {

struct StressSet;

// ---- the reader core alone ---------------------------------------------------------------

struct ScanFigures
{
    qint64 keywordLines = 0;
    qint64 checksum = 0; // keeps the compiler from dropping the work
};

// Every step of the Open that doesn't touch a widget, through the same read the Open runs
// (readDocumentFile): lines split and trimmed, the keyword matched, the value cut, every
// recognised line recorded where it stands in the document, the codepage watched, the value
// turned into its field's state, decoded to text where a field would show it (a list's lines
// gathered into one text), link values kept in a link store.
class ScanSink final : public vog::ConfigSink
{
public:
    void windowValue(const vog::KeywordLine &line) override;
    void linkStarted(const vog::KeywordLine &line, int) override;
    void linkValue(const vog::KeywordLine &, int) override { ++f.keywordLines; }

    ScanFigures finish(int file);

    ScanFigures f;

private:
    std::vector<QString> m_lists = std::vector<QString>(vog::keywordTable().size());
};

ScanFigures scanCore(const QString &path);

// The line-list values and link names of a file, as the Open makes them.
void collectTexts(const QString &path, QStringList &listLines, QStringList &names);

// ---- the Open command into the real windows ------------------------------------------------

struct OpenRun
{
    double seconds = 0;
    int links = 0;
    qint64 listLines = 0;
};

// One Open into freshly created windows; `again` opens the file once more into the filled ones.
OpenRun timeOpen(const QString &path, bool again = false);

// An Open timed right after an untimed one of the same file (see the definition).
OpenRun timeWarmOpen(const QString &path);

// The least the toolkit must do to show the same texts: one bulk insert into a bare list and one
// into a bare drop-down.
double toolkitFloor(const QStringList &lines, const QStringList &names);

// ---- the benchmark's run -------------------------------------------------------------------

// Scan: the reader core alone, best of several runs from the page cache; then the awk
// reference over the whole file.
void measureScans(StressSet &set, int runs, const QString &awk);

// Open: the whole command into the real windows, the sizes interleaved so that a busy machine
// slows all of them alike; then the toolkit floor for the same texts.
void measureOpens(StressSet &set, int openRuns);

// The stress file split into 50 included files, opened by Open all included files.
struct IncludesRun
{
    qint64 dropped = 0; // the stress file's own include lines, left out of the parts
    double seconds = std::numeric_limits<double>::max();
    OpenRun last;
};
IncludesRun measureIncludes(const QString &stress, const QString &outDir, int runs);

// The stress file with Russian text in KOI8-R: the codepage's path through scan and Open.
struct Koi8Run
{
    GeneratedFile facts;
    double scan = std::numeric_limits<double>::max();
    double open = std::numeric_limits<double>::max();
    double floor = std::numeric_limits<double>::max();
    ToolRun awk;
};
Koi8Run measureKoi8(const QString &outDir, int runs, const QString &awk);

QJsonObject scanRows(const StressSet &set, QList<Row> &rows);
// The scan against wc -l, its figures added to the scan's.
void wcRow(const StressSet &set, const ToolRun &wc, QList<Row> &rows, QJsonObject &scanJson);
QJsonObject openRows(const StressSet &set, QList<Row> &rows, bool checked);
// The Open into filled windows, its figure added to the Open's.
void openAgainRow(const StressSet &set, double againSeconds, QList<Row> &rows, QJsonObject &openJson);
QJsonObject includesRow(const StressSet &set, const IncludesRun &run, QList<Row> &rows);
QJsonObject koi8Rows(const Koi8Run &run, QList<Row> &rows);

// ---- alone, for profiling ------------------------------------------------------------------

int scanMode(const QStringList &args);     // --scan file
int openMode(const QStringList &args);     // --open file
int includesMode(const QStringList &args); // --includes file

} // namespace vogbench
