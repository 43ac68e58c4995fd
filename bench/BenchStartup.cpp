#include "BenchStartup.h"

#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QProcess>
#include <QStandardPaths>

namespace vogbench {

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

QJsonObject startupRow(const QJsonObject &startup, QList<Row> &rows)
{
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
        return s;
    } else {
        rows << Row{QStringLiteral("start-up"), QStringLiteral("-"),
                    startup[QStringLiteral("skipped")].toString(), QStringLiteral("<= 2x minimal"),
                    QStringLiteral("not measured")};
        return startup;
    }
}

} // namespace vogbench
