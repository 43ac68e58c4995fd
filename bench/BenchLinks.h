// The link rows: a link loaded into the Link Keywords window, the quick find typed into over
// all links, and New, Copy and Remove on the window with the save of what they changed.
#pragma once

#include "BenchHarness.h"

#include <QJsonObject>

namespace vogbench {

struct LinkLoad
{
    bool available = false;
    double firstMs = 0, middleMs = 0, lastMs = 0;
};

// Loads the first, the middle and the last link into the shown window, each time after some
// other link, so every field really changes; the median of many loads.
LinkLoad timeLinkLoads(const QString &path, int repeats);
QJsonObject linkLoadRow(const LinkLoad &load, int links, QList<Row> &rows);

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
QuickFindRun timeQuickFind(const QString &path, int rounds);
QJsonObject quickFindRow(const QuickFindRun &find, QList<Row> &rows);

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

LinkEditRun timeLinkEdits(const QString &path, int rounds);
QJsonObject linkEditRows(const LinkEditRun &linkEdits, QList<Row> &rows);

// ---- alone, for profiling ------------------------------------------------------------------

int linkEditsMode(const QStringList &args); // --link-edits file
int linksMode(const QStringList &args);     // --links file
int findMode(const QStringList &args);      // --find file

} // namespace vogbench
