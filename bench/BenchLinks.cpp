#include "BenchLinks.h"

#include "BenchSave.h"

#include "document/ConfigDocument.h"
#include "editors/LinkDialog.h"
#include "editors/TLink_Keywords.h"
#include "reader/KeywordTable.h"
#include "shell/QuickFind.h"
#include "shell/QuickFindModel.h"
#include "shell/Startup.h"
#include "shell/TMain.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QLineEdit>
#include <QListView>
#include <QMessageBox>
#include <QPushButton>
#include <QSignalBlocker>

#include <algorithm>

namespace vogbench {

// ---- link load -----------------------------------------------------------------------------

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

QJsonObject linkLoadRow(const LinkLoad &linkLoad, int links, QList<Row> &rows)
{
    if (linkLoad.available) {
        const double ratio = linkLoad.lastMs / linkLoad.firstMs;
        const bool met = ratio <= 1.5;
        rows << Row{QStringLiteral("link load: first, middle, last"),
                    QStringLiteral("%1, %2, %3 ms")
                            .arg(fixed(linkLoad.firstMs, 2), fixed(linkLoad.middleMs, 2),
                                 fixed(linkLoad.lastMs, 2)),
                    QStringLiteral("last / first = %1").arg(fixed(ratio, 2)),
                    QStringLiteral("<= 1.5"), verdict(met)};
        return {{QStringLiteral("links"), links},
                {QStringLiteral("first_ms"), linkLoad.firstMs},
                {QStringLiteral("middle_ms"), linkLoad.middleMs},
                {QStringLiteral("last_ms"), linkLoad.lastMs},
                {QStringLiteral("last_over_first"), ratio},
                {QStringLiteral("target_met"), met}};
    } else {
        rows << Row{QStringLiteral("link load"), QStringLiteral("-"),
                    QStringLiteral("the Link Keywords window has no fields yet"),
                    QStringLiteral("<= 1.5"), QStringLiteral("not measured")};
        return {{QStringLiteral("skipped"), QStringLiteral("the Link Keywords window has no fields yet")}};
    }
}

// ---- quick find ----------------------------------------------------------------------------

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

QJsonObject quickFindRow(const QuickFindRun &quickFind, QList<Row> &rows)
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
    return {{QStringLiteral("address"), quickFind.address},
            {QStringLiteral("links"), quickFind.links},
            {QStringLiteral("keys"), quickFind.keys},
            {QStringLiteral("median_key_ms"), quickFind.medianMs},
            {QStringLiteral("worst_key_ms"), quickFind.worstMs},
            {QStringLiteral("pop_up_ms"), quickFind.popUpMs},
            {QStringLiteral("found_first"), quickFind.found},
            {QStringLiteral("target_met"), met}};
}

// ---- links as a whole ----------------------------------------------------------------------

namespace {

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

} // namespace

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

QJsonObject linkEditRows(const LinkEditRun &linkEdits, QList<Row> &rows)
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
    return edited;
}

// ---- alone, for profiling ------------------------------------------------------------------

int linkEditsMode(const QStringList &args)
{
    // The link buttons and the save of their edits, alone.
    const LinkEditRun r = timeLinkEdits(args.at(2), 3);
    out << "New " << fixed(r.newMs, 1) << " ms, Copy " << fixed(r.copyMs, 1) << " ms, Remove "
        << fixed(r.removeMs, 1) << " ms, preview " << fixed(r.previewSeconds, 3) << " s, save "
        << fixed(r.saveSeconds, 3) << " s, " << (r.shown ? "shown" : "WRONG") << '\n';
    return 0;
}

int linksMode(const QStringList &args)
{
    const LinkEditRun r = timeLinkEdits(args.at(2), 3);
    out << r.links << " links: New " << fixed(r.newMs, 1) << " ms (the first, reading the file, "
        << fixed(r.firstMs, 1) << " ms), Copy " << fixed(r.copyMs, 1)
        << " ms, Remove " << fixed(r.removeMs, 1) << " ms, the save " << fixed(r.saveSeconds, 3)
        << " s (safe write alone " << fixed(r.floorSeconds, 3) << " s)" << (r.shown ? "" : ", NOT shown or paired") << '\n';
    return 0;
}

int findMode(const QStringList &args)
{
    const QuickFindRun r = timeQuickFind(args.at(2), 5);
    out << "\"" << r.address << "\" over " << r.links << " links: Ctrl+F " << fixed(r.popUpMs, 1)
        << " ms, keys median " << fixed(r.medianMs, 2) << " ms, worst " << fixed(r.worstMs, 2)
        << " ms" << (r.found ? "" : ", NOT found first") << '\n';
    return 0;
}

} // namespace vogbench
