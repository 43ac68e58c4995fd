// The benchmark: generates the stress files, measures the reader core, the Open command, link
// loading, start-up and memory side by side with their references, prints one table and writes
// the same figures as JSON next to the executable (bench-results.json).
// Usage: vog-bench [--out folder] [--quick]
//        vog-bench --scan file       (the reader core alone over one file, for profiling)
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
#include "BenchHarness.h"
#include "ConfigGenerator.h"

#include "document/ConfigDocument.h"
#include "document/DocumentRead.h"
#include "editors/AreaListModel.h"
#include "editors/TArea_Definition.h"
#include "editors/TFiles_and_Paths.h"
#include "editors/LinkDialog.h"
#include "editors/TLink_Keywords.h"
#include "reader/ConfigFile.h"
#include "reader/Codepage.h"
#include "reader/ConfigRead.h"
#include "reader/KeywordTable.h"
#include "reader/LineGrammar.h"
#include "reader/LinkStore.h"
#include "reader/NumberConversion.h"
#include "reader/SourceFiles.h"
#include "reader/Text.h"
#include "reader/ValueRules.h"
#include "fields/FileOpenDialog.h"
#include "fields/LineList.h"
#include "shell/QuickFind.h"
#include "shell/QuickFindModel.h"
#include "shell/SavePreview.h"
#include "shell/Startup.h"
#include "shell/TMain.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDialog>
#include <QDir>
#include <QDialogButtonBox>
#include <QPushButton>
#include <QMessageBox>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QKeyEvent>
#include <QLineEdit>
#include <QListView>
#include <QLibraryInfo>
#include <QPlainTextEdit>
#include <QProcess>
#include <QPushButton>
#include <QSignalBlocker>
#include <QTableView>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTextStream>
#include <QTimer>

#include <algorithm>
#include <atomic>
#include <cmath>
#ifdef __GLIBC__
#include <fcntl.h>
#include <malloc.h>
#endif
#include <poll.h>
#include <sys/inotify.h>
#include <unistd.h>
#include <cstring>
#include <functional>
#include <limits>
#include <thread>

using namespace vogbench;

namespace {

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
    void windowValue(const vog::KeywordLine &line) override
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
    void linkStarted(const vog::KeywordLine &line, int) override
    {
        ++f.keywordLines;
        f.checksum += vog::decodeValue(line.value).size();
    }
    void linkValue(const vog::KeywordLine &, int) override { ++f.keywordLines; }

    ScanFigures finish(int file)
    {
        for (const QString &gathered : m_lists)
            f.checksum += gathered.size();
        f.checksum += vog::sourceFile(file).codec.name().size();
        return f;
    }

    ScanFigures f;

private:
    std::vector<QString> m_lists = std::vector<QString>(vog::keywordTable().size());
};

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

// ---- the Open command into the real windows ------------------------------------------------

struct OpenRun
{
    double seconds = 0;
    int links = 0;
    qint64 listLines = 0;
};

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

// One Open into freshly created windows; `again` opens the file once more into the filled ones.
OpenRun timeOpen(const QString &path, bool again = false)
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

// The least the toolkit must do to show the same texts: one bulk insert into a bare list and one
// into a bare drop-down.
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

// The best warm Open and floor of one file, measured by this program in a process of its own
// (--alone). In one process an Open of a smaller file would reuse the pages a larger one left
// and seem faster than it is, which no user's Open ever does.
struct AloneRun
{
    double open = std::numeric_limits<double>::max();
    double floor = std::numeric_limits<double>::max();
};

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

// ---- link load -----------------------------------------------------------------------------

struct LinkLoad
{
    bool available = false;
    double firstMs = 0, middleMs = 0, lastMs = 0;
};

// Loads the first, the middle and the last link into the shown window, each time after some
// other link, so every field really changes; the median of many loads.
LinkLoad timeLinkLoads(const QString &path, int repeats)
{
    LinkLoad r;
    createWindows();
    if (Link_Keywords->findChild<QWidget *>(QStringLiteral("AccessGrp"))) {
        r.available = true;
        openFile(path);
        // As the user has it: the window on the screen while links are picked.
        Main->LinkKeywords1Click();
        QApplication::processEvents();
        QComboBox *combo = Link_Keywords->LinkChange;
        const int n = combo->count();
        auto load = [combo](int index) {
            {
                const QSignalBlocker quiet(combo);
                combo->setCurrentIndex(index);
            }
            QElapsedTimer t;
            t.start();
            Link_Keywords->LinkChangeChange();
            return seconds(t) * 1e3;
        };
        const int targets[] = {0, n / 2, n - 1};
        double *results[] = {&r.firstMs, &r.middleMs, &r.lastMs};
        QList<double> times[3];
        for (int i = 0; i < repeats; ++i)
            for (int k = 0; k < 3; ++k) {
                load((targets[k] + 1 + i) % n);
                times[k].append(load(targets[k]));
            }
        for (int k = 0; k < 3; ++k)
            *results[k] = median(times[k]);
    }
    destroyWindows();
    return r;
}

// ---- quick find ----------------------------------------------------------------------------

struct QuickFindRun
{
    QString address;
    int links = 0;
    double popUpMs = 0; // Ctrl+F after the Open: the links indexed and the first list shown
    double medianMs = 0, worstMs = 0;
    int keys = 0;
    bool found = false; // a link with that Aka came first
};

// Ctrl+F after File > Open, then the Aka address of the middle link typed into the quick find
// one key at a time, as the user does, each key timed until its list is drawn; several rounds.
QuickFindRun timeQuickFind(const QString &path, int rounds)
{
    QuickFindRun r;
    createWindows();
    Main->show();
    openFile(path);
    QApplication::processEvents();
    r.links = Link_Keywords->LinkChange->count();
    r.address = Link_Keywords->LinksStringGrid
                        .cellText(r.links / 2 + 1, vog::rowNamed("Aka")->storeRow)
                        .simplified();
    auto *find = Main->findChild<vog::QuickFind *>(QStringLiteral("QuickFind"));
    QElapsedTimer t;
    t.start();
    Main->QuickFindAction->trigger();
    QApplication::processEvents();
    r.popUpMs = seconds(t) * 1e3;
    QList<double> keys;
    for (int round = 0; round < rounds; ++round) {
        find->QuickFindText->clear();
        QApplication::processEvents();
        typeKeys(find->QuickFindText, r.address, keys);
    }
    const QModelIndex first = find->QuickFindResults->model()->index(0, 0);
    r.found = find->QuickFindText->text() == r.address
        && first.data(vog::QuickFindModel::DetailRole).toString().split(QLatin1Char(' ')).contains(r.address);
    find->hide();
    destroyWindows();
    r.keys = int(keys.size());
    r.medianMs = median(keys);
    r.worstMs = keys.isEmpty() ? 0 : *std::max_element(keys.begin(), keys.end());
    return r;
}

// ---- links as a whole ----------------------------------------------------------------------

struct LinkEditRun
{
    double newMs = 0, copyMs = 0, removeMs = 0; // the best of the rounds, OK to the link shown
    double firstMs = 0; // the first New, which reads the file from disk (the others edit its bytes)
    double saveSeconds = 0;  // the save of the edits, from its confirm to the file renamed
    double previewSeconds = -1; // File > Save to its preview of those edits shown
    double floorSeconds = -1; // the safe write of the same bytes alone
    int links = 0;
    bool shown = false; // each edit ended with the right link shown and LinkChange paired
};

// One click of a link button on the Link Keywords window with the middle link shown, its
// dialog or question answered at once: the time from OK (or Yes) to the link shown.
double timeLinkEdit(QPushButton *button, const QString &name, const QString &address)
{
    QElapsedTimer fromOk;
    QTimer::singleShot(0, [&] {
        QWidget *modal = QApplication::activeModalWidget();
        if (auto *dialog = qobject_cast<vog::LinkDialog *>(modal)) {
            dialog->LinkNameEdit->setText(name);
            if (dialog->LinkAkaEdit)
                dialog->LinkAkaEdit->setText(address);
            fromOk.start();
            dialog->LinkDialogButtons->button(QDialogButtonBox::Ok)->click();
        } else if (auto *box = qobject_cast<QMessageBox *>(modal)) {
            fromOk.start();
            box->button(QMessageBox::Yes)->click();
        }
    });
    button->click();
    QApplication::processEvents();
    return fromOk.isValid() ? seconds(fromOk) * 1e3 : -1;
}

// A File > Save through its preview: to the preview shown, to the file renamed, to the end.
struct SaveTimes
{
    double preview = -1, renamed = -1, seconds = -1;
};
SaveTimes timeSaveCommand(const QString &folder, const char *name);

LinkEditRun timeLinkEdits(const QString &path, int rounds)
{
    LinkEditRun r;
    r.newMs = r.copyMs = r.removeMs = 1e9;
    r.shown = true;
    createWindows();
    Main->show();
    openFile(path);
    TLink_Keywords *w = Link_Keywords;
    w->show();
    r.links = w->LinkChange->count();
    const auto pick = [w](int entry) {
        w->LinkChange->setCurrentIndex(entry);
        w->LinkChangeChange();
    };
    const auto paired = [w](int entry) {
        return w->LinkChange->currentIndex() == entry && w->shownRecord() == entry + 1
                && w->LinkChange->count() + 1 == w->LinksStringGrid.columnCount();
    };
    for (int round = 0; round < rounds; ++round) {
        const int middle = w->LinkChange->count() / 2;
        pick(middle);
        const double newMs = timeLinkEdit(w->NewLinkButton, QStringLiteral("bench-new-%1").arg(round),
                                          QStringLiteral("9:9/%1").arg(round));
        if (round == 0)
            r.firstMs = newMs;
        r.newMs = std::min(r.newMs, newMs);
        r.shown = r.shown && paired(w->LinkChange->count() - 1);
        pick(middle);
        r.copyMs = std::min(r.copyMs, timeLinkEdit(w->CopyLinkButton, QStringLiteral("bench-copy-%1").arg(round),
                                                   QStringLiteral("9:8/%1").arg(round)));
        r.shown = r.shown && paired(middle + 1);
        pick(middle);
        r.removeMs = std::min(r.removeMs, timeLinkEdit(w->RemoveLinkButton, {}, {}));
        r.shown = r.shown && paired(middle);
    }
    // The save of every edit made, timed as the save row is: from the preview's confirm to
    // the file renamed, beside the safe write of the same bytes alone.
    const QFileInfo file(path);
    const SaveTimes times = timeSaveCommand(file.path(), QFile::encodeName(file.fileName()));
    r.saveSeconds = times.renamed >= 0 && times.preview >= 0 ? times.renamed - times.preview : -1;
    r.previewSeconds = times.preview;
    r.shown = r.shown && !vog::document().hasChanges();
    QFile saved(path);
    if (saved.open(QIODevice::ReadOnly))
        r.floorSeconds = safeWriteFloor(path, saved.readAll());
    destroyWindows();
    return r;
}

// ---- memory --------------------------------------------------------------------------------

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

struct RenderRun
{
    double changeSeconds = std::numeric_limits<double>::max(); // setValue or setLines
    double renderSeconds = std::numeric_limits<double>::max();
    double bothSeconds = std::numeric_limits<double>::max();
    QString rowName;
    qsizetype listLines = 0;
    bool checked = false; // the new bytes have the size the change gives
};

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

// ---- save --------------------------------------------------------------------------------

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

// File > Save timed from N3Click, its preview accepted as soon as it shows: when the preview
// showed, when the file was renamed, and when the command returned; -1 where it did not.
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

// The best of some saves, each in a child of its own, so that each is its run's first.
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

// ---- areas ---------------------------------------------------------------------------------

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

// The child side (--areas): the stress file with and without its areas opened in turn, then,
// on a copy of the one with areas, the Area Definition window shown, a link's address typed
// into its filter, one link added to 1,000 selected areas and the change saved. Prints the
// figures in AreaRun's order.
int areaChild(const QString &plain, const QString &withAreas, int runs)
{
    AreaRun r;
    {
        createWindows(); // the first windows of a process pay for fonts and styles
        destroyWindows();
    }
    r.openPlain = r.openAreas = std::numeric_limits<double>::max();
    for (int i = 0; i < runs; ++i) {
        r.openPlain = std::min(r.openPlain, timeWarmOpen(plain).seconds);
        r.openAreas = std::min(r.openAreas, timeWarmOpen(withAreas).seconds);
    }
    QTemporaryDir dir;
    const QString copy = dir.filePath(QStringLiteral("areas.cfg"));
    if (!dir.isValid() || !QFile::copy(withAreas, copy))
        return 1;
    const qint64 before = QFileInfo(copy).size();
    createWindows();
    Main->show();
    openFile(copy);
    QApplication::processEvents();
    QElapsedTimer t;
    t.start();
    Main->AreaDefinition1Click();
    QApplication::processEvents();
    r.showSeconds = seconds(t);
    // The filter's block is made while the window stands idle, as it does before the user
    // types: the keys are timed from then on.
    while (!Area_Definition->model()->isPrepared())
        QApplication::processEvents();
    r.readySeconds = seconds(t);

    // A downlink's address, typed key by key, a few rounds.
    const QString address = QStringLiteral("2:5000/1");
    QList<double> keys;
    for (int round = 0; round < std::max(2, runs); ++round) {
        Area_Definition->AreaFilter->clear();
        QApplication::processEvents();
        typeKeys(Area_Definition->AreaFilter, address, keys);
    }
    r.keys = int(keys.size());
    r.medianKeyMs = median(keys);
    r.worstKeyMs = *std::max_element(keys.begin(), keys.end());
    r.kept = Area_Definition->model()->rowCount();
    Area_Definition->AreaFilter->clear();
    QApplication::processEvents();

    // 1,000 areas selected, from the middle of the list, and a new link's address.
    QTableView *list = Area_Definition->AreaList;
    const int first = list->model()->rowCount() / 2;
    list->setCurrentIndex(list->model()->index(first, 0));
    list->selectionModel()->select(
            QItemSelection(list->model()->index(first, 0), list->model()->index(first + 999, 0)),
            QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    const QString added = QStringLiteral("9:9999/9999");
    Area_Definition->AreaLinkAddress->setEditText(added);
    QApplication::processEvents();
    t.restart();
    Area_Definition->AreaLinkAdd->click();
    QApplication::processEvents();
    r.addMs = seconds(t) * 1e3;

    const SaveTimes times = timeSaveCommand(dir.path(), "areas.cfg");
    if (times.seconds < 0)
        return 1;
    r.previewSeconds = times.preview;
    r.saveSeconds = times.renamed >= 0 && times.preview >= 0 ? times.renamed - times.preview : -1;
    r.checked = QFileInfo(copy).size() == before + 1000 * (added.size() + 1)
        && !vog::document().hasChanges();
    destroyWindows();
    QFile saved(copy);
    const QByteArray bytes = saved.open(QIODevice::ReadOnly) ? saved.readAll() : QByteArray();
    for (int i = 0; i < 3; ++i) {
        const double floor = safeWriteFloor(copy, bytes);
        if (floor >= 0 && (r.floorSeconds < 0 || floor < r.floorSeconds))
            r.floorSeconds = floor;
    }
    QTextStream(stdout) << r.openPlain << ' ' << r.openAreas << ' ' << r.showSeconds << ' '
                        << r.readySeconds << ' '
                        << r.medianKeyMs << ' ' << r.worstKeyMs << ' ' << r.keys << ' ' << r.kept
                        << ' ' << r.addMs << ' ' << r.previewSeconds << ' ' << r.saveSeconds << ' '
                        << r.floorSeconds << ' ' << int(r.checked) << '\n';
    return r.checked ? 0 : 1;
}

AreaRun timeAreas(const QString &plain, const QString &withAreas, int runs)
{
    const QList<QByteArray> f = runSelf({QStringLiteral("--areas"), plain, withAreas,
                                         QString::number(runs)});
    if (f.size() != 13)
        return {};
    return {f[0].toDouble(), f[1].toDouble(), f[2].toDouble(),  f[3].toDouble(),
            f[4].toDouble(), f[5].toDouble(), f[6].toInt(),     f[7].toInt(),
            f[8].toDouble(), f[9].toDouble(), f[10].toDouble(), f[11].toDouble(), f[12] == "1"};
}

// ---- start-up ------------------------------------------------------------------------------

QJsonObject measureStartup(int runs)
{
    const QString xvfb = QStandardPaths::findExecutable(QStringLiteral("xvfb-run"));
    const QString probe = QStringLiteral(VOG_STARTUP_PROBE);
    if (xvfb.isEmpty() || probe.isEmpty() || !QFileInfo::exists(probe))
        return {{QStringLiteral("skipped"),
                 QStringLiteral("needs xvfb-run and vog-startup-probe (scripts/bench installs "
                                "xvfb and libxcb-damage0-dev)")}};
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.remove(QStringLiteral("QT_QPA_PLATFORM"));
    p.setProcessEnvironment(env);
    p.start(xvfb, {QStringLiteral("-a"), QStringLiteral("-s"),
                   QStringLiteral("-screen 0 1280x1024x24"), probe, QStringLiteral("--runs"),
                   QString::number(runs), QStringLiteral(VOG_CONFIG_PROGRAM),
                   QStringLiteral(VOG_MINIMAL_PROGRAM)});
    if (!p.waitForFinished(600000) || p.exitCode() != 0)
        return {{QStringLiteral("skipped"),
                 QStringLiteral("the probe failed: ") + QString::fromLocal8Bit(p.readAllStandardError())}};
    return QJsonDocument::fromJson(p.readAllStandardOutput()).object();
}

// ---- the command line for scripts ---------------------------------------------------------

struct ScriptRun
{
    double get = -1;   // vog-config --get Sysop, the whole process
    double awk = -1;   // the awk recognition script, the whole process
    double set = -1;   // vog-config --set Sysop=..., the whole process, the file renamed
    double floor = -1; // the safe write of the same new bytes
    QByteArray sysop;
    bool checked = false; // the set changed the value alone and kept the .bak
};

// Best of some runs each. Each --set runs on a fresh copy, without a .bak, as a script's first.
ScriptRun timeScript(const QString &stress, int runs)
{
    ScriptRun r;
    const QString program = QStringLiteral(VOG_CONFIG_PROGRAM);
    const QString awk = awkProgram();
    QTemporaryDir dir;
    const QString copy = dir.filePath(QStringLiteral("stress.cfg"));
    const QString bak = copy + QStringLiteral(".bak");
    QFile original(stress);
    if (!dir.isValid() || !original.open(QIODevice::ReadOnly))
        return r;
    const QByteArray before = original.readAll();
    const auto best = [](double &b, double s) { b = b < 0 || (s >= 0 && s < b) ? s : b; };
    r.checked = true;
    for (int i = 0; i < runs; ++i) {
        QByteArray got;
        best(r.get, wholeProcess(program, {QStringLiteral("--get"), QStringLiteral("Sysop"), stress}, &got));
        r.sysop = got;
        if (!awk.isEmpty())
            best(r.awk, wholeProcess(awk, awkArguments() << stress));
        QFile::remove(copy);
        QFile::remove(bak);
        if (!QFile::copy(stress, copy))
            return ScriptRun{};
        const QString value = QStringLiteral("Bench Sysop %1").arg(i);
        best(r.set, wholeProcess(program, {QStringLiteral("--set"), QStringLiteral("Sysop=") + value, copy}));
        QFile changed(copy);
        const QByteArray after = changed.open(QIODevice::ReadOnly) ? changed.readAll() : QByteArray();
        changed.close();
        r.checked = r.checked && QFileInfo(bak).size() == before.size()
                && after.size() == before.size() - r.sysop.size() + value.toUtf8().size()
                && after.contains(value.toUtf8());
        best(r.floor, safeWriteFloor(copy, after));
    }
    return r;
}

// Links and areas changed from the command line on the stress file with many areas, each the
// whole process on a fresh copy without a .bak: a new link subscribed to 1,000 areas, that link
// removed again with its areas, an existing link subscribed to the same 1,000 areas. Each
// beside --get of the same file and the safe write of the same new bytes.
struct ScriptLinksRun
{
    double get = -1;
    double seconds[3] = {-1, -1, -1}; // --new-link with --subscribe, --remove-link, --subscribe
    double floors[3] = {-1, -1, -1};
    int areas = 0;        // the areas the pattern matches
    bool checked = false; // each left the bytes it should
};

ScriptLinksRun timeScriptLinks(const QString &stress, int runs)
{
    ScriptLinksRun r;
    const QString program = QStringLiteral(VOG_CONFIG_PROGRAM);
    QTemporaryDir dir;
    const QString copy = dir.filePath(QStringLiteral("stress.cfg"));
    QFile original(stress);
    if (!dir.isValid() || !original.open(QIODevice::ReadOnly))
        return r;
    const QByteArray before = original.readAll();
    // The tags end in the area's number: 1000 to 1999.
    const QString pattern = QStringLiteral("*.1???");
    QByteArray listed;
    if (wholeProcess(program, {QStringLiteral("--areas"), QStringLiteral("--filter"), QStringLiteral("."), stress}, &listed) < 0)
        return r;
    for (const QByteArray &line : listed.split('\n')) {
        const QByteArray tag = line.left(line.indexOf('\t'));
        const qsizetype dot = tag.lastIndexOf('.');
        r.areas += tag.size() - dot == 5 && tag.at(dot + 1) == '1';
    }
    // The first link's first address: the one --subscribe adds.
    QByteArray links;
    if (wholeProcess(program, {QStringLiteral("--links"), stress}, &links) < 0)
        return r;
    const QString existing = QString::fromUtf8(links.left(links.indexOf('\n')).split('\t').value(1).split(' ').value(0));
    const QString point = QStringLiteral("9:9999/9999.1");
    const QStringList commands[3] = {
            {QStringLiteral("--new-link"), QStringLiteral("Bench Point"), QStringLiteral("--aka"), point,
             QStringLiteral("--subscribe"), point, pattern},
            {QStringLiteral("--remove-link"), QStringLiteral("Bench Point")},
            {QStringLiteral("--subscribe"), existing, pattern}};
    const auto best = [](double &b, double x) { b = b < 0 || (x >= 0 && x < b) ? x : b; };
    const auto bytesOf = [](const QString &path) {
        QFile f(path);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    };
    r.checked = r.areas == 1000 && !existing.isEmpty();
    for (int i = 0; i < runs; ++i) {
        best(r.get, wholeProcess(program, {QStringLiteral("--get"), QStringLiteral("Sysop"), stress}));
        QFile::remove(copy);
        if (!QFile::copy(stress, copy))
            return ScriptLinksRun{};
        for (int k = 0; k < 3; ++k) {
            if (k == 2) { // on the file as it was
                QFile::remove(copy);
                QFile::copy(stress, copy);
            }
            QFile::remove(copy + QStringLiteral(".bak"));
            best(r.seconds[k], wholeProcess(program, QStringList(commands[k]) << copy));
            const QByteArray after = bytesOf(copy);
            if (k == 0)
                r.checked = r.checked && after.count(point.toUtf8()) == r.areas + 1;
            else if (k == 1)
                r.checked = r.checked && after == before;
            else
                r.checked = r.checked && after.size() > before.size();
            best(r.floors[k], safeWriteFloor(copy, after));
        }
    }
    return r;
}

// ---- the stress files, standard and with the whole line grammar ---------------------------

// The stress file and its half and quarter, and what was measured on them. The same rows are
// shown for the standard files and for those written with the whole line grammar, whose rows'
// names carry the label.
struct StressSet
{
    QString label; // empty for the standard files
    QString paths[3];
    vogbench::GeneratedFile files[3];
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
    const vogbench::GeneratedFile &facts() const { return files[2]; }
    double megabytes() const { return double(facts().bytes) / 1e6; }
    QString named(const QString &measure) const { return measure + label; }
    bool openChecked() const
    {
        return lastOpen[2].links == facts().links && lastOpen[2].listLines == facts().listLines;
    }
};

// Written afresh, so that they match this generator: stress-025.cfg, stress-050.cfg and
// stress-100.cfg, or stress-grammar-025.cfg and so on.
void writeStressSet(StressSet &set, const QString &outDir, bool fullGrammar)
{
    const double fractions[] = {0.25, 0.5, 1.0};
    for (int i = 0; i < 3; ++i) {
        set.paths[i] = QDir(outDir).filePath(
                QStringLiteral("stress-%1%2.cfg")
                        .arg(fullGrammar ? QStringLiteral("grammar-") : QString())
                        .arg(int(std::lround(fractions[i] * 100)), 3, 10, QLatin1Char('0')));
        out << "writing " << set.paths[i] << '\n';
        out.flush();
        vogbench::GeneratorOptions options = vogbench::GeneratorOptions::scaled(fractions[i]);
        options.fullGrammar = fullGrammar;
        set.files[i] = vogbench::generateConfig(options, set.paths[i]);
    }
}

// Scan: the reader core alone, best of several runs from the page cache; then the awk
// reference over the whole file.
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

// Open: the whole command into the real windows, the sizes interleaved so that a busy machine
// slows all of them alike; then the toolkit floor for the same texts, and each size alone.
void measureOpens(StressSet &set, int openRuns, bool quick)
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
    // The growth rows: each size alone, the sizes taking turns.
    out << "growth, each size alone" << set.label << "...\n";
    out.flush();
    for (int r = 0; r < (quick ? 1 : 2); ++r)
        for (int i = 0; i < 3; ++i) {
            const AloneRun a = timeAlone(set.paths[i]);
            set.alone[i].open = std::min(set.alone[i].open, a.open);
            set.alone[i].floor = std::min(set.alone[i].floor, a.floor);
        }
}

// Render: one change made to the document of the whole file, then its new bytes, against
// copying the file once; and the render's peak, each change in a process of its own.
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

QJsonObject stressFileFigures(const StressSet &set)
{
    const vogbench::GeneratedFile &f = set.facts();
    return {{QStringLiteral("path"), set.stress()},
            {QStringLiteral("lines"), double(f.lines)},
            {QStringLiteral("bytes"), double(f.bytes)},
            {QStringLiteral("links"), f.links},
            {QStringLiteral("per_link_lines"), double(f.linkLines)},
            {QStringLiteral("list_lines"), double(f.listLines)},
            {QStringLiteral("set_and_condition_lines"), double(f.directiveLines)},
            {QStringLiteral("lines_in_branches_not_taken"), double(f.hiddenLines)}};
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

// The two render rows; their figures under render_value and render_list_line.
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

QJsonObject scriptLinksRows(const ScriptLinksRun &r, QList<Row> &rows)
{
    const char *names[] = {"vog-config --new-link, --subscribe 1,000 areas",
                           "vog-config --remove-link of a link in 1,000 areas",
                           "vog-config --subscribe 1,000 areas"};
    const char *keys[] = {"new_link_subscribe", "remove_link", "subscribe"};
    QJsonObject json{{QStringLiteral("get_seconds"), r.get},
                     {QStringLiteral("areas_matched"), r.areas},
                     {QStringLiteral("result_checked"), r.checked}};
    for (int k = 0; k < 3; ++k) {
        const double budget = r.get + 1.5 * r.floors[k];
        const bool met = r.checked && r.seconds[k] > 0 && r.floors[k] > 0 && r.seconds[k] <= budget;
        rows << Row{QString::fromLatin1(names[k]) + QStringLiteral(", whole process"),
                    fixed(r.seconds[k] * 1e3, 0) + QStringLiteral(" ms"),
                    QStringLiteral("--get %1 ms + 1.5 x safe-write floor %2 ms = %3 ms")
                            .arg(fixed(r.get * 1e3, 0), fixed(r.floors[k] * 1e3, 0),
                                 fixed(budget * 1e3, 0)),
                    QStringLiteral("<= --get + 1.5x floor"),
                    r.checked ? verdict(met) : QStringLiteral("WRONG bytes")};
        json[QString::fromLatin1(keys[k])] = QJsonObject{
                {QStringLiteral("seconds"), r.seconds[k]},
                {QStringLiteral("safe_write_floor_seconds"), r.floors[k]},
                {QStringLiteral("budget_seconds"), budget},
                {QStringLiteral("target_met"), met}};
    }
    return json;
}

QJsonObject commandLineRows(const StressSet &set, QList<Row> &rows)
{
    const ScriptRun &script = set.script;
    const double ratio = script.awk > 0 ? script.get / script.awk : 0;
    const bool met = script.get > 0 && script.awk > 0 && ratio <= 0.3;
    rows << Row{set.named(QStringLiteral("vog-config --get Sysop, whole process")),
                fixed(script.get * 1e3, 0) + QStringLiteral(" ms"),
                QStringLiteral("%1 recognition %2 ms = x%3")
                        .arg(QFileInfo(awkProgram()).fileName(), fixed(script.awk * 1e3, 0),
                             fixed(ratio, 2)),
                QStringLiteral("<= 0.3x awk"),
                script.sysop.isEmpty() ? QStringLiteral("WRONG output") : verdict(met)};
    const double budget = script.get + 1.5 * script.floor;
    const bool setMet = script.checked && script.set > 0 && script.floor > 0 && script.set <= budget;
    rows << Row{set.named(QStringLiteral("vog-config --set Sysop, whole process")),
                fixed(script.set * 1e3, 0) + QStringLiteral(" ms"),
                QStringLiteral("--get %1 ms + 1.5 x safe-write floor %2 ms = %3 ms")
                        .arg(fixed(script.get * 1e3, 0), fixed(script.floor * 1e3, 0),
                             fixed(budget * 1e3, 0)),
                QStringLiteral("<= --get + 1.5x floor"),
                script.checked ? verdict(setMet) : QStringLiteral("WRONG bytes")};
    return {{QStringLiteral("get_seconds"), script.get},
            {QStringLiteral("awk_seconds"), script.awk},
            {QStringLiteral("get_times_awk"), ratio},
            {QStringLiteral("get_target_met"), met},
            {QStringLiteral("set_seconds"), script.set},
            {QStringLiteral("safe_write_floor_seconds"), script.floor},
            {QStringLiteral("set_budget_seconds"), budget},
            {QStringLiteral("result_checked"), script.checked},
            {QStringLiteral("set_target_met"), setMet}};
}

QJsonObject memoryRows(const StressSet &set, qint64 idleBytes, QList<Row> &rows)
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

// The offscreen platform's notes on what it can't do (raise a window, pass size hints) say
// nothing about speed and would only clutter the table.
QtMessageHandler defaultHandler = nullptr;

void quietPlatformNotes(QtMsgType type, const QMessageLogContext &context, const QString &message)
{
    if (type == QtWarningMsg && message.startsWith(QLatin1String("This plugin does not support")))
        return;
    defaultHandler(type, context, message);
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
    if (argc > 3 && qstrcmp(argv[1], "--render-memory") == 0) {
        QCoreApplication app(argc, argv);
        return renderMemoryChild(QString::fromLocal8Bit(argv[2]),
                                 qstrcmp(argv[3], "list") == 0 ? RenderChange::ListLine
                                                                : RenderChange::Value);
    }
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    if (argc > 2 && qstrcmp(argv[1], "--save") == 0)
        return saveChild(QString::fromLocal8Bit(argv[2]));
    if (argc > 4 && qstrcmp(argv[1], "--areas") == 0)
        return areaChild(QString::fromLocal8Bit(argv[2]), QString::fromLocal8Bit(argv[3]),
                         std::max(1, atoi(argv[4])));
    const QStringList args = app.arguments();
    if (args.size() > 2 && args.at(1) == QStringLiteral("--scan")) {
        // For profiling the reader core: scan one file a few times, print the rate.
        const double mb = double(QFileInfo(args.at(2)).size()) / 1e6;
        for (int i = 0; i < 5; ++i) {
            QElapsedTimer t;
            t.start();
            const ScanFigures f = scanCore(args.at(2));
            out << fixed(mb / seconds(t), 0) << " MB/s, " << f.keywordLines << " keyword lines\n";
        }
        return 0;
    }
    if (args.size() > 2 && args.at(1) == QStringLiteral("--script")) {
        // For profiling the command line: --get and --set of Sysop, the awk script, the floor.
        const ScriptRun r = timeScript(args.at(2), 3);
        out << "--get " << fixed(r.get, 3) << " s, awk " << fixed(r.awk, 3) << " s, --set "
            << fixed(r.set, 3) << " s, floor " << fixed(r.floor, 3) << " s, "
            << (r.checked ? "checked" : "WRONG") << '\n';
        return 0;
    }
    if (args.size() > 2 && args.at(1) == QStringLiteral("--script-links")) {
        // The rows of links and areas changed from the command line, alone.
        QList<Row> rows;
        scriptLinksRows(timeScriptLinks(args.at(2), 3), rows);
        printTable(rows);
        return 0;
    }
    if (args.size() > 2 && args.at(1) == QStringLiteral("--link-edits")) {
        // The link buttons and the save of their edits, alone.
        const LinkEditRun r = timeLinkEdits(args.at(2), 3);
        out << "New " << fixed(r.newMs, 1) << " ms, Copy " << fixed(r.copyMs, 1) << " ms, Remove "
            << fixed(r.removeMs, 1) << " ms, preview " << fixed(r.previewSeconds, 3) << " s, save "
            << fixed(r.saveSeconds, 3) << " s, " << (r.shown ? "shown" : "WRONG") << '\n';
        return 0;
    }
    if (args.size() > 2 && args.at(1) == QStringLiteral("--open")) {
        // For profiling the Open: open one file a few times into fresh windows.
        for (int i = 0; i < 3; ++i) {
            const OpenRun r = timeOpen(args.at(2));
            out << fixed(r.seconds, 3) << " s, " << r.links << " links, " << r.listLines
                << " list lines\n";
        }
        return 0;
    }
    if (args.size() > 2 && args.at(1) == QStringLiteral("--growth")) {
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
    if (args.size() > 2 && args.at(1) == QStringLiteral("--alone")) {
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
    if (args.size() > 2 && args.at(1) == QStringLiteral("--render")) {
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
    if (args.size() > 2 && args.at(1) == QStringLiteral("--links")) {
        const LinkEditRun r = timeLinkEdits(args.at(2), 3);
        out << r.links << " links: New " << fixed(r.newMs, 1) << " ms (the first, reading the file, "
            << fixed(r.firstMs, 1) << " ms), Copy " << fixed(r.copyMs, 1)
            << " ms, Remove " << fixed(r.removeMs, 1) << " ms, the save " << fixed(r.saveSeconds, 3)
            << " s (safe write alone " << fixed(r.floorSeconds, 3) << " s)" << (r.shown ? "" : ", NOT shown or paired") << '\n';
        return 0;
    }
    if (args.size() > 2 && args.at(1) == QStringLiteral("--find")) {
        const QuickFindRun r = timeQuickFind(args.at(2), 5);
        out << "\"" << r.address << "\" over " << r.links << " links: Ctrl+F " << fixed(r.popUpMs, 1)
            << " ms, keys median " << fixed(r.medianMs, 2) << " ms, worst " << fixed(r.worstMs, 2)
            << " ms" << (r.found ? "" : ", NOT found first") << '\n';
        return 0;
    }
    if (args.size() > 2 && args.at(1) == QStringLiteral("--includes")) {
        // For profiling Open all included files: a main file and the files it names.
        const OpenRun r = timeIncludes(args.at(2));
        out << fixed(r.seconds, 3) << " s, " << r.links << " links, " << r.listLines
            << " list lines\n";
        return 0;
    }
    QString outDir = QCoreApplication::applicationDirPath();
    if (const qsizetype i = args.indexOf(QStringLiteral("--out")); i > 0 && i + 1 < args.size())
        outDir = args.at(i + 1);
    const bool quick = args.contains(QStringLiteral("--quick"));
    QDir().mkpath(outDir);

    // The stress file and its half and quarter; and the same files written with the whole line
    // grammar (tabs, trailing comments, switches alone, set variables, conditions), which the
    // rows named "(full grammar)" measure alike.
    StressSet standard, grammar;
    grammar.label = QStringLiteral(" (full grammar)");
    writeStressSet(standard, outDir, false);
    writeStressSet(grammar, outDir, true);
    StressSet *const sets[] = {&standard, &grammar};
    const QString &stress = standard.stress();
    const vogbench::GeneratedFile &facts = standard.facts();
    const double megabytes = standard.megabytes();
    const int runs = quick ? 1 : 3;
    const int openRuns = quick ? 1 : 5; // the growth ratios want steadier figures

    // Scan: the reader core alone, and the awk reference.
    const QString awk = awkProgram();
    for (StressSet *set : sets) {
        out << "scan and awk" << set->label << "...\n";
        out.flush();
        measureScans(*set, runs, awk);
    }
    out << "wc -l...\n";
    out.flush();
    const ToolRun wc = timeTool(QStringLiteral("wc"), {QStringLiteral("-l")}, stress, runs + 6);

    // Open: the whole command into the real windows, the sizes interleaved so that a busy
    // machine slows all of them alike; then the toolkit floor for the same texts.
    out << "open...\n";
    out.flush();
    {
        createWindows(); // the first windows of a process pay for fonts and styles
        destroyWindows();
    }
    BoxWatch watch;
    measureOpens(standard, openRuns, quick);
    double againSeconds = std::numeric_limits<double>::max();
    for (int r = 0; r < runs; ++r)
        againSeconds = std::min(againSeconds, timeOpen(stress, true).seconds);
    out << "open" << grammar.label << "...\n";
    out.flush();
    measureOpens(grammar, openRuns, quick);
    const bool openChecked = standard.openChecked() && !watch.failed();
    const bool grammarOpenChecked = grammar.openChecked() && !watch.failed();
    const double *const openSeconds = standard.openSeconds;

    // The same file split into 50 included files, opened by Open all included files.
    out << "included files...\n";
    out.flush();
    // Files read once in a run are not read again: each run has parts of its own.
    qint64 droppedIncludes = 0;
    double includesSeconds = std::numeric_limits<double>::max();
    OpenRun includesRun;
    for (int r = 0; r < runs; ++r) {
        const QString splitDir = QDir(outDir).filePath(QStringLiteral("split/%1").arg(r));
        QDir().mkpath(splitDir);
        const QString splitMain = splitIntoIncludes(stress, 50, splitDir, droppedIncludes);
        includesRun = timeIncludes(splitMain);
        includesSeconds = std::min(includesSeconds, includesRun.seconds);
    }

    // The stress file with Russian text in KOI8-R: the codepage's path through scan and Open.
    out << "KOI8-R stress file...\n";
    out.flush();
    vogbench::GeneratorOptions russianOptions = vogbench::GeneratorOptions::scaled(1.0);
    russianOptions.codepage = "KOI8-R";
    const QString russian = QDir(outDir).filePath(QStringLiteral("stress-koi8-r.cfg"));
    const vogbench::GeneratedFile russianFacts = vogbench::generateConfig(russianOptions, russian);
    double russianScan = std::numeric_limits<double>::max();
    double russianOpen = std::numeric_limits<double>::max();
    for (int r = 0; r < runs; ++r) {
        QElapsedTimer t;
        t.start();
        scanCore(russian);
        russianScan = std::min(russianScan, seconds(t));
        russianOpen = std::min(russianOpen, timeOpen(russian).seconds);
    }
    const ToolRun russianAwk = awk.isEmpty() ? ToolRun{} : timeTool(awk, awkArguments(), russian, runs);
    double russianFloor = std::numeric_limits<double>::max();
    {
        QStringList lines, names;
        collectTexts(russian, lines, names);
        for (int r = 0; r < runs; ++r)
            russianFloor = std::min(russianFloor, toolkitFloor(lines, names));
    }

    out << "link load...\n";
    out.flush();
    const LinkLoad linkLoad = timeLinkLoads(stress, quick ? 3 : 15);

    out << "quick find...\n";
    out.flush();
    const QuickFindRun quickFind = timeQuickFind(stress, quick ? 2 : 5);

    // Render: one change made to the document of the stress file, then its new bytes, against
    // copying the file once.
    for (StressSet *set : sets) {
        out << "render" << set->label << "...\n";
        out.flush();
        measureRenders(*set, runs, openRuns, outDir);
    }

    out << "save...\n";
    out.flush();
    const SaveRun save = timeSave(stress, quick ? 1 : 3);

    out << "links as a whole...\n";
    out.flush();
    const LinkEditRun linkEdits = timeLinkEdits(stress, quick ? 1 : 3);

    for (StressSet *set : sets) {
        out << "command line" << set->label << "...\n";
        out.flush();
        set->script = timeScript(set->stress(), runs + 2);
    }

    // The stress file with 50,000 area lines at its end: the Open per byte against the file
    // without them, and the Area Definition window at work.
    out << "areas...\n";
    out.flush();
    vogbench::GeneratorOptions areaOptions = vogbench::GeneratorOptions::scaled(1.0);
    areaOptions.areaLines = 50000;
    const QString areaPath = QDir(outDir).filePath(QStringLiteral("stress-areas.cfg"));
    const vogbench::GeneratedFile areaFacts = vogbench::generateConfig(areaOptions, areaPath);
    const AreaRun areas = timeAreas(stress, areaPath, openRuns);
    out << "links and areas from the command line...\n";
    out.flush();
    const ScriptLinksRun scriptLinks = timeScriptLinks(areaPath, quick ? 1 : 3);

    out << "memory...\n";
    out.flush();
    const qint64 idleBytes = peakMemory();
    for (StressSet *set : sets)
        set->openBytes = peakMemory(set->stress());
    // A hub's file: many short link sections, few list lines; the link records weigh most.
    const QString hub = QDir(outDir).filePath(QStringLiteral("hub.cfg"));
    const vogbench::GeneratedFile hubFacts =
            vogbench::generateConfig(vogbench::GeneratorOptions::hub(), hub);
    const qint64 hubBytes = peakMemory(hub);

    out << "start-up under Xvfb...\n";
    out.flush();
    const QJsonObject startup = measureStartup(quick ? 3 : 15);

    // ---- figures and targets ----
    QList<Row> rows;
    QJsonObject json;
    json[QStringLiteral("qt")] = QString::fromLatin1(qVersion());
    json[QStringLiteral("runs")] = runs;
    json[QStringLiteral("open_runs")] = openRuns;
    json[QStringLiteral("stress_file")] = stressFileFigures(standard);
    // The figures of the full-grammar files under the same names as the standard file's.
    QJsonObject grammarJson{{QStringLiteral("stress_file"), stressFileFigures(grammar)}};

    QJsonObject scanJson = scanRows(standard, rows);
    grammarJson[QStringLiteral("scan")] = scanRows(grammar, rows);
    const double scanRate = megabytes / standard.scans[2];
    const double wcRate = wc.seconds > 0 ? megabytes / wc.seconds : 0;
    rows << Row{QStringLiteral("scan as a share of wc -l"),
                fixed(wcRate > 0 ? 100 * scanRate / wcRate : 0, 1) + QStringLiteral(" %"),
                QStringLiteral("wc -l %1 MB/s").arg(fixed(wcRate, 0)), QStringLiteral("reported"),
                QString()};
    scanJson[QStringLiteral("wc_l_seconds")] = wc.seconds;
    scanJson[QStringLiteral("wc_l_mb_per_s")] = wcRate;
    scanJson[QStringLiteral("wc_l_output")] = QString::fromLocal8Bit(wc.output);
    scanJson[QStringLiteral("share_of_wc_l")] = wcRate > 0 ? scanRate / wcRate : 0;
    json[QStringLiteral("scan")] = scanJson;

    QJsonObject openJson = openRows(standard, rows, openChecked);
    grammarJson[QStringLiteral("open")] = openRows(grammar, rows, grammarOpenChecked);
    json[QStringLiteral("growth")] = growthRows(standard, rows);
    grammarJson[QStringLiteral("growth")] = growthRows(grammar, rows);
    rows << Row{QStringLiteral("open again into filled windows"),
                fixed(againSeconds, 3) + QStringLiteral(" s"),
                QStringLiteral("first open %1 s = x%2").arg(fixed(openSeconds[2], 3),
                                                           fixed(againSeconds / openSeconds[2], 2)),
                QStringLiteral("(no quadratic append)"), QString()};
    openJson[QStringLiteral("again_into_filled_windows_seconds")] = againSeconds;
    json[QStringLiteral("open")] = openJson;

    {
        const bool met = includesSeconds <= 1.5 * openSeconds[2]
            && includesRun.links == facts.links
            && includesRun.listLines == facts.listLines - droppedIncludes + 50;
        rows << Row{QStringLiteral("open all included files: 50 parts"),
                    fixed(includesSeconds, 3) + QStringLiteral(" s"),
                    QStringLiteral("one Open of the whole file %1 s = x%2")
                            .arg(fixed(openSeconds[2], 3), fixed(includesSeconds / openSeconds[2], 2)),
                    QStringLiteral("about one Open (<= 1.5x)"), verdict(met)};
        json[QStringLiteral("included_files")] = QJsonObject{
                {QStringLiteral("parts"), 50},
                {QStringLiteral("seconds"), includesSeconds},
                {QStringLiteral("whole_file_open_seconds"), openSeconds[2]},
                {QStringLiteral("ratio"), includesSeconds / openSeconds[2]},
                {QStringLiteral("links_listed"), includesRun.links},
                {QStringLiteral("target_met"), met}};
    }
    renderRows(standard, rows, json);
    renderRows(grammar, rows, grammarJson);
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
        json[QStringLiteral("save_value")] = QJsonObject{
                {QStringLiteral("seconds"), save.confirmedSeconds()},
                {QStringLiteral("renamed_seconds"), save.renamedSeconds},
                {QStringLiteral("windows_told_seconds"), save.seconds},
                {QStringLiteral("preview_seconds"), save.previewSeconds},
                {QStringLiteral("safe_write_floor_seconds"), save.floorSeconds},
                {QStringLiteral("times_safe_write"), ratio},
                {QStringLiteral("peak_bytes"), double(save.peakBytes)},
                {QStringLiteral("result_checked"), save.checked},
                {QStringLiteral("target_met"), met}};
    }
    json[QStringLiteral("command_line")] = commandLineRows(standard, rows);
    grammarJson[QStringLiteral("command_line")] = commandLineRows(grammar, rows);
    {
        const double mb = double(russianFacts.bytes) / 1e6;
        const double rate = mb / russianScan;
        const double awkRate = russianAwk.seconds > 0 ? mb / russianAwk.seconds : 0;
        const double budget = 1.3 * (russianScan + russianFloor);
        const bool met = awkRate > 0 && rate >= 4 * awkRate && russianOpen <= budget;
        rows << Row{QStringLiteral("KOI8-R stress file: scan"), fixed(rate, 0) + QStringLiteral(" MB/s"),
                    QStringLiteral("awk %1 MB/s = %2x").arg(fixed(awkRate, 0),
                                                            fixed(awkRate > 0 ? rate / awkRate : 0, 2)),
                    QStringLiteral(">= 4x awk"), QString()};
        rows << Row{QStringLiteral("KOI8-R stress file: open"), fixed(russianOpen, 3) + QStringLiteral(" s"),
                    QStringLiteral("1.3 x (scan %1 + floor %2) = %3 s")
                            .arg(fixed(russianScan, 3), fixed(russianFloor, 3), fixed(budget, 3)),
                    QStringLiteral("both targets"), verdict(met)};
        json[QStringLiteral("koi8_r")] = QJsonObject{
                {QStringLiteral("bytes"), double(russianFacts.bytes)},
                {QStringLiteral("scan_seconds"), russianScan},
                {QStringLiteral("scan_mb_per_s"), rate},
                {QStringLiteral("awk_mb_per_s"), awkRate},
                {QStringLiteral("open_seconds"), russianOpen},
                {QStringLiteral("toolkit_floor_seconds"), russianFloor},
                {QStringLiteral("budget_seconds"), budget},
                {QStringLiteral("target_met"), met}};
    }

    {
        // Each link edit from OK to the link shown, on the stress file's middle link.
        const double edits[] = {linkEdits.newMs, linkEdits.copyMs, linkEdits.removeMs};
        const char *names[] = {"link edit: New, OK to shown", "link edit: Copy, OK to shown",
                               "link edit: Remove, Yes to shown"};
        const char *keys[] = {"new_ms", "copy_ms", "remove_ms"};
        QJsonObject edited{{QStringLiteral("links"), linkEdits.links},
                           {QStringLiteral("shown_and_paired"), linkEdits.shown},
                           {QStringLiteral("save_seconds"), linkEdits.saveSeconds}};
        for (int k = 0; k < 3; ++k) {
            const bool met = linkEdits.shown && edits[k] >= 0 && edits[k] <= 50;
            rows << Row{QString::fromLatin1(names[k]), fixed(edits[k], 1) + QStringLiteral(" ms"),
                        QStringLiteral("%1 links, best of rounds").arg(linkEdits.links),
                        QStringLiteral("<= 50 ms"), verdict(met)};
            edited[QString::fromLatin1(keys[k])] = edits[k];
        }
        rows << Row{QStringLiteral("link edit: the first New, reading the file"),
                    fixed(linkEdits.firstMs, 1) + QStringLiteral(" ms"),
                    QStringLiteral("the file's bytes read and checked, then the edit"),
                    QStringLiteral("-"), QStringLiteral("-")};
        edited[QStringLiteral("first_new_ms")] = linkEdits.firstMs;
        const bool previewMet = linkEdits.shown && linkEdits.previewSeconds >= 0
                && linkEdits.previewSeconds <= 0.1;
        rows << Row{QStringLiteral("link edit: the save's preview of them"),
                    fixed(linkEdits.previewSeconds * 1e3, 0) + QStringLiteral(" ms"),
                    QStringLiteral("File > Save to the diff shown; copies in the middle, new at the end"),
                    QStringLiteral("<= 0.1 s"), verdict(previewMet)};
        edited[QStringLiteral("preview_seconds")] = linkEdits.previewSeconds;
        const double ratio = linkEdits.floorSeconds > 0
                ? linkEdits.saveSeconds / linkEdits.floorSeconds : 0;
        rows << Row{QStringLiteral("link edit: the save of them"),
                    fixed(linkEdits.saveSeconds * 1e3, 0) + QStringLiteral(" ms"),
                    QStringLiteral("confirm to rename; safe write alone %1 ms = x%2")
                            .arg(fixed(linkEdits.floorSeconds * 1e3, 1), fixed(ratio, 2)),
                    QStringLiteral("<= 1.5x safe write"),
                    verdict(linkEdits.shown && ratio > 0 && ratio <= 1.5)};
        edited[QStringLiteral("floor_seconds")] = linkEdits.floorSeconds;
        json[QStringLiteral("link_edits")] = edited;
    }

    {
        const double perBytePlain = areas.openPlain / double(facts.bytes);
        const double perByteAreas = areas.openAreas / double(areaFacts.bytes);
        const double openRatio = perByteAreas / perBytePlain;
        const double saveRatio = areas.floorSeconds > 0 ? areas.saveSeconds / areas.floorSeconds : 0;
        const bool openMet = areas.openAreas > 0 && openRatio <= 1.2;
        const bool showMet = areas.showSeconds >= 0 && areas.showSeconds <= 0.1;
        const bool keysMet = areas.keys > 0 && areas.worstKeyMs <= 20;
        const bool addMet = areas.addMs >= 0 && areas.addMs <= 100;
        const bool saveMet = areas.checked && saveRatio > 0 && saveRatio <= 1.5
            && areas.previewSeconds <= 0.1;
        const QString what = QStringLiteral("%1 area lines, %2 links on them")
                                     .arg(areaFacts.areaLines)
                                     .arg(areaFacts.areaLinks);
        rows << Row{QStringLiteral("areas: Open per byte"),
                    QStringLiteral("%1 s for %2 MB").arg(fixed(areas.openAreas, 3),
                                                       fixed(double(areaFacts.bytes) / 1e6, 1)),
                    QStringLiteral("without them %1 s for %2 MB: x%3 a byte; %4")
                            .arg(fixed(areas.openPlain, 3), fixed(megabytes, 1),
                                 fixed(openRatio, 2), what),
                    QStringLiteral("<= 1.2x a byte"), verdict(openMet)};
        rows << Row{QStringLiteral("areas: window shown"),
                    fixed(areas.showSeconds * 1e3, 1) + QStringLiteral(" ms"),
                    QStringLiteral("Configurator > Area Definition after the Open; the filter "
                                   "ready at %1 ms, made while idle")
                            .arg(fixed(areas.readySeconds * 1e3, 0)),
                    QStringLiteral("<= 0.1 s"), verdict(showMet)};
        rows << Row{QStringLiteral("areas: filter keystroke"),
                    QStringLiteral("median %1 ms, worst %2 ms")
                            .arg(fixed(areas.medianKeyMs, 2), fixed(areas.worstKeyMs, 2)),
                    QStringLiteral("%1 keys of \"2:5000/1\", %2 areas kept")
                            .arg(areas.keys).arg(areas.kept),
                    QStringLiteral("<= 20 ms a key"), verdict(keysMet)};
        rows << Row{QStringLiteral("areas: a link added to 1,000 areas"),
                    fixed(areas.addMs, 1) + QStringLiteral(" ms"), QStringLiteral("the list redrawn"),
                    QStringLiteral("<= 100 ms"), verdict(addMet)};
        rows << Row{QStringLiteral("areas: the Save that follows"),
                    fixed(areas.saveSeconds * 1e3, 0) + QStringLiteral(" ms"),
                    QStringLiteral("safe write of the same bytes %1 ms = x%2; preview at %3 ms")
                            .arg(fixed(areas.floorSeconds * 1e3, 0), fixed(saveRatio, 2),
                                 fixed(areas.previewSeconds * 1e3, 0)),
                    QStringLiteral("<= 1.5x the safe write, preview <= 0.1 s"),
                    areas.checked ? verdict(saveMet) : QStringLiteral("WRONG bytes")};
        json[QStringLiteral("areas")] = QJsonObject{
                {QStringLiteral("area_lines"), areaFacts.areaLines},
                {QStringLiteral("area_links"), double(areaFacts.areaLinks)},
                {QStringLiteral("bytes"), double(areaFacts.bytes)},
                {QStringLiteral("open_seconds"), areas.openAreas},
                {QStringLiteral("open_without_seconds"), areas.openPlain},
                {QStringLiteral("per_byte_ratio"), openRatio},
                {QStringLiteral("show_seconds"), areas.showSeconds},
                {QStringLiteral("filter_ready_seconds"), areas.readySeconds},
                {QStringLiteral("filter_median_key_ms"), areas.medianKeyMs},
                {QStringLiteral("filter_worst_key_ms"), areas.worstKeyMs},
                {QStringLiteral("filter_rows_kept"), areas.kept},
                {QStringLiteral("add_link_1000_ms"), areas.addMs},
                {QStringLiteral("save_preview_seconds"), areas.previewSeconds},
                {QStringLiteral("save_seconds"), areas.saveSeconds},
                {QStringLiteral("safe_write_floor_seconds"), areas.floorSeconds},
                {QStringLiteral("save_over_floor"), saveRatio},
                {QStringLiteral("result_checked"), areas.checked},
                {QStringLiteral("target_met"), openMet && showMet && keysMet && addMet && saveMet}};
    }
    json[QStringLiteral("command_line_links")] = scriptLinksRows(scriptLinks, rows);

    if (linkLoad.available) {
        const double ratio = linkLoad.lastMs / linkLoad.firstMs;
        const bool met = ratio <= 1.5;
        rows << Row{QStringLiteral("link load: first, middle, last"),
                    QStringLiteral("%1, %2, %3 ms")
                            .arg(fixed(linkLoad.firstMs, 2), fixed(linkLoad.middleMs, 2),
                                 fixed(linkLoad.lastMs, 2)),
                    QStringLiteral("last / first = %1").arg(fixed(ratio, 2)),
                    QStringLiteral("<= 1.5"), verdict(met)};
        json[QStringLiteral("link_load")] = QJsonObject{
                {QStringLiteral("links"), facts.links},
                {QStringLiteral("first_ms"), linkLoad.firstMs},
                {QStringLiteral("middle_ms"), linkLoad.middleMs},
                {QStringLiteral("last_ms"), linkLoad.lastMs},
                {QStringLiteral("last_over_first"), ratio},
                {QStringLiteral("target_met"), met}};
    } else {
        rows << Row{QStringLiteral("link load"), QStringLiteral("-"),
                    QStringLiteral("the Link Keywords window has no fields yet"),
                    QStringLiteral("<= 1.5"), QStringLiteral("not measured")};
        json[QStringLiteral("link_load")] = QJsonObject{
                {QStringLiteral("skipped"), QStringLiteral("the Link Keywords window has no fields yet")}};
    }

    {
        const bool met = quickFind.found && quickFind.worstMs <= 20;
        rows << Row{QStringLiteral("quick find: typing an address"),
                    QStringLiteral("median %1 ms, worst %2 ms")
                            .arg(fixed(quickFind.medianMs, 2), fixed(quickFind.worstMs, 2)),
                    QStringLiteral("%1 keys of \"%2\", %3 links; Ctrl+F %4 ms")
                            .arg(quickFind.keys)
                            .arg(quickFind.address)
                            .arg(quickFind.links)
                            .arg(fixed(quickFind.popUpMs, 1)),
                    QStringLiteral("<= 20 ms a key"),
                    quickFind.found ? verdict(met) : QStringLiteral("NOT found first")};
        json[QStringLiteral("quick_find")] = QJsonObject{
                {QStringLiteral("address"), quickFind.address},
                {QStringLiteral("links"), quickFind.links},
                {QStringLiteral("keys"), quickFind.keys},
                {QStringLiteral("median_key_ms"), quickFind.medianMs},
                {QStringLiteral("worst_key_ms"), quickFind.worstMs},
                {QStringLiteral("pop_up_ms"), quickFind.popUpMs},
                {QStringLiteral("found_first"), quickFind.found},
                {QStringLiteral("target_met"), met}};
    }

    if (startup.contains(QStringLiteral("programs"))) {
        const QJsonArray programs = startup[QStringLiteral("programs")].toArray();
        const double vog = programs.at(0)[QStringLiteral("median_ms")].toDouble();
        const double minimal = programs.at(1)[QStringLiteral("median_ms")].toDouble();
        const bool met = vog > 0 && minimal > 0 && vog <= 2 * minimal;
        rows << Row{QStringLiteral("start-up to first frame (Xvfb)"), fixed(vog, 1) + QStringLiteral(" ms"),
                    QStringLiteral("minimal Qt program %1 ms = x%2")
                            .arg(fixed(minimal, 1), fixed(minimal > 0 ? vog / minimal : 0, 2)),
                    QStringLiteral("<= 2x minimal"), verdict(met)};
        QJsonObject s = startup;
        s[QStringLiteral("vog_config_ms")] = vog;
        s[QStringLiteral("minimal_ms")] = minimal;
        s[QStringLiteral("ratio")] = minimal > 0 ? vog / minimal : 0;
        s[QStringLiteral("target_met")] = met;
        json[QStringLiteral("startup")] = s;
    } else {
        rows << Row{QStringLiteral("start-up"), QStringLiteral("-"),
                    startup[QStringLiteral("skipped")].toString(), QStringLiteral("<= 2x minimal"),
                    QStringLiteral("not measured")};
        json[QStringLiteral("startup")] = startup;
    }

    for (StressSet *set : sets)
        if (idleBytes > 0 && set->openBytes > 0)
            (set == &standard ? json : grammarJson)[QStringLiteral("memory")] =
                    memoryRows(*set, idleBytes, rows);
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
    json[QStringLiteral("full_grammar")] = grammarJson;
    if (idleBytes <= 0 || standard.openBytes <= 0 || grammar.openBytes <= 0 || hubBytes <= 0) {
        rows << Row{QStringLiteral("peak memory"), QStringLiteral("-"),
                    QStringLiteral("the child process failed"), QStringLiteral("<= 3 x file"),
                    QStringLiteral("not measured")};
    }

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
    printTable(rows);
    writeResults(json, outDir);
    return openChecked && grammarOpenChecked ? 0 : 1;
}
