#include "BenchHarness.h"

#include "fields/FileOpenDialog.h"
#include "reader/KeywordTable.h"
#include "reader/LineGrammar.h"
#include "shell/Startup.h"
#include "shell/TMain.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QJsonDocument>
#include <QKeyEvent>
#include <QProcess>
#include <QStandardPaths>

#include <algorithm>
#include <fcntl.h>
#include <limits>
#include <unistd.h>

namespace vogbench {

QTextStream out(stdout);

void progress(const QString &step)
{
    out << step << "...\n";
    out.flush();
}

double seconds(const QElapsedTimer &t)
{
    return double(t.nsecsElapsed()) / 1e9;
}

double median(QList<double> v)
{
    std::sort(v.begin(), v.end());
    const qsizetype n = v.size();
    return n == 0 ? 0 : n % 2 ? v[n / 2] : (v[n / 2 - 1] + v[n / 2]) / 2;
}

// ---- the report ----------------------------------------------------------------------------

QString fixed(double v, int decimals)
{
    return QString::number(v, 'f', decimals);
}

QString verdict(bool met)
{
    return met ? QStringLiteral("met") : QStringLiteral("NOT met");
}

void printTable(const QList<Row> &rows)
{
    const QStringList head{QStringLiteral("measure"), QStringLiteral("figure"),
                           QStringLiteral("reference"), QStringLiteral("target"),
                           QStringLiteral("result")};
    int width[5];
    for (int c = 0; c < 5; ++c)
        width[c] = int(head[c].size());
    for (const Row &r : rows) {
        const QString cells[] = {r.measure, r.figure, r.reference, r.target, r.verdict};
        for (int c = 0; c < 5; ++c)
            width[c] = std::max(width[c], int(cells[c].size()));
    }
    auto line = [&](const QStringList &cells) {
        QString s;
        for (int c = 0; c < 5; ++c)
            s += cells[c].leftJustified(width[c] + 2);
        while (s.endsWith(QLatin1Char(' ')))
            s.chop(1);
        out << s << '\n';
    };
    line(head);
    QStringList rule;
    for (int c = 0; c < 5; ++c)
        rule << QString(width[c], QLatin1Char('-'));
    line(rule);
    for (const Row &r : rows)
        line({r.measure, r.figure, r.reference, r.target, r.verdict});
}

void writeResults(const QJsonObject &json, const QString &outDir)
{
    const QString jsonPath = QDir(outDir).filePath(QStringLiteral("bench-results.json"));
    QFile jsonFile(jsonPath);
    if (jsonFile.open(QIODevice::WriteOnly | QIODevice::Truncate))
        jsonFile.write(QJsonDocument(json).toJson());
    out << "\nfigures written to " << jsonPath << '\n';
}

// ---- generated files -----------------------------------------------------------------------

NamedFile generateInto(const QString &outDir, const QString &name, const GeneratorOptions &options)
{
    NamedFile file;
    file.path = QDir(outDir).filePath(name);
    file.facts = generateConfig(options, file.path);
    return file;
}

// ---- processes -----------------------------------------------------------------------------

ToolRun timeTool(const QString &program, QStringList arguments, const QString &path, int runs,
                 const QStringList &after)
{
    auto once = [&](const QString &file, QByteArray *output) {
        QProcess p;
        p.setProcessChannelMode(QProcess::SeparateChannels);
        QElapsedTimer t;
        t.start();
        p.start(program, QStringList(arguments) << file << after);
        if (!p.waitForFinished(120000) || p.exitStatus() != QProcess::NormalExit
            || p.exitCode() != 0)
            return -1.0;
        const double s = seconds(t);
        if (output)
            *output = p.readAllStandardOutput().trimmed();
        return s;
    };
    ToolRun r;
    double start = std::numeric_limits<double>::max();
    double whole = std::numeric_limits<double>::max();
    for (int i = 0; i < runs; ++i) {
        const double e = once(QStringLiteral("/dev/null"), nullptr);
        const double w = once(path, &r.output);
        if (e < 0 || w < 0)
            return {};
        start = std::min(start, e);
        whole = std::min(whole, w);
    }
    r.seconds = std::max(whole - start, 1e-6);
    return r;
}

double wholeProcess(const QString &program, const QStringList &arguments, QByteArray *output)
{
    QProcess p;
    QElapsedTimer t;
    t.start();
    p.start(program, arguments);
    if (!p.waitForFinished(120000) || p.exitStatus() != QProcess::NormalExit || p.exitCode() != 0)
        return -1;
    const double s = seconds(t);
    if (output)
        *output = p.readAllStandardOutput().trimmed();
    return s;
}

QList<QByteArray> runSelf(const QStringList &args)
{
    QProcess p;
    p.start(QCoreApplication::applicationFilePath(), args);
    if (!p.waitForFinished(600000) || p.exitStatus() != QProcess::NormalExit || p.exitCode() != 0)
        return {};
    return p.readAllStandardOutput().simplified().split(' ');
}

QString awkProgram()
{
    for (const char *name : {"mawk", "awk"}) {
        const QString p = QStandardPaths::findExecutable(QString::fromLatin1(name));
        if (!p.isEmpty())
            return p;
    }
    return {};
}

// The same recognition as a user would script it: the first word lower-cased and looked up in
// the set of the 129 keywords, the value after the blanks or tabs that follow it, cut before its
// trailing comment ('#' after a blank or tab, before a blank, a tab, another '#' or the line's
// end) and trimmed; a switch alone on its line (the CR of a CR LF dropped) counts too. It knows
// no conditions nor variables. Prints the lines recognised.
QStringList awkArguments()
{
    QStringList words, switches;
    for (const vog::KeywordRow &e : vog::keywordTable()) {
        words.append(QString::fromLatin1(e.keyword));
        if (vog::offersOn(e))
            switches.append(QString::fromLatin1(e.keyword));
    }
    return {QStringLiteral("-v"), QStringLiteral("K=") + words.join(QLatin1Char(' ')),
            QStringLiteral("-v"), QStringLiteral("S=") + switches.join(QLatin1Char(' ')),
            QStringLiteral("BEGIN{n=split(K,a,\" \");for(i=1;i<=n;i++)k[a[i]]=1;"
                           "n=split(S,a,\" \");for(i=1;i<=n;i++)s[a[i]]=1}"
                           "{w=tolower($1)}NF==1{sub(/\\r$/,\"\",w)}"
                           "w in k{v=substr($0,index($0,$1)+length($1));"
                           "if(index(v,\"#\"))sub(/[ \\t]#([ \\t#\\r].*)?$/,\"\",v);"
                           "sub(/^[ \\t\\r]+/,\"\",v);sub(/[ \\t\\r]+$/,\"\",v);"
                           "if(v!=\"\"||w in s)c++}"
                           "END{print c+0}")};
}

double safeWriteFloor(const QString &path, const QByteArray &bytes)
{
    const QByteArray temp = QFile::encodeName(path + QStringLiteral(".floor"));
    QElapsedTimer t;
    t.start();
    const int fd = ::open(temp.constData(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0)
        return -1;
    for (qsizetype at = 0; at < bytes.size();) {
        const ssize_t n = ::write(fd, bytes.constData() + at, std::size_t(bytes.size() - at));
        if (n <= 0) {
            ::close(fd);
            return -1;
        }
        at += n;
    }
    if (::fsync(fd) != 0 || ::close(fd) != 0
        || ::rename(temp.constData(), QFile::encodeName(path).constData()) != 0)
        return -1;
    return seconds(t);
}

// ---- the windows ---------------------------------------------------------------------------

BoxWatch::BoxWatch()
{
    m_timer.setInterval(100);
    QObject::connect(&m_timer, &QTimer::timeout, [this] {
        if (QWidget *w = QApplication::activeModalWidget()) {
            m_failed = true;
            w->close();
        }
    });
    m_timer.start();
}

void openFile(const QString &path)
{
    vog::FileOpenDialog::setNextAnswer(path);
    Main->N2Click();
}

void typeKeys(QWidget *field, const QString &text, QList<double> &times)
{
    QElapsedTimer t;
    for (QChar c : text) {
        // Printable ASCII keys have the upper-case character's code.
        const int key = c.toUpper().unicode();
        QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier, QString(c));
        QKeyEvent release(QEvent::KeyRelease, key, Qt::NoModifier, QString(c));
        t.start();
        QApplication::sendEvent(field, &press);
        QApplication::sendEvent(field, &release);
        QApplication::processEvents();
        times.append(seconds(t) * 1e3);
    }
}

} // namespace vogbench
