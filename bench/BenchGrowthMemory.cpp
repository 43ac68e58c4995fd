#include "BenchGrowthMemory.h"

#include "BenchStressFiles.h"

#include "shell/Startup.h"
#include "shell/TMain.h"

#include <QApplication>
#include <QFile>
#include <QJsonArray>

#include <algorithm>

namespace vogbench {

namespace {

AloneRun timeAlone(const QString &path)
{
    AloneRun r;
    const QList<QByteArray> words = runSelf({QStringLiteral("--alone"), path});
    if (words.size() == 2) {
        r.open = words[0].toDouble();
        r.floor = words[1].toDouble();
    }
    return r;
}

// Peak resident memory of a child process in bytes, or -1.
qint64 peakMemory(const QString &file = {})
{
    QStringList args{QStringLiteral("--memory")};
    if (!file.isEmpty())
        args << file;
    const QList<QByteArray> words = runSelf(args);
    bool ok = false;
    const qint64 kb = words.size() == 1 ? words[0].toLongLong(&ok) : 0;
    return ok ? kb * 1024 : -1;
}

// The memory row of one set.
QJsonObject setMemoryRows(const StressSet &set, qint64 idleBytes, QList<Row> &rows)
{
    const double above = double(set.openBytes - idleBytes);
    const double ratio = above / double(set.facts().bytes);
    const bool met = ratio <= 3;
    rows << Row{set.named(QStringLiteral("peak memory: stress Open, origins kept")),
                fixed(double(set.openBytes) / 1e6, 1) + QStringLiteral(" MB"),
                QStringLiteral("idle %1 MB; +%2 MB = %3 x file (%4 MB)")
                        .arg(fixed(double(idleBytes) / 1e6, 1), fixed(above / 1e6, 1),
                             fixed(ratio, 2), fixed(set.megabytes(), 1)),
                QStringLiteral("<= 3 x file above idle"), verdict(met)};
    return {{QStringLiteral("idle_peak_bytes"), double(idleBytes)},
            {QStringLiteral("open_peak_bytes"), double(set.openBytes)},
            {QStringLiteral("above_idle_bytes"), above},
            {QStringLiteral("times_file_size"), ratio},
            {QStringLiteral("target_met"), met}};
}

} // namespace

void measureGrowth(StressSet &set, bool quick)
{
    progress(QStringLiteral("growth, each size alone") + set.label);
    for (int r = 0; r < (quick ? 1 : 2); ++r)
        for (int i = 0; i < 3; ++i) {
            const AloneRun a = timeAlone(set.paths[i]);
            set.alone[i].open = std::min(set.alone[i].open, a.open);
            set.alone[i].floor = std::min(set.alone[i].floor, a.floor);
        }
}

QJsonObject growthRows(const StressSet &set, QList<Row> &rows)
{
    const AloneRun *alone = set.alone;
    const double *floors = set.floors, *openSeconds = set.openSeconds, *scans = set.scans;
    const double growth1 = alone[1].open / alone[0].open;
    const double growth2 = alone[2].open / alone[1].open;
    // The toolkit's bulk insert is not linear itself: the Open may grow as much, and a little.
    // Of the floor's figures alone and in turn, the smaller allowance holds.
    const double floorGrowth1 = std::min(alone[1].floor / alone[0].floor, floors[1] / floors[0]);
    const double floorGrowth2 = std::min(alone[2].floor / alone[1].floor, floors[2] / floors[1]);
    const bool aloneRan = std::all_of(alone, alone + 3, [](const AloneRun &a) {
        return a.open < std::numeric_limits<double>::max() && a.floor < std::numeric_limits<double>::max();
    });
    const bool growthMet = aloneRan && growth1 <= floorGrowth1 + 0.1 && growth2 <= floorGrowth2 + 0.1;
    rows << Row{set.named(QStringLiteral("growth: open 1/4, 1/2, 1, each alone")),
                QStringLiteral("%1, %2, %3 s")
                        .arg(fixed(alone[0].open, 3), fixed(alone[1].open, 3), fixed(alone[2].open, 3)),
                QStringLiteral("doubling: x%1, x%2").arg(fixed(growth1, 2), fixed(growth2, 2)),
                QStringLiteral("<= floor's own + 0.1 (x%1, x%2)")
                        .arg(fixed(floorGrowth1 + 0.1, 2), fixed(floorGrowth2 + 0.1, 2)),
                verdict(growthMet)};
    rows << Row{set.named(QStringLiteral("  toolkit floor 1/4, 1/2, 1, each alone")),
                QStringLiteral("%1, %2, %3 s")
                        .arg(fixed(alone[0].floor, 3), fixed(alone[1].floor, 3), fixed(alone[2].floor, 3)),
                QStringLiteral("doubling: x%1, x%2")
                        .arg(fixed(alone[1].floor / alone[0].floor, 2),
                             fixed(alone[2].floor / alone[1].floor, 2)),
                QStringLiteral("(the toolkit's own growth)"), QString()};
    rows << Row{set.named(QStringLiteral("  open 1/4, 1/2, 1, in turn")),
                QStringLiteral("%1, %2, %3 s")
                        .arg(fixed(openSeconds[0], 3), fixed(openSeconds[1], 3), fixed(openSeconds[2], 3)),
                QStringLiteral("doubling: x%1, x%2")
                        .arg(fixed(openSeconds[1] / openSeconds[0], 2),
                             fixed(openSeconds[2] / openSeconds[1], 2)),
                QStringLiteral("(smaller Opens reuse a larger one's pages)"), QString()};
    rows << Row{set.named(QStringLiteral("  reader core 1/4, 1/2, 1")),
                QStringLiteral("%1, %2, %3 s").arg(fixed(scans[0], 3), fixed(scans[1], 3), fixed(scans[2], 3)),
                QStringLiteral("doubling: x%1, x%2")
                        .arg(fixed(scans[1] / scans[0], 2), fixed(scans[2] / scans[1], 2)),
                QStringLiteral("(our own steps)"), QString()};
    rows << Row{set.named(QStringLiteral("  toolkit floor 1/4, 1/2, 1, in turn")),
                QStringLiteral("%1, %2, %3 s")
                        .arg(fixed(floors[0], 3), fixed(floors[1], 3), fixed(floors[2], 3)),
                QStringLiteral("doubling: x%1, x%2")
                        .arg(fixed(floors[1] / floors[0], 2), fixed(floors[2] / floors[1], 2)),
                QStringLiteral("(the same, after larger runs)"), QString()};
    return {{QStringLiteral("measured"), QStringLiteral("each size alone, in a process of its own")},
            {QStringLiteral("open_seconds"), QJsonArray{alone[0].open, alone[1].open, alone[2].open}},
            {QStringLiteral("quarter_bytes"), double(set.files[0].bytes)},
            {QStringLiteral("half_bytes"), double(set.files[1].bytes)},
            {QStringLiteral("half_over_quarter"), growth1},
            {QStringLiteral("full_over_half"), growth2},
            {QStringLiteral("scan_seconds"), QJsonArray{scans[0], scans[1], scans[2]}},
            {QStringLiteral("toolkit_floor_seconds"),
             QJsonArray{alone[0].floor, alone[1].floor, alone[2].floor}},
            {QStringLiteral("allowed_floor_half_over_quarter"), floorGrowth1},
            {QStringLiteral("allowed_floor_full_over_half"), floorGrowth2},
            {QStringLiteral("in_turn_open_seconds"),
             QJsonArray{openSeconds[0], openSeconds[1], openSeconds[2]}},
            {QStringLiteral("in_turn_toolkit_floor_seconds"),
             QJsonArray{floors[0], floors[1], floors[2]}},
            {QStringLiteral("allowed_over_floor"), 0.1},
            {QStringLiteral("target_met"), growthMet}};
}

MemoryRun measureMemory(StressSet &standard, StressSet &grammar, const QString &outDir)
{
    MemoryRun m;
    m.idleBytes = peakMemory();
    for (StressSet *set : {&standard, &grammar})
        set->openBytes = peakMemory(set->stress());
    // A hub's file: many short link sections, few list lines; the link records weigh most.
    m.hub = generateInto(outDir, QStringLiteral("hub.cfg"), GeneratorOptions::hub());
    m.hubBytes = peakMemory(m.hub.path);
    return m;
}

void memoryRows(const MemoryRun &run, const StressSet &standard, const StressSet &grammar,
                QList<Row> &rows, QJsonObject &json, QJsonObject &grammarJson)
{
    const qint64 idleBytes = run.idleBytes, hubBytes = run.hubBytes;
    const GeneratedFile &hubFacts = run.hub.facts;
    if (idleBytes > 0 && standard.openBytes > 0)
        json[QStringLiteral("memory")] = setMemoryRows(standard, idleBytes, rows);
    if (idleBytes > 0 && grammar.openBytes > 0)
        grammarJson[QStringLiteral("memory")] = setMemoryRows(grammar, idleBytes, rows);
    if (idleBytes > 0 && hubBytes > 0) {
        const double above = double(hubBytes - idleBytes);
        const double ratio = above / double(hubFacts.bytes);
        const bool met = ratio <= 3;
        rows << Row{QStringLiteral("peak memory: hub Open, %1 links").arg(hubFacts.links),
                    fixed(double(hubBytes) / 1e6, 1) + QStringLiteral(" MB"),
                    QStringLiteral("idle %1 MB; +%2 MB = %3 x file (%4 MB, %5 per-link lines, "
                                   "%6 list lines)")
                            .arg(fixed(double(idleBytes) / 1e6, 1), fixed(above / 1e6, 1),
                                 fixed(ratio, 2), fixed(double(hubFacts.bytes) / 1e6, 1))
                            .arg(hubFacts.linkLines)
                            .arg(hubFacts.listLines),
                    QStringLiteral("<= 3 x file above idle"), verdict(met)};
        json[QStringLiteral("hub_memory")] = QJsonObject{
                {QStringLiteral("bytes"), double(hubFacts.bytes)},
                {QStringLiteral("links"), hubFacts.links},
                {QStringLiteral("open_peak_bytes"), double(hubBytes)},
                {QStringLiteral("above_idle_bytes"), above},
                {QStringLiteral("times_file_size"), ratio},
                {QStringLiteral("target_met"), met}};
    }
    if (idleBytes <= 0 || standard.openBytes <= 0 || grammar.openBytes <= 0 || hubBytes <= 0) {
        rows << Row{QStringLiteral("peak memory"), QStringLiteral("-"),
                    QStringLiteral("the child process failed"), QStringLiteral("<= 3 x file"),
                    QStringLiteral("not measured")};
    }
}

// ---- children and profiling ----------------------------------------------------------------

// The child side: start as the program does, show the main window, optionally open the file,
// and report the peak resident memory.
int memoryChild(int argc, char *argv[])
{
    QApplication app(argc, argv);
    createWindows();
    Main->show();
    QApplication::processEvents();
    const QStringList args = app.arguments();
    if (args.size() > 2) {
        BoxWatch watch;
        openFile(args.at(2));
        QApplication::processEvents();
        if (watch.failed())
            return 1;
    }
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return 1;
    for (const QByteArray &line : status.readAll().split('\n'))
        if (line.startsWith("VmHWM:"))
            QTextStream(stdout) << line.mid(6).trimmed().split(' ').constFirst() << '\n';
    destroyWindows();
    return 0;
}

int aloneMode(const QStringList &args)
{
    // One size of the growth rows in a process of its own: the best warm Open and the best
    // floor for the same texts, in seconds.
    createWindows();
    destroyWindows();
    double open = std::numeric_limits<double>::max();
    double floor = std::numeric_limits<double>::max();
    for (int r = 0; r < 5; ++r)
        open = std::min(open, timeWarmOpen(args.at(2)).seconds);
    QStringList lines, names;
    collectTexts(args.at(2), lines, names);
    for (int r = 0; r < 5; ++r) {
        toolkitFloor(lines, names);
        floor = std::min(floor, toolkitFloor(lines, names));
    }
    out << fixed(open, 4) << ' ' << fixed(floor, 4) << '\n';
    return 0;
}

int growthMode(const QStringList &args)
{
    // For profiling the growth: Opens of the given files into fresh windows, in turn, as the
    // benchmark makes them; each time printed.
    for (int r = 0; r < 5; ++r) {
        for (int i = 2; i < args.size(); ++i)
            out << fixed(timeWarmOpen(args.at(i)).seconds, 3) << ' ';
        out << '\n';
        out.flush();
    }
    return 0;
}

} // namespace vogbench
