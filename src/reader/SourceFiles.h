#pragma once

#include "Codepage.h"

#include <QString>

namespace vog {

// Where a value was set: a line of one of the files read in this run. A value the user typed
// has none.
struct Origin
{
    int file = -1;
    qint64 line = 0;
    bool isSet() const { return file >= 0; }
    bool operator==(const Origin &o) const { return file == o.file && line == o.line; }
};

// A configuration file read in this run, how its bytes become text, and what a save needs to
// know of it: a save reads the file again and writes only if it is still what was read.
struct SourceFile
{
    QString path;          // absolute, as opened
    TextCodec codec = TextCodec::latin1();
    QString canonicalPath; // symbolic links resolved: where a save writes
    qint64 size = 0;
    qint64 modified = 0;   // ms since the epoch
    quint64 fingerprint = 0; // XXH3 of every byte as read
    bool crlf = false;     // its usual line end is CR LF rather than LF
    qint64 crlfLines = 0;  // the lines ended by CR LF, and by LF alone
    qint64 lfLines = 0;
    bool lastLineEnded = true;
    qint64 ctrlZ = -1;     // where a Ctrl-Z ended its text, or -1
    qint64 lines = 0;      // lines read, up to the line that stopped the read
    // The line of an if that no endif closes before the file's end, 0 for none: a line added
    // at the end would stand in its branch.
    qint64 openConditionAt = 0;
    // False for the file of File > New until its first save creates it: it has no bytes yet,
    // and a save must find no file of its name.
    bool onDisk = true;
};

// The files read in this run, in the order read; an Origin names one by its index. Entries
// never move, so references to them stay valid for the run.
int addSourceFile(const QString &path);
SourceFile &sourceFile(int file);
// Whether a file at this absolute path was read in this run, since the last startNewRead().
bool wasRead(const QString &absolutePath);
// The files read from here on make a configuration of their own: those read before are no
// longer "read" for wasRead() (the origins naming them stay valid).
void startNewRead();
int sourceFileCount();

// Refuses, with a RenderError naming what was to be added, a line added at the end of a file
// whose end stands inside a condition.
void checkEndOutsideConditions(int file, const QString &what);

// "line 12 of /etc/tosser/links.cfg", or an empty text for a value without an origin.
QString describeOrigin(const Origin &origin);

} // namespace vog
