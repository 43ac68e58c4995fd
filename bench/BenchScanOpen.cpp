#include "BenchScanOpen.h"

#include "BenchStressFiles.h"

#include "document/ConfigDocument.h"
#include "document/DocumentRead.h"
#include "editors/TFiles_and_Paths.h"
#include "editors/TLink_Keywords.h"
#include "fields/LineList.h"
#include "reader/ConfigFile.h"
#include "reader/LinkStore.h"
#include "reader/SourceFiles.h"
#include "reader/Text.h"
#include "reader/ValueRules.h"
#include "shell/Startup.h"
#include "shell/TMain.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QPlainTextEdit>

#include <algorithm>

namespace vogbench {

// ---- the reader core alone ---------------------------------------------------------------

void ScanSink::windowValue(const vog::KeywordLine &line)
{
    ++f.keywordLines;
    const vog::FieldState s = vog::fieldState(*line.row, line.value, line.lineNumber);
    switch (s.kind) {
    case vog::ValueKind::LineList: {
        QString &gathered = m_lists[std::size_t(line.row->index)];
        if (!gathered.isEmpty())
            gathered += QLatin1Char('\n');
        vog::appendDecoded(gathered, s.text);
        break;
    }
    case vog::ValueKind::Text:
        f.checksum += vog::decodeValue(s.text).size();
        break;
    default:
        f.checksum += s.number + s.option + qint64(s.boxes) + (s.choice ? *s.choice : 0);
        break;
    }
}

void ScanSink::linkStarted(const vog::KeywordLine &line, int)
{
    ++f.keywordLines;
    f.checksum += vog::decodeValue(line.value).size();
}

ScanFigures ScanSink::finish(int file)
{
    for (const QString &gathered : m_lists)
        f.checksum += gathered.size();
    f.checksum += vog::sourceFile(file).codec.name().size();
    return f;
}

ScanFigures scanCore(const QString &path)
{
    vog::document().clear();
    vog::ConfigFile file(path);
    const int source = vog::addSourceFile(QFileInfo(path).absoluteFilePath());
    vog::LineReader lines(file.descriptor());
    ScanSink sink;
    vog::readDocumentFile(lines, source, true, sink);
    const ScanFigures f = sink.finish(source);
    vog::document().clear();
    return f;
}

// The line-list values and link names of a file, as the Open makes them.
class TextsSink final : public vog::ConfigSink
{
public:
    TextsSink(QStringList &listLines, QStringList &names) : m_lines(listLines), m_names(names) {}
    void windowValue(const vog::KeywordLine &line) override
    {
        if (line.row->kind == vog::ValueKind::LineList)
            m_lines.append(vog::decodeValue(line.value));
    }
    void linkStarted(const vog::KeywordLine &line, int) override
    {
        m_names.append(vog::decodeValue(line.value));
    }

private:
    QStringList &m_lines;
    QStringList &m_names;
};

void collectTexts(const QString &path, QStringList &listLines, QStringList &names)
{
    vog::ConfigFile file(path);
    vog::LineReader lines(file.descriptor());
    vog::LinkStore store;
    TextsSink sink(listLines, names);
    vog::readConfig(lines, store, sink);
}

// ---- the Open command into the real windows ------------------------------------------------

namespace {

qint64 listLinesShown()
{
    qint64 n = 0;
    for (QWidget *w : QApplication::allWidgets())
        if (auto *list = qobject_cast<vog::LineList *>(w))
            n += list->lineCount();
    return n;
}

// A command into freshly created windows, timed, with what it showed.
OpenRun timeInFreshWindows(const std::function<void()> &before, const std::function<void()> &command)
{
    createWindows();
    before();
    QElapsedTimer t;
    t.start();
    command();
    OpenRun r;
    r.seconds = seconds(t);
    r.links = Link_Keywords->LinkChange->count();
    r.listLines = listLinesShown();
    destroyWindows();
    return r;
}

} // namespace

OpenRun timeOpen(const QString &path, bool again)
{
    return timeInFreshWindows([&] { if (again) openFile(path); }, [&] { openFile(path); });
}

// An Open timed right after an untimed one of the same file. The sizes are interleaved, so that
// a busy machine slows all of them alike, but an Open after a larger one would find the memory
// that one left (which the C library hands back to the system only in part) and seem faster
// than it is: each size is timed as it runs once it has run.
OpenRun timeWarmOpen(const QString &path)
{
    timeOpen(path);
    return timeOpen(path);
}

double toolkitFloor(const QStringList &lines, const QStringList &names)
{
    QPlainTextEdit list;
    list.setLineWrapMode(QPlainTextEdit::NoWrap);
    QComboBox combo;
    combo.setEditable(true);
    combo.setInsertPolicy(QComboBox::NoInsert);
    QElapsedTimer t;
    t.start();
    list.setPlainText(lines.join(QLatin1Char('\n')));
    combo.addItems(names);
    return seconds(t);
}

namespace {

// The stress file cut into parts at link lines, and a main file that includes them all. The
// file's own include lines name files that don't exist, and go, so that only the parts are read.
QString splitIntoIncludes(const QString &path, int parts, const QString &dir, qint64 &dropped)
{
    dropped = 0;
    QFile in(path);
    in.open(QIODevice::ReadOnly);
    const QList<QByteArray> lines = in.readAll().split('\n');
    QByteArray main;
    qsizetype from = 0;
    for (int k = 0; k < parts; ++k) {
        qsizetype to = k + 1 == parts ? lines.size() : lines.size() * (k + 1) / parts;
        while (to < lines.size() && !lines[to].trimmed().toLower().startsWith("link "))
            ++to;
        const QString name = QStringLiteral("part-%1.cfg").arg(k, 2, 10, QLatin1Char('0'));
        QFile part(QDir(dir).filePath(name));
        part.open(QIODevice::WriteOnly);
        for (qsizetype i = from; i < to; ++i) {
            if (lines[i].trimmed().toLower().startsWith("include ")) {
                ++dropped;
                continue;
            }
            part.write(lines[i] + '\n');
        }
        from = to;
        main += "Include " + name.toUtf8() + '\n';
    }
    const QString mainPath = QDir(dir).filePath(QStringLiteral("split-main.cfg"));
    QFile out(mainPath);
    out.open(QIODevice::WriteOnly);
    out.write(main);
    return mainPath;
}

// File > Open of the main file, then Open all included files, into fresh windows.
OpenRun timeIncludes(const QString &mainPath)
{
    return timeInFreshWindows([] {}, [&] {
        openFile(mainPath);
        Files_and_Paths->OpenAllIncludedFiles->trigger();
    });
}

} // namespace

// ---- the benchmark's run -------------------------------------------------------------------

void measureScans(StressSet &set, int runs, const QString &awk)
{
    for (int i = 0; i < 3; ++i) {
        set.scans[i] = std::numeric_limits<double>::max();
        for (int r = 0; r < runs + 2; ++r) {
            QElapsedTimer t;
            t.start();
            set.scan = scanCore(set.paths[i]);
            set.scans[i] = std::min(set.scans[i], seconds(t));
        }
    }
    set.awk = awk.isEmpty() ? ToolRun{} : timeTool(awk, awkArguments(), set.stress(), runs);
}

void measureOpens(StressSet &set, int openRuns)
{
    for (double &s : set.openSeconds)
        s = std::numeric_limits<double>::max();
    for (int r = 0; r < openRuns; ++r)
        for (int i = 0; i < 3; ++i) {
            set.lastOpen[i] = timeWarmOpen(set.paths[i]);
            set.openSeconds[i] = std::min(set.openSeconds[i], set.lastOpen[i].seconds);
        }
    // The floor for each size too, as many runs as the Open's and interleaved alike: the Open's
    // budget compares the two.
    {
        QStringList lines[3], names[3];
        for (int i = 0; i < 3; ++i) {
            collectTexts(set.paths[i], lines[i], names[i]);
            set.floors[i] = std::numeric_limits<double>::max();
        }
        for (int r = 0; r < openRuns; ++r)
            for (int i = 0; i < 3; ++i) {
                toolkitFloor(lines[i], names[i]); // warm, as the Open is
                set.floors[i] = std::min(set.floors[i], toolkitFloor(lines[i], names[i]));
            }
    }
}

IncludesRun measureIncludes(const QString &stress, const QString &outDir, int runs)
{
    // Files read once in a run are not read again: each run has parts of its own.
    IncludesRun r;
    for (int k = 0; k < runs; ++k) {
        const QString splitDir = QDir(outDir).filePath(QStringLiteral("split/%1").arg(k));
        QDir().mkpath(splitDir);
        const QString splitMain = splitIntoIncludes(stress, 50, splitDir, r.dropped);
        r.last = timeIncludes(splitMain);
        r.seconds = std::min(r.seconds, r.last.seconds);
    }
    return r;
}

Koi8Run measureKoi8(const QString &outDir, int runs, const QString &awk)
{
    GeneratorOptions options = GeneratorOptions::scaled(1.0);
    options.codepage = "KOI8-R";
    const NamedFile russian = generateInto(outDir, QStringLiteral("stress-koi8-r.cfg"), options);
    Koi8Run k;
    k.facts = russian.facts;
    for (int r = 0; r < runs; ++r) {
        QElapsedTimer t;
        t.start();
        scanCore(russian.path);
        k.scan = std::min(k.scan, seconds(t));
        k.open = std::min(k.open, timeOpen(russian.path).seconds);
    }
    k.awk = awk.isEmpty() ? ToolRun{} : timeTool(awk, awkArguments(), russian.path, runs);
    QStringList lines, names;
    collectTexts(russian.path, lines, names);
    for (int r = 0; r < runs; ++r)
        k.floor = std::min(k.floor, toolkitFloor(lines, names));
    return k;
}

QJsonObject scanRows(const StressSet &set, QList<Row> &rows)
{
    const double scanSeconds = set.scans[2];
    const double scanRate = set.megabytes() / scanSeconds;
    const double awkRate = set.awk.seconds > 0 ? set.megabytes() / set.awk.seconds : 0;
    const bool scanMet = awkRate > 0 && scanRate >= 4 * awkRate;
    const QString awk = awkProgram();
    rows << Row{set.named(QStringLiteral("scan: reader core and document")),
                fixed(scanRate, 0) + QStringLiteral(" MB/s"),
                QStringLiteral("%1 %2 MB/s = %3x").arg(QFileInfo(awk).fileName(), fixed(awkRate, 0),
                                                       fixed(awkRate > 0 ? scanRate / awkRate : 0, 2)),
                QStringLiteral(">= 4x awk"), awkRate > 0 ? verdict(scanMet) : QStringLiteral("no awk")};
    return {{QStringLiteral("seconds"), scanSeconds},
            {QStringLiteral("mb_per_s"), scanRate},
            {QStringLiteral("keyword_lines"), double(set.scan.keywordLines)},
            {QStringLiteral("awk"), awk},
            {QStringLiteral("awk_seconds"), set.awk.seconds},
            {QStringLiteral("awk_mb_per_s"), awkRate},
            {QStringLiteral("awk_keyword_lines"), QString::fromLocal8Bit(set.awk.output)},
            {QStringLiteral("times_awk"), awkRate > 0 ? scanRate / awkRate : 0},
            {QStringLiteral("covers"),
             QStringLiteral("readDocumentFile as the Open runs it: lines split, keywords matched, "
                            "every recognised line's span recorded in the document, link values "
                            "stored, the codepage watched, field states made and texts decoded "
                            "with no window")},
            {QStringLiteral("target_met"), scanMet}};
}

QJsonObject openRows(const StressSet &set, QList<Row> &rows, bool checked)
{
    const double budget = 1.3 * (set.scans[2] + set.floors[2]);
    const bool met = set.openSeconds[2] <= budget;
    rows << Row{set.named(QStringLiteral("open: File > Open, stress file")),
                fixed(set.openSeconds[2], 3) + QStringLiteral(" s"),
                QStringLiteral("1.3 x (scan %1 + toolkit floor %2) = %3 s")
                        .arg(fixed(set.scans[2], 3), fixed(set.floors[2], 3), fixed(budget, 3)),
                QStringLiteral("<= 1.3 x (scan + floor)"), verdict(met)};
    return {{QStringLiteral("seconds"), set.openSeconds[2]},
            {QStringLiteral("scan_seconds"), set.scans[2]},
            {QStringLiteral("toolkit_floor_seconds"), set.floors[2]},
            {QStringLiteral("budget_seconds"), budget},
            {QStringLiteral("links_listed"), set.lastOpen[2].links},
            {QStringLiteral("list_lines_shown"), double(set.lastOpen[2].listLines)},
            {QStringLiteral("result_checked"), checked},
            {QStringLiteral("target_met"), met}};
}

void wcRow(const StressSet &set, const ToolRun &wc, QList<Row> &rows, QJsonObject &scanJson)
{
    const double scanRate = set.megabytes() / set.scans[2];
    const double wcRate = wc.seconds > 0 ? set.megabytes() / wc.seconds : 0;
    rows << Row{QStringLiteral("scan as a share of wc -l"),
                fixed(wcRate > 0 ? 100 * scanRate / wcRate : 0, 1) + QStringLiteral(" %"),
                QStringLiteral("wc -l %1 MB/s").arg(fixed(wcRate, 0)), QStringLiteral("reported"),
                QString()};
    scanJson[QStringLiteral("wc_l_seconds")] = wc.seconds;
    scanJson[QStringLiteral("wc_l_mb_per_s")] = wcRate;
    scanJson[QStringLiteral("wc_l_output")] = QString::fromLocal8Bit(wc.output);
    scanJson[QStringLiteral("share_of_wc_l")] = wcRate > 0 ? scanRate / wcRate : 0;
}

void openAgainRow(const StressSet &set, double againSeconds, QList<Row> &rows, QJsonObject &openJson)
{
    const double *const openSeconds = set.openSeconds;
    rows << Row{QStringLiteral("open again into filled windows"),
                fixed(againSeconds, 3) + QStringLiteral(" s"),
                QStringLiteral("first open %1 s = x%2").arg(fixed(openSeconds[2], 3),
                                                           fixed(againSeconds / openSeconds[2], 2)),
                QStringLiteral("(no quadratic append)"), QString()};
    openJson[QStringLiteral("again_into_filled_windows_seconds")] = againSeconds;
}

QJsonObject includesRow(const StressSet &set, const IncludesRun &run, QList<Row> &rows)
{
    const double *const openSeconds = set.openSeconds;
    const bool met = run.seconds <= 1.5 * openSeconds[2]
        && run.last.links == set.facts().links
        && run.last.listLines == set.facts().listLines - run.dropped + 50;
    rows << Row{QStringLiteral("open all included files: 50 parts"),
                fixed(run.seconds, 3) + QStringLiteral(" s"),
                QStringLiteral("one Open of the whole file %1 s = x%2")
                        .arg(fixed(openSeconds[2], 3), fixed(run.seconds / openSeconds[2], 2)),
                QStringLiteral("about one Open (<= 1.5x)"), verdict(met)};
    return {{QStringLiteral("parts"), 50},
            {QStringLiteral("seconds"), run.seconds},
            {QStringLiteral("whole_file_open_seconds"), openSeconds[2]},
            {QStringLiteral("ratio"), run.seconds / openSeconds[2]},
            {QStringLiteral("links_listed"), run.last.links},
            {QStringLiteral("target_met"), met}};
}

QJsonObject koi8Rows(const Koi8Run &run, QList<Row> &rows)
{
    const double mb = double(run.facts.bytes) / 1e6;
    const double rate = mb / run.scan;
    const double awkRate = run.awk.seconds > 0 ? mb / run.awk.seconds : 0;
    const double budget = 1.3 * (run.scan + run.floor);
    const bool met = awkRate > 0 && rate >= 4 * awkRate && run.open <= budget;
    rows << Row{QStringLiteral("KOI8-R stress file: scan"), fixed(rate, 0) + QStringLiteral(" MB/s"),
                QStringLiteral("awk %1 MB/s = %2x").arg(fixed(awkRate, 0),
                                                        fixed(awkRate > 0 ? rate / awkRate : 0, 2)),
                QStringLiteral(">= 4x awk"), QString()};
    rows << Row{QStringLiteral("KOI8-R stress file: open"), fixed(run.open, 3) + QStringLiteral(" s"),
                QStringLiteral("1.3 x (scan %1 + floor %2) = %3 s")
                        .arg(fixed(run.scan, 3), fixed(run.floor, 3), fixed(budget, 3)),
                QStringLiteral("both targets"), verdict(met)};
    return {{QStringLiteral("bytes"), double(run.facts.bytes)},
            {QStringLiteral("scan_seconds"), run.scan},
            {QStringLiteral("scan_mb_per_s"), rate},
            {QStringLiteral("awk_mb_per_s"), awkRate},
            {QStringLiteral("open_seconds"), run.open},
            {QStringLiteral("toolkit_floor_seconds"), run.floor},
            {QStringLiteral("budget_seconds"), budget},
            {QStringLiteral("target_met"), met}};
}

// ---- alone, for profiling ------------------------------------------------------------------

int scanMode(const QStringList &args)
{
    // For profiling the reader core: scan each file a few times, print the rate.
    for (const QString &path : args.mid(2)) {
        const double mb = double(QFileInfo(path).size()) / 1e6;
        for (int i = 0; i < 5; ++i) {
            QElapsedTimer t;
            t.start();
            const ScanFigures f = scanCore(path);
            out << fixed(mb / seconds(t), 0) << " MB/s, " << f.keywordLines << " keyword lines\n";
        }
        // The reference the scan is held to, measured alongside.
        if (const QString awk = awkProgram(); !awk.isEmpty())
            out << "awk " << fixed(mb / timeTool(awk, awkArguments(), path, 3).seconds, 0)
                << " MB/s\n";
    }
    return 0;
}

int openMode(const QStringList &args)
{
    // For profiling the Open: open one file a few times into fresh windows.
    for (int i = 0; i < 3; ++i) {
        const OpenRun r = timeOpen(args.at(2));
        out << fixed(r.seconds, 3) << " s, " << r.links << " links, " << r.listLines
            << " list lines\n";
    }
    return 0;
}

int includesMode(const QStringList &args)
{
    // For profiling Open all included files: a main file and the files it names.
    const OpenRun r = timeIncludes(args.at(2));
    out << fixed(r.seconds, 3) << " s, " << r.links << " links, " << r.listLines
        << " list lines\n";
    return 0;
}

} // namespace vogbench
