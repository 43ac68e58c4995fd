#include "BenchAreas.h"

#include "BenchSave.h"
#include "BenchScanOpen.h"
#include "BenchStressFiles.h"

#include "document/ConfigDocument.h"
#include "editors/AreaListModel.h"
#include "editors/TArea_Definition.h"
#include "shell/Startup.h"
#include "shell/TMain.h"

#include <QApplication>
#include <QComboBox>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QItemSelectionModel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTableView>
#include <QTemporaryDir>
#include <QTimer>

#include <algorithm>
#include <limits>

namespace vogbench {

namespace {

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
    // The address is no link's yet, as a new downlink's before its section is written: the
    // question that says so is answered Yes, as its user answers it.
    QTimer::singleShot(0, [] {
        if (auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget()))
            box->button(QMessageBox::Yes)->click();
    });
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

} // namespace

AreaFigures measureAreas(const QString &stress, const QString &outDir, int runs)
{
    GeneratorOptions options = GeneratorOptions::scaled(1.0);
    options.areaLines = 50000;
    AreaFigures a;
    a.file = generateInto(outDir, QStringLiteral("stress-areas.cfg"), options);
    a.run = timeAreas(stress, a.file.path, runs);
    return a;
}

QJsonObject areaRows(const AreaFigures &figures, const StressSet &standard, QList<Row> &rows)
{
    const AreaRun &areas = figures.run;
    const GeneratedFile &areaFacts = figures.file.facts;
    const GeneratedFile &facts = standard.facts();
    const double megabytes = standard.megabytes();
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
    return {{QStringLiteral("area_lines"), areaFacts.areaLines},
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

int areasMode(const QStringList &args)
{
    return areaChild(args.at(2), args.at(3), std::max(1, atoi(args.at(4).toLocal8Bit().constData())));
}

} // namespace vogbench
