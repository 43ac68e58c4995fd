#include "BenchCommandLine.h"

#include "BenchStressFiles.h"

#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

namespace vogbench {

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

// ---- alone, for profiling ------------------------------------------------------------------

int scriptMode(const QStringList &args)
{
    // For profiling the command line: --get and --set of Sysop, the awk script, the floor.
    const ScriptRun r = timeScript(args.at(2), 3);
    out << "--get " << fixed(r.get, 3) << " s, awk " << fixed(r.awk, 3) << " s, --set "
        << fixed(r.set, 3) << " s, floor " << fixed(r.floor, 3) << " s, "
        << (r.checked ? "checked" : "WRONG") << '\n';
    return 0;
}

int scriptLinksMode(const QStringList &args)
{
    // The rows of links and areas changed from the command line, alone.
    QList<Row> rows;
    scriptLinksRows(timeScriptLinks(args.at(2), 3), rows);
    printTable(rows);
    return 0;
}

} // namespace vogbench
