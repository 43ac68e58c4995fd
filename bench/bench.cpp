// The benchmark: generates the stress files, measures the reader core, the Open command, link
// loading, start-up and memory side by side with their references, prints one table and writes
// the same figures as JSON next to the executable (bench-results.json).
// Usage: vog-bench [--out folder] [--quick]
//        vog-bench --scan file...    (the reader core alone over each file, for profiling)
//        vog-bench --open file       (File > Open of one file into fresh windows, for profiling)
//        vog-bench --find file       (the quick find typed into after an Open, for profiling)
//        vog-bench --render file     (a value and a list line changed, the file rendered, timed)
//        vog-bench --script file     (vog-config --get and --set against awk and the floor)
//        vog-bench --script-links file (vog-config --new-link, --remove-link, --subscribe on a
//                                     file with many areas, against --get and the floor)
//        vog-bench --link-edits file (New, Copy, Remove on the Link Keywords window, the save)
//        vog-bench --growth a b c    (Opens of the files in turn, as the benchmark makes them)
//        vog-bench --alone file      (internal: the best warm Open and floor of one file)
//        vog-bench --memory [file]   (internal: one start, optionally one Open, then the peak)
//        vog-bench --render-memory file value|list (internal: the peak of one render)
//        vog-bench --save file       (internal: one File > Save of one changed value, timed)
// The rows come in groups, a file each (BenchScanOpen, BenchGrowthMemory, BenchSave, BenchLinks,
// BenchAreas, BenchCommandLine, BenchStartup); BenchHarness holds what they share. This file
// picks the mode and runs the groups in turn.
#include "BenchAreas.h"
#include "BenchCommandLine.h"
#include "BenchGrowthMemory.h"
#include "BenchHarness.h"
#include "BenchLinks.h"
#include "BenchSave.h"
#include "BenchScanOpen.h"
#include "BenchStartup.h"
#include "BenchStressFiles.h"

#include "shell/Startup.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <algorithm>
#include <functional>
#include <limits>

using namespace vogbench;

namespace {

// The offscreen platform's notes on what it can't do (raise a window, pass size hints) say
// nothing about speed and would only clutter the table.
QtMessageHandler defaultHandler = nullptr;

void quietPlatformNotes(QtMsgType type, const QMessageLogContext &context, const QString &message)
{
    if (type == QtWarningMsg && message.startsWith(QLatin1String("This plugin does not support")))
        return;
    defaultHandler(type, context, message);
}

// Everything the whole run measures, for the table and the JSON.
struct Figures
{
    QString outDir;
    bool quick = false;
    int runs = 3;
    int openRuns = 5; // the growth ratios want steadier figures
    // The stress file and its half and quarter; and the same files written with the whole line
    // grammar (tabs, trailing comments, switches alone, set variables, conditions), which the
    // rows named "(full grammar)" measure alike.
    StressSet standard, grammar;
    ToolRun wc;
    double againSeconds = std::numeric_limits<double>::max();
    bool openChecked = false, grammarOpenChecked = false;
    IncludesRun includes;
    Koi8Run koi8;
    LinkLoad linkLoad;
    QuickFindRun quickFind;
    SaveRun save;
    LinkEditRun linkEdits;
    AreaFigures areas;
    ScriptLinksRun scriptLinks;
    MemoryRun memory;
    QJsonObject startup;
};

// One step over both sets in turn, each announced with its label.
void onBothSets(Figures &f, const QString &step, const std::function<void(StressSet &)> &measure)
{
    for (StressSet *set : {&f.standard, &f.grammar}) {
        progress(step + set->label);
        measure(*set);
    }
}

// The Opens of both sets with their growth, the Open into filled windows, the included files
// and the KOI8-R file. The watch has closed any box a failing Open showed.
void measureOpenGroup(Figures &f, const QString &awk, const BoxWatch &watch)
{
    measureOpens(f.standard, f.openRuns);
    measureGrowth(f.standard, f.quick);
    for (int r = 0; r < f.runs; ++r)
        f.againSeconds = std::min(f.againSeconds, timeOpen(f.standard.stress(), true).seconds);
    progress(QStringLiteral("open") + f.grammar.label);
    measureOpens(f.grammar, f.openRuns);
    measureGrowth(f.grammar, f.quick);
    f.openChecked = f.standard.openChecked() && !watch.failed();
    f.grammarOpenChecked = f.grammar.openChecked() && !watch.failed();

    // The same file split into 50 included files, opened by Open all included files.
    progress(QStringLiteral("included files"));
    f.includes = measureIncludes(f.standard.stress(), f.outDir, f.runs);
    progress(QStringLiteral("KOI8-R stress file"));
    f.koi8 = measureKoi8(f.outDir, f.runs, awk);
}

// The groups after the Open, in the order they have always run in.
void measureOtherGroups(Figures &f)
{
    const QString &stress = f.standard.stress();
    progress(QStringLiteral("link load"));
    f.linkLoad = timeLinkLoads(stress, f.quick ? 3 : 15);
    progress(QStringLiteral("quick find"));
    f.quickFind = timeQuickFind(stress, f.quick ? 2 : 5);
    onBothSets(f, QStringLiteral("render"), [&f](StressSet &set) {
        measureRenders(set, f.runs, f.openRuns, f.outDir);
    });
    progress(QStringLiteral("save"));
    f.save = timeSave(stress, f.quick ? 1 : 3);
    progress(QStringLiteral("links as a whole"));
    f.linkEdits = timeLinkEdits(stress, f.quick ? 1 : 3);
    onBothSets(f, QStringLiteral("command line"), [&f](StressSet &set) {
        set.script = timeScript(set.stress(), f.runs + 2);
    });
    progress(QStringLiteral("areas"));
    f.areas = measureAreas(stress, f.outDir, f.openRuns);
    progress(QStringLiteral("links and areas from the command line"));
    f.scriptLinks = timeScriptLinks(f.areas.file.path, f.quick ? 1 : 3);
    progress(QStringLiteral("memory"));
    f.memory = measureMemory(f.standard, f.grammar, f.outDir);
    progress(QStringLiteral("start-up under Xvfb"));
    f.startup = measureStartup(f.quick ? 3 : 15);
}

void measureAll(Figures &f)
{
    const QString awk = awkProgram();
    onBothSets(f, QStringLiteral("scan and awk"), [&](StressSet &set) {
        measureScans(set, f.runs, awk);
    });
    progress(QStringLiteral("wc -l"));
    f.wc = timeTool(QStringLiteral("wc"), {QStringLiteral("-l")}, f.standard.stress(), f.runs + 6);
    progress(QStringLiteral("open"));
    {
        createWindows(); // the first windows of a process pay for fonts and styles
        destroyWindows();
    }
    const BoxWatch watch;
    measureOpenGroup(f, awk, watch);
    measureOtherGroups(f);
}

// The rows in the table's order, their figures into the JSON; those of the full-grammar files
// under the same names as the standard file's, in "full_grammar".
QList<Row> reportRows(const Figures &f, QJsonObject &json)
{
    QList<Row> rows;
    json[QStringLiteral("qt")] = QString::fromLatin1(qVersion());
    json[QStringLiteral("runs")] = f.runs;
    json[QStringLiteral("open_runs")] = f.openRuns;
    json[QStringLiteral("stress_file")] = stressFileFigures(f.standard);
    QJsonObject grammarJson{{QStringLiteral("stress_file"), stressFileFigures(f.grammar)}};

    QJsonObject scanJson = scanRows(f.standard, rows);
    grammarJson[QStringLiteral("scan")] = scanRows(f.grammar, rows);
    wcRow(f.standard, f.wc, rows, scanJson);
    json[QStringLiteral("scan")] = scanJson;
    QJsonObject openJson = openRows(f.standard, rows, f.openChecked);
    grammarJson[QStringLiteral("open")] = openRows(f.grammar, rows, f.grammarOpenChecked);
    json[QStringLiteral("growth")] = growthRows(f.standard, rows);
    grammarJson[QStringLiteral("growth")] = growthRows(f.grammar, rows);
    openAgainRow(f.standard, f.againSeconds, rows, openJson);
    json[QStringLiteral("open")] = openJson;
    json[QStringLiteral("included_files")] = includesRow(f.standard, f.includes, rows);
    renderRows(f.standard, rows, json);
    renderRows(f.grammar, rows, grammarJson);
    json[QStringLiteral("save_value")] = saveRow(f.save, f.standard.facts(), rows);
    json[QStringLiteral("command_line")] = commandLineRows(f.standard, rows);
    grammarJson[QStringLiteral("command_line")] = commandLineRows(f.grammar, rows);
    json[QStringLiteral("koi8_r")] = koi8Rows(f.koi8, rows);
    json[QStringLiteral("link_edits")] = linkEditRows(f.linkEdits, rows);
    json[QStringLiteral("areas")] = areaRows(f.areas, f.standard, rows);
    json[QStringLiteral("command_line_links")] = scriptLinksRows(f.scriptLinks, rows);
    json[QStringLiteral("link_load")] = linkLoadRow(f.linkLoad, f.standard.facts().links, rows);
    json[QStringLiteral("quick_find")] = quickFindRow(f.quickFind, rows);
    json[QStringLiteral("startup")] = startupRow(f.startup, rows);
    memoryRows(f.memory, f.standard, f.grammar, rows, json, grammarJson);
    json[QStringLiteral("full_grammar")] = grammarJson;
    return rows;
}

// What was measured on, above the table.
void printHeading(const Figures &f)
{
    const int runs = f.runs, openRuns = f.openRuns;
    const bool openChecked = f.openChecked, grammarOpenChecked = f.grammarOpenChecked;
    const StressSet &grammar = f.grammar;
    const QString &stress = f.standard.stress();
    const GeneratedFile &facts = f.standard.facts();
    const double megabytes = f.standard.megabytes();
    out << '\n'
        << "Vog config benchmark: Qt " << qVersion() << ", best of " << runs << " runs (open and growth: "
        << openRuns << "; link load and start-up: median)\n"
        << "stress file " << stress << ": " << facts.lines << " lines, " << fixed(megabytes, 1)
        << " MB, " << facts.links << " links, " << facts.listLines << " list lines"
        << (openChecked ? "; Open result checked" : "; Open result WRONG") << '\n'
        << "full grammar " << grammar.stress() << ": the same written with tabs, trailing comments, "
        << "switches alone, set variables and if/else/endif blocks: " << grammar.facts().lines
        << " lines, " << fixed(grammar.megabytes(), 1) << " MB, " << grammar.facts().directiveLines
        << " set and condition lines, " << grammar.facts().hiddenLines
        << " lines in branches not taken"
        << (grammarOpenChecked ? "; Open result checked" : "; Open result WRONG") << "\n\n";
}

// The whole benchmark: the stress files written into the output folder (--out, by default next
// to this program), every group measured, then the table and bench-results.json.
int runBenchmark(const QStringList &args)
{
    Figures f;
    f.outDir = QCoreApplication::applicationDirPath();
    if (const qsizetype i = args.indexOf(QStringLiteral("--out")); i > 0 && i + 1 < args.size())
        f.outDir = args.at(i + 1);
    f.quick = args.contains(QStringLiteral("--quick"));
    QDir().mkpath(f.outDir);
    f.runs = f.quick ? 1 : 3;
    f.openRuns = f.quick ? 1 : 5;
    f.grammar.label = QStringLiteral(" (full grammar)");
    writeStressSet(f.standard, f.outDir, false);
    writeStressSet(f.grammar, f.outDir, true);
    measureAll(f);

    QJsonObject json;
    const QList<Row> rows = reportRows(f, json);
    printHeading(f);
    printTable(rows);
    writeResults(json, f.outDir);
    return f.openChecked && f.grammarOpenChecked ? 0 : 1;
}

} // namespace

int main(int argc, char *argv[])
{
    defaultHandler = qInstallMessageHandler(quietPlatformNotes);
    // Qt wants a private runtime folder; give the children one where the session has none.
    QTemporaryDir runtimeDir;
    if (qEnvironmentVariableIsEmpty("XDG_RUNTIME_DIR") && runtimeDir.isValid())
        qputenv("XDG_RUNTIME_DIR", QFile::encodeName(runtimeDir.path()));
    if (argc > 1 && qstrcmp(argv[1], "--memory") == 0) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
        return memoryChild(argc, argv);
    }
    if (argc > 3 && qstrcmp(argv[1], "--render-memory") == 0)
        return renderMemoryMode(argc, argv);
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const QStringList args = app.arguments();
    // The modes that measure one thing alone, for profiling or as this benchmark's own child,
    // each with the fewest arguments it takes.
    const struct
    {
        const char *name;
        qsizetype least;
        int (*run)(const QStringList &);
    } modes[] = {{"--save", 3, saveMode},         {"--areas", 5, areasMode},
                 {"--scan", 3, scanMode},         {"--script", 3, scriptMode},
                 {"--script-links", 3, scriptLinksMode}, {"--link-edits", 3, linkEditsMode},
                 {"--open", 3, openMode},         {"--growth", 3, growthMode},
                 {"--alone", 3, aloneMode},       {"--render", 3, renderMode},
                 {"--links", 3, linksMode},       {"--find", 3, findMode},
                 {"--includes", 3, includesMode}};
    for (const auto &mode : modes)
        if (args.size() >= mode.least && args.at(1) == QLatin1String(mode.name))
            return mode.run(args);
    return runBenchmark(args);
}
