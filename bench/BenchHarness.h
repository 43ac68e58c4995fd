// What every group of the benchmark's rows shares: timing, the table and its JSON, the stress
// files written by name, processes run and timed (this program's own children among them), and
// the few steps every group takes on the windows.
#pragma once

#include "ConfigGenerator.h"

#include <QByteArray>
#include <QJsonObject>
#include <QList>
#include <QString>
#include <QStringList>
#include <QTextStream>
#include <QTimer>

class QElapsedTimer;
class QWidget;

namespace vogbench {

// The terminal: the progress lines and the table.
extern QTextStream out;

// One progress line, "step...", shown at once.
void progress(const QString &step);

double seconds(const QElapsedTimer &t);
double median(QList<double> v);

// ---- the report ----------------------------------------------------------------------------

struct Row
{
    QString measure, figure, reference, target, verdict;
};

QString fixed(double v, int decimals);
QString verdict(bool met);
void printTable(const QList<Row> &rows);
// The figures as JSON in the folder (bench-results.json), and where they went on the terminal.
void writeResults(const QJsonObject &json, const QString &outDir);

// ---- generated files -----------------------------------------------------------------------

struct NamedFile
{
    QString path;
    GeneratedFile facts;
};

// A file of these options written afresh in the folder under the name.
NamedFile generateInto(const QString &outDir, const QString &name, const GeneratorOptions &options);

// ---- processes -----------------------------------------------------------------------------

struct ToolRun
{
    double seconds = -1;
    QByteArray output;
};

// Runs a tool over the file (then the arguments after it); the cost of starting the tool,
// measured on an empty file, is taken off, so a fast tool on a small file isn't measured by its
// start.
ToolRun timeTool(const QString &program, QStringList arguments, const QString &path, int runs,
                 const QStringList &after = {});

// The wall time of one whole process, start to end; negative if it failed.
double wholeProcess(const QString &program, const QStringList &arguments, QByteArray *output = nullptr);

// This benchmark run in a process of its own for one figure: the words it printed, none if it
// failed.
QList<QByteArray> runSelf(const QStringList &args);

QString awkProgram();
// The keyword recognition as a user would script it in awk (see the definition).
QStringList awkArguments();

// The floor of any safe save: the file's new bytes written to a temporary file in its folder,
// synced, and renamed over it.
double safeWriteFloor(const QString &path, const QByteArray &bytes);

// ---- the windows ---------------------------------------------------------------------------

// Closes any box that a failing Open shows, so a run never waits for a click; remembers it.
class BoxWatch
{
public:
    BoxWatch();
    bool failed() const { return m_failed; }

private:
    QTimer m_timer;
    bool m_failed = false;
};

// File > Open of the file, its dialog answered.
void openFile(const QString &path);

// Types a text into a field one key at a time, as the user does, each key timed until what it
// changed is drawn.
void typeKeys(QWidget *field, const QString &text, QList<double> &times);

} // namespace vogbench
