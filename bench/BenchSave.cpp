#include "BenchSave.h"

#include "BenchScanOpen.h"
#include "BenchStressFiles.h"

#include "document/ConfigDocument.h"
#include "document/DocumentRead.h"
#include "editors/TLink_Keywords.h"
#include "reader/ConfigFile.h"
#include "reader/KeywordTable.h"
#include "reader/LinkStore.h"
#include "reader/SourceFiles.h"
#include "shell/Startup.h"
#include "shell/TMain.h"

#include <QApplication>
#include <QComboBox>
#include <QDialog>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>

#include <algorithm>
#include <atomic>
#include <cstring>
#ifdef __GLIBC__
#include <malloc.h>
#endif
#include <poll.h>
#include <sys/inotify.h>
#include <thread>
#include <unistd.h>

namespace vogbench {

namespace {

// ---- render --------------------------------------------------------------------------------

// A file read into the document as the Open reads it, with no window, and its bytes as a save
// reads them: once.
struct ReadDocument
{
    explicit ReadDocument(const QString &path)
    {
        vog::document().clear();
        {
            QFile in(path);
            in.open(QIODevice::ReadOnly);
            bytes = in.readAll();
        }
        vog::ConfigFile config(path);
        file = vog::addSourceFile(QFileInfo(path).absoluteFilePath());
        vog::LineReader lines(config.descriptor());
        ScanSink sink;
        vog::readDocumentFile(lines, file, true, sink);
    }
    ~ReadDocument() { vog::document().clear(); }

    vog::LinkStore &store = vog::document().links();
    QByteArray bytes;
    int file = -1;
};

// The two changes measured: the Aka of the middle link set to another address, and one line
// added to the longest line list.
enum class RenderChange { Value, ListLine };

struct RenderCase
{
    const vog::KeywordRow *row = nullptr;
    int column = -1;
    QStringList lines; // ListLine: the list with the added line
    QString text;      // Value: the new value
    qsizetype expectedSize = 0;
};

RenderCase renderCase(const ReadDocument &read, RenderChange change)
{
    RenderCase c;
    vog::ConfigDocument &doc = vog::document();
    if (change == RenderChange::Value) {
        c.row = vog::rowNamed("Aka");
        c.text = QStringLiteral("9:9999/9999");
        // The middle link, or the next one that has an Aka line to change.
        for (c.column = read.store.columnCount() / 2; c.column + 1 < read.store.columnCount();
             ++c.column)
            if (const vog::ValueLine *last = doc.lastLine(*c.row, c.column)) {
                c.expectedSize = read.bytes.size() + c.text.size() - last->valueLength;
                break;
            }
        return c;
    }
    std::size_t most = 0;
    for (const vog::KeywordRow &row : vog::keywordTable())
        if (row.kind == vog::ValueKind::LineList && doc.linesOf(row).size() > most) {
            most = doc.linesOf(row).size();
            c.row = &row;
        }
    const std::vector<const vog::ValueLine *> lines = doc.linesOf(*c.row);
    for (const vog::ValueLine *l : lines)
        c.lines.append(doc.valueText(*l));
    const QString added = QStringLiteral("line added by vog-bench");
    c.lines.append(added);
    // A new line after the list's last one, its keyword and separator as the file spells them
    // (the list's own lines are its neighbours), with the file's usual line end.
    c.expectedSize = read.bytes.size() + doc.newLinePart(read.file, *c.row, c.row->index).size()
        + added.size() + (vog::sourceFile(read.file).crlf ? 2 : 1);
    return c;
}

void makeChange(const RenderCase &c)
{
    if (c.lines.isEmpty())
        vog::document().setValue(*c.row, c.column, c.text);
    else
        vog::document().setLines(*c.row, c.lines);
}

// The file's new bytes as the save writes them: the edits worked out, then the pieces of the
// bytes read and of the edits in file order, written one after another without a joined copy.
std::vector<QByteArrayView> newBytes(const ReadDocument &read)
{
    return vog::document().renderPieces(vog::document().planSave(), read.file, read.bytes);
}

// The change made, then the file rendered, each timed; the best of some runs.
RenderRun timeRender(const ReadDocument &read, RenderChange change, int runs)
{
    const RenderCase c = renderCase(read, change);
    RenderRun r;
    r.rowName = QString::fromLatin1(c.row->name);
    r.listLines = c.lines.size();
    r.checked = true;
    for (int i = 0; i < runs; ++i) {
        QElapsedTimer t;
        t.start();
        makeChange(c);
        const double changed = seconds(t);
        t.restart();
        const std::vector<QByteArrayView> pieces = newBytes(read);
        const double rendered = seconds(t);
        r.changeSeconds = std::min(r.changeSeconds, changed);
        r.renderSeconds = std::min(r.renderSeconds, rendered);
        r.bothSeconds = std::min(r.bothSeconds, changed + rendered);
        const QByteArray out = vog::joinPieces(pieces);
        r.checked = r.checked && out.size() == c.expectedSize && out != read.bytes;
    }
    return r;
}

qint64 statusKilobytes(const char *field)
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray &line : status.readAll().split('\n'))
        if (line.startsWith(field))
            return line.mid(qsizetype(std::strlen(field))).trimmed().split(' ').constFirst().toLongLong();
    return -1;
}

// The child side: the file read into the document and the change made, then the peak resident
// memory of the render alone, above what was resident before it (the document, the link
// records, the file's bytes), in bytes.
int renderMemoryChild(const QString &path, RenderChange change)
{
    ReadDocument read(path);
    const RenderCase c = renderCase(read, change);
    makeChange(c);
#ifdef __GLIBC__
    // Freed memory that the C library still holds would hide part of the render's own.
    malloc_trim(0);
#endif
    // Linux clears the peak to what is resident now.
    QFile clear(QStringLiteral("/proc/self/clear_refs"));
    if (!clear.open(QIODevice::WriteOnly) || clear.write("5") != 1)
        return 1;
    clear.close();
    const qint64 before = statusKilobytes("VmRSS:");
    const std::vector<QByteArrayView> pieces = newBytes(read);
    const qint64 peak = statusKilobytes("VmHWM:");
    if (before < 0 || peak < 0 || vog::joinPieces(pieces).size() != c.expectedSize)
        return 1;
    QTextStream(stdout) << (peak - before) * 1024 << '\n';
    return 0;
}

qint64 renderPeak(const QString &path, RenderChange change)
{
    const QList<QByteArray> words = runSelf(
            {QStringLiteral("--render-memory"), path,
             change == RenderChange::Value ? QStringLiteral("value") : QStringLiteral("list")});
    bool ok = false;
    const qint64 bytes = words.size() == 1 ? words[0].toLongLong(&ok) : 0;
    return ok ? bytes : -1;
}

// cp of the file to a name not taken, its start (cp of /dev/null to another such name) taken
// off, as timeTool does. Each run's copies are removed untimed before the next: a copy over the
// last one would first free its pages, and so would the start's, which then took most of the
// copy's time off.
ToolRun timeCopy(const QString &path, const QString &folder, int runs)
{
    const QString copy = QDir(folder).filePath(QStringLiteral("stress-copy.cfg"));
    const QString empty = QDir(folder).filePath(QStringLiteral("stress-copy-empty.cfg"));
    const auto once = [](const QString &from, const QString &to) {
        QFile::remove(to);
        QProcess p;
        QElapsedTimer t;
        t.start();
        p.start(QStringLiteral("cp"), {from, to});
        if (!p.waitForFinished(120000) || p.exitStatus() != QProcess::NormalExit || p.exitCode() != 0)
            return -1.0;
        return seconds(t);
    };
    double start = std::numeric_limits<double>::max();
    double whole = std::numeric_limits<double>::max();
    bool ran = true;
    for (int i = 0; ran && i < runs; ++i) {
        const double e = once(QStringLiteral("/dev/null"), empty);
        const double w = once(path, copy);
        ran = e >= 0 && w >= 0;
        start = std::min(start, e);
        whole = std::min(whole, w);
    }
    QFile::remove(copy);
    QFile::remove(empty);
    ToolRun r;
    if (ran)
        r.seconds = std::max(whole - start, 1e-6);
    return r;
}

// ---- save --------------------------------------------------------------------------------

// The moment a file is renamed into a folder, seen by a watch from a thread of its own: a save
// is timed without a hook in the program.
class RenameWatch
{
public:
    RenameWatch(const QString &folder, const char *name, const QElapsedTimer &clock)
        : m_name(name), m_clock(clock)
    {
        m_watch = inotify_init1(IN_CLOEXEC | IN_NONBLOCK);
        m_ok = m_watch >= 0
            && inotify_add_watch(m_watch, QFile::encodeName(folder).constData(), IN_MOVED_TO) >= 0;
        if (m_ok)
            m_thread = std::thread([this] { run(); });
    }
    ~RenameWatch() { stop(); }
    bool ok() const { return m_ok; }
    // The seconds on the clock at the rename, -1 for none.
    double stop()
    {
        m_done = true;
        if (m_thread.joinable())
            m_thread.join();
        if (m_watch >= 0)
            ::close(m_watch);
        m_watch = -1;
        return m_renamed;
    }

private:
    void run()
    {
        alignas(inotify_event) char events[4096];
        pollfd wait{m_watch, POLLIN, 0};
        while (!m_done) {
            if (::poll(&wait, 1, 20) <= 0)
                continue;
            const ssize_t n = ::read(m_watch, events, sizeof events);
            for (ssize_t at = 0; at < n;) {
                const auto *e = reinterpret_cast<const inotify_event *>(events + at);
                if (e->len && qstrcmp(e->name, m_name) == 0) {
                    m_renamed = seconds(m_clock);
                    return;
                }
                at += ssize_t(sizeof(inotify_event) + e->len);
            }
        }
    }

    const char *m_name;
    const QElapsedTimer &m_clock;
    int m_watch = -1;
    bool m_ok = false;
    std::atomic<double> m_renamed{-1};
    std::atomic<bool> m_done{false};
    std::thread m_thread;
};

// The child side: a copy of the file opened into the windows, the Aka of its middle link
// changed, then File > Save timed from N3Click, its preview accepted as soon as it shows.
// Prints the seconds, the preview's seconds and the peak bytes.
int saveChild(const QString &path)
{
    QTemporaryDir dir;
    const QString copy = dir.filePath(QStringLiteral("stress.cfg"));
    if (!dir.isValid() || !QFile::copy(path, copy))
        return 1;
    const qint64 before = QFileInfo(copy).size();
    createWindows();
    openFile(copy);
    const vog::KeywordRow *aka = vog::rowNamed("Aka");
    vog::ConfigDocument &doc = vog::document();
    const QString text = QStringLiteral("9:9999/9999");
    qint64 expected = -1;
    for (int column = Link_Keywords->LinkChange->count() / 2; expected < 0 && column > 0; --column)
        if (const vog::ValueLine *last = doc.lastLine(*aka, column)) {
            expected = before + text.size() - last->valueLength;
            doc.setValue(*aka, column, text);
        }
#ifdef __GLIBC__
    malloc_trim(0);
#endif
    QFile clear(QStringLiteral("/proc/self/clear_refs"));
    if (expected < 0 || !clear.open(QIODevice::WriteOnly) || clear.write("5") != 1)
        return 1;
    clear.close();
    const qint64 resident = statusKilobytes("VmRSS:");
    SaveRun r;
    // The rename of the new bytes over the file, seen by a watch on its folder.
    const SaveTimes times = timeSaveCommand(dir.path(), "stress.cfg");
    if (times.seconds < 0)
        return 1;
    r.previewSeconds = times.preview;
    r.seconds = times.seconds;
    r.renamedSeconds = times.renamed;
    r.peakBytes = (statusKilobytes("VmHWM:") - resident) * 1024;
    r.checked = QFileInfo(copy).size() == expected
        && QFileInfo(copy + QStringLiteral(".bak")).size() == before && !doc.hasChanges();
    destroyWindows();
    // The floor: the same new bytes written to a temporary file in the same folder, synced and
    // renamed over the file; the best of a few.
    QFile written(copy);
    const QByteArray bytes = written.open(QIODevice::ReadOnly) ? written.readAll() : QByteArray();
    written.close();
    for (int i = 0; i < 3; ++i) {
        const double f = safeWriteFloor(copy, bytes);
        r.floorSeconds = r.floorSeconds < 0 || (f >= 0 && f < r.floorSeconds) ? f : r.floorSeconds;
    }
    QTextStream(stdout) << r.renamedSeconds << ' ' << r.seconds << ' ' << r.previewSeconds << ' '
                        << r.peakBytes << ' ' << int(r.checked) << ' ' << r.floorSeconds << '\n';
    return r.checked && r.previewSeconds >= 0 && r.renamedSeconds >= 0 ? 0 : 1;
}

} // namespace

void measureRenders(StressSet &set, int runs, int openRuns, const QString &outDir)
{
    const RenderChange changes[] = {RenderChange::Value, RenderChange::ListLine};
    for (int k = 0; k < 2; ++k) {
        const ReadDocument read(set.stress());
        set.renders[k] = timeRender(read, changes[k], openRuns);
    }
    set.copy = timeCopy(set.stress(), outDir, runs + 2);
    for (int k = 0; k < 2; ++k)
        set.renderPeaks[k] = renderPeak(set.stress(), changes[k]);
}

void renderRows(const StressSet &set, QList<Row> &rows, QJsonObject &json)
{
    const char *names[] = {"render: one changed link value", "render: one added list line"};
    const char *keys[] = {"render_value", "render_list_line"};
    for (int k = 0; k < 2; ++k) {
        const RenderRun &r = set.renders[k];
        const double copy = set.copy.seconds;
        const double ratio = copy > 0 ? r.bothSeconds / copy : 0;
        const double peakRatio = set.renderPeaks[k] >= 0
                ? double(set.renderPeaks[k]) / double(set.facts().bytes) : -1;
        // One value costs no more than a copy of the file, a list line's lines twice that; the
        // new bytes are at most one copy of the file, and what else the render holds is small.
        const double most = k == 0 ? 1 : 2;
        const bool met = r.checked && copy > 0 && ratio <= most && peakRatio >= 0 && peakRatio <= 1.1;
        const QString what = k == 0 ? QStringLiteral("%1 set").arg(r.rowName)
                                    : QStringLiteral("%1 lines of %2").arg(r.listLines).arg(r.rowName);
        rows << Row{set.named(QString::fromLatin1(names[k])), fixed(r.bothSeconds * 1e3, 1) + QStringLiteral(" ms"),
                    QStringLiteral("cp %1 ms = x%2; %3 %4 ms, render %5 ms; peak +%6 MB = %7 x file")
                            .arg(fixed(copy * 1e3, 1), fixed(ratio, 2), what,
                                 fixed(r.changeSeconds * 1e3, 1), fixed(r.renderSeconds * 1e3, 1),
                                 fixed(double(set.renderPeaks[k]) / 1e6, 1), fixed(peakRatio, 2)),
                    QStringLiteral("<= %1x cp, <= 1.1 x file held").arg(most),
                    r.checked ? verdict(met) : QStringLiteral("WRONG bytes")};
        json[QString::fromLatin1(keys[k])] = QJsonObject{
                {QStringLiteral("row"), r.rowName},
                {QStringLiteral("list_lines"), double(r.listLines)},
                {QStringLiteral("change_seconds"), r.changeSeconds},
                {QStringLiteral("render_seconds"), r.renderSeconds},
                {QStringLiteral("seconds"), r.bothSeconds},
                {QStringLiteral("cp_seconds"), copy},
                {QStringLiteral("times_cp"), ratio},
                {QStringLiteral("render_peak_bytes"), double(set.renderPeaks[k])},
                {QStringLiteral("render_peak_times_file"), peakRatio},
                {QStringLiteral("result_checked"), r.checked},
                {QStringLiteral("target_met"), met}};
    }
}

SaveTimes timeSaveCommand(const QString &folder, const char *name)
{
    SaveTimes r;
    QElapsedTimer t;
    QTimer accept;
    accept.setInterval(0);
    QObject::connect(&accept, &QTimer::timeout, [&] {
        auto *preview = qobject_cast<QDialog *>(QApplication::activeModalWidget());
        if (preview && preview->objectName() == QLatin1String("SavePreview")) {
            r.preview = seconds(t);
            preview->accept();
        }
    });
    accept.start();
    t.start();
    RenameWatch watch(folder, name, t);
    if (!watch.ok())
        return r;
    Main->N3Click();
    r.seconds = seconds(t);
    r.renamed = watch.stop();
    return r;
}

SaveRun timeSave(const QString &path, int runs)
{
    SaveRun best;
    for (int i = 0; i < runs; ++i) {
        const QList<QByteArray> f = runSelf({QStringLiteral("--save"), path});
        if (f.size() != 6)
            return SaveRun{};
        SaveRun r{f[0].toDouble(), f[1].toDouble(), f[2].toDouble(), f[3].toLongLong(),
                  f[4] == "1", f[5].toDouble()};
        // The floor's best, from any run.
        const double floor = best.floorSeconds < 0 ? r.floorSeconds
                                                   : std::min(best.floorSeconds, r.floorSeconds);
        if (best.renamedSeconds < 0 || r.confirmedSeconds() < best.confirmedSeconds())
            best = r;
        best.floorSeconds = floor;
    }
    return best;
}


QJsonObject saveRow(const SaveRun &save, const GeneratedFile &facts, QList<Row> &rows)
{
    const double ratio = save.floorSeconds > 0 ? save.confirmedSeconds() / save.floorSeconds : 0;
    const bool met = save.checked && ratio > 0 && ratio <= 1.5 && save.previewSeconds <= 0.1;
    rows << Row{QStringLiteral("save: one changed link value"),
                fixed(save.confirmedSeconds() * 1e3, 0) + QStringLiteral(" ms"),
                QStringLiteral("confirm to rename; safe write alone %1 ms = x%2; preview shown "
                               "at %3 ms, renamed at %4 ms, windows told at %5 ms; peak +%6 MB "
                               "= %7 x file")
                        .arg(fixed(save.floorSeconds * 1e3, 1), fixed(ratio, 2),
                             fixed(save.previewSeconds * 1e3, 0),
                             fixed(save.renamedSeconds * 1e3, 0),
                             fixed(save.seconds * 1e3, 0),
                             fixed(double(save.peakBytes) / 1e6, 1),
                             fixed(double(save.peakBytes) / double(facts.bytes), 2)),
                QStringLiteral("<= 1.5x safe write, preview <= 0.1 s"),
                save.checked ? verdict(met) : QStringLiteral("WRONG bytes")};
    return {{QStringLiteral("seconds"), save.confirmedSeconds()},
            {QStringLiteral("renamed_seconds"), save.renamedSeconds},
            {QStringLiteral("windows_told_seconds"), save.seconds},
            {QStringLiteral("preview_seconds"), save.previewSeconds},
            {QStringLiteral("safe_write_floor_seconds"), save.floorSeconds},
            {QStringLiteral("times_safe_write"), ratio},
            {QStringLiteral("peak_bytes"), double(save.peakBytes)},
            {QStringLiteral("result_checked"), save.checked},
            {QStringLiteral("target_met"), met}};
}

// ---- children and profiling ----------------------------------------------------------------

int renderMemoryMode(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    return renderMemoryChild(QString::fromLocal8Bit(argv[2]),
                             qstrcmp(argv[3], "list") == 0 ? RenderChange::ListLine
                                                            : RenderChange::Value);
}

int saveMode(const QStringList &args)
{
    return saveChild(args.at(2));
}

int renderMode(const QStringList &args)
{
    // For profiling the render: each change made and the file rendered a few times.
    for (const RenderChange change : {RenderChange::Value, RenderChange::ListLine}) {
        const ReadDocument read(args.at(2));
        const RenderRun r = timeRender(read, change, 5);
        out << r.rowName << ": change " << fixed(r.changeSeconds * 1e3, 1) << " ms, render "
            << fixed(r.renderSeconds * 1e3, 1) << " ms" << (r.checked ? "" : ", WRONG size")
            << '\n';
    }
    return 0;
}

} // namespace vogbench
